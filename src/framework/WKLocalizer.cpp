#include "framework/WKLocalizer.h"

#include <dirent.h>

#include <algorithm>

#include "framework/WKLanguageFile.h"
#include "framework/WKLanguageId.h"
#include "framework/WKPaths.h"

void TWKLocalStringList::SetText(int32_t id, const std::string& text) {
  for (auto& item : Items_) {
    if (item.Id != id) continue;
    item.Text = text;
    return;
  }
  Items_.push_back({id, text});
  Sorted_ = false;
}

const TWKLocalString* TWKLocalStringList::Find(int32_t id) const {
  if (!Sorted_) {
    for (const auto& item : Items_)
      if (item.Id == id) return &item;
    return nullptr;
  }
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const TWKLocalString& item = Items_[static_cast<size_t>(mid)];
    if (item.Id == id) return &item;
    if (item.Id < id)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return nullptr;
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
  Sorted_ = true;
}

void TWKLocalStringList::Clear() {
  Items_.clear();
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
    if (!FileExists(Folder_ + name) || !file.LoadFromFile(Folder_ + name)) continue;
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
  LoadStrings(BaseStrings, base->FileName);
  BaseLanguageId = base->LangId;
}

const TWKLanguage* TWKLocalizer::FindLanguage(uint16_t id) const {
  for (const auto& language : Languages)
    if (language->LangId == id) return language.get();
  return nullptr;
}

void TWKLocalizer::LoadStrings(TWKLocalStringList& list, const std::string& fileName) {
  list.Clear();
  TWKLanguageFile file;
  file.LoadFromFile(fileName);
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
    LoadStrings(CurrentStrings, language->FileName);
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

void AddLocalizeHandler(const TWKMethod& handler) {
  handler();
  if (gLocalizer) gLocalizer->LocalizeHandlers.Add(handler);
}

void RemoveLocalizeHandler(const TWKMethod& handler) {
  if (gLocalizer) gLocalizer->LocalizeHandlers.Remove(handler);
}
