#include "demo/WKDemoScript.h"

#include "framework/WKAtomicFile.h"
#include "framework/WKIniFile.h"
#include "framework/WKLanguageFile.h"
#include "framework/WKLanguageId.h"
#include "framework/WKLocalizer.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kInfo = "Info";
constexpr const char* kScript = "Script";

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = bytes.size();
    lines.emplace_back(bytes.substr(start, stop - start));
    if (stop + 1 < bytes.size() && bytes[stop] == '\r' && bytes[stop + 1] == '\n') ++stop;
    start = stop + 1;
  }
  return lines;
}

std::string BaseName(const std::string& fileName) {
  std::string name = fileName.substr(fileName.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// "&" followed by a number stands for that language string.
bool LanguageReference(const std::string& text, std::string& resolved) {
  int id = 0;
  if (text.size() < 2 || text[0] != '&' || !TWKIniFile::ParseInteger(text.substr(1), id)) return false;
  resolved = LanguageString(id);
  return true;
}

}  // namespace

std::string DemoKeyValue(const std::vector<std::string>& lines, std::string_view key) {
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && TWKIniFile::SameText(std::string_view(line).substr(0, eq), key))
      return line.substr(eq + 1);
  }
  return {};
}

TWKDemoScript::TWKDemoScript() { EnsureSections(); }

bool TWKDemoScript::LoadFromFile(const std::string& fileName) {
  FileName = fileName;
  std::string bytes;
  const bool read = TWKLanguageFile::ReadTextFile(fileName, bytes);
  LoadFromText(read ? bytes : std::string());
  return read;
}

void TWKDemoScript::LoadFromText(std::string_view bytes) { LoadFromLines(SplitLines(bytes)); }

void TWKDemoScript::LoadFromLines(const std::vector<std::string>& lines) {
  Sections_.clear();
  Utf8 = !lines.empty() && lines.front().starts_with(kByteOrderMark);
  std::string held;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (i == 0 && Utf8) line.remove_prefix(kByteOrderMark.size());
    const TWKIniLineKind kind = TWKIniFile::ReadLine(line, held);
    if (kind == TWKIniLineKind::Section)
      Sections_.push_back({held, {}});
    else if (kind == TWKIniLineKind::Entry && !Sections_.empty())
      Sections_.back().Lines.push_back(held);
  }
  EnsureSections();
}

std::string TWKDemoScript::SaveToText() const {
  std::string text = Utf8 ? std::string(kByteOrderMark) : std::string();
  for (const TWKDemoSection& section : Sections_) {
    text += "[" + section.Name + "]\n";
    for (const std::string& line : section.Lines) text += line + "\n";
  }
  return text;
}

bool TWKDemoScript::SaveToFile(const std::string& fileName) const {
  const std::string text = SaveToText();
  std::string error;
  return WriteFileAtomically(fileName, text.data(), text.size(), error, {.CreateFolders = false});
}

void TWKDemoScript::Assign(const TWKDemoScript& other) {
  if (&other == this) return;
  Sections_ = other.Sections_;
  Utf8 = other.Utf8;
}

void TWKDemoScript::ConvertToUtf8() {
  if (Utf8) return;
  for (TWKDemoSection& section : Sections_)
    for (std::string& line : section.Lines) line = DecodeText(line);
  Utf8 = true;
}

void TWKDemoScript::Clear() {
  Sections_.clear();
  Utf8 = true;
  EnsureSections();
}

void TWKDemoScript::EnsureSections() {
  if (SectionIndex(kInfo) < 0) Sections_.push_back({kInfo, {}});
  if (SectionIndex(kScript) < 0) Sections_.push_back({kScript, {}});
}

int32_t TWKDemoScript::SectionIndex(std::string_view name) const {
  for (size_t i = 0; i < Sections_.size(); ++i)
    if (TWKIniFile::SameText(Sections_[i].Name, name)) return static_cast<int32_t>(i);
  return -1;
}

bool TWKDemoScript::FindSection(std::string_view name, int32_t& index) const {
  index = SectionIndex(name);
  return index >= 0;
}

int32_t TWKDemoScript::AddSection(const std::string& name) {
  Sections_.push_back({name, {}});
  return SectionCount() - 1;
}

void TWKDemoScript::DeleteSection(int32_t index) {
  if (index < 0 || index >= SectionCount()) return;
  Sections_.erase(Sections_.begin() + index);
  EnsureSections();
}

std::vector<std::string>& TWKDemoScript::ScriptLines() { return SectionLines(SectionIndex(kScript)); }

const std::vector<std::string>& TWKDemoScript::ScriptLines() const {
  return SectionLines(SectionIndex(kScript));
}

std::string TWKDemoScript::InfoValue(std::string_view key) const {
  return DemoKeyValue(SectionLines(SectionIndex(kInfo)), key);
}

std::string TWKDemoScript::DecodeText(std::string_view bytes) const {
  if (Utf8) return std::string(bytes);
  std::string utf8;
  if (TWKLanguageFile::ConvertFromCodePage(bytes, AnsiCodePage(CurrentLanguageId()), utf8)) return utf8;
  return std::string(bytes);
}

std::string TWKDemoScript::LocalizedValue(std::string_view key) const {
  int32_t index = SectionIndex(std::to_string(CurrentLanguageId()));
  if (index < 0) index = SectionIndex(std::to_string(BaseLanguageId()));
  if (index < 0) return {};
  return DecodeText(DemoKeyValue(SectionLines(index), key));
}

std::string TWKDemoScript::Title() const {
  std::string title = LocalizedValue("Title");
  if (title.empty()) title = DecodeText(InfoValue("Title"));
  if (title.empty()) title = BaseName(FileName);
  LanguageReference(title, title);
  return title;
}

std::string TWKDemoScript::ResolveText(const std::string& text) const {
  if (text.size() > 1 && text[0] == '%') return LocalizedValue(std::string_view(text).substr(1));
  std::string resolved;
  return LanguageReference(text, resolved) ? resolved : DecodeText(text);
}
