#include <gtest/gtest.h>

#include "tools/framework/WKPanelState.h"

namespace {

TWKPanelState Docked() {
  TWKPanelState s;
  s.Visible = false;
  s.DockSide = TDockSide::Left;
  s.DockPos = -3;
  s.DockRow = 2;
  s.DockedWidth = 264;
  s.DockedHeight = 700;
  s.SplitWidth = 0x01020304;
  s.SplitHeight = -1;
  return s;
}

TEST(PanelState, RecordLayoutIsLittleEndianAtTheFixedOffsets) {
  const auto b = Docked().ToBytes();
  ASSERT_EQ(b.size(), 47u);
  EXPECT_EQ(b[0], 47);
  EXPECT_EQ(b[1] | b[2] | b[3], 0);
  EXPECT_EQ(b[4], 0);   // visible
  EXPECT_EQ(b[5], 0);   // floating
  EXPECT_EQ(b[22], 2);  // left
  EXPECT_EQ(b[23], 0xFD);  // -3
  EXPECT_EQ(b[26], 0xFF);
  EXPECT_EQ(b[27], 2);
  EXPECT_EQ(b[31], 264 & 0xFF);
  EXPECT_EQ(b[32], 264 >> 8);
  EXPECT_EQ(b[39], 0x04);
  EXPECT_EQ(b[42], 0x01);
  EXPECT_EQ(b[43], 0xFF);
  EXPECT_EQ(b[46], 0xFF);
}

TEST(PanelState, RoundTripsDockedAndFloating) {
  const TWKPanelState docked = Docked();
  const auto b = docked.ToBytes();
  EXPECT_EQ(TWKPanelState::FromBytes(b.data(), b.size()), docked);

  TWKPanelState floating;
  floating.Floating = true;
  floating.FloatingLeft = -40;
  floating.FloatingTop = 10;
  floating.FloatingWidth = 210;
  floating.FloatingHeight = 500;
  const auto f = floating.ToBytes();
  EXPECT_EQ(TWKPanelState::FromBytes(f.data(), f.size()), floating);
}

// The stored value must have the record's full length, and its size field must say 47; a
// shorter value is never read past its end, a longer one is not trusted either.
TEST(PanelState, RefusesValuesOfAnyOtherLengthOrSizeField) {
  auto b = Docked().ToBytes();
  EXPECT_FALSE(TWKPanelState::FromBytes(b.data(), 46));
  EXPECT_FALSE(TWKPanelState::FromBytes(b.data(), 5));
  EXPECT_FALSE(TWKPanelState::FromBytes(b.data(), 0));
  EXPECT_FALSE(TWKPanelState::FromBytes(nullptr, 47));
  std::array<uint8_t, 60> longer{};
  std::copy(b.begin(), b.end(), longer.begin());
  EXPECT_FALSE(TWKPanelState::FromBytes(longer.data(), longer.size()));
  b[0] = 46;
  EXPECT_FALSE(TWKPanelState::FromBytes(b.data(), b.size()));
  b[0] = 47;
  b[1] = 1;  // 303
  EXPECT_FALSE(TWKPanelState::FromBytes(b.data(), b.size()));
}

TEST(PanelState, UnknownDockSideReadsAsRight) {
  auto b = Docked().ToBytes();
  b[22] = 9;
  const auto s = TWKPanelState::FromBytes(b.data(), b.size());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->DockSide, TDockSide::Right);
  EXPECT_EQ(s->DockedWidth, 264);
}

}  // namespace
