#include <gtest/gtest.h>

#include <vector>

#include "tools/framework/WKProgressMeter.h"

namespace {

struct TBar : IWKProgressBar {
  int32_t Range = -1;
  std::vector<int32_t> Positions;
  void SetRange(int32_t maximum) override { Range = maximum; }
  void SetPosition(int32_t position) override { Positions.push_back(position); }
};

TEST(ProgressMeter, ResetSetsTheRangeAndStepsStopAtTheMaximum) {
  TBar bar;
  TProgressMeter meter(&bar);
  meter.Reset(3);
  EXPECT_EQ(bar.Range, 3);
  for (int i = 0; i < 5; ++i) meter.Step();
  EXPECT_EQ(meter.Position(), 3);
  EXPECT_EQ(bar.Positions, (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST(ProgressMeter, ResetZeroEmptiesTheBarWithTheDefaultMaximum) {
  TBar bar;
  TProgressMeter meter(&bar);
  meter.Reset(4);
  meter.Step();
  meter.Reset(0);
  EXPECT_EQ(meter.Maximum(), 0);
  EXPECT_EQ(meter.Position(), 0);
  EXPECT_EQ(bar.Range, 0);
  EXPECT_EQ(bar.Positions.back(), 0);
  meter.Step();
  EXPECT_EQ(meter.Position(), 0);

  TProgressMeter withDefault(&bar, 100);
  withDefault.Reset(0);
  EXPECT_EQ(withDefault.Maximum(), 100);
  withDefault.Reset(-7);
  EXPECT_EQ(withDefault.Maximum(), 100);
}

TEST(ProgressMeter, WorksWithoutABar) {
  TProgressMeter meter(nullptr);
  meter.Reset(2);
  meter.Step();
  EXPECT_EQ(meter.Position(), 1);
}

}  // namespace
