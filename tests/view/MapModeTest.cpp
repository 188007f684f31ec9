#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "view/WKMapMode.h"

namespace {

struct TRatio {
  int32_t Num, Den;
};
// The image view's zoom steps.
constexpr TRatio kZoomSteps[] = {{1, 16}, {1, 12}, {1, 8}, {1, 7}, {1, 6}, {1, 5},  {1, 4},
                                 {1, 3},  {1, 2},  {3, 4}, {1, 1}, {3, 2}, {2, 1},  {3, 1},
                                 {4, 1},  {5, 1},  {6, 1}, {7, 1}, {8, 1}, {12, 1}, {16, 1}};

int64_t FloorDiv64(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t Reference(int64_t v, int64_t fromOrigin, int64_t fromExtent, int64_t toOrigin,
                  int64_t toExtent) {
  return FloorDiv64((v - fromOrigin) * toExtent, fromExtent) + toOrigin;
}

// The old arithmetic: a 32-bit product, the division in extended floating point. None when
// the product does not fit 32 bits.
std::optional<int32_t> Old32(int32_t v, int32_t fromOrigin, int32_t fromExtent, int32_t toOrigin,
                             int32_t toExtent) {
  int32_t diff = 0, product = 0;
  if (__builtin_sub_overflow(v, fromOrigin, &diff)) return std::nullopt;
  if (__builtin_mul_overflow(diff, toExtent, &product)) return std::nullopt;
  const long double q = std::floor(static_cast<long double>(product) / fromExtent);
  return static_cast<int32_t>(q) + toOrigin;
}

TWKMapMode Zoom(TRatio z, TPoint scroll) {
  TWKMapMode m;
  m.DevExtent = {z.Num, z.Num};
  m.DocExtent = {z.Den, z.Den};
  m.DevOrigin = scroll;
  return m;
}

}  // namespace

TEST(MapMode, IdentityAndFloorRounding) {
  TWKMapMode m;
  for (TPoint p : {TPoint{0, 0}, TPoint{-7, 12}, TPoint{INT32_MAX, INT32_MIN}}) {
    EXPECT_EQ(m.DocToDev(p), p);
    EXPECT_EQ(m.DocFromDev(p), p);
  }
  m.DevExtent = {3, 3};
  m.DocExtent = {2, 2};
  EXPECT_EQ(m.DocToDev({1, -1}), (TPoint{1, -2}));
  EXPECT_EQ(m.DocFromDev({2, -2}), (TPoint{1, -2}));
  EXPECT_EQ(m.DocToDevRect({-1, -1, 3, 5}), (TRect{-2, -2, 4, 7}));
  TPoint pts[] = {{1, 1}, {-1, -1}, {4, 4}};
  m.DocToDevPoints(pts, 3);
  EXPECT_EQ(pts[0], (TPoint{1, 1}));
  EXPECT_EQ(pts[1], (TPoint{-2, -2}));
  EXPECT_EQ(pts[2], (TPoint{6, 6}));
}

TEST(MapMode, OriginsAndNegativeExtents) {
  TWKMapMode m;
  m.SetMapping({10, 20, 110, 220}, {-5, 100, 195, 0});  // y flipped: extent -100
  EXPECT_EQ(m.DevExtent, (TPoint{200, -100}));
  EXPECT_EQ(m.DocToDev({10, 20}), (TPoint{-5, 100}));
  EXPECT_EQ(m.DocToDev({11, 21}), (TPoint{-3, 99}));
  EXPECT_EQ(m.DocFromDev({-4, 99}), (TPoint{10, 22}));  // y: floor(-1 * 200 / -100) = 2
}

// Both directions agree with exact rational arithmetic; lattice points (where the exact
// result is whole) come back exactly; any other point comes back within the one unit the
// floor of the finer space can cost.
TEST(MapMode, RoundTripsAreExactAtEveryZoomStep) {
  for (TRatio z : kZoomSteps) {
    for (TPoint scroll : {TPoint{0, 0}, TPoint{-1234, 77}, TPoint{5, -99999}}) {
      const TWKMapMode m = Zoom(z, scroll);
      for (int32_t v = -20000; v <= 20000; v += 7) {
        const TPoint dev = m.DocToDev({v, -v});
        ASSERT_EQ(dev.X, Reference(v, 0, z.Den, scroll.X, z.Num));
        ASSERT_EQ(dev.Y, Reference(-v, 0, z.Den, scroll.Y, z.Num));
        const TPoint doc = m.DocFromDev({v, -v});
        ASSERT_EQ(doc.X, Reference(v, scroll.X, z.Num, 0, z.Den));
        ASSERT_EQ(doc.Y, Reference(-v, scroll.Y, z.Num, 0, z.Den));

        const TPoint lattice{v * z.Den, -v * z.Den};
        ASSERT_EQ(m.DocFromDev(m.DocToDev(lattice)), lattice) << z.Num << "/" << z.Den;
        const TPoint devLattice{v * z.Num + scroll.X, -v * z.Num + scroll.Y};
        ASSERT_EQ(m.DocToDev(m.DocFromDev(devLattice)), devLattice) << z.Num << "/" << z.Den;

        const TPoint coarse =
            z.Num >= z.Den ? m.DocFromDev(m.DocToDev({v, v})) : m.DocToDev(m.DocFromDev({v, v}));
        ASSERT_TRUE(coarse.X == v || coarse.X == v - 1) << z.Num << "/" << z.Den << " " << v;
        if (z.Num % z.Den == 0 || z.Den % z.Num == 0) {
          ASSERT_EQ(coarse.X, v);
        }
      }
      const TRect image{0, 0, 4000 * z.Den, 3000 * z.Den};
      ASSERT_EQ(m.DocRectFromDev(m.DocToDevRect(image)), image);
    }
  }
}

TEST(MapMode, FitRatiosAndExtremeCoordinatesMatchExactArithmetic) {
  const TRatio fits[] = {{600, 3000}, {800, 4000}, {599, 4001}, {46341, 46340}, {INT32_MAX, 3}};
  for (TRatio z : fits) {
    const TWKMapMode m = Zoom(z, {-17, 23});
    for (int32_t v : {0, 1, -1, 4000, -4000, 65535, 1 << 20, INT32_MAX / 2, INT32_MIN / 2}) {
      const int64_t dev = Reference(v, 0, z.Den, -17, z.Num);
      const int64_t expected = std::clamp<int64_t>(dev, INT32_MIN, INT32_MAX);
      EXPECT_EQ(m.DocToDev({v, v}).X, expected) << z.Num << "/" << z.Den << " v " << v;
    }
  }
}

// An A0 sheet at 2400 dpi: the products of the mapping pass 32 bits.
TEST(MapMode, PrintExtentsAreExactAndAgreeWithThe32BitResultsWhereThoseFit) {
  TWKPrinterMetrics a0;
  a0.PrintableWidth = 79464;
  a0.PrintableHeight = 112346;
  a0.OffsetX = 120;
  a0.OffsetY = 95;
  a0.PrintableWidthMM = 841.0;
  a0.PrintableHeightMM = 1189.0;
  TWKHiMetric m;
  m.SetupForPrinter(a0);
  EXPECT_EQ(m.DocExtent, (TPoint{84100, 118900}));
  EXPECT_EQ(m.DevOrigin, (TPoint{-120, -95}));

  int32_t overflowing = 0, compared = 0;
  for (int32_t doc = -5000; doc <= 125000; doc += 13) {
    const TPoint dev = m.DocToDev({doc, doc});
    ASSERT_EQ(dev.X, Reference(doc, 0, 84100, -120, 79464));
    ASSERT_EQ(dev.Y, Reference(doc, 0, 118900, -95, 112346));
    // A device pixel is coarser than a hundredth of a millimetre on both axes: device ->
    // document -> device comes back to the pixel or, where the floor of the finer space
    // cuts, one before it; device corners on the ratio's lattice come back exactly.
    const TPoint back = m.DocFromDev({doc, doc});
    ASSERT_EQ(back.Y, Reference(doc, -95, 112346, 0, 118900));
    const TPoint again = m.DocToDev(back);
    ASSERT_TRUE(again.X == doc || again.X == doc - 1);
    ASSERT_TRUE(again.Y == doc || again.Y == doc - 1);
    if (auto old = Old32(doc, 0, 84100, -120, 79464)) {
      ASSERT_EQ(dev.X, *old);
      ++compared;
    } else {
      ++overflowing;
    }
  }
  const TRect sheet{0, 0, 84100, 118900};
  EXPECT_EQ(m.DocToDevRect(sheet), (TRect{-120, -95, 79464 - 120, 112346 - 95}));
  EXPECT_EQ(m.DocRectFromDev(m.DocToDevRect(sheet)), sheet);
  EXPECT_GT(compared, 1000);
  EXPECT_GT(overflowing, 1000);  // the old arithmetic overflowed on most of the sheet
}

TEST(MapMode, ThirtyTwoBitResultsAreKeptWhereverTheyFit) {
  for (TRatio z : kZoomSteps) {
    for (int32_t v = -300000; v <= 300000; v += 101) {
      const TWKMapMode m = Zoom(z, {31, -7});
      if (auto old = Old32(v, 0, z.Den, 31, z.Num)) {
        ASSERT_EQ(m.DocToDev({v, 0}).X, *old);
      }
      if (auto old = Old32(v, 31, z.Num, 0, z.Den)) {
        ASSERT_EQ(m.DocFromDev({v, 0}).X, *old);
      }
    }
  }
}

TEST(MapMode, ResultsSaturateInsteadOfWrapping) {
  TWKMapMode m;
  m.DevExtent = {INT32_MAX, INT32_MAX};
  EXPECT_EQ(m.DocToDev({INT32_MAX, INT32_MIN}), (TPoint{INT32_MAX, INT32_MIN}));
  m.DevOrigin = {INT32_MAX, INT32_MIN};
  EXPECT_EQ(m.DocToDev({0, 0}), (TPoint{INT32_MAX, INT32_MIN}));
  EXPECT_EQ(m.DocFromDev({INT32_MIN, INT32_MAX}), (TPoint{-3, 2}));
}

TEST(HiMetric, UnitConversionsRoundHalvesToEven) {
  EXPECT_EQ(TWKHiMetric::FromCentimeters(2.5f), 2500);
  EXPECT_EQ(TWKHiMetric::FromInches(1.0f), 2540);
  EXPECT_EQ(TWKHiMetric::FromMillimeters(0.125f), 12);  // 12.5 -> 12
  EXPECT_EQ(TWKHiMetric::FromMillimeters(0.375f), 38);  // 37.5 -> 38
  EXPECT_EQ(TWKHiMetric::FromPoints(72.0f), 2540);
  EXPECT_EQ(TWKHiMetric::FromPoints(1.0f), 35);  // 35.28
  EXPECT_FLOAT_EQ(TWKHiMetric::ToInches(5080), 2.0f);
  EXPECT_FLOAT_EQ(TWKHiMetric::ToPoints(2540), 72.0f);
  EXPECT_FLOAT_EQ(TWKHiMetric::ToCentimeters(1500), 1.5f);
  EXPECT_FLOAT_EQ(TWKHiMetric::ToMillimeters(-250), -2.5f);
}
