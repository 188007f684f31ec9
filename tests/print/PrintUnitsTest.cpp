#include <gtest/gtest.h>

#include <string>

#include "print/WKPrintUnits.h"

namespace {

TEST(PrintUnits, ReadAndShowInEachUnit) {
  struct {
    int Unit;
    double Typed;
    int32_t HiMetric;
    const char* Shown;
  } cases[] = {
      {PrintUnitMillimeter, 1.5, 150, "1,5"},
      {PrintUnitCentimeter, 25.4, 25400, "25,4"},
      {PrintUnitCentimeter, 16.933, 16933, "16,933"},
      {PrintUnitInch, 1, 2540, "1"},
      {PrintUnitInch, 0.0001, 0, "0"},
      {PrintUnitPoint, 72, 2540, "72"},
      {PrintUnitPoint, 10, 353, "10,006"},  // 352.78 rounds to 353, shown back at three decimals
      {PrintUnitMillimeter, -12.25, -1225, "-12,25"},
  };
  for (const auto& c : cases) {
    int32_t value = 0;
    ASSERT_TRUE(PrintUnitToHiMetric(c.Unit, c.Typed, value));
    EXPECT_EQ(value, c.HiMetric) << c.Typed << " in unit " << c.Unit;
    EXPECT_EQ(PrintUnitText(c.Unit, c.HiMetric, ","), c.Shown);
  }
  EXPECT_EQ(PrintUnitText(PrintUnitCentimeter, 16933, "."), "16.933");
  int32_t untouched = 42;
  EXPECT_FALSE(PrintUnitToHiMetric(PrintUnitCount, 1, untouched));
  EXPECT_FALSE(PrintUnitToHiMetric(-1, 1, untouched));
  EXPECT_EQ(untouched, 42);
  EXPECT_EQ(PrintUnitText(4, 100, "."), "");
  EXPECT_EQ(PrintUnitCaptionId(PrintUnitInch), 759);
  EXPECT_EQ(PrintUnitCaptionId(7), 0);
}

TEST(PrintUnits, ScaleShowsAtMostTwoDecimalsAndNoLeadingZero) {
  EXPECT_EQ(PrintScaleText(1.0, "."), "100%");
  EXPECT_EQ(PrintScaleText(0.5, "."), "50%");
  EXPECT_EQ(PrintScaleText(0.123456, ","), "12,35%");
  EXPECT_EQ(PrintScaleText(0.004, "."), ".4%");
  EXPECT_EQ(PrintScaleText(2.5, ","), "250%");
}

TEST(PrintUnits, NumbersUseThePlatformSeparatorOnly) {
  struct {
    const char* Text;
    const char* Separator;
    bool Valid;
    double Value;
  } cases[] = {
      {"12", ".", true, 12},       {"12,5", ",", true, 12.5},  {"12.5", ",", false, 0},
      {",5", ",", true, 0.5},      {"12,", ",", true, 12},     {"-3", ".", true, -3},
      {"1e3", ".", true, 1000},    {"2.5E-1", ".", true, 0.25}, {"", ".", false, 0},
      {"-", ".", false, 0},        {",", ",", false, 0},       {"1e", ".", false, 0},
      {"abc", ".", false, 0},      {" 1", ".", false, 0},      {"1 ", ".", false, 0},
      {"+1", ".", false, 0},       {"inf", ".", false, 0},     {"nan", ".", false, 0},
      {"0x10", ".", false, 0},     {"1e400", ".", false, 0},   {"1,2,3", ",", false, 0},
      {"12%", ".", false, 0},
  };
  for (const auto& c : cases) {
    double value = -99;
    EXPECT_EQ(ParsePrintNumber(c.Text, c.Separator, value), c.Valid) << '"' << c.Text << '"';
    if (c.Valid) {
      EXPECT_DOUBLE_EQ(value, c.Value) << c.Text;
    }
  }
  EXPECT_EQ(FormatPrintNumber(12.5, ","), "12,5");
  EXPECT_EQ(FormatPrintNumber(0.1 + 0.2, "."), "0.3");
  EXPECT_EQ(FormatPrintNumber(123456789012345678.0, "."), "1.23456789012346e+17");
}

TEST(PrintUnits, TypedCharactersFollowTheFieldRules) {
  using F = TWKPrintField;
  struct {
    F Field;
    const char* Text;
    size_t Start, End;
    char Typed;
    bool Accepted;
  } cases[] = {
      {F::Width, "12", 2, 2, '5', true},
      {F::Width, "12", 2, 2, '\b', true},
      {F::Width, "12", 2, 2, 'x', false},
      {F::Width, "12", 0, 0, '-', false},
      {F::Height, "", 0, 0, '-', false},
      {F::Scale, "", 0, 0, '-', false},
      {F::Left, "12", 0, 0, '-', true},
      {F::Top, "12", 1, 1, '-', false},
      {F::Left, "12", 0, 0, '.', false},  // no separator in front of everything
      {F::Left, "12", 1, 1, ',', true},
      {F::Scale, "50%", 3, 3, '5', false},  // no digit after the per cent sign
      {F::Scale, "50%", 1, 1, '5', true},
      {F::Scale, "50", 2, 2, '%', true},
      {F::Scale, "50", 1, 1, '%', false},  // only at the end
      {F::Scale, "50", 1, 2, '%', true},   // the selection reaches the end
      {F::Scale, "50%", 2, 3, '%', false},
      {F::Scale, "", 0, 0, '%', false},
      {F::Width, "50", 2, 2, '%', false},
  };
  for (const auto& c : cases) {
    std::string inserted;
    EXPECT_EQ(AcceptPrintFieldKey(c.Field, c.Text, c.Start, c.End, c.Typed, ",", inserted), c.Accepted)
        << static_cast<int>(c.Field) << " '" << c.Text << "' at " << c.Start << " typing " << c.Typed;
  }
  std::string inserted;
  ASSERT_TRUE(AcceptPrintFieldKey(F::Width, "12", 2, 2, '.', ",", inserted));
  EXPECT_EQ(inserted, ",");
}

TEST(PrintUnits, LeavingAFieldWritesBackTheValueUsed) {
  using F = TWKPrintField;
  EXPECT_EQ(PrintFieldExitText(F::Width, "12,50", ","), "12,5");
  EXPECT_EQ(PrintFieldExitText(F::Width, "12,", ","), "12");
  EXPECT_EQ(PrintFieldExitText(F::Width, "abc", ","), "0");
  EXPECT_EQ(PrintFieldExitText(F::Left, "-", ","), "0");
  EXPECT_EQ(PrintFieldExitText(F::Scale, "50", ","), "50%");
  EXPECT_EQ(PrintFieldExitText(F::Scale, "%50", ","), "50%");
  EXPECT_EQ(PrintFieldExitText(F::Scale, "12,345%", ","), "12,345%");
  EXPECT_EQ(PrintFieldExitText(F::Scale, "5%0%", ","), "0%");
}

}  // namespace
