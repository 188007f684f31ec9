// Arbitrary bytes as a language file, read from disk as the program reads one: decoded (UTF-8 or
// UTF-16 byte order marks, code pages), its strings loaded into a list and looked up. A file
// above the size limit is refused; every numbered line of one that is read is found again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/WKLanguageFile.h"
#include "framework/WKLocalizer.h"
#include "framework/WKRegularFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file = "/tmp/fuzz_language_" + std::to_string(::getpid()) + ".ini";
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, out) == size;
  if (std::fclose(out) != 0 || !written) return 0;

  TWKLanguageFile language;
  TWKFileFailure failure;
  const bool read = language.LoadFromFile(file, &failure);
  if (read != (size <= TWKLanguageFile::MaxBytes)) __builtin_trap();
  language.ReadInteger("Language", "LangId", 0);
  language.ReadString("Language", "Language", "");

  TWKLocalStringList list;
  TWKLocalizer::LoadStrings(list, file);
  if (!list.Sorted()) __builtin_trap();
  // Every numbered line is found, and nothing else is.
  const TWKIniSection* strings = language.FindSection("Strings");
  if (strings == nullptr && list.Count() != 0) __builtin_trap();
  if (strings == nullptr) return 0;
  for (const TWKIniLine& line : strings->Lines) {
    int id = 0;
    if (!TWKIniFile::ParseInteger(line.Name, id)) continue;
    const TWKLocalString* found = list.Find(id);
    if (found == nullptr || found->Id != id) __builtin_trap();
  }
  return 0;
}
