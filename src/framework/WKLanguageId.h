// Language identifiers (the numeric ids the language files carry) from POSIX locale names.
#pragma once

#include <cstdint>
#include <string>

// "de_DE.UTF-8" → 1031, "en" → 1033, "pt_BR" → 1046; unknown, "C" and "POSIX" → 1033.
uint16_t LangIdFromLocaleName(const std::string& locale);
// The locale name of a language identifier, "ll_CC" or "ll": 1031 → "de_DE", 1040 → "it";
// "" for an identifier the table does not know.
std::string LocaleNameFromLangId(uint16_t id);
// From LC_ALL, LC_MESSAGES or LANG, the first that is set and not empty.
uint16_t SystemDefaultLanguageId();
// The 8-bit code page that texts of a language are written in (1251 for Russian, 1252 for
// German); 1252 for a language without one of its own.
int AnsiCodePage(uint16_t langId);
