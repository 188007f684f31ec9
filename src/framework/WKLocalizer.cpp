#include "framework/WKLocalizer.h"

#include <dirent.h>

#include <algorithm>

#include "framework/WKLanguageFile.h"
#include "framework/WKLanguageId.h"
#include "framework/WKPaths.h"
#include "framework/WKRegularFile.h"

void TWKLocalStringList::SetText(int32_t id, const std::string& text) {
  if (const auto found = Index_.find(id); found != Index_.end()) {
    Items_[found->second].Text = text;
    return;
  }
  Index_.emplace(id, Items_.size());
  Items_.push_back({id, text});
  Sorted_ = false;
}

const TWKLocalString* TWKLocalStringList::Find(int32_t id) const {
  const auto found = Index_.find(id);
  return found == Index_.end() ? nullptr : &Items_[found->second];
}

bool TWKLocalStringList::TryGet(int32_t id, std::string& text) const {
  const TWKLocalString* item = Find(id);
  if (item == nullptr) return false;
  text = item->Text;
  return true;
}

void TWKLocalStringList::Sort() {
  std::stable_sort(Items_.begin(), Items_.end(),
                   [](const TWKLocalString& a, const TWKLocalString& b) { return a.Id < b.Id; });
  for (size_t i = 0; i < Items_.size(); ++i) Index_[Items_[i].Id] = i;
  Sorted_ = true;
}

void TWKLocalStringList::Clear() {
  Items_.clear();
  Index_.clear();
  Sorted_ = false;
}

std::string TWKLocalizer::DefaultLanguageFolder() {
  const std::string exeDir = ExtractFilePath(ExecutablePath());
  for (const std::string& folder : {exeDir + "Languages/", exeDir + "../share/quillmoor/Languages/"})
    if (DirectoryExists(folder)) return folder;
  return exeDir + "../Translations/Languages/";
}

TWKLocalizer::TWKLocalizer() : TWKLocalizer(DefaultLanguageFolder(), SystemDefaultLanguageId()) {}

TWKLocalizer::TWKLocalizer(const std::string& languageFolder, uint16_t systemLanguageId)
    : Folder_(languageFolder) {
  if (!Folder_.empty() && Folder_.back() != '/') Folder_ += '/';
  FindLanguages();
  ChooseBaseLanguage(systemLanguageId);
  CurrentLanguageId = BaseLanguageId;
}

void TWKLocalizer::FindLanguages() {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(Folder_.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && TWKIniFile::SameText(name.substr(name.size() - 4), ".ini"))
        names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    TWKLanguageFile file;
    TWKFileFailure failure;
    if (!file.LoadFromFile(Folder_ + name, &failure)) {
      NoteRefusal(Folder_ + name, failure);
      continue;
    }
    const int id = file.ReadInteger("Language", "LangId", 0);
    if (id <= 0 || id > 0xFFFF) continue;
    auto language = std::make_unique<TWKLanguage>();
    language->Name = file.ReadString("Language", "Language", "");
    language->LangId = static_cast<uint16_t>(id);
    language->FileName = Folder_ + name;
    Languages.push_back(std::move(language));
  }
}

void TWKLocalizer::ChooseBaseLanguage(uint16_t systemLanguageId) {
  const TWKLanguage* base = FindLanguage(systemLanguageId);
  if (base == nullptr) base = FindLanguage(1033);
  if (base == nullptr && !Languages.empty()) base = Languages.front().get();
  if (base == nullptr) {
    BaseLanguageId = 0;
    return;
  }
  LoadLanguageStrings(BaseStrings, base->FileName);
  BaseLanguageId = base->LangId;
}

const TWKLanguage* TWKLocalizer::FindLanguage(uint16_t id) const {
  for (const auto& language : Languages)
    if (language->LangId == id) return language.get();
  return nullptr;
}

void TWKLocalizer::LoadLanguageStrings(TWKLocalStringList& list, const std::string& fileName) {
  TWKFileFailure failure;
  LoadStrings(list, fileName, &failure);
  NoteRefusal(fileName, failure);
}

void TWKLocalizer::NoteRefusal(const std::string& fileName, const TWKFileFailure& failure) {
  if (!failure.TooLarge) return;
  if (std::find(RefusedFiles.begin(), RefusedFiles.end(), fileName) == RefusedFiles.end())
    RefusedFiles.push_back(fileName);
}

void TWKLocalizer::LoadStrings(TWKLocalStringList& list, const std::string& fileName, TWKFileFailure* failure) {
  list.Clear();
  TWKLanguageFile file;
  file.LoadFromFile(fileName, failure);
  if (const TWKIniSection* strings = file.FindSection("Strings")) {
    for (const auto& line : strings->Lines) {
      int id = 0;
      if (TWKIniFile::ParseInteger(line.Name, id)) list.SetText(id, line.Value);
    }
  }
  list.Sort();
}

void TWKLocalizer::SetLanguage(uint16_t id) {
  const TWKLanguage* language = FindLanguage(id);
  if (language == nullptr) return;
  CurrentLanguageId = id;
  if (id == BaseLanguageId)
    CurrentStrings.Clear();
  else
    LoadLanguageStrings(CurrentStrings, language->FileName);
  LocalizeHandlers.CallAll();
}

std::string TWKLocalizer::Lookup(int32_t id, const std::string& defaultText) const {
  std::string text;
  if (CurrentStrings.TryGet(id, text) || BaseStrings.TryGet(id, text)) return text;
  return defaultText;
}

namespace {
std::unique_ptr<TWKLocalizer> gLocalizer;
}

TWKLocalizer* Localizer() { return gLocalizer.get(); }

std::unique_ptr<TWKLocalizer> SetGlobalLocalizer(std::unique_ptr<TWKLocalizer> localizer) {
  std::swap(gLocalizer, localizer);
  return localizer;
}

std::string LanguageString(int id) { return LanguageString(id, std::string()); }

std::string LanguageString(int id, const std::string& defaultText) {
  return gLocalizer ? gLocalizer->Lookup(id, defaultText) : defaultText;
}

std::string LanguageString(const TWKLanguageText& text) {
  return LanguageString(text.Id, std::string(text.Fallback));
}

// Linux has no per-thread language identifier to set; the localiser is all there is.
void SelectLanguage(uint16_t id) {
  if (gLocalizer) gLocalizer->SetLanguage(id);
}

uint16_t CurrentLanguageId() { return gLocalizer ? gLocalizer->CurrentLanguageId : 0; }

uint16_t BaseLanguageId() { return gLocalizer ? gLocalizer->BaseLanguageId : 0; }

void GetLanguages(TWKLanguageList& list) {
  list.clear();
  if (!gLocalizer) return;
  for (const auto& language : gLocalizer->Languages) list.emplace_back(language->Name, language.get());
}

void LanguageName(uint16_t id, std::string& name) {
  if (!gLocalizer) return;
  if (const TWKLanguage* language = gLocalizer->FindLanguage(id)) name = language->Name;
}

std::string TakeLanguageFileMessage() {
  if (!gLocalizer || gLocalizer->RefusedFiles.empty()) return {};
  static constexpr TWKLanguageText kTooLarge{3971, "The language file %s is larger than %s and was not read."};
  std::string text;
  for (const std::string& fileName : gLocalizer->RefusedFiles) {
    std::string line = LanguageString(kTooLarge);
    for (const std::string& argument : {fileName, std::to_string(TWKLanguageFile::MaxBytes >> 20) + " MB"}) {
      const size_t at = line.find("%s");
      if (at != std::string::npos) line.replace(at, 2, argument);
    }
    text += (text.empty() ? "" : "\n") + line;
  }
  gLocalizer->RefusedFiles.clear();
  return text;
}

void AddLocalizeHandler(const TWKMethod& handler) {
  handler();
  if (gLocalizer) gLocalizer->LocalizeHandlers.Add(handler);
}

void RemoveLocalizeHandler(const TWKMethod& handler) {
  if (gLocalizer) gLocalizer->LocalizeHandlers.Remove(handler);
}
