// The text tool's lettering through the system's fonts: Unicode lines drawn as they are (what a
// code-page conversion would turn into question marks stays itself), one "Wy" height per line,
// and the free serif face standing in for the classic ones.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/QtTestApplication.h"
#include "tools/geometry/qt/QtTextRasterizer.h"

namespace {

std::vector<uint8_t> Blue(const TWKPixelBuffer& mask) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < mask.Height; ++y)
    for (int32_t x = 0; x < mask.Width; ++x) out.push_back(mask.Pixel(x, y)->Blue);
  return out;
}

TEST(QtTextRasterizer, UnicodeLinesAreDrawnAsTheyAre) {
  TQtTextRasterizer rasterizer;
  const std::string face = DefaultTextFace(rasterizer.FontNames());
  ASSERT_FALSE(face.empty());
  const TWKTextFont font{face, 24, 0};
  struct {
    const char* text;
    const char* codePage;  // what an 8-bit conversion leaves of it
  } cases[] = {{"Привет", "??????"}, {"Γειά σου", "???? ???"}, {"漢字かな", "????"}};
  for (const auto& c : cases) {
    TWKPixelBuffer mask, lossy;
    ASSERT_TRUE(rasterizer.Render(font, {c.text}, mask)) << c.text;
    ASSERT_TRUE(rasterizer.Render(font, {c.codePage}, lossy));
    ASSERT_NE(mask.Bits, nullptr) << c.text;
    const std::vector<uint8_t> blue = Blue(mask);
    EXPECT_EQ(*std::max_element(blue.begin(), blue.end()), 255) << c.text;
    EXPECT_NE(blue, Blue(lossy)) << c.text;
  }
}

TEST(QtTextRasterizer, LinesStackAtTheHeightOfWyAndEmptyTextGivesNoMask) {
  TQtTextRasterizer rasterizer;
  const TWKTextFont font{DefaultTextFace(rasterizer.FontNames()), 20, 1};
  TWKPixelBuffer one, three;
  ASSERT_TRUE(rasterizer.Render(font, {"Wy"}, one));
  // Trailing empty lines do not count; an empty line inside does.
  ASSERT_TRUE(rasterizer.Render(font, {"Wy", "", "Καλημέρα", "", ""}, three));
  EXPECT_EQ(three.Height, 3 * one.Height);
  EXPECT_GT(three.Width, one.Width);
  TWKPixelBuffer none;
  ASSERT_TRUE(rasterizer.Render(font, {"", ""}, none));
  EXPECT_EQ(none.Bits, nullptr);
}

}  // namespace
