// A demonstration script file: sections of lines read by the INI rules ("Info", "Script" and
// one section per language identifier), UTF-8 when the file begins with a byte order mark and
// otherwise 8-bit text in the code page of the user's language. Lines are held as the file has
// them; texts for the user are decoded when they are asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TWKDemoSection {
  std::string Name;
  std::vector<std::string> Lines;
};

class TWKDemoScript {
 public:
  TWKDemoScript();

  // The lines are UTF-8 (the file began with the byte order mark). A new or cleared script
  // holds the program's own text, which is UTF-8.
  bool Utf8 = true;
  std::string FileName;

  // False, leaving an empty script, when the file cannot be read.
  bool LoadFromFile(const std::string& fileName);
  void LoadFromLines(const std::vector<std::string>& lines);
  void LoadFromText(std::string_view bytes);
  // Written whole or not at all; a UTF-8 script begins with the byte order mark.
  bool SaveToFile(const std::string& fileName) const;
  std::string SaveToText() const;
  void Assign(const TWKDemoScript& other);
  // Decodes every line to UTF-8 and marks the script UTF-8, so that lines added in the
  // program's own text do not mix encodings with the file's.
  void ConvertToUtf8();
  // Only "Info" and "Script", both empty.
  void Clear();

  int32_t SectionCount() const { return static_cast<int32_t>(Sections_.size()); }
  const std::string& SectionName(int32_t index) const { return Sections_.at(static_cast<size_t>(index)).Name; }
  // The first section of that name, compared without regard to case.
  bool FindSection(std::string_view name, int32_t& index) const;
  int32_t AddSection(const std::string& name);
  // "Info" and "Script" come back empty when the one deleted was the last of its name.
  void DeleteSection(int32_t index);
  std::vector<std::string>& SectionLines(int32_t index) { return Sections_.at(static_cast<size_t>(index)).Lines; }
  const std::vector<std::string>& SectionLines(int32_t index) const {
    return Sections_.at(static_cast<size_t>(index)).Lines;
  }
  std::vector<std::string>& ScriptLines();
  const std::vector<std::string>& ScriptLines() const;

  // The value of key in "Info" as the file holds it; empty when missing.
  std::string InfoValue(std::string_view key) const;
  // The value of key in the section of the current language, else of the base language, as
  // UTF-8; empty when neither section exists.
  std::string LocalizedValue(std::string_view key) const;
  // The localised title, else the "Info" title, else the file name without folder and
  // extension; "&" and a number stand for that language string.
  std::string Title() const;
  // Bytes of this script as UTF-8: as they are when Utf8, otherwise converted from the code
  // page of the current language.
  std::string DecodeText(std::string_view bytes) const;
  // A message's text as UTF-8: "%key" is LocalizedValue (key), "&number" that language string,
  // anything else the text decoded.
  std::string ResolveText(const std::string& text) const;

 private:
  void EnsureSections();
  int32_t SectionIndex(std::string_view name) const;

  std::vector<TWKDemoSection> Sections_;
};

// The value of key in lines of "key=value" form (keys without regard to case); empty when none.
std::string DemoKeyValue(const std::vector<std::string>& lines, std::string_view key);
