#include "tools/eyes/RedEyeSelection.h"

#include <gtest/gtest.h>

#include "tools/eyes/TestImage.h"

namespace {

int32_t TolFor(int32_t areaSize) { return 255 - areaSize; }

}  // namespace

TEST(RedEyeSelection, ThresholdFollowsAreaSize) {
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(176)), 70);
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(255)), 110);
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(36)), 0);
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(35)), 0);
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(0)), 0);
  EXPECT_EQ(TRedEyeSelection::Threshold(TolFor(37)), 1);
  EXPECT_EQ(TRedEyeSelection::Threshold(-1000000000), 255);  // no overflow for wild input
}

TEST(RedEyeSelection, UniformImageFillsTheShrunkSearchSquare) {
  TTestImage img(400, 400, BGR(200, 0, 0));
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {200, 200}, TolFor(176), 0));
  // Square 200 +- 87, shrunk by one for the fill, then restored.
  EXPECT_EQ(sel.SearchRect(), Rect(113, 113, 287, 287));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(114, 114, 286, 286));
  EXPECT_EQ(sel.Region().Count(), 172 * 172);
  EXPECT_EQ(sel.SelectionBounds(), Rect(113, 113, 287, 287));
  EXPECT_GT(sel.StackPushes(), 172 * 172);
  EXPECT_EQ(sel.DiagnosticLine().rfind("Stack iterations: ", 0), 0u);
}

TEST(RedEyeSelection, ColourIsComparedWithTheClickedPixel) {
  // A horizontal ramp of red, +5 per column: every step is small, but only columns within
  // T = 20 of the click (AreaSize 75) may join.
  TTestImage img(200, 60);
  for (int32_t x = 0; x < 200; ++x) img.Fill(Rect(x, 0, x + 1, 60), BGR(x, 0, 0));
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {100, 30}, TolFor(75), 0));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(80, 1, 121, 59));
}

TEST(RedEyeSelection, DistanceLimitsTheFillToRadiusThresholdSquared) {
  TTestImage img(100, 100, BGR(120, 40, 40));
  TRedEyeSelection sel;
  // AreaSize 41: T = 3, so only pixels within Chebyshev distance 9 of the click.
  ASSERT_TRUE(sel.Select(img.Pixels, {50, 50}, TolFor(41), 0));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(41, 41, 60, 60));
  EXPECT_EQ(sel.Region().Count(), 19 * 19);
}

TEST(RedEyeSelection, ThresholdZeroSelectsOnlyTheClickedPixelThenBorderApplies) {
  TTestImage img(50, 50, BGR(200, 10, 10));
  img.Set(21, 20, BGR(201, 10, 10));  // differs by one: rejected at T = 0
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {20, 20}, TolFor(35), 0));
  // Even the equal neighbours lie at distance 1 > T: the clicked pixel alone.
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(20, 20, 21, 21));
  EXPECT_EQ(sel.Region().Count(), 1);
  ASSERT_TRUE(sel.Select(img.Pixels, {20, 20}, TolFor(35), 2));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(18, 18, 23, 23));
  EXPECT_EQ(sel.Region().Count(), 25);
}

TEST(RedEyeSelection, BorderShrinksAndGrowsByWholePixels) {
  TTestImage img(100, 100, BGR(20, 20, 20));
  img.Fill(Rect(40, 40, 60, 60), BGR(200, 30, 30));
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {50, 50}, TolFor(176), 0));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(40, 40, 60, 60));
  ASSERT_TRUE(sel.Select(img.Pixels, {50, 50}, TolFor(176), 3));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(37, 37, 63, 63));
  EXPECT_EQ(sel.Region().Count(), 26 * 26);
  ASSERT_TRUE(sel.Select(img.Pixels, {50, 50}, TolFor(176), -2));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(42, 42, 58, 58));
  // Values beyond -5..5 act as the nearest end.
  ASSERT_TRUE(sel.Select(img.Pixels, {50, 50}, TolFor(176), 40));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(35, 35, 65, 65));
}

TEST(RedEyeSelection, NegativeBorderOnAOnePixelLineLeavesNothing) {
  TTestImage img(60, 60, BGR(10, 10, 10));
  img.Fill(Rect(10, 30, 50, 31), BGR(220, 20, 20));
  TRedEyeSelection sel;
  EXPECT_FALSE(sel.Select(img.Pixels, {30, 30}, TolFor(176), -1));
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_TRUE(sel.SelectionBounds().IsEmpty());
}

TEST(RedEyeSelection, GrowthStaysInsideTheSearchSquare) {
  TTestImage img(400, 400, BGR(200, 0, 0));
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {200, 200}, TolFor(176), 5));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(114, 114, 286, 286));
}

TEST(RedEyeSelection, ClicksOffTheImageSelectNothing) {
  TTestImage img(40, 30, BGR(200, 0, 0));
  TRedEyeSelection sel;
  for (TPoint p : {TPoint{-1, 10}, TPoint{40, 10}, TPoint{10, -1}, TPoint{10, 30},
                   TPoint{-500, -500}, TPoint{INT32_MAX, INT32_MIN}}) {
    EXPECT_FALSE(sel.Select(img.Pixels, p, TolFor(176), 5)) << p.X << "," << p.Y;
    EXPECT_TRUE(sel.IsEmpty());
    EXPECT_TRUE(sel.SelectionBounds().IsEmpty());
  }
  TWKPixels none;
  EXPECT_FALSE(sel.Select(none, {0, 0}, TolFor(176), 0));
}

TEST(RedEyeSelection, TinyImagesAndEdgeClicks) {
  TRedEyeSelection sel;
  for (int32_t size : {1, 2}) {
    TTestImage img(size, size, BGR(200, 0, 0));
    for (int32_t y = 0; y < size; ++y)
      for (int32_t x = 0; x < size; ++x) {
        EXPECT_FALSE(sel.Select(img.Pixels, {x, y}, TolFor(255), 5));
        EXPECT_TRUE(sel.SelectionBounds().IsEmpty());
      }
  }
  TTestImage three(3, 3, BGR(200, 0, 0));
  ASSERT_TRUE(sel.Select(three.Pixels, {0, 0}, TolFor(176), 5));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(1, 1, 2, 2));  // the only inner pixel
  EXPECT_EQ(sel.SelectionBounds(), Rect(0, 0, 3, 3));

  // A click on the corner of a large image: the outermost row and column are never taken.
  TTestImage img(300, 200, BGR(200, 0, 0));
  ASSERT_TRUE(sel.Select(img.Pixels, {299, 0}, TolFor(176), 0));
  EXPECT_EQ(sel.SearchRect(), Rect(212, 0, 300, 87));
  EXPECT_EQ(sel.Region().BoundingBox(), Rect(213, 1, 299, 86));
  EXPECT_EQ(sel.SelectionBounds(), Rect(212, 0, 300, 87));
}

TEST(RedEyeSelection, CoverageBlursTheEdge) {
  TTestImage img(60, 60, BGR(10, 10, 10));
  img.Fill(Rect(20, 20, 40, 40), BGR(220, 20, 20));
  TRedEyeSelection sel;
  ASSERT_TRUE(sel.Select(img.Pixels, {30, 30}, TolFor(176), 0));
  EXPECT_EQ(sel.CoverageAt(30, 30), 255);
  EXPECT_EQ(sel.CoverageAt(30, 20), 191);  // just inside the top edge
  EXPECT_EQ(sel.CoverageAt(30, 19), 63);   // just outside it
  EXPECT_EQ(sel.CoverageAt(19, 19), 15);   // touches the corner diagonally
  EXPECT_EQ(sel.CoverageAt(20, 20), 143);  // inner corner: 1020 + 2 x 510 + 255
  EXPECT_EQ(sel.CoverageAt(18, 30), 0);
}
