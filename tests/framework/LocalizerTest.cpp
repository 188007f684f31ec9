#include <gtest/gtest.h>

#include "TempFolder.h"
#include "framework/WKLanguageFile.h"
#include "framework/WKLanguageId.h"
#include "framework/WKLocalizer.h"

namespace {

const char kEnglish[] =
    "\xEF\xBB\xBF; English\n[Language]\nLangId=1033\nLanguage=English\n"
    "[Strings]\n10=&File\n12=First\n12=Second\nx12=ignored\n 23 =  E&xit  \n";
const char kGerman[] =
    "[Language]\r\nLangId=1031\r\nLanguage=Deutsch\r\n[Strings]\r\n10=&Datei\r\n"
    "23=&Beenden\r\n99=Nur deutsch\r\n";

class LocalizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("English.ini", kEnglish);
    folder.Write("German.ini", kGerman);
    folder.Write("Broken.ini", "[Language]\nLangId=0\nLanguage=Nothing\n");
    folder.Write("readme.txt", "[Language]\nLangId=1049\n");
  }
  TTempFolder folder;
};

TEST_F(LocalizerTest, BaseFromSystemOverlayFallsBackToBase) {
  TWKLocalizer l(folder.Path(), 1031);
  ASSERT_EQ(l.Languages.size(), 2u);  // LangId 0 and non-.ini files are not languages
  EXPECT_EQ(l.BaseLanguageId, 1031);
  EXPECT_EQ(l.CurrentLanguageId, 1031);
  EXPECT_EQ(l.Lookup(10, ""), "&Datei");
  l.SetLanguage(1033);
  EXPECT_EQ(l.CurrentLanguageId, 1033);
  EXPECT_EQ(l.Lookup(10, ""), "&File");
  EXPECT_EQ(l.Lookup(99, ""), "Nur deutsch");  // missing in English: the base answers
  EXPECT_EQ(l.Lookup(12, ""), "Second");        // the later line wins
  EXPECT_EQ(l.Lookup(23, ""), "E&xit");
  EXPECT_EQ(l.Lookup(4711, "dflt"), "dflt");
  l.SetLanguage(1031);  // the base again clears the overlay
  EXPECT_EQ(l.CurrentStrings.Count(), 0);
  EXPECT_EQ(l.Lookup(10, ""), "&Datei");
  l.SetLanguage(1049);  // unknown: nothing happens
  EXPECT_EQ(l.CurrentLanguageId, 1031);
}

TEST_F(LocalizerTest, BaseFallsBackToEnglishThenFirst) {
  TWKLocalizer l(folder.Path(), 1036);
  EXPECT_EQ(l.BaseLanguageId, 1033);
  TTempFolder other;
  other.Write("a.ini", kGerman);
  TWKLocalizer g(other.Path(), 1036);
  EXPECT_EQ(g.BaseLanguageId, 1031);
  TTempFolder none;
  TWKLocalizer n(none.Path() + "/missing", 1033);
  EXPECT_EQ(n.BaseLanguageId, 0);
  EXPECT_EQ(n.Lookup(10, ""), "");
}

TEST_F(LocalizerTest, HandlersRunOnEveryChangeAndDisappearedFileKeepsBase) {
  auto previous = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(folder.Path(), 1031));
  struct TListener {
    void Localize() { captions.push_back(LanguageString(10)); }
    std::vector<std::string> captions;
  } listener;
  const TWKMethod handler = MethodOf<&TListener::Localize>(&listener);
  AddLocalizeHandler(handler);
  SelectLanguage(1033);
  EXPECT_EQ(listener.captions, (std::vector<std::string>{"&Datei", "&File"}));
  TWKLanguageList list;
  GetLanguages(list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].first, "Deutsch");
  std::string name = "unchanged";
  LanguageName(4711, name);
  EXPECT_EQ(name, "unchanged");
  LanguageName(1031, name);
  EXPECT_EQ(name, "Deutsch");
  RemoveLocalizeHandler(handler);
  std::filesystem::remove(folder / "English.ini");
  SelectLanguage(1033);  // the file has gone: the overlay is empty, the base answers
  EXPECT_EQ(listener.captions.size(), 2u);
  EXPECT_EQ(LanguageString(10), "&Datei");
  EXPECT_EQ(CurrentLanguageId(), 1033);
  SetGlobalLocalizer(std::move(previous));
}

TEST(LanguageFile, CodePagesAndByteOrderMark) {
  TWKLanguageFile cyrillic;
  // "Привет" in Windows-1251; the CodePage line may sit in any section.
  cyrillic.LoadFromBytes("[Language]\nLangId=1049\ncodepage = 1251\n[Strings]\n1=\xCF\xF0\xE8\xE2\xE5\xF2\n");
  EXPECT_EQ(cyrillic.ReadString("Strings", "1", ""), "Привет");
  TWKLanguageFile polish;
  polish.LoadFromBytes("[Strings]\n1=\xA3\xF3\x64\x9F\n[Language]\nCodePage=1250\n");
  EXPECT_EQ(polish.ReadString("strings", "1", ""), "Łódź");
  for (int cp = 1250; cp <= 1258; ++cp) {
    std::string out;
    EXPECT_TRUE(TWKLanguageFile::ConvertFromCodePage("A\x80", cp, out)) << cp;
  }
  // With a byte order mark the CodePage line is ignored.
  TWKLanguageFile utf8;
  utf8.LoadFromBytes("\xEF\xBB\xBF[S]\nCodePage=1251\nk=\xC3\xA4\n");
  EXPECT_EQ(utf8.ReadString("S", "K", ""), "ä");
  // The first CodePage line counts, even when it is 0; an unknown page leaves the bytes.
  EXPECT_EQ(TWKLanguageFile::FindCodePage("[a]\nCodePage=0\nCodePage=1251\n"), 0);
  TWKLanguageFile unknown;
  unknown.LoadFromBytes("[S]\nCodePage=99999\nk=v\n");
  EXPECT_EQ(unknown.ReadString("S", "k", ""), "v");
}

TEST(IniFile, Rules) {
  TWKIniFile ini;
  ini.SetText("k=before\n[ One ]\n;c=1\n  a = 1 = 2 \n\x01 b=x\x7f\n[one]\na=second\n[]\nz=1\nnoequals\n");
  EXPECT_EQ(ini.ReadString("ONE", "A", ""), "1 = 2");
  EXPECT_EQ(ini.ReadString("one", "b", ""), "x");
  EXPECT_FALSE(ini.ValueExists("one", "k"));
  EXPECT_FALSE(ini.ValueExists("one", ";c"));
  EXPECT_EQ(ini.ReadString("", "z", ""), "1");
  EXPECT_EQ(ini.ReadInteger("one", "a", -5), -5);
}

TEST(LanguageId, FromLocaleNames) {
  EXPECT_EQ(LangIdFromLocaleName("de_DE.UTF-8"), 1031);
  EXPECT_EQ(LangIdFromLocaleName("de_AT"), 3079);
  EXPECT_EQ(LangIdFromLocaleName("de_LU.UTF-8@euro"), 1031);
  EXPECT_EQ(LangIdFromLocaleName("en"), 1033);
  EXPECT_EQ(LangIdFromLocaleName("en_GB.UTF-8"), 2057);
  EXPECT_EQ(LangIdFromLocaleName("C.UTF-8"), 1033);
  EXPECT_EQ(LangIdFromLocaleName("xx_YY"), 1033);
  EXPECT_EQ(LangIdFromLocaleName(""), 1033);
}

TEST(LanguageId, LocaleNamesOfIdentifiersMapBack) {
  EXPECT_EQ(LocaleNameFromLangId(1031), "de_DE");
  EXPECT_EQ(LocaleNameFromLangId(1033), "en_US");
  EXPECT_EQ(LocaleNameFromLangId(1040), "it");
  EXPECT_EQ(LocaleNameFromLangId(0), "");
  EXPECT_EQ(LocaleNameFromLangId(4711), "");
  for (uint16_t id : {1031, 2055, 3079, 1033, 2057, 1036, 3082, 1046, 2070, 2052, 1028, 1049, 1041})
    EXPECT_EQ(LangIdFromLocaleName(LocaleNameFromLangId(id)), id) << id;
}

TEST(LocalStringList, SortedAndUnsortedFind) {
  TWKLocalStringList list;
  for (int id : {50, 3, 20, 7, 1000}) list.SetText(id, std::to_string(id));
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(list.Find(7)->Text, "7");
  list.Sort();
  ASSERT_TRUE(list.Sorted());
  for (int id : {50, 3, 20, 7, 1000}) EXPECT_EQ(list.Find(id)->Text, std::to_string(id));
  EXPECT_EQ(list.Find(8), nullptr);
  EXPECT_EQ(list.Find(-1), nullptr);
  list.SetText(20, "twenty");  // an update keeps the order
  EXPECT_TRUE(list.Sorted());
  list.SetText(4, "four");
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(list.Find(4)->Text, "four");
}

}  // namespace

namespace {

// The text as UTF-16 with its byte order mark, in either byte order.
std::string Utf16File(const std::u16string& text, bool little) {
  std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t c : text) {
    const char lo = char(c & 0xFF), hi = char(c >> 8);
    bytes += little ? std::string{lo, hi} : std::string{hi, lo};
  }
  return bytes;
}

}  // namespace

TEST(LocalizerFiles, Utf16FilesWithTheirByteOrderMarkAreRead) {
  for (const bool little : {true, false}) {
    TTempFolder folder;
    folder.Write("Russian.ini",
                 Utf16File(u"[Language]\r\nLangId=1049\r\nLanguage=Русский\r\n[Strings]\r\n10=&Файл\r\n23=Выход 😀\r\n",
                           little));
    TWKLocalizer l(folder.Path(), 1049);
    ASSERT_EQ(l.Languages.size(), 1u) << little;
    EXPECT_EQ(l.Languages[0]->Name, "Русский");
    EXPECT_EQ(l.Lookup(10, ""), "&Файл");
    EXPECT_EQ(l.Lookup(23, ""), "Выход 😀");
  }
}

TEST(LocalizerFiles, AFileAboveTheLimitIsRefusedAndNamedOnce) {
  TTempFolder folder;
  folder.Write("English.ini", kEnglish);
  std::string huge = "[Language]\nLangId=1031\nLanguage=Deutsch\n[Strings]\n";
  while (huge.size() <= TWKLanguageFile::MaxBytes) huge += "10=" + std::string(1000, 'x') + "\n";
  folder.Write("German.ini", huge);
  TWKLocalizer l(folder.Path(), 1031);
  ASSERT_EQ(l.Languages.size(), 1u);  // the German file is not a language now
  EXPECT_EQ(l.BaseLanguageId, 1033);
  EXPECT_EQ(l.RefusedFiles, std::vector<std::string>{folder / "German.ini"});
  auto previous = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(folder.Path(), 1031));
  EXPECT_EQ(TakeLanguageFileMessage(),
            "The language file " + (folder / "German.ini") + " is larger than 2 MB and was not read.");
  EXPECT_EQ(TakeLanguageFileMessage(), "");
  SetGlobalLocalizer(std::move(previous));
}

TEST(LocalizerFiles, ManyStringsAreFoundAndTheLaterOfTwoWins) {
  TTempFolder folder;
  std::string text = "[Language]\nLangId=1033\nLanguage=English\n[Strings]\n";
  constexpr int kCount = 150'000;  // about 1.9 MB
  for (int i = kCount; i > 0; --i) text += std::to_string(i) + "=s" + std::to_string(i) + "\n";
  text += "77=again\n";
  ASSERT_LE(text.size(), TWKLanguageFile::MaxBytes);
  folder.Write("English.ini", text);
  TWKLocalizer l(folder.Path(), 1033);
  ASSERT_EQ(l.BaseStrings.Count(), kCount);
  EXPECT_TRUE(l.BaseStrings.Sorted());
  for (int i = 1; i <= kCount; i += 997) EXPECT_EQ(l.Lookup(i, ""), i == 77 ? "again" : "s" + std::to_string(i));
  EXPECT_EQ(l.Lookup(77, ""), "again");
  EXPECT_EQ(l.Lookup(kCount + 1, "none"), "none");
}
