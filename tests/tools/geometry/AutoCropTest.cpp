// The auto-crop rectangle against the rule applied literally, pixel by pixel, to the blank
// corners of turned images.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/WKFreeRotate.h"
#include "tools/geometry/AutoCrop.h"

namespace {

// Outside pixels of a turned grey image: the white ones.
struct TMask {
  int32_t W = 0, H = 0;
  std::vector<bool> Outside;
  bool Out(int32_t x, int32_t y) const { return Outside[static_cast<size_t>(y) * W + x]; }
  bool RowOut(int32_t y, int32_t l, int32_t r) const {
    for (int32_t x = l; x < r; ++x)
      if (Out(x, y)) return true;
    return false;
  }
  bool ColumnOut(int32_t x, int32_t t, int32_t b) const {
    for (int32_t y = t; y < b; ++y)
      if (Out(x, y)) return true;
    return false;
  }
};

TMask Turned(int32_t w, int32_t h, double angle, std::vector<TRotatedRow>& rows) {
  TWKPixelBuffer source, dest;
  EXPECT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, w, h)));
  for (int32_t y = 0; y < h; ++y) std::fill_n(source.PixelAddress(0, y), 3 * w, uint8_t{90});
  const TSize size = RotatedCanvasSize(w, h, angle);
  EXPECT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height)));
  EXPECT_TRUE(RotatePixels(source, dest, angle, TRotationFilter::Nearest, &rows));
  TMask m{size.Width, size.Height, {}};
  for (int32_t y = 0; y < size.Height; ++y)
    for (int32_t x = 0; x < size.Width; ++x) m.Outside.push_back(dest.PixelAddress(x, y)[0] == 255);
  return m;
}

// The rule as stated, scanning pixels.
TRect LiteralAutoCrop(const TMask& m) {
  const int32_t cx = m.W / 2, cy = m.H / 2;
  int32_t left = cx, top = cy, right = cx, bottom = cy;
  while (top > 0 && !m.Out(cx, top)) --top;
  while (bottom < m.H && !m.Out(cx, bottom)) ++bottom;
  while (left > 0 && !m.Out(left, cy)) --left;
  while (right < m.W && !m.Out(right, cy)) ++right;
  bool moved = true;
  while (moved && top < bottom - 1 && left < right - 1) {
    moved = false;
    if (m.RowOut(top, left, right)) ++top, moved = true;
    if (m.RowOut(bottom - 1, left, right)) --bottom, moved = true;
    if (m.ColumnOut(left, top, bottom)) ++left, moved = true;
    if (m.ColumnOut(right - 1, top, bottom)) --right, moved = true;
  }
  do {
    moved = false;
    if (top > 0 && !m.RowOut(top - 1, left, right)) --top, moved = true;
    if (bottom < m.H && !m.RowOut(bottom, left, right)) ++bottom, moved = true;
    if (left > 0 && !m.ColumnOut(left - 1, top, bottom)) --left, moved = true;
    if (right < m.W && !m.ColumnOut(right, top, bottom)) ++right, moved = true;
  } while (moved);
  return Rect(left, top, right, bottom);
}

}  // namespace

TEST(AutoCrop, EqualsTheRuleAppliedPixelByPixel) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> side(2, 90);
  std::uniform_real_distribution<double> turn(-std::numbers::pi, std::numbers::pi);
  int blanks = 0;
  for (int round = 0; round < 300; ++round) {
    const int32_t w = side(random), h = side(random);
    const double angle = round % 10 == 0 ? std::atan(0.1) : turn(random);
    std::vector<TRotatedRow> rows;
    const TMask mask = Turned(w, h, angle, rows);
    const TRect literal = LiteralAutoCrop(mask);
    bool blank = false;
    for (int32_t y = literal.Top; y < literal.Bottom; ++y)
      blank = blank || mask.RowOut(y, literal.Left, literal.Right);
    blanks += blank;
    // Where the rule ends on a rectangle that still touches a blank corner there is none to cut to.
    ASSERT_EQ(FindAutoCropRect(rows, mask.W), blank ? TRect{} : literal)
        << w << "x" << h << " angle " << angle;
  }
  EXPECT_GT(blanks, 0);
  EXPECT_LT(blanks, 30);
}

TEST(AutoCrop, QuarterTurnsKeepEverything) {
  for (double angle : {0.0, std::numbers::pi / 2, std::numbers::pi, -std::numbers::pi / 2}) {
    std::vector<TRotatedRow> rows;
    const TMask mask = Turned(57, 31, angle, rows);
    EXPECT_EQ(FindAutoCropRect(rows, mask.W), Rect(0, 0, mask.W, mask.H)) << angle;
  }
}

TEST(AutoCrop, RowsThatAreNotOneRunCountAsOutside) {
  std::vector<TRotatedRow> rows(20, TRotatedRow{0, 30, 30});
  rows[4] = {0, 30, 29};  // a gap somewhere
  EXPECT_EQ(FindAutoCropRect(rows, 30), Rect(0, 5, 30, 20));
  rows[15] = {3, 30, 27};
  EXPECT_EQ(FindAutoCropRect(rows, 30), Rect(3, 5, 30, 20));
  EXPECT_EQ(FindAutoCropRect({}, 30), TRect{});
  EXPECT_EQ(FindAutoCropRect(rows, 0), TRect{});
}
