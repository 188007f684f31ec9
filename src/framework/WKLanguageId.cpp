#include "framework/WKLanguageId.h"

#include <cstdlib>
#include <cstring>

namespace {

struct TLocaleId {
  const char* Name;  // "ll" or "ll_CC"
  uint16_t Id;
};

// Full names first so that a country-specific entry wins over the language's default.
constexpr TLocaleId kLocales[] = {
    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"de_DE", 1031},
    {"de_CH", 2055}, {"de_AT", 3079}, {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084},
    {"fr_CH", 4108}, {"es_ES", 3082}, {"es_MX", 2058}, {"pt_BR", 1046}, {"pt_PT", 2070},
    {"zh_CN", 2052}, {"zh_TW", 1028}, {"nl_BE", 2067}, {"it_CH", 2064},
    {"en", 1033}, {"de", 1031}, {"fr", 1036}, {"es", 3082}, {"it", 1040}, {"nl", 1043},
    {"pt", 2070}, {"da", 1030}, {"sv", 1053}, {"nb", 1044}, {"no", 1044}, {"fi", 1035},
    {"pl", 1045}, {"cs", 1029}, {"sk", 1051}, {"hu", 1038}, {"ru", 1049}, {"uk", 1058},
    {"el", 1032}, {"tr", 1055}, {"ja", 1041}, {"ko", 1042}, {"zh", 2052}, {"ar", 1025},
    {"he", 1037}, {"ro", 1048}, {"hr", 1050}, {"sl", 1060}, {"bg", 1026}, {"lt", 1063},
    {"lv", 1062}, {"et", 1061},
};

uint16_t Lookup(const std::string& name) {
  for (const auto& entry : kLocales)
    if (name == entry.Name) return entry.Id;
  return 0;
}

}  // namespace

uint16_t LangIdFromLocaleName(const std::string& locale) {
  // "ll_CC.codeset@modifier" → "ll_CC"
  const std::string name = locale.substr(0, locale.find_first_of(".@"));
  if (const uint16_t id = Lookup(name)) return id;
  if (const uint16_t id = Lookup(name.substr(0, name.find('_')))) return id;
  return 1033;
}

std::string LocaleNameFromLangId(uint16_t id) {
  for (const auto& entry : kLocales)
    if (entry.Id == id) return entry.Name;
  return {};
}

uint16_t SystemDefaultLanguageId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LangIdFromLocaleName(value);
  }
  return 1033;
}

int AnsiCodePage(uint16_t langId) {
  struct TPrimaryCodePage {
    uint16_t Primary;  // the low ten bits of a language identifier
    int CodePage;
  };
  static constexpr TPrimaryCodePage kCodePages[] = {
      {0x05, 1250}, {0x0E, 1250}, {0x15, 1250}, {0x18, 1250}, {0x1A, 1250}, {0x1B, 1250},
      {0x1C, 1250}, {0x24, 1250}, {0x02, 1251}, {0x19, 1251}, {0x22, 1251}, {0x23, 1251},
      {0x2F, 1251}, {0x3F, 1251}, {0x08, 1253}, {0x1F, 1254}, {0x0D, 1255}, {0x01, 1256},
      {0x29, 1256}, {0x20, 1256}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257}, {0x2A, 1258},
      {0x1E, 874},  {0x11, 932},  {0x12, 949},
  };
  const uint16_t primary = langId & 0x3FF;
  if (langId == 0x0C1A || langId == 0x1C1A) return 1251;  // Serbian and Bosnian in Cyrillic
  if (primary == 0x04) return (langId == 0x0404 || langId == 0x0C04 || langId == 0x1404) ? 950 : 936;
  for (const auto& entry : kCodePages)
    if (entry.Primary == primary) return entry.CodePage;
  return 1252;
}
