#include "framework/WKIniFile.h"

#include <charconv>

bool TWKIniFile::SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view TWKIniFile::Trim(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; };
  size_t b = 0, e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

bool TWKIniFile::ParseInteger(std::string_view text, int& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = v;
  return true;
}

TWKIniLineKind TWKIniFile::ReadLine(std::string_view line, std::string& text) {
  line = Trim(line);
  if (line.empty() || line[0] == ';') return TWKIniLineKind::Skip;
  if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
    text = Trim(line.substr(1, line.size() - 2));
    return TWKIniLineKind::Section;
  }
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    text = line;
  } else {
    text = Trim(line.substr(0, eq));
    text += '=';
    text += Trim(line.substr(eq + 1));
  }
  return TWKIniLineKind::Entry;
}

void TWKIniFile::SetText(std::string_view text) {
  Sections_.clear();
  size_t start = 0;
  std::string held;
  while (start <= text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = text.size();
    const TWKIniLineKind kind = ReadLine(text.substr(start, stop - start), held);
    start = stop + 1;
    if (kind == TWKIniLineKind::Section) {
      Sections_.push_back({held, {}});
      continue;
    }
    if (kind == TWKIniLineKind::Skip || Sections_.empty()) continue;
    const size_t eq = held.find('=');
    if (eq == std::string::npos) continue;
    Sections_.back().Lines.push_back({held.substr(0, eq), held.substr(eq + 1)});
  }
}

const TWKIniSection* TWKIniFile::FindSection(std::string_view name) const {
  for (const auto& s : Sections_)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

namespace {
const TWKIniLine* FindLine(const TWKIniSection* section, std::string_view key) {
  if (section == nullptr) return nullptr;
  for (const auto& l : section->Lines)
    if (TWKIniFile::SameText(l.Name, key)) return &l;
  return nullptr;
}
}  // namespace

bool TWKIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindLine(FindSection(section), key) != nullptr;
}

std::string TWKIniFile::ReadString(std::string_view section, std::string_view key,
                                   const std::string& defaultValue) const {
  const TWKIniLine* line = FindLine(FindSection(section), key);
  return line ? line->Value : defaultValue;
}

int TWKIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const TWKIniLine* line = FindLine(FindSection(section), key);
  int value = defaultValue;
  if (line == nullptr || !ParseInteger(line->Value, value)) return defaultValue;
  return value;
}
