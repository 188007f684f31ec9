// Numbered language strings from the language files, a base language that always answers and
// an overlay for the language the user picks, and the handlers that re-read texts on a change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/WKMethodList.h"

struct TWKFileFailure;

struct TWKLanguage {
  std::string Name;  // display name, UTF-8
  uint16_t LangId = 0;
  std::string FileName;  // full path
};

struct TWKLocalString {
  int32_t Id = 0;
  std::string Text;  // UTF-8
};

// Records are found through a map from number to position, so that loading a file of many
// strings takes time in proportion to it.
class TWKLocalStringList {
 public:
  // Updates the record with that number or appends one (which clears Sorted).
  void SetText(int32_t id, const std::string& text);
  // None when absent.
  const TWKLocalString* Find(int32_t id) const;
  bool TryGet(int32_t id, std::string& text) const;
  void Sort();
  void Clear();
  int Count() const { return static_cast<int>(Items_.size()); }
  bool Sorted() const { return Sorted_; }

 private:
  std::vector<TWKLocalString> Items_;
  std::unordered_map<int32_t, size_t> Index_;
  bool Sorted_ = false;
};

class TWKLocalizer {
 public:
  // Finds the languages in DefaultLanguageFolder() and takes the system's language as base.
  TWKLocalizer();
  // languageFolder with or without the trailing "/".
  TWKLocalizer(const std::string& languageFolder, uint16_t systemLanguageId);

  // Nothing when no language has that id; otherwise switches the overlay and calls every
  // localize handler in registration order.
  void SetLanguage(uint16_t id);
  const TWKLanguage* FindLanguage(uint16_t id) const;
  const std::string& LanguageFolder() const { return Folder_; }
  // The text in the current language, else in the base language, else the default.
  std::string Lookup(int32_t id, const std::string& defaultText) const;

  // "Languages/" beside the executable, else share/quillmoor/Languages/ of the installation,
  // else "../Translations/Languages/" beside the executable.
  static std::string DefaultLanguageFolder();
  // Loads the "Strings" of a language file into the list and sorts it; failure, when given, says
  // why a file could not be read.
  static void LoadStrings(TWKLocalStringList& list, const std::string& fileName,
                          TWKFileFailure* failure = nullptr);

  uint16_t BaseLanguageId = 0;
  uint16_t CurrentLanguageId = 0;
  std::vector<std::unique_ptr<TWKLanguage>> Languages;
  TWKLocalStringList BaseStrings;
  TWKLocalStringList CurrentStrings;
  TWKMethodList LocalizeHandlers;
  // Language files refused for their size, each named once; the program tells the user.
  std::vector<std::string> RefusedFiles;

 private:
  void FindLanguages();
  void ChooseBaseLanguage(uint16_t systemLanguageId);
  void LoadLanguageStrings(TWKLocalStringList& list, const std::string& fileName);
  void NoteRefusal(const std::string& fileName, const TWKFileFailure& failure);

  std::string Folder_;
};

// The program-wide localiser; none until one is installed (then look-ups answer defaults).
TWKLocalizer* Localizer();
// Installs the program-wide localiser and returns the previous one.
std::unique_ptr<TWKLocalizer> SetGlobalLocalizer(std::unique_ptr<TWKLocalizer> localizer);

std::string LanguageString(int id);
std::string LanguageString(int id, const std::string& defaultText);

// A language string's number with its built-in text.
struct TWKLanguageText {
  int32_t Id;
  std::string_view Fallback;
};
std::string LanguageString(const TWKLanguageText& text);
void SelectLanguage(uint16_t id);
uint16_t CurrentLanguageId();
uint16_t BaseLanguageId();
using TWKLanguageList = std::vector<std::pair<std::string, const TWKLanguage*>>;
// Clears the list and adds every language's name with the language, in folder order.
void GetLanguages(TWKLanguageList& list);
// The name of the first language with that id; the name is unchanged when there is none.
void LanguageName(uint16_t id, std::string& name);
// The message for a language file refused for its size, or "" when there is none; cleared by
// the call.
std::string TakeLanguageFileMessage();
// Calls the handler once at once, then registers it for every language change.
void AddLocalizeHandler(const TWKMethod& handler);
void RemoveLocalizeHandler(const TWKMethod& handler);
