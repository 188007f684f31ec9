#include <gtest/gtest.h>

#include "imaging/WKTypes.h"

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(-2, 1, 3), -1);
}

TEST(MulDiv, UsesA64BitIntermediateAndReportsFailure) {
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 2), INT32_MAX);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 4, 1), -1);
}

TEST(ClampRound, ClampsThenRoundsHalvesToEven) {
  EXPECT_EQ(ClampRound(-3.0), 0);
  EXPECT_EQ(ClampRound(300.0), 255);
  EXPECT_EQ(ClampRound(254.5), 254);
  EXPECT_EQ(ClampRound(253.5), 254);
  EXPECT_EQ(ClampRound(0.5), 0);
  EXPECT_EQ(ClampRound(1.5), 2);
  EXPECT_EQ(ClampRound(1.49), 1);
  EXPECT_EQ(ClampRound(std::nan("")), 0);
}

TEST(Rect, IntersectAndUnionTreatEmptySidesAsAbsent) {
  EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)), Rect(5, 5, 10, 10));
  EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)), TRect{});
  EXPECT_EQ(UnionRect(TRect{}, Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
  EXPECT_EQ(UnionRect(Rect(0, 0, 1, 1), Rect(5, 5, 6, 6)), Rect(0, 0, 6, 6));
  EXPECT_TRUE(Rect(0, 0, 10, 10).Contains(9, 9));
  EXPECT_FALSE(Rect(0, 0, 10, 10).Contains(10, 9));
}
