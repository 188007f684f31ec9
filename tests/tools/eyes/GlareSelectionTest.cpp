// The gleam's ellipse and brightening: the rectangle a drag spans, the ellipse squeezed into
// the image, the strength falling from the centre to the rim, and an image one pixel high.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/eyes/GlareSelection.h"

namespace {

TEST(GlareSelection, DragSpansARectangleCentredOnThePress) {
  EXPECT_EQ(GleamRect({50, 50}, {60, 56}, 128), Rect(40, 44, 60, 56));  // 20 × 12
  EXPECT_EQ(GleamRect({50, 50}, {60, 56}, 64), Rect(45, 47, 55, 53));
  EXPECT_EQ(GleamRect({50, 50}, {43, 41}, 128), Rect(43, 41, 57, 59));
  EXPECT_EQ(GleamRect({0, 0}, {-3, -3}, 100), Rect(-2, -2, 2, 2));  // −2.34 truncated toward zero
  EXPECT_TRUE(GleamRect({7, 7}, {7, 7}, 128).IsEmpty());
}

TEST(GlareSelection, EllipseHoldsThePixelsWhoseCentresLieInside) {
  TWKPixelBuffer image;
  ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 100, 100)));
  TGlareSelection selection;
  selection.Select(image, Rect(40, 44, 60, 56));
  for (int32_t y = 40; y < 60; ++y)
    for (int32_t x = 36; x < 64; ++x) {
      const double u = (x + 0.5 - 50) / 10, v = (y + 0.5 - 50) / 6;
      EXPECT_EQ(selection.Region().Contains(x, y), u * u + v * v <= 1) << x << "," << y;
    }
  EXPECT_EQ(selection.Region().BoundingBox(), Rect(40, 44, 60, 56));
  EXPECT_EQ(selection.SelectionBounds(), Rect(39, 43, 61, 57));

  // Past the image the ellipse is squeezed into the clipped rectangle, not cut.
  selection.Select(image, Rect(-10, 10, 30, 30));
  EXPECT_EQ(selection.Region().BoundingBox(), Rect(0, 10, 30, 30));
  EXPECT_TRUE(selection.Region().Contains(0, 19));
  EXPECT_FALSE(selection.Region().Contains(0, 10));
  EXPECT_EQ(selection.SelectionBounds(), Rect(0, 9, 31, 31));

  selection.Select(image, Rect(200, 200, 220, 220));
  EXPECT_TRUE(selection.Region().IsEmpty());
  EXPECT_TRUE(selection.SelectionBounds().IsEmpty());
}

// t = 1 − ρ mapped from [0.4, 1] to [0, 1], k = min(1, B t / 255), C + trunc((255 − C) k).
uint8_t Brightened(uint8_t c, double rho, int32_t brightness) {
  double t = 1 - rho;
  t = t < 0.4 ? 0 : (t - 0.4) / 0.6;
  const double k = std::min(1.0, brightness * t / 255);
  return static_cast<uint8_t>(c + std::trunc((255 - c) * k));
}

TEST(GlareSelection, StrengthFallsFromTheCentreToTheRim) {
  for (int32_t brightness : {0, 204, 255, 320}) {
    TWKPixelBuffer image;
    ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 100, 100)));
    for (int32_t y = 0; y < 100; ++y)
      for (int32_t x = 0; x < 100; ++x) *image.Pixel(x, y) = TBGRPixel{20, 40, 60};
    TGlareSelection selection;
    selection.Select(image, Rect(30, 30, 71, 71));  // 41 × 41: bounds 29..71, extents 42, centre 50
    ApplyGleamPixels(image, selection, brightness);
    struct {
      int32_t x, y;
      double rho;
    } pixels[] = {{50, 50, 0}, {60, 50, 10.0 / 42}, {50, 40, 10.0 / 42}, {66, 62, std::hypot(16, 12) / 42},
                  {70, 50, 20.0 / 42}};
    for (const auto& p : pixels) {
      const TBGRPixel got = *image.Pixel(p.x, p.y);
      EXPECT_EQ(got.Blue, Brightened(20, p.rho, brightness)) << brightness << " at " << p.x << "," << p.y;
      EXPECT_EQ(got.Red, Brightened(60, p.rho, brightness)) << brightness << " at " << p.x << "," << p.y;
    }
    EXPECT_EQ(*image.Pixel(29, 50), (TBGRPixel{20, 40, 60}));  // outside the set
    EXPECT_EQ(*image.Pixel(31, 31), (TBGRPixel{20, 40, 60}));
  }
  // The named strengths: at 255 a quarter out moves 7/12 of the way; at 320 the centre is white.
  EXPECT_EQ(Brightened(0, 0.25, 255), 148);  // 255 × 7 / 12 = 148.75
  EXPECT_EQ(Brightened(0, 0.1, 320), 255);
}

// An image one pixel high leaves no vertical extent: that term is dropped, nothing is undefined.
TEST(GlareSelection, AFlatImageDropsTheZeroExtent) {
  TWKPixelBuffer image;
  ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 100, 1)));
  TGlareSelection selection;
  selection.Select(image, Rect(40, -5, 61, 6));
  ASSERT_EQ(selection.Region().BoundingBox(), Rect(40, 0, 61, 1));
  ApplyGleamPixels(image, selection, 255);
  // Bounds 39..62 wide: extent 22, centre 50; ρ = |x − 50| / 22.
  EXPECT_EQ(image.Pixel(50, 0)->Red, 255);
  EXPECT_EQ(image.Pixel(60, 0)->Red, Brightened(0, 10.0 / 22, 255));
  EXPECT_EQ(image.Pixel(39, 0)->Red, 0);
}

}  // namespace
