#include "tools/eyes/RedEyeParams.h"

#include <gtest/gtest.h>

TEST(RedEyeParams, SettersClampAndReportChanges) {
  TRedEyeParams p;
  EXPECT_EQ(p.AreaSize, 176);
  EXPECT_EQ(p.Border, 0);
  EXPECT_EQ(p.Brightness, 50);
  EXPECT_EQ(TRedEyeSelection::Threshold(p.ToleranceBase()), 70);

  EXPECT_FALSE(p.ChangeAreaSize(176));
  EXPECT_TRUE(p.ChangeAreaSize(9999));
  EXPECT_EQ(p.AreaSize, 255);
  EXPECT_FALSE(p.ChangeAreaSize(256));  // clamps to the value it already has
  EXPECT_TRUE(p.ChangeAreaSize(-4));
  EXPECT_EQ(p.AreaSize, 0);

  EXPECT_TRUE(p.ChangeBrightness(-1));
  EXPECT_EQ(p.Brightness, 0);
  EXPECT_TRUE(p.ChangeBrightness(300));
  EXPECT_EQ(p.Brightness, 255);

  EXPECT_TRUE(p.ChangeBorder(5));
  EXPECT_FALSE(p.ChangeBorder(6));  // ignored, not clamped
  EXPECT_EQ(p.Border, 5);
  EXPECT_TRUE(p.ChangeBorder(-5));
  EXPECT_FALSE(p.ChangeBorder(-6));
  EXPECT_EQ(p.Border, -5);
}
