// Turning by any angle: the canvas size, the turn's direction and centre, white outside and the
// per-row record of inside pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKFreeRotate.h"
#include "imaging/WKGeometry.h"

namespace {

void RandomImage(TWKPixelBuffer& p, int32_t w, int32_t h, std::mt19937& random) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, w, h)));
  FillRandom(p, random);
}

void Canvas(TWKPixelBuffer& p, TSize size) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height)));
}

bool IsWhite(const TWKPixels& p, int32_t x, int32_t y) {
  return At(p, x, y) == TBGRPixel{255, 255, 255};
}

constexpr double kPi = std::numbers::pi;

}  // namespace

TEST(RotatedCanvasSize, HoldsTheTurnedCorners) {
  EXPECT_EQ(RotatedCanvasSize(400, 300, 0.0), (TSize{400, 300}));
  EXPECT_EQ(RotatedCanvasSize(400, 300, kPi / 2), (TSize{300, 400}));
  EXPECT_EQ(RotatedCanvasSize(400, 300, -kPi / 2), (TSize{300, 400}));
  EXPECT_EQ(RotatedCanvasSize(400, 300, kPi), (TSize{400, 300}));
  // For small angles W = w cos θ + h sin θ and H = w sin θ + h cos θ.
  for (double angle : {std::atan(0.1), -std::atan(0.1), 0.3}) {
    const double c = std::cos(angle), s = std::fabs(std::sin(angle));
    EXPECT_EQ(RotatedCanvasSize(400, 300, angle), (TSize{int32_t(std::lround(400 * c + 300 * s)),
                                                         int32_t(std::lround(400 * s + 300 * c))}))
        << angle;
  }
  EXPECT_EQ(RotatedCanvasSize(400, 300, std::atan(0.1)), (TSize{428, 338}));
  EXPECT_EQ(RotatedCanvasSize(1, 1, 0.0), (TSize{1, 1}));
  EXPECT_EQ(RotatedCanvasSize(0, 10, 0.5), (TSize{}));
  EXPECT_EQ(RotatedCanvasSize(10, 10, std::nan("")), (TSize{}));
}

TEST(RotatePixels, ZeroAngleGivesTheImageAndQuarterTurnsGiveTheTurns) {
  std::mt19937 random(5);
  TWKPixelBuffer source;
  RandomImage(source, 37, 22, random);
  for (TRotationFilter filter : {TRotationFilter::Nearest, TRotationFilter::Hermite}) {
    TWKPixelBuffer same;
    Canvas(same, RotatedCanvasSize(37, 22, 0.0));
    std::vector<TRotatedRow> rows;
    ASSERT_TRUE(RotatePixels(source, same, 0.0, filter, &rows));
    EXPECT_TRUE(SamePixels(same, source));
    ASSERT_EQ(rows.size(), 22u);
    for (const TRotatedRow& row : rows) EXPECT_EQ(row, (TRotatedRow{0, 37, 37}));

    // A positive angle turns the picture counter-clockwise on screen (y points down).
    TWKPixelBuffer turned, left, right;
    Canvas(turned, RotatedCanvasSize(37, 22, kPi / 2));
    Canvas(left, {22, 37});
    Canvas(right, {22, 37});
    RotateLeftPixels(source, left);
    RotateRightPixels(source, right);
    ASSERT_TRUE(RotatePixels(source, turned, kPi / 2, filter));
    EXPECT_TRUE(SamePixels(turned, left)) << int(filter);
    ASSERT_TRUE(RotatePixels(source, turned, -kPi / 2, filter));
    EXPECT_TRUE(SamePixels(turned, right)) << int(filter);
  }
}

TEST(RotatePixels, CornersAreWhiteAndTheCentreStays) {
  // A grey image with a black centre pixel, turned by 20°: the centre stays black, the four
  // corners of the canvas are white, and every row's inside run is white-free.
  TWKPixelBuffer source;
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 61, 41)));
  for (int32_t y = 0; y < 41; ++y)
    for (int32_t x = 0; x < 61; ++x) *source.Pixel(x, y) = {100, 100, 100};
  *source.Pixel(30, 20) = {0, 0, 0};
  const double angle = kPi / 9;
  const TSize size = RotatedCanvasSize(61, 41, angle);
  ASSERT_EQ(size, (TSize{71, 59}));  // odd sides: the canvas has a centre pixel
  for (TRotationFilter filter : {TRotationFilter::Nearest, TRotationFilter::Hermite}) {
    TWKPixelBuffer dest;
    Canvas(dest, size);
    std::vector<TRotatedRow> rows;
    ASSERT_TRUE(RotatePixels(source, dest, angle, filter, &rows));
    EXPECT_EQ(At(dest, size.Width / 2, size.Height / 2), (TBGRPixel{0, 0, 0}));
    for (TPoint corner : {TPoint{0, 0}, TPoint{size.Width - 1, 0}, TPoint{0, size.Height - 1},
                          TPoint{size.Width - 1, size.Height - 1}})
      EXPECT_TRUE(IsWhite(dest, corner.X, corner.Y));
    int64_t inside = 0;
    for (int32_t y = 0; y < size.Height; ++y) {
      const TRotatedRow& row = rows[static_cast<size_t>(y)];
      EXPECT_EQ(row.Count, row.End - row.First) << "row " << y << " is one run";
      inside += row.Count;
      for (int32_t x = 0; x < size.Width; ++x)
        EXPECT_EQ(IsWhite(dest, x, y), x < row.First || x >= row.End) << x << "," << y;
    }
    // The turned rectangle keeps its area, up to the rounded edges.
    EXPECT_NEAR(static_cast<double>(inside), 61.0 * 41.0, 61 + 41);
  }
}

TEST(RotatePixels, RefusesWhatItCannotTurn) {
  TWKPixelBuffer source, dest, wide;
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 5, 5)));
  EXPECT_FALSE(RotatePixels(source, dest, 0.1, TRotationFilter::Nearest));  // empty source
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 5, 5)));
  EXPECT_FALSE(RotatePixels(source, dest, std::nan(""), TRotationFilter::Nearest));
  EXPECT_FALSE(RotatePixels(source, dest, INFINITY, TRotationFilter::Hermite));
  ASSERT_TRUE(wide.Allocate(FormatBGRA32, Rect(0, 0, 5, 5)));
  EXPECT_FALSE(RotatePixels(wide, dest, 0.1, TRotationFilter::Nearest));
  EXPECT_FALSE(RotatePixelsPlain(source, wide, 0.1, TRotationFilter::Nearest));
}
