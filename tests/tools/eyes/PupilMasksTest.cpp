// The pupil shapes against values worked out by hand from their definitions: the round pupil of
// size 25 (r = 12, band 2.4) and the slit of size 25 and thickness 50 (s = 18, discs of radius
// √468 around (−6, 12) and (30, 12) in mask coordinates).
#include <gtest/gtest.h>

#include "tools/eyes/PupilMasks.h"

namespace {

// The byte at mask coordinates (x, y) from the square's top-left.
uint8_t At(const TWKPixelMask& m, int32_t x, int32_t y) { return m.Bits[y * m.Width + x]; }

TEST(PupilMasks, RoundPupilIsFullToFourFifthsAndFadesOverTheLastFifth) {
  TWKPixelMask mask;
  ASSERT_TRUE(BuildRoundPupilMask(mask, 25));
  ASSERT_EQ(mask.Width, 25);
  ASSERT_EQ(mask.Height, 25);
  struct {
    int32_t dx, dy;
    uint8_t expected;
  } cases[] = {
      {0, 0, 204}, {9, 0, 204}, {9, 3, 204},  // d ≤ 9.6
      {10, 0, 170},                           // (12 − 10) / 2.4 × 204
      {10, 1, 166},                           // d = 10.05: 165.76
      {0, -11, 85},                           // 1 / 2.4 × 204
      {8, 8, 58},                             // d = 11.31: 58.34
      {12, 0, 0}, {9, 9, 0}, {-12, -12, 0},   // d ≥ 12
  };
  for (const auto& c : cases) EXPECT_EQ(At(mask, 12 + c.dx, 12 + c.dy), c.expected) << c.dx << "," << c.dy;
}

TEST(PupilMasks, TinyPupils) {
  TWKPixelMask mask;
  ASSERT_TRUE(BuildRoundPupilMask(mask, 1));  // radius 0: nothing
  ASSERT_EQ(mask.Width, 1);
  EXPECT_EQ(At(mask, 0, 0), 0);
  for (int32_t size : {2, 3}) {  // radius 1, band 1: the centre alone, full
    ASSERT_TRUE(BuildRoundPupilMask(mask, size));
    ASSERT_EQ(mask.Width, 3);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(At(mask, x, y), x == 1 && y == 1 ? 204 : 0);
  }
}

TEST(PupilMasks, SlitIsTheLensOfTwoDiscsAndTurnsWithTheRotation) {
  TWKPixelMask mask;
  ASSERT_TRUE(BuildSlitPupilMask(mask, 25, 50, 0));
  struct {
    int32_t x, y;
    uint8_t expected;
  } vertical[] = {
      {12, 12, 204},  // 18 from both centres
      {13, 12, 204},  // 19 ≤ 21.633 − 2.4
      {14, 12, 139},  // 20: 1.633 / 2.4 × 204
      {15, 12, 54},   // 21: 53.8
      {9, 12, 54},    // mirrored
      {16, 12, 0},    // 22
      {12, 2, 89},    // √424 = 20.59
      {12, 0, 0},     // the tip, on the rim of both discs
      {12, 24, 0},
  };
  for (const auto& c : vertical) EXPECT_EQ(At(mask, c.x, c.y), c.expected) << c.x << "," << c.y;

  TWKPixelMask turned;
  ASSERT_TRUE(BuildSlitPupilMask(turned, 25, 50, 90));  // horizontal: x and y swap
  for (const auto& c : vertical) EXPECT_EQ(At(turned, c.y, c.x), c.expected) << c.y << "," << c.x;

  TWKPixelMask half;
  ASSERT_TRUE(BuildSlitPupilMask(half, 25, 50, 180));
  EXPECT_EQ(std::vector<uint8_t>(half.Bits, half.Bits + 625), std::vector<uint8_t>(mask.Bits, mask.Bits + 625));
}

TEST(PupilMasks, FullThicknessIsTheRoundPupil) {
  for (int32_t size : {5, 24, 25, 100}) {
    TWKPixelMask slit, round;
    ASSERT_TRUE(BuildSlitPupilMask(slit, size, 100, 37));
    ASSERT_TRUE(BuildRoundPupilMask(round, size));
    const size_t n = size_t(round.Width) * round.Height;
    EXPECT_EQ(std::vector<uint8_t>(slit.Bits, slit.Bits + n), std::vector<uint8_t>(round.Bits, round.Bits + n)) << size;
  }
}

TEST(PupilMasks, ThinnerSlitsAreNarrower) {
  auto width = [](int32_t thickness) {
    TWKPixelMask mask;
    BuildSlitPupilMask(mask, 51, thickness, 0);
    int32_t n = 0;
    for (int32_t x = 0; x < mask.Width; ++x) n += At(mask, x, 25) != 0;
    return n;
  };
  EXPECT_LT(width(0), width(50));
  EXPECT_LT(width(50), width(100));
  EXPECT_EQ(width(100), 49);  // the round pupil: d < 25 on the centre row
}

}  // namespace
