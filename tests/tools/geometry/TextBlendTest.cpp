// The text tool's pixel rules: the blend toward a colour or the picture's inverse with its
// rounding toward minus infinity, mirroring, the nearest-pixel stretch and the box's handles.
#include <gtest/gtest.h>

#include <memory>

#include <vector>

#include "imaging/WKParallel.h"
#include "tools/geometry/TextBlend.h"
#include "support/ForcedParts.h"

namespace {

// A 24-bit surface at (0, 0) whose blue bytes are the given values.
std::unique_ptr<TWKPixelBuffer> MaskRow(std::initializer_list<uint8_t> values) {
  auto owned = std::make_unique<TWKPixelBuffer>();
  TWKPixelBuffer& mask = *owned;
  mask.Allocate(FormatBGR24, Rect(0, 0, static_cast<int32_t>(values.size()), 1));
  int32_t x = 0;
  for (uint8_t v : values) *mask.Pixel(x++, 0) = {v, v, v};
  return owned;
}

TEST(TextBlend, ColoursAndInversesThroughTheMask) {
  struct {
    TTextPaint paint;
    TBGRPixel pixel;
    uint8_t m;
    TBGRPixel expected;
  } cases[] = {
      // The inverse modes on (200, 100, 50) under full mask.
      {{1, 0, true}, {200, 100, 50}, 255, {0, 255, 255}},
      {{1, 0, false}, {200, 100, 50}, 255, {55, 155, 205}},
      // p + ⌊(c − p) × m / 256⌋, rounding toward minus infinity: 101 − 50.5 gives 50.
      {{0, 0x000000, false}, {200, 101, 1}, 128, {100, 50, 0}},
      {{0, 0xFFFFFF, false}, {0, 1, 254}, 128, {127, 128, 254}},
      // 0x00BBGGRR: red in the low byte.
      {{0, 0x0000FF, false}, {9, 9, 9}, 255, {0, 0, 255}},
      {{0, 0x123456, false}, {9, 8, 7}, 0, {9, 8, 7}},
  };
  for (const auto& c : cases) {
    TWKPixelBuffer image;
    image.Allocate(FormatBGR24, Rect(0, 0, 1, 1));
    *image.Pixel(0, 0) = c.pixel;
    const auto mask = MaskRow({c.m});
    BlendTextMask(image, *mask, Rect(0, 0, 1, 1), false, false, c.paint);
    EXPECT_EQ(*image.Pixel(0, 0), c.expected) << int(c.m) << " mode " << c.paint.ColorMode;
  }
}

TEST(TextBlend, MirroredMasksAndBoxesPastTheImage) {
  const auto mask = MaskRow({255, 0, 0, 128});
  const TTextPaint white{0, 0xFFFFFF, false};
  for (const bool mirrored : {false, true}) {
    TWKPixelBuffer image;
    image.Allocate(FormatBGR24, Rect(0, 0, 6, 1));
    // The box starts one pixel left of the image: its first mask column falls outside.
    BlendTextMask(image, *mask, Rect(-1, 0, 3, 1), mirrored, false, white);
    const uint8_t expected[2][6] = {{0, 0, 127, 0, 0, 0}, {0, 0, 255, 0, 0, 0}};
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(image.Pixel(x, 0)->Blue, expected[mirrored][x]) << mirrored << x;
  }
  // A mask of another size than the box changes nothing.
  TWKPixelBuffer image;
  image.Allocate(FormatBGR24, Rect(0, 0, 6, 1));
  BlendTextMask(image, *mask, Rect(0, 0, 5, 1), false, false, white);
  EXPECT_EQ(image.Pixel(0, 0)->Blue, 0);
}

TEST(TextBlend, NearestPixelStretch) {
  const auto source = MaskRow({10, 20});
  TWKPixelBuffer fitted;
  ASSERT_TRUE(FitTextMask(*source, 5, 3, fitted));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(fitted.Pixel(x, y)->Blue, x < 3 ? 10 : 20) << x << "," << y;
  ASSERT_TRUE(FitTextMask(*source, 1, 1, fitted));
  EXPECT_EQ(fitted.Pixel(0, 0)->Blue, 10);
  EXPECT_FALSE(FitTextMask(*source, 0, 4, fitted));
  EXPECT_EQ(fitted.Bits, nullptr);
}

TEST(TextBlend, HandlesMoveTheirEdgesAndTheBoxIsNormalised) {
  const TRect box{10, 20, 50, 60};
  struct {
    int32_t code;
    TRect expected;
  } cases[] = {{thInside, {13, 24, 53, 64}},    {thTop, {10, 24, 50, 60}},  {thTopRight, {10, 24, 53, 60}},
               {thRight, {10, 20, 53, 60}},     {thBottomRight, {10, 20, 53, 64}}, {thBottom, {10, 20, 50, 64}},
               {thBottomLeft, {13, 20, 50, 64}}, {thLeft, {13, 20, 50, 60}}, {thTopLeft, {13, 24, 50, 60}}};
  for (const auto& c : cases) EXPECT_EQ(MoveTextBox(box, c.code, 3, 4), c.expected) << c.code;
  // The right edge dragged past the left one.
  EXPECT_EQ(MoveTextBox(box, thRight, -60, 0), (TRect{-10, 20, 10, 60}));

  EXPECT_EQ(TextHandleHitTest(box, {30, 20}), thTop);
  EXPECT_EQ(TextHandleHitTest(box, {49, 59}), thBottomRight);
  EXPECT_EQ(TextHandleHitTest(box, {14, 40}), thLeft);
  EXPECT_EQ(TextHandleHitTest(box, {30, 40}), thInside);
  EXPECT_EQ(TextHandleHitTest(box, {70, 40}), thNone);
  // On a tiny box the squares overlap: the top handle is tried first.
  EXPECT_EQ(TextHandleHitTest(TRect{0, 0, 2, 2}, {0, 0}), thTop);
}

TEST(TextBlend, RowsGiveTheSameBytesOnAnyNumberOfThreads) {
  TWKPixelBuffer source;
  source.Allocate(FormatBGR24, Rect(0, 0, 37, 11));
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 37; ++x) {
      const uint8_t v = static_cast<uint8_t>((x * 29 + y * 71) % 256);
      *source.Pixel(x, y) = {v, v, v};
    }
  std::vector<std::vector<uint8_t>> results;
  for (const int32_t parts : {1, 2, 3, 8}) {
    const TForcedParts forced(parts);
    TWKPixelBuffer fitted, image;
    ASSERT_TRUE(FitTextMask(source, 1500, 900, fitted));
    image.Allocate(FormatBGR24, Rect(0, 0, 1400, 1000));
    BlendTextMask(image, fitted, Rect(-50, 20, 1450, 920), true, true, TTextPaint{1, 0, false});
    results.emplace_back(image.Bits, image.Bits + static_cast<size_t>(image.RowBytes) * image.Height);
  }
  for (size_t i = 1; i < results.size(); ++i) EXPECT_EQ(results[i], results[0]) << i;
}

}  // namespace
