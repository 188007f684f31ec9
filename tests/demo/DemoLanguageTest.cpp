#include <gtest/gtest.h>

#include "FakeDemoPlatform.h"
#include "demo/WKDemoLanguage.h"

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + separator.size();
  }
  return parts;
}

// The lines a script (lines separated by " | ") expands to from its first line, joined by " / ".
std::string Expand(const std::string& script, int32_t* lineIndex = nullptr, std::string* error = nullptr) {
  TWKDemoLanguage language;
  const std::vector<std::string> lines = Split(script, " | ");
  EXPECT_TRUE(language.ExpandLine(lines, 0)) << script;
  if (lineIndex) *lineIndex = language.LineIndex();
  if (error) *error = language.Error();
  std::string produced;
  while (!language.IsEmpty()) produced += (produced.empty() ? "" : " / ") + language.TakeLine();
  return produced;
}

}  // namespace

TEST(DemoLanguage, DirectivesExpandAsWritten) {
  const struct {
    const char* Script;
    const char* Produced;
  } cases[] = {
      {"#FOR 0.2 Opacity 100 60 20", "Pause 0.2 / Opacity 100 / Pause 0.2 / Opacity 80 / Pause 0.2 / Opacity 60"},
      {"#DOFOR 3 1 | Size #for | #OD", "Size 3 / Size 2 / Size 1"},
      {"#EACH 0.3 mousemove 10,20 30,40", "Pause 0.3 / mousemove Image, 10,20 / Pause 0.3 / mousemove Image, 30,40"},
      {"#USE ZoomInButton &200",
       "Pause 0.5 / MouseCurvedMove ZoomInButton / Pause 0.5 / Message &200 / Pause 0.5 / ZoomInButton / Pause 0.5"},
      {"#to\tBestFit %a %b",
       "Pause 0.5 / MouseCurvedMove BestFit / Pause 0.5 / Message %a / Pause 0.5 / Message %b / Pause 0.5"},
      {"#TOIMAGE 120,80 %c", "Pause 0.5 / MouseCurvedMove Image, 120,80 / Pause 0.5 / Message %c / Pause 0.5"},
      {"#START 5,6", "MouseSpeed 5 / MouseTo Image, 0, 0 / Pause 0.5 / MouseCurvedMove Image, 5,6 / Pause 0.5"},
      {"#USE Open", "Pause 0.5 / MouseCurvedMove Open / Pause 0.5 / Open / Pause 0.5"},
      {"#USE Open %a %b",
       "Pause 0.5 / MouseCurvedMove Open / Pause 0.5 / Message %a / Pause 0.5 / Open / Pause 0.5 / Message %b / Pause 0.5"},
      {"#SET RedEyeBrightness 40 %a %b",
       "Pause 0.5 / MouseCurvedMove RedEyeBrightness / Pause 0.5 / Message %a / Pause 0.5 / RedEyeBrightness 40 / "
       "Pause 0.5 / Message %b / Pause 0.5"},
      {"#EACH 1 MouseCurvedMove 1,2", "Pause 1 / MouseCurvedMove Image, 1,2"},
      {"#EACH 1 Size 3 4", "Pause 1 / Size 3 / Pause 1 / Size 4"},
      {"#FOR 1 Size 1 5 2", "Pause 1 / Size 1 / Pause 1 / Size 3 / Pause 1 / Size 5"},
      {"#FOR 1 Size 1 3 -1", "Pause 1 / Size 1 / Pause 1 / Size 2 / Pause 1 / Size 3"},  // step follows the direction
      {"#FOR 1 Size 3 1 1", "Pause 1 / Size 3 / Pause 1 / Size 2 / Pause 1 / Size 1"},
      {"#FOR 1 Size 2 2 0", "Pause 1 / Size 2"},  // step 0 counts by one: no endless loop
      {"#FOR 1 Size 1 4 5", "Pause 1 / Size 1"},  // the first value always comes
      {"#DOEACH a B | Use #each X#EACHy | #EACH | #od", "Use a Xay / a / Use B XBy / B"},
      {"#DOEACH x | #TO y | *comment | #OD", "#TO y / *comment"},  // produced directives stay lines
      {"#FINISH",
       "MouseSpeed 5 / MouseCurvedMove OriginalImageButton / MouseDown / Message &392 / MouseUp / Message &393 / "
       "MouseDown / Pause 0.5 / MouseUp / Pause 0.5 / MouseDown / Pause 0.5 / MouseUp / Pause 0.5 / "
       "MouseDown / Pause 0.5 / MouseUp / Pause 0.5"},
      {"#EACH 0.5 Size", ""},
      {"#DOEACH | Size #each | #OD", ""},
      {"#DOFOR 1 3 | #OD", ""},
      {"#DOFOR 0 9223372036854775807 | #OD", ""},  // an empty block is not counted through
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.Script), c.Produced) << c.Script;
}

TEST(DemoLanguage, LineIndexIsTheDirectiveOrItsOd) {
  int32_t index = -1;
  Expand("#FOR 1 Size 1 2 | Pause", &index);
  EXPECT_EQ(index, 0);
  Expand("#DOFOR 1 2 | a | b | #OD | c", &index);
  EXPECT_EQ(index, 3);
  Expand("#DOEACH | #OD", &index);
  EXPECT_EQ(index, 1);
}

TEST(DemoLanguage, OrdinaryLinesAndUnknownDirectivesAreNotExpanded) {
  TWKDemoLanguage language;
  const std::vector<std::string> lines{"Pause 1", "#NOPE 1", "#OD", "", "  "};
  for (int32_t i = -1; i <= 5; ++i) EXPECT_FALSE(language.ExpandLine(lines, i)) << i;
  EXPECT_TRUE(language.IsEmpty());
  EXPECT_EQ(language.TakeLine(), "");  // nothing pending: nothing taken
}

TEST(DemoLanguage, BadCountsAndMissingBlocksFailWithAReason) {
  TProgramLanguages texts;
  for (const char* script : {"#FOR 1 Size 1.5 3", "#FOR 1 Size a 3", "#FOR 1 Size 1", "#FOR 1 Size 1 3 x",
                             "#DOFOR 1 - | a | #OD", "#DOFOR 1 | a | #OD", "#DOFOR 1 2 | a", "#DOEACH x",
                             "#FOR 1 Size 1 99999999999999999999"}) {
    std::string error;
    EXPECT_EQ(Expand(script, nullptr, &error), "") << script;
    EXPECT_NE(error, "") << script;
  }
  std::string error;
  Expand("#FOR 1 Size 1 2", nullptr, &error);
  EXPECT_EQ(error, "");  // a good expansion clears the last reason
}

TEST(DemoLanguage, CountsIn64BitsAndCapsTheExpansion) {
  TProgramLanguages texts;
  // Near the 32-bit limit a 32-bit counter would wrap and never end.
  EXPECT_EQ(Expand("#FOR 0 N 2147483646 2147483647"), "Pause 0 / N 2147483646 / Pause 0 / N 2147483647");
  EXPECT_EQ(Expand("#FOR 0 N 9223372036854775806 9223372036854775807 5"), "Pause 0 / N 9223372036854775806");
  EXPECT_EQ(Expand("#FOR 0 N -9223372036854775807 -9223372036854775808"),
            "Pause 0 / N -9223372036854775807 / Pause 0 / N -9223372036854775808");
  // 20 000 copies of a 1000-character line: few lines, but more text than allowed.
  std::string wide = "#DOEACH";
  for (int i = 0; i < 20000; ++i) wide += " x";
  wide += " | " + std::string(1000, 'a') + " | #OD";
  for (const std::string& script : {std::string("#FOR 0 N 1 1000000"),
                                    std::string("#DOFOR 0 9223372036854775807 | a | #OD"), wide}) {
    std::string error;
    EXPECT_EQ(Expand(script, nullptr, &error), "") << script;
    EXPECT_NE(error.find("too many lines"), std::string::npos) << script;
  }
  // Exactly at the cap still expands.
  TWKDemoLanguage language;
  const std::vector<std::string> lines{"#FOR 0 N 1 50000"};
  ASSERT_TRUE(language.ExpandLine(lines, 0));
  EXPECT_EQ(language.PendingCount(), TWKDemoLanguage::kMaxExpandedLines);
}
