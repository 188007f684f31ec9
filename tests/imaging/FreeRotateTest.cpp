// Turning by any angle: the canvas size, the turn's direction and centre, white outside, the
// per-row record of inside pixels, and the vectorised rows against the plain ones on every
// instruction set.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKFreeRotate.h"
#include "imaging/WKGeometry.h"

namespace {

// Runs body once per instruction set compiled in and supported here, then restores the best.
void ForEachTarget(const std::function<void(const std::string&)>& body) {
  for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
    hwy::SetSupportedTargetsForTest(target);
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
    body(hwy::TargetName(target));
  }
  hwy::SetSupportedTargetsForTest(0);
  hwy::GetChosenTarget().Update(hwy::SupportedTargets());
}

void RandomImage(TWKPixelBuffer& p, int32_t w, int32_t h, std::mt19937& random) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, w, h)));
  FillRandom(p, random);
}

void Canvas(TWKPixelBuffer& p, TSize size) { ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height))); }

bool IsWhite(const TWKPixels& p, int32_t x, int32_t y) { return At(p, x, y) == TBGRPixel{255, 255, 255}; }

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
    EXPECT_EQ(RotatedCanvasSize(400, 300, angle),
              (TSize{int32_t(std::lround(400 * c + 300 * s)), int32_t(std::lround(400 * s + 300 * c))}))
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

TEST(RotatePixels, EqualsThePlainRowsOnEveryInstructionSet) {
  ForEachTarget([](const std::string& target) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int> side(1, 70);
    std::uniform_real_distribution<double> turn(-kPi, kPi);
    const double fixed[] = {0.0, kPi / 2, -kPi / 2, kPi, std::atan(0.1), 1e-9, -kPi / 4};
    for (int round = 0; round < 160; ++round) {
      // Widths that are multiples of 4 leave no row padding: the last pixel ends the memory.
      const int32_t w = round % 5 == 0 ? 4 * side(random) : side(random), h = side(random);
      const double angle = round < 7 ? fixed[round] : turn(random);
      TWKPixelBuffer source;
      RandomImage(source, w, h, random);
      const TSize size = round % 9 == 8 ? TSize{side(random), side(random)} : RotatedCanvasSize(w, h, angle);
      for (TRotationFilter filter : {TRotationFilter::Nearest, TRotationFilter::Hermite}) {
        TWKPixelBuffer fast, plain;
        Canvas(fast, size);
        Canvas(plain, size);
        std::vector<TRotatedRow> fastRows, plainRows;
        ASSERT_TRUE(RotatePixels(source, fast, angle, filter, &fastRows));
        ASSERT_TRUE(RotatePixelsPlain(source, plain, angle, filter, &plainRows));
        ASSERT_TRUE(SamePixels(fast, plain))
            << target << " round " << round << " " << w << "x" << h << " angle " << angle << " filter " << int(filter);
        ASSERT_EQ(fastRows, plainRows) << target << " round " << round;
      }
    }
  });
}

TEST(RotatePixels, LargeImagesOnBothCoresEqualThePlainRowsAndReportProgress) {
  std::mt19937 random(3);
  TWKPixelBuffer source;
  RandomImage(source, 640, 427, random);
  const double angle = -0.23;
  const TSize size = RotatedCanvasSize(640, 427, angle);
  for (TRotationFilter filter : {TRotationFilter::Nearest, TRotationFilter::Hermite}) {
    TWKPixelBuffer fast, plain;
    Canvas(fast, size);
    Canvas(plain, size);
    std::vector<TRotatedRow> fastRows, plainRows;
    int32_t last = 0, calls = 0;
    bool rising = true;
    ASSERT_TRUE(RotatePixels(source, fast, angle, filter, &fastRows, [&](int32_t done, int32_t total) {
      rising = rising && done >= last && total == size.Height;
      last = done;
      ++calls;
    }));
    ASSERT_TRUE(RotatePixelsPlain(source, plain, angle, filter, &plainRows));
    EXPECT_TRUE(SamePixels(fast, plain));
    EXPECT_EQ(fastRows, plainRows);
    EXPECT_TRUE(rising);
    EXPECT_EQ(last, size.Height);
    EXPECT_GT(calls, 1);
  }
}
