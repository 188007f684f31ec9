// A language file: an INI file read as UTF-8 when it starts with a UTF-8 byte order mark, as
// UTF-16 when it starts with a UTF-16 one (either byte order), else converted from the Windows
// code page its first "CodePage" line names, else taken as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/WKIniFile.h"

struct TWKFileFailure;

class TWKLanguageFile : public TWKIniFile {
 public:
  // Larger files are refused: no language needs more, and reading one would hold up the start.
  static constexpr uint64_t MaxBytes = uint64_t{2} << 20;

  // False (and empty contents) when the file cannot be read, is not a regular file or is larger
  // than MaxBytes; failure, when given, says which.
  bool LoadFromFile(const std::string& fileName, TWKFileFailure* failure = nullptr);
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
