#include <gtest/gtest.h>

#include <clocale>
#include <variant>

#include "demo/WKDemoScript.h"
#include "demo/WKDemoScriptParams.h"
#include "FakeDemoPlatform.h"
#include "framework/TempFolder.h"
#include "framework/WKLanguageId.h"
#include "framework/WKLocalizer.h"

namespace {

// "Привет" in UTF-8 and in code page 1251.
const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";

}  // namespace

TEST(DemoScript, SectionsFollowTheIniRulesAndCommandLinesKeepTheirText) {
  TWKDemoScript s;
  s.LoadFromText(
      "Title=dropped before any section\n[info]\n Title = Red eyes \r\nImage=red.jpg\n"
      "[Script]\r\n  ; a comment\n\n#USE ZoomInButton &200\nMessage \"a = b\"\n"
      "[1033]\nTitle=English title\n[SCRIPT]\nNot=used\n");
  ASSERT_EQ(s.SectionCount(), 4);
  EXPECT_EQ(s.InfoValue("TITLE"), "Red eyes");
  EXPECT_EQ(s.InfoValue("image"), "red.jpg");
  EXPECT_EQ(s.InfoValue("Missing"), "");
  // The first "Script" section counts; blanks around "=" go even inside a message.
  EXPECT_EQ(s.ScriptLines(), (std::vector<std::string>{"#USE ZoomInButton &200", "Message \"a=b\""}));
  EXPECT_FALSE(s.Utf8);

  TWKDemoScript empty;
  empty.LoadFromText("no sections at all\n");
  ASSERT_EQ(empty.SectionCount(), 2);  // "Info" and "Script" always exist
  EXPECT_EQ(empty.SectionName(0), "Info");
  EXPECT_EQ(empty.SectionName(1), "Script");
  int32_t index = -1;
  EXPECT_TRUE(empty.FindSection("script", index));
  EXPECT_EQ(index, 1);
  // Deleting "Script" leaves an empty one behind, so ScriptLines always has a section.
  empty.DeleteSection(1);
  EXPECT_TRUE(empty.FindSection("Script", index));
  EXPECT_TRUE(empty.ScriptLines().empty());
}

TEST(DemoScript, ByteOrderMarkChoosesUtf8ElseTheLanguagesCodePage) {
  TDemoTestLanguages languages(1049);
  TWKDemoScript utf8;
  utf8.LoadFromText("\xEF\xBB\xBF[Info]\nTitle=" + kPrivetUtf8 + "\n");
  EXPECT_TRUE(utf8.Utf8);
  EXPECT_EQ(utf8.Title(), kPrivetUtf8);

  TWKDemoScript ansi;
  ansi.LoadFromText("[Info]\nTitle=" + kPrivet1251 + "\n[1049]\nIntro=" + kPrivet1251 + "\n");
  EXPECT_FALSE(ansi.Utf8);
  EXPECT_EQ(ansi.Title(), kPrivetUtf8);  // the "Info" title is decoded too
  EXPECT_EQ(ansi.LocalizedValue("intro"), kPrivetUtf8);
  EXPECT_EQ(ansi.ResolveText("%Intro"), kPrivetUtf8);
  EXPECT_EQ(ansi.ResolveText(kPrivet1251), kPrivetUtf8);
  EXPECT_EQ(ansi.ResolveText("&392"), "Hold");
  EXPECT_EQ(ansi.ResolveText("&x"), "&x");
  EXPECT_EQ(ansi.ResolveText("%"), "%");  // a lone "%" is text
}

TEST(DemoScript, SavedUtf8ScriptReadsBackUnchanged) {
  TDemoTestLanguages languages(1049);
  TTempFolder folder;
  TWKDemoScript s;
  s.LoadFromText("\xEF\xBB\xBF[Info]\nTitle=" + kPrivetUtf8 + "\n[Script]\nMessage \"" + kPrivetUtf8 + "\"\n");
  ASSERT_TRUE(s.SaveToFile(folder / "a.dsc"));
  EXPECT_TRUE(TTempFolder::Read(folder / "a.dsc").starts_with("\xEF\xBB\xBF[Info]\n"));
  TWKDemoScript back;
  ASSERT_TRUE(back.LoadFromFile(folder / "a.dsc"));
  EXPECT_TRUE(back.Utf8);
  EXPECT_EQ(back.Title(), kPrivetUtf8);
  EXPECT_EQ(back.ScriptLines(), s.ScriptLines());

  // An 8-bit script stays 8-bit: no mark, the same bytes.
  TWKDemoScript ansi;
  ansi.LoadFromText("[Info]\nTitle=" + kPrivet1251 + "\n");
  ASSERT_TRUE(ansi.SaveToFile(folder / "b.dsc"));
  EXPECT_EQ(TTempFolder::Read(folder / "b.dsc"), "[Info]\nTitle=" + kPrivet1251 + "\n[Script]\n");

  // A new script holds the program's UTF-8 text and is saved as such.
  TWKDemoScript fresh;
  fresh.ScriptLines().push_back("Message \"" + kPrivetUtf8 + "\"");
  ASSERT_TRUE(fresh.SaveToFile(folder / "c.dsc"));
  TWKDemoScript freshBack;
  freshBack.LoadFromFile(folder / "c.dsc");
  EXPECT_EQ(freshBack.ResolveText(kPrivetUtf8), kPrivetUtf8);

  EXPECT_FALSE(back.LoadFromFile(folder / "missing.dsc"));
  EXPECT_TRUE(back.ScriptLines().empty());
  EXPECT_FALSE(s.SaveToFile(folder / "no/such/folder.dsc"));
}

TEST(DemoScript, TitleFallsBackFromLanguageToInfoToFileName) {
  TDemoTestLanguages languages(1033);
  TWKDemoScript s;
  s.LoadFromText("[Info]\nTitle=Info title\n[1033]\nTitle=English title\n[1049]\nTitle=Russian\n");
  EXPECT_EQ(s.Title(), "English title");
  SelectLanguage(1049);
  EXPECT_EQ(s.Title(), "Russian");
  SelectLanguage(1033);
  s.LoadFromText("[Info]\nTitle=&392\n[1031]\nTitle=German only\n");
  EXPECT_EQ(s.Title(), "Hold it");  // no 1033 section: the Info title, a language string
  s.LoadFromText("[Info]\nImage=x.jpg\n");
  s.FileName = "/demo/folder/02 Red.eyes.dsc";
  EXPECT_EQ(s.Title(), "02 Red.eyes");
}

TEST(DemoScript, AssignCopiesSectionsAndEncoding) {
  TWKDemoScript a;
  a.LoadFromText("[Info]\nTitle=x\n[Script]\nPause\n[1031]\nTitle=y\n");
  TWKDemoScript b;
  b.Assign(a);
  a.ScriptLines().push_back("Pause 2");
  EXPECT_EQ(b.SectionCount(), 3);
  EXPECT_EQ(b.ScriptLines(), std::vector<std::string>{"Pause"});
  EXPECT_FALSE(b.Utf8);
  b.Clear();
  EXPECT_EQ(b.SectionCount(), 2);
  EXPECT_TRUE(b.Utf8);
}

namespace {

using TValue = std::variant<int32_t, double, std::string>;

std::vector<TValue> Parse(const std::string& text, bool expectOk = true) {
  TWKDemoScriptParams params;
  std::string error;
  EXPECT_EQ(ParseArguments(params, text, error), expectOk) << text << ": " << error;
  std::vector<TValue> values;
  for (int i = 0; i < params.Count(); ++i) {
    const TWKVariant v = params.GetVariant(i);
    if (const auto* n = std::get_if<int32_t>(&v)) values.emplace_back(*n);
    if (const auto* d = std::get_if<double>(&v)) values.emplace_back(*d);
    if (const auto* s = std::get_if<std::string>(&v)) values.emplace_back(*s);
  }
  return values;
}

}  // namespace

TEST(DemoScriptParams, ArgumentsAreTypedByTheirFirstCharacter) {
  const struct {
    const char* Text;
    std::vector<TValue> Values;
  } cases[] = {
      {"Image, 0, 0", {"Image", 0, 0}},
      {"0.5", {0.5}},
      {"\"Zoom In\"", {"Zoom In"}},
      {"&392", {"&392"}},
      {"1.5E3", {1500.0}},
      {"1e3", {1}},  // a lower-case e is no part of a number and ends the list
      {"true, 'two\\nlines'", {-1, "two\nlines"}},
      {"false,+7,-3", {0, 7, -3}},
      {" \"unclosed, 5", {"unclosed, 5"}},
      {"a,,b", {"a", "", "b"}},
      {"x y", {"x"}},  // anything but a comma after an argument ends the list
      {"10,20,", {10, 20}},
      {"(10,20)", {"(10", 20}},  // a digit starts a number; ")" ends the list
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.Text), c.Values) << c.Text;
}

TEST(DemoScriptParams, NumbersIgnoreTheLocaleAndBadOnesFailInOrder) {
  TProgramLanguages texts;
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(Parse("2.25"), std::vector<TValue>{2.25});
  }
  std::setlocale(LC_NUMERIC, saved.c_str());

  for (const char* bad : {"1.2.3", "-", "+", "99999999999", "5, 1E999", "--1", "7-"}) {
    TWKDemoScriptParams params;
    std::string error;
    EXPECT_FALSE(ParseArguments(params, bad, error)) << bad;
    EXPECT_NE(error, "") << bad;
  }
  std::string many;
  for (int i = 0; i < 2000; ++i) many += "1,";
  Parse(many, false);
}

TEST(DemoScriptParams, TextAndNumberReadEveryKind) {
  TWKDemoScriptParams p;
  p.AddInteger(-4);
  p.AddDouble(0.25);
  p.AddString("Image");
  EXPECT_EQ(p.Text(0), "-4");
  EXPECT_EQ(p.Text(1), "0.25");
  EXPECT_EQ(p.Text(2), "Image");
  EXPECT_EQ(p.Text(3), "");
  double v = 0;
  EXPECT_TRUE(p.Number(1, v));
  EXPECT_EQ(v, 0.25);
  EXPECT_FALSE(p.IsNumber(2));
  TWKDemoScriptParams copy(p);
  EXPECT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.Text(2), "Image");
}

TEST(DemoLanguageId, CodePagesFollowTheLanguage) {
  EXPECT_EQ(AnsiCodePage(1049), 1251);
  EXPECT_EQ(AnsiCodePage(1031), 1252);
  EXPECT_EQ(AnsiCodePage(1045), 1250);
  EXPECT_EQ(AnsiCodePage(1041), 932);
  EXPECT_EQ(AnsiCodePage(2052), 936);
  EXPECT_EQ(AnsiCodePage(1028), 950);
  EXPECT_EQ(AnsiCodePage(0), 1252);
}
