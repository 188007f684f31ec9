// The colour adjustment's tables, mean colour and saturation pass.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "support/ForcedParts.h"
#include "tools/retouch/AdjustmentPixels.h"

namespace {

using TBuffer = std::unique_ptr<TWKPixelBuffer>;

TBuffer Uniform(int32_t width, int32_t height, TBGRPixel colour) {
  auto p = std::make_unique<TWKPixelBuffer>();
  EXPECT_TRUE(p->Allocate(FormatBGR24, Rect(0, 0, width, height)));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) *p->Pixel(x, y) = colour;
  return p;
}

// Odd width (padded rows) and enough bytes to be split across the cores.
TBuffer Noise(int32_t width, int32_t height, uint32_t seed) {
  auto p = std::make_unique<TWKPixelBuffer>();
  EXPECT_TRUE(p->Allocate(FormatBGR24, Rect(0, 0, width, height)));
  std::mt19937 random(seed);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width * 3; ++x) p->PixelAddress(0, y)[x] = static_cast<uint8_t>(random());
  return p;
}

TBGRPixel Saturated(TBGRPixel p, TChannelValues values) {
  TBGRPixel out;
  SaturatePixel(reinterpret_cast<const uint8_t*>(&p), reinterpret_cast<uint8_t*>(&out), values);
  return out;
}

}  // namespace

TEST(AdjustmentTablesTest, BrightnessShiftsByFivePointOnePerStep) {
  TLookupTable t;
  BuildBrightnessTable(0, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i);
  BuildBrightnessTable(50, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], 0) << "+50 blackens";
  BuildBrightnessTable(-50, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], 255) << "-50 whitens";
  BuildBrightnessTable(10, t);  // i - 51
  EXPECT_EQ(t[50], 0);
  EXPECT_EQ(t[51], 0);
  EXPECT_EQ(t[52], 1);
  EXPECT_EQ(t[255], 204);
}

TEST(AdjustmentTablesTest, ContrastFlattensTowardTheMeanOrThresholdsAtIt) {
  TLookupTable t;
  BuildContrastTable(0, 90.0, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i);
  BuildContrastTable(50, 100.0, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], 100);
  BuildContrastTable(-50, 100.0, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i <= 100 ? 0 : 255) << i;
  BuildContrastTable(25, 100.0, t);  // slope 1/2 through (100, 100)
  EXPECT_EQ(t[0], 50);
  EXPECT_EQ(t[100], 100);
  EXPECT_EQ(t[200], 150);
  BuildContrastTable(-25, 100.0, t);  // slope 2 through (100, 100)
  EXPECT_EQ(t[40], 0);
  EXPECT_EQ(t[90], 80);
  EXPECT_EQ(t[120], 140);
  EXPECT_EQ(t[200], 255);
}

TEST(AdjustmentTablesTest, GammaBrightensForPositiveValues) {
  TLookupTable t;
  BuildGammaTable(0, t);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i);
  BuildGammaTable(50, t);  // exponent 0.30003: 255 (64 / 255)^0.30003 = 168.4
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[64], 168);
  EXPECT_EQ(t[255], 255);
  BuildGammaTable(-50, t);  // exponent 3.333: 255 (192 / 255)^3.333 = 99.03
  EXPECT_EQ(t[192], 99);
  for (int i = 1; i < 255; ++i) EXPECT_LT(t[i], i);
}

TEST(AdjustmentMeanTest, SumsExactlyOverLargeImages) {
  // A float running sum drifts to 98.56 here; 24 megapixels of 255 overflow 32 bits.
  const TForcedParts parts(3);
  const TMeanColor grey = MeanColor(*Uniform(1024, 1024, {100, 100, 100}));
  EXPECT_EQ(grey.Blue, 100.0f);
  EXPECT_EQ(grey.Red, 100.0f);
  const TMeanColor white = MeanColor(*Uniform(6000, 4000, {255, 10, 3}));
  EXPECT_EQ(white.Blue, 255.0f);
  EXPECT_EQ(white.Green, 10.0f);
  EXPECT_EQ(white.Red, 3.0f);
  const TBuffer halves = Uniform(3, 2, {0, 0, 0});
  *halves->Pixel(0, 0) = {6, 60, 255};
  const TMeanColor mean = MeanColor(*halves);
  EXPECT_EQ(mean.Blue, 1.0f);
  EXPECT_EQ(mean.Green, 10.0f);
  EXPECT_EQ(mean.Red, 42.5f);
  EXPECT_EQ(MeanColor(TWKPixelBuffer{}).Red, 0.0f);
}

TEST(AdjustmentApplyTest, TablesReachEveryPixelOfEveryRowOnEachChannel) {
  const TBuffer noise = Noise(1001, 700, 7);
  const TWKPixelBuffer& source = *noise;
  TWKPixelBuffer dest;
  ASSERT_TRUE(dest.Allocate(FormatBGR24, source.BoundsRect()));
  TLookupTable red, green, blue;
  for (int i = 0; i < 256; ++i) {
    red[i] = static_cast<uint8_t>(255 - i);
    green[i] = static_cast<uint8_t>(i / 2);
    blue[i] = static_cast<uint8_t>(i ^ 0x55);
  }
  const TForcedParts parts(3);
  ASSERT_TRUE(ApplyLookupTables(source, dest, red, green, blue));
  for (int32_t y = 0; y < source.Height; ++y)
    for (int32_t x = 0; x < source.Width; ++x) {
      const TBGRPixel s = *source.Pixel(x, y), d = *dest.Pixel(x, y);
      ASSERT_EQ(d, (TBGRPixel{blue[s.Blue], green[s.Green], red[s.Red]})) << x << "," << y;
    }
  TWKPixelBuffer small;
  ASSERT_TRUE(small.Allocate(FormatBGR24, Rect(0, 0, 10, 10)));
  EXPECT_FALSE(ApplyLookupTables(source, small, red, green, blue));
}

TEST(AdjustmentSaturationTest, KeepsGreyAndHueAndFollowsTheMaximumChannel) {
  const TChannelValues all{50, 50, 50};
  EXPECT_EQ(Saturated({80, 80, 80}, all), (TBGRPixel{80, 80, 80}));
  // Full saturation drives the minimum to 0; the middle keeps its place between.
  EXPECT_EQ(Saturated({50, 100, 200}, all), (TBGRPixel{0, 67, 200}));
  // -50 leaves only the maximum: grey at its level.
  EXPECT_EQ(Saturated({50, 100, 200}, {-50, -50, -50}), (TBGRPixel{200, 200, 200}));
  // Red +25: S 0.75 -> 0.875, min' 25, mid' (25 - 50) 100 / 150 + 100 = 83.3.
  EXPECT_EQ(Saturated({50, 100, 200}, {25, 0, 0}), (TBGRPixel{25, 83, 200}));
  // Only the value of the channel holding the maximum counts.
  EXPECT_EQ(Saturated({50, 100, 200}, {0, 50, 50}), (TBGRPixel{50, 100, 200}));
  // Ties: blue outranks green, which outranks red.
  EXPECT_EQ(Saturated({200, 200, 50}, {0, 0, 50}), (TBGRPixel{200, 200, 0}));
  EXPECT_EQ(Saturated({200, 200, 50}, {0, 50, 0}), (TBGRPixel{200, 200, 50}));
  EXPECT_EQ(Saturated({50, 200, 200}, {0, 50, 0}), (TBGRPixel{0, 200, 200}));
  EXPECT_EQ(Saturated({50, 200, 200}, {50, 0, 0}), (TBGRPixel{50, 200, 200}));
}

// The rule as stated: S = (max - min) / max, S' from the value of the maximum's channel,
// min' = (1 - S') max, the middle kept in place; in long double, rounded halves to even.
TEST(AdjustmentSaturationTest, ExactArithmeticAgreesWithTheStatedRuleAwayFromTies) {
  std::mt19937 random(11);
  int compared = 0;
  for (int i = 0; i < 200000; ++i) {
    const TBGRPixel p{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())};
    const TChannelValues v{static_cast<int32_t>(random() % 101) - 50, static_cast<int32_t>(random() % 101) - 50,
                           static_cast<int32_t>(random() % 101) - 50};
    const uint8_t b[3] = {p.Blue, p.Green, p.Red};
    const int hi = b[0] >= b[1] && b[0] >= b[2] ? 0 : (b[1] >= b[2] ? 1 : 2);
    const int lo = b[2] <= b[1] && b[2] <= b[0] ? 2 : (b[1] <= b[0] ? 1 : 0);
    const int e = hi == 0 ? v.Blue : (hi == 1 ? v.Green : v.Red);
    if (b[hi] == b[lo] || e == 0) continue;
    const long double max = b[hi], min = b[lo], mid = b[3 - hi - lo];
    const long double s = (max - min) / max;
    const long double changed = e < 0 ? s + s * e / 50 : s + (1 - s) * e / 50;
    const long double newMin = (1 - changed) * max;
    const long double newMid = (newMin - min) * (max - mid) / (max - min) + mid;
    auto tie = [](long double x) { return std::fabs(x - std::floor(x) - 0.5L) < 1e-9L; };
    if (tie(newMin) || tie(newMid)) continue;
    uint8_t expected[3];
    expected[hi] = b[hi];
    expected[lo] = static_cast<uint8_t>(std::lround(newMin));
    expected[3 - hi - lo] = static_cast<uint8_t>(std::lround(newMid));
    ASSERT_EQ(Saturated(p, v), (TBGRPixel{expected[0], expected[1], expected[2]}))
        << int(p.Blue) << "," << int(p.Green) << "," << int(p.Red) << " e " << e;
    ++compared;
  }
  EXPECT_GT(compared, 150000);
  // Ties go to the even neighbour: min 1, +25 gives 0.5 -> 0; min 3 gives 1.5 -> 2.
  EXPECT_EQ(Saturated({1, 10, 200}, {25, 0, 0}).Blue, 0);
  EXPECT_EQ(Saturated({3, 10, 200}, {25, 0, 0}).Blue, 2);
}

// Every colour once, through the tabled whole-image pass, against the pixel rule.
TEST(AdjustmentSaturationTest, WholeImagePassMatchesThePixelRuleForEveryColour) {
  auto colours = std::make_unique<TWKPixelBuffer>();
  ASSERT_TRUE(colours->Allocate(FormatBGR24, Rect(0, 0, 4096, 4096)));
  for (int32_t y = 0; y < 4096; ++y)
    for (int32_t x = 0; x < 4096; ++x) {
      const uint32_t c = static_cast<uint32_t>(y) * 4096 + static_cast<uint32_t>(x);
      *colours->Pixel(x, y) = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
    }
  TWKPixelBuffer dest;
  ASSERT_TRUE(dest.Allocate(FormatBGR24, colours->BoundsRect()));
  for (const TChannelValues values : {TChannelValues{30, -20, 45}, TChannelValues{-50, 50, -1}}) {
    const TForcedParts parts(values.Red > 0 ? 3 : 1);
    int32_t reported = 0;
    ASSERT_TRUE(ApplySaturation(*colours, dest, values, [&](int32_t rows) { reported += rows; }));
    EXPECT_EQ(reported, 4096);
    for (int32_t y = 0; y < 4096; ++y)
      for (int32_t x = 0; x < 4096; ++x)
        ASSERT_EQ(*dest.Pixel(x, y), Saturated(*colours->Pixel(x, y), values)) << x << "," << y;
  }
}
