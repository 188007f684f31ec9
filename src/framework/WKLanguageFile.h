// A language file: an INI file read as UTF-8 when it starts with a byte order mark, else
// converted from the Windows code page its first "CodePage" line names, else taken as it is.
#pragma once

#include <string>
#include <string_view>

#include "framework/WKIniFile.h"

class TWKLanguageFile : public TWKIniFile {
 public:
  // False (and empty contents) when the file cannot be read.
  bool LoadFromFile(const std::string& fileName);
  void LoadFromBytes(std::string_view bytes);
  // The first 16 MB of a text file (language files, demonstration scripts); false when it
  // cannot be opened.
  static bool ReadTextFile(const std::string& fileName, std::string& bytes);

  // The file's bytes as UTF-8 text by the encoding rules above.
  static std::string DecodeText(std::string_view bytes);
  // The value of the first line named "CodePage" (any section), 0 when none or not a number.
  static int FindCodePage(std::string_view bytes);
  // Converts 8-bit text from a Windows code page (e.g. 1251) to UTF-8 with iconv; bytes the
  // code page does not define become U+FFFD. Returns false when the code page is unknown.
  static bool ConvertFromCodePage(std::string_view bytes, int codePage, std::string& utf8);
};
