// The brush family's stamp shapes, worked out from their definitions: the soft brush's solid
// core and linear fall, the averaging disc, the stroke's per-pixel maximum, the blend through a
// mask and the preview.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/brush/BrushMasks.h"
#include "tools/brush/BrushPreview.h"

namespace {

uint8_t At(const TWKPixelMask& m, int32_t x, int32_t y) { return *m.ByteAddress(x, y); }

TEST(BrushMasks, BrushRectIsAnOddSquareCentredOnThePoint) {
  EXPECT_EQ(BrushRect({10, 20}, 10), Rect(5, 15, 16, 26));
  EXPECT_EQ(BrushRect({10, 20}, 11), Rect(5, 15, 16, 26));
  EXPECT_EQ(BrushRect({0, 0}, 1), Rect(0, 0, 1, 1));
  EXPECT_EQ(BrushRect({3, 3}, 0), Rect(3, 3, 4, 4));
}

// Size 10: e = 5, f = 5.5, g = 5 × hardness / 255 − 0.5; solid to g, linear to 0 at f.
TEST(BrushMasks, SoftMaskFallsLinearlyFromTheHardnessRadius) {
  TWKPixelMask mask;
  ASSERT_TRUE(BuildSoftMask(mask, 10, 128, 255));
  EXPECT_EQ(mask.BoundsRect(), Rect(-5, -5, 6, 6));
  const double g = 5.0 * 128 / 255 - 0.5;  // 2.0098
  struct {
    int32_t x, y;
    uint8_t expected;
  } cases[] = {
      {0, 0, 255}, {2, 0, 255}, {0, -2, 255}, {1, 1, 255},                  // d < g
      {3, 0, 183},                                                          // 2.5 / 3.49 × 255
      {-3, 0, 183}, {0, 3, 183},                                            // mirrored
      {5, 0, static_cast<uint8_t>(std::nearbyint(0.5 / (5.5 - g) * 255))},  // 37
      {4, 3, 37},                                                           // d = 5
      {5, 5, 0}, {-5, -4, 0},                                               // past 5.5
  };
  for (const auto& c : cases) EXPECT_EQ(At(mask, c.x, c.y), c.expected) << c.x << "," << c.y;

  // Hardness 255: full out to 4.5, half at 5, nothing beyond 5.5.
  ASSERT_TRUE(BuildSoftMask(mask, 10, 255, 255));
  EXPECT_EQ(At(mask, 4, 0), 255);
  EXPECT_EQ(At(mask, 0, -4), 255);
  EXPECT_EQ(At(mask, 5, 0), 128);  // 127.5 rounds to even
  EXPECT_EQ(At(mask, 4, 4), 0);    // 5.66
  // Opacity scales the whole shape.
  ASSERT_TRUE(BuildSoftMask(mask, 10, 255, 100));
  EXPECT_EQ(At(mask, 0, 0), 100);
  EXPECT_EQ(At(mask, 5, 0), 50);
  // Hardness 0: a cone from the centre.
  ASSERT_TRUE(BuildSoftMask(mask, 10, 0, 255));
  EXPECT_EQ(At(mask, 0, 0), std::nearbyint(5.5 / 6.0 * 255));
}

TEST(BrushMasks, SizeOneIsOneFullPixelAtAnyOpacity) {
  for (int32_t size : {0, 1}) {
    TWKPixelMask mask;
    ASSERT_TRUE(BuildSoftMask(mask, size, 128, 40));
    EXPECT_EQ(mask.BoundsRect(), Rect(0, 0, 1, 1));
    EXPECT_EQ(At(mask, 0, 0), 255);
  }
}

TEST(BrushMasks, DiscMaskKeepsThePixelsWithinTheRoundedRadius) {
  struct {
    int32_t size;
    int64_t limit;  // round((size / 2 + 0.1)²)
  } cases[] = {{2, 1}, {3, 3}, {5, 7}, {10, 26}, {11, 31}, {30, 228}, {64, 1030}};
  for (const auto& c : cases) {
    TWKPixelMask mask;
    ASSERT_TRUE(BuildDiscMask(mask, c.size, 200));
    const int32_t r = c.size / 2;
    for (int32_t y = -r; y <= r; ++y)
      for (int32_t x = -r; x <= r; ++x)
        EXPECT_EQ(At(mask, x, y), (y == 0 || x * x + y * y <= c.limit) ? 200 : 0)
            << "size " << c.size << " at " << x << "," << y;
  }
  TWKPixelMask one;
  ASSERT_TRUE(BuildDiscMask(one, 1, 77));
  EXPECT_EQ(At(one, 0, 0), 77);
}

TEST(BrushMasks, MergeKeepsTheGreaterByteOnlyWhereTheMasksOverlap) {
  TWKPixelMask stroke, dab;
  ASSERT_TRUE(stroke.SetBounds(0, 0, 20, 10));
  *stroke.ByteAddress(5, 5) = 90;
  *stroke.ByteAddress(6, 5) = 10;
  ASSERT_TRUE(BuildDiscMask(dab, 5, 50));
  dab.Left = 4;  // covers x 4..8, y 3..7
  dab.Top = 3;
  MergeMaskMaximum(stroke, dab);
  EXPECT_EQ(stroke.BoundsRect(), Rect(0, 0, 20, 10));  // never grows
  EXPECT_EQ(At(stroke, 5, 5), 90);
  EXPECT_EQ(At(stroke, 6, 5), 50);
  EXPECT_EQ(At(stroke, 4, 5), 50);
  EXPECT_EQ(At(stroke, 3, 5), 0);
  // A dab reaching past the stroke's bounds merges its inside part.
  dab.Left = -2;
  dab.Top = -2;
  MergeMaskMaximum(stroke, dab);
  EXPECT_EQ(At(stroke, 0, 0), 50);
  EXPECT_EQ(At(stroke, 2, 0), 50);
  EXPECT_EQ(At(stroke, 2, 2), 0);  // the disc's corner
}

// The integer blend equals ClampRound(((255 − m) s + m t) / 255) for every input.
TEST(BrushMasks, MaskBlendRoundsAsTheRealFormula) {
  for (uint32_t m = 0; m < 256; m += 3)
    for (uint32_t s = 0; s < 256; ++s)
      for (uint32_t t = 0; t < 256; t += 5)
        ASSERT_EQ(MaskBlend(s, t, m), ClampRound(((255.0 - m) * s + m * double(t)) / 255.0)) << m << " " << s << " " << t;
  const uint8_t source[6] = {200, 100, 50, 10, 20, 30}, target[6] = {0, 0, 0, 255, 255, 255}, mask[2] = {204, 255};
  uint8_t out[6];
  BlendRowTowardGrey(out, source, mask, 2, 0);
  EXPECT_EQ(out[0], 40);  // a fifth of 200
  EXPECT_EQ(out[3], 0);
  BlendRowTowardRow(out, source, target, mask, 2);
  EXPECT_EQ(out[1], 20);
  EXPECT_EQ(out[5], 255);
}

TEST(BrushPreview, MaskIsCentredInBlackOnWhiteInsideAGreyFrame) {
  TWKPixelBuffer image;
  ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 21, 21)));
  TWKPixelMask mask;
  ASSERT_TRUE(BuildSoftMask(mask, 5, 255, 255));  // 5 × 5, centre full
  RenderBrushPreview(image, mask, true);
  auto px = [&](int32_t x, int32_t y) { return *image.Pixel(x, y); };
  EXPECT_EQ(px(0, 0), (TBGRPixel{128, 128, 128}));
  EXPECT_EQ(px(20, 7), (TBGRPixel{128, 128, 128}));
  EXPECT_EQ(px(5, 5), (TBGRPixel{255, 255, 255}));
  EXPECT_EQ(px(10, 10), (TBGRPixel{0, 0, 0}));  // (21 − 5) div 2 = 8: the centre of the mask
  // A partial byte e gives p + floor(e (c − p) / 256).
  const uint8_t e = *mask.ByteAddress(2, 0);
  const uint8_t v = static_cast<uint8_t>(255 + std::floor(e * (0.0 - 255) / 256));
  EXPECT_EQ(px(12, 10), (TBGRPixel{v, v, v}));
  RenderBrushPreview(image, mask, false);
  EXPECT_EQ(px(10, 10), (TBGRPixel{192, 192, 192}));
  EXPECT_EQ(px(0, 10), (TBGRPixel{128, 128, 128}));
}

}  // namespace
