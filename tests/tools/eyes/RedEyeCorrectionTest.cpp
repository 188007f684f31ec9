#include "tools/eyes/RedEyeCorrection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tools/eyes/RedEyeParams.h"
#include "tools/eyes/TestImage.h"

namespace {

// The darkening loop as stated, in real arithmetic.
int32_t LoopReducedRed(int32_t r, int32_t g, int32_t b, int32_t brightness) {
  const double bright = brightness < 1 ? 1 : brightness;
  const double h = std::max(1, g + b);
  int32_t reduced = r;
  while (bright <= r * (reduced / h) * (reduced / h)) --reduced;
  return reduced;
}

// c + floor(w * (target - c) / 256)
int32_t Blend(int32_t c, int32_t target, int32_t w) {
  const int32_t num = w * (target - c);
  return c + (num >= 0 ? num / 256 : -((-num + 255) / 256));
}

int32_t Coverage(int inside, int edges, int diagonals) {
  return (1020 * inside + 510 * edges + 255 * diagonals) >> 4;
}

TRedEyeParams At(int32_t x, int32_t y) {
  TRedEyeParams p;
  p.ClickPoint = {x, y};
  return p;
}

bool SameBytes(const TTestImage& a, const TTestImage& b) {
  return a.Memory.size() == b.Memory.size() &&
         std::memcmp(a.Memory.data(), b.Memory.data(), a.Memory.size()) == 0;
}

}  // namespace

TEST(RedEyeCorrection, ReducedRedEqualsTheCountingLoop) {
  for (int32_t brightness : {-7, 0, 1, 2, 50, 133, 255}) {
    for (int32_t sum = 0; sum <= 510; ++sum) {
      const int32_t g = std::min(sum, 255), b = sum - g;
      for (int32_t r = 0; r <= 255; ++r)
        ASSERT_EQ(ReducedRed(r, g, b, brightness), LoopReducedRed(r, g, b, brightness))
            << "r " << r << " g+b " << sum << " brightness " << brightness;
    }
  }
}

TEST(RedEyeCorrection, PixelRuleExamples) {
  // Pure red becomes black; grey stays below 4 x brightness and darkens from there.
  EXPECT_EQ(CorrectPixel(BGR(200, 0, 0), 255, 50), BGR(0, 0, 0));
  EXPECT_EQ(CorrectPixel(BGR(199, 199, 199), 255, 50), BGR(199, 199, 199));
  EXPECT_EQ(CorrectPixel(BGR(200, 200, 200), 255, 50), BGR(199, 199, 199));
  EXPECT_EQ(CorrectPixel(BGR(30, 200, 50), 255, 50), BGR(30, 30, 30));
  // Partial coverage blends with the floor of the weighted step.
  EXPECT_EQ(CorrectPixel(BGR(200, 0, 0), 191, 50), BGR(Blend(200, 0, 191), 0, 0));
  EXPECT_EQ(CorrectPixel(BGR(200, 0, 0), 0, 50), BGR(200, 0, 0));
  // Brightness 0 and below count as 1, above 255 as 255; every value ends.
  for (TBGRPixel p : {BGR(255, 0, 0), BGR(255, 255, 255), BGR(0, 0, 0), BGR(90, 10, 200)}) {
    EXPECT_EQ(CorrectPixel(p, 255, 0), CorrectPixel(p, 255, 1));
    EXPECT_EQ(CorrectPixel(p, 255, INT32_MIN), CorrectPixel(p, 255, 1));
    EXPECT_EQ(CorrectPixel(p, 255, 1000), CorrectPixel(p, 255, 255));
  }
}

TEST(RedEyeCorrection, UniformRedClickGivesTheSoftenedBorder) {
  TTestImage img(400, 400, BGR(200, 0, 0));
  const TTestImage original = img;
  TRedEyeSelection sel;
  const TRect dirty = ApplyRedEyeCorrection(original.Pixels, img.Pixels, At(200, 200), sel);
  // Selected: the search square 200 +- 87 shrunk by one, i.e. columns and rows 114..285.
  ASSERT_EQ(dirty, Rect(113, 113, 287, 287));
  const int32_t target = LoopReducedRed(200, 0, 0, 50);
  ASSERT_EQ(target, 0);
  auto red = [&](int32_t w) { return Blend(200, target, w); };
  const int32_t inner = red(Coverage(1, 4, 4));
  const int32_t edgeIn = red(Coverage(1, 3, 2));
  const int32_t cornerIn = red(Coverage(1, 2, 1));
  const int32_t edgeOut = red(Coverage(0, 1, 2));
  const int32_t besideCorner = red(Coverage(0, 1, 1));
  const int32_t cornerOut = red(Coverage(0, 0, 1));
  EXPECT_EQ(img.At(200, 200), BGR(inner, 0, 0));
  for (TPoint p : {TPoint{200, 114}, TPoint{200, 285}, TPoint{114, 200}, TPoint{285, 200}})
    EXPECT_EQ(img.At(p.X, p.Y), BGR(edgeIn, 0, 0));
  for (TPoint p : {TPoint{200, 113}, TPoint{200, 286}, TPoint{113, 200}, TPoint{286, 200}})
    EXPECT_EQ(img.At(p.X, p.Y), BGR(edgeOut, 0, 0));
  for (TPoint p : {TPoint{114, 114}, TPoint{285, 114}, TPoint{114, 285}, TPoint{285, 285}})
    EXPECT_EQ(img.At(p.X, p.Y), BGR(cornerIn, 0, 0));
  for (TPoint p : {TPoint{113, 113}, TPoint{286, 113}, TPoint{113, 286}, TPoint{286, 286}})
    EXPECT_EQ(img.At(p.X, p.Y), BGR(cornerOut, 0, 0));
  EXPECT_EQ(img.At(113, 114), BGR(besideCorner, 0, 0));
  EXPECT_EQ(img.At(112, 200), BGR(200, 0, 0));
  EXPECT_EQ(img.At(200, 287), BGR(200, 0, 0));
  // The values themselves, for the record: 0, 50, 88, 150, 163, 188.
  EXPECT_EQ((std::vector<int>{inner, edgeIn, cornerIn, edgeOut, besideCorner, cornerOut}),
            (std::vector<int>{0, 50, 88, 150, 163, 188}));
  // Nothing outside the bounds moved.
  for (int32_t y = 0; y < 400; ++y)
    for (int32_t x = 0; x < 400; ++x)
      if (!dirty.Contains(x, y)) {
        ASSERT_EQ(img.At(x, y), original.At(x, y));
      }
}

TEST(RedEyeCorrection, EveryPixelFollowsItsCoverage) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> v(0, 255);
  TTestImage img(120, 90);
  for (int32_t y = 0; y < 90; ++y)
    for (int32_t x = 0; x < 120; ++x) img.Set(x, y, BGR(v(rng), v(rng) / 3, v(rng) / 3));
  const TTestImage original = img;
  TRedEyeSelection sel;
  TRedEyeParams params = At(60, 45);
  params.AreaSize = 255;
  params.Border = 1;
  params.Brightness = 30;
  const TRect dirty = ApplyRedEyeCorrection(original.Pixels, img.Pixels, params, sel);
  ASSERT_FALSE(dirty.IsEmpty());
  ASSERT_GT(sel.Region().Count(), 20);
  for (int32_t y = 0; y < 90; ++y)
    for (int32_t x = 0; x < 120; ++x) {
      const TBGRPixel expected = dirty.Contains(x, y)
                                     ? CorrectPixel(original.At(x, y), sel.CoverageAt(x, y), 30)
                                     : original.At(x, y);
      ASSERT_EQ(img.At(x, y), expected) << x << "," << y;
    }
}

TEST(RedEyeCorrection, PetEyeShineIsSelectedAndNeutralised) {
  for (TBGRPixel shine : {BGR(30, 200, 50), BGR(220, 220, 40), BGR(250, 250, 250)}) {
    TTestImage img(200, 200, BGR(40, 35, 30));  // dark fur
    img.Disc(100, 100, 25, shine);
    const TTestImage original = img;
    TRedEyeSelection sel;
    ApplyRedEyeCorrection(original.Pixels, img.Pixels, At(100, 100), sel);
    // The whole disc and nothing of the fur.
    EXPECT_EQ(sel.Region().BoundingBox(), Rect(75, 75, 126, 126));
    EXPECT_TRUE(sel.Region().Contains(100, 75));
    EXPECT_FALSE(sel.Region().Contains(76, 76));
    const int32_t r = LoopReducedRed(shine.Red, shine.Green, shine.Blue, 50);
    const TBGRPixel expected = BGR(r, std::min<int>(shine.Green, r), std::min<int>(shine.Blue, r));
    EXPECT_EQ(img.At(100, 100), expected);
    EXPECT_EQ(img.At(90, 110), expected);
    EXPECT_EQ(img.At(20, 20), original.At(20, 20));
  }
  // For the record: green (30, 200, 50) -> 30, 30, 30; yellow (220, 220, 40) -> 123, 123, 40;
  // white 250 -> 223.
  EXPECT_EQ(LoopReducedRed(30, 200, 50, 50), 30);
  EXPECT_EQ(LoopReducedRed(220, 220, 40, 50), 123);
  EXPECT_EQ(LoopReducedRed(250, 250, 250, 50), 223);
}

TEST(RedEyeCorrection, RestoringTheStoredRectangleUndoesEveryByte) {
  TTestImage img(301, 203, BGR(60, 50, 40));  // odd width: rows carry padding
  img.Disc(150, 100, 30, BGR(210, 40, 50));
  const TTestImage original = img;
  TRedEyeSelection sel;
  const TRect dirty = ApplyRedEyeCorrection(original.Pixels, img.Pixels, At(150, 100), sel);
  const TRect undo = RedEyeUndoRect(dirty, {150, 100});
  ASSERT_EQ(undo, dirty);
  EXPECT_FALSE(SameBytes(img, original));
  for (int32_t y = undo.Top; y < undo.Bottom; ++y)
    std::memcpy(img.Pixels.PixelAddress(undo.Left, y), original.Pixels.PixelAddress(undo.Left, y),
                static_cast<size_t>(undo.Width()) * 3);
  EXPECT_TRUE(SameBytes(img, original));
}

TEST(RedEyeCorrection, RetuningFromTheBackupEqualsAFreshCorrection) {
  TTestImage backup(200, 200, BGR(70, 60, 50));
  backup.Disc(100, 100, 20, BGR(190, 60, 60));
  TTestImage current = backup;
  TRedEyeSelection sel;
  TRedEyeParams params = At(100, 100);
  ApplyRedEyeCorrection(backup.Pixels, current.Pixels, params, sel);
  // Re-tune: put the step's rectangle back, apply with the new values.
  const TRect undo = RedEyeUndoRect(sel.SelectionBounds(), params.ClickPoint);
  for (int32_t y = undo.Top; y < undo.Bottom; ++y)
    std::memcpy(current.Pixels.PixelAddress(undo.Left, y), backup.Pixels.PixelAddress(undo.Left, y),
                static_cast<size_t>(undo.Width()) * 3);
  params.Brightness = 90;
  params.Border = 2;
  ApplyRedEyeCorrection(backup.Pixels, current.Pixels, params, sel);
  TTestImage fresh = backup;
  TRedEyeSelection other;
  ApplyRedEyeCorrection(backup.Pixels, fresh.Pixels, params, other);
  EXPECT_TRUE(SameBytes(current, fresh));
  EXPECT_TRUE(sel.Region() == other.Region());
}

TEST(RedEyeCorrection, NothingChangesWithoutASelection) {
  TTestImage img(50, 50, BGR(200, 0, 0));
  const TTestImage original = img;
  TRedEyeSelection sel;
  EXPECT_TRUE(ApplyRedEyeCorrection(original.Pixels, img.Pixels, At(-3, 10), sel).IsEmpty());
  EXPECT_TRUE(ApplyRedEyeCorrection(original.Pixels, img.Pixels, At(50, 50), sel).IsEmpty());
  EXPECT_TRUE(SameBytes(img, original));
  EXPECT_EQ(RedEyeUndoRect(TRect{}, {7, 9}), Rect(7, 9, 8, 10));

  TTestImage one(1, 1, BGR(200, 0, 0));
  const TTestImage oneOriginal = one;
  EXPECT_TRUE(ApplyRedEyeCorrection(oneOriginal.Pixels, one.Pixels, At(0, 0), sel).IsEmpty());
  EXPECT_TRUE(SameBytes(one, oneOriginal));
}
