// An in-memory INI file with the rules the language files and the demonstration scripts share:
// lines trimmed of blanks and control characters; empty lines and ";" comments dropped;
// "[name]" starts a section; lines before the first section dropped; "name = value" split at the
// first "=". Section and key names compare without regard to ASCII case; with a section name
// occurring twice, look-ups find the first, and with a key occurring twice in a section the first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TWKIniLine {
  std::string Name;
  std::string Value;
};

enum class TWKIniLineKind { Skip, Section, Entry };

struct TWKIniSection {
  std::string Name;
  std::vector<TWKIniLine> Lines;  // in file order
};

class TWKIniFile {
 public:
  TWKIniFile() = default;
  virtual ~TWKIniFile() = default;

  // Replaces the contents with the parsed text (taken as UTF-8).
  void SetText(std::string_view text);

  const std::vector<TWKIniSection>& Sections() const { return Sections_; }
  const TWKIniSection* FindSection(std::string_view name) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& defaultValue) const;
  // A complete decimal integer (optionally signed), else the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

  // Classifies one line by the rules above: a section gives its name in text, any other line
  // that is kept gives itself as held (trimmed, blanks around its first "=" removed).
  static TWKIniLineKind ReadLine(std::string_view line, std::string& text);
  static bool SameText(std::string_view a, std::string_view b);
  static std::string_view Trim(std::string_view text);
  // Parses a complete decimal integer; false when text is not one or does not fit.
  static bool ParseInteger(std::string_view text, int& value);

 private:
  std::vector<TWKIniSection> Sections_;
};
