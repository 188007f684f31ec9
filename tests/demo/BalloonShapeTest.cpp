#include <gtest/gtest.h>

#include "demo/WKDemoBalloonShape.h"

TEST(BalloonShape, StyleFollowsTheQuarterOfTheScreenAndTheTipLiesOnThePoint) {
  const TSize screen{1000, 800};
  const TSize text{100, 40};  // body 116 x 56, window 116 x 72
  const struct {
    TPoint Tip;
    int32_t Style;
    int32_t Chosen;
    TRect Window;
  } cases[] = {
      {{100, 100}, 0, 1, Bounds(100 - 16, 100, 116, 72)},
      {{900, 100}, 0, 2, Bounds(900 - 100, 100, 116, 72)},
      {{100, 700}, 0, 3, Bounds(100 - 15, 700 - 71, 116, 72)},
      {{900, 700}, 0, 4, Bounds(900 - 99, 700 - 71, 116, 72)},  // above and to the left
      {{500, 400}, 0, 1, Bounds(500 - 16, 400, 116, 72)},       // the middle counts as left and top
      {{501, 401}, 0, 4, Bounds(501 - 99, 401 - 71, 116, 72)},
      {{900, 700}, 1, 1, Bounds(900 - 16, 700, 116, 72)},       // a given style is kept
      {{100, 100}, 7, 1, Bounds(100 - 16, 100, 116, 72)},       // an unknown one is chosen
  };
  for (const auto& c : cases) {
    const TWKBalloonShape s = BalloonShape(c.Tip, c.Style, text, screen);
    EXPECT_EQ(s.Style, c.Chosen) << c.Tip.X << "," << c.Tip.Y;
    EXPECT_EQ(s.Window, c.Window) << c.Tip.X << "," << c.Tip.Y;
    const TPoint tip{s.Window.Left + s.Tail[2].X, s.Window.Top + s.Tail[2].Y};
    EXPECT_EQ(tip, c.Tip);
  }
}

TEST(BalloonShape, BodyTailAndTextSitWhereTheStyleSays) {
  const TSize text{100, 40};
  const TWKBalloonShape top = BalloonShape({0, 0}, 2, text, {1000, 800});
  EXPECT_EQ(top.Body, Bounds(0, 16, 116, 56));
  EXPECT_EQ(top.Tail[0], (TPoint{100, 16}));
  EXPECT_EQ(top.Tail[1], (TPoint{84, 16}));
  EXPECT_EQ(top.Tail[2], (TPoint{100, 0}));
  EXPECT_EQ(top.Text, Bounds(12, 24, 100, 40));
  const TWKBalloonShape bottom = BalloonShape({0, 0}, 3, text, {1000, 800});
  EXPECT_EQ(bottom.Body, Bounds(0, 0, 116, 56));
  EXPECT_EQ(bottom.Tail[0], (TPoint{15, 55}));
  EXPECT_EQ(bottom.Tail[1], (TPoint{31, 55}));
  EXPECT_EQ(bottom.Tail[2], (TPoint{15, 71}));
  EXPECT_EQ(bottom.Text, Bounds(12, 8, 100, 40));
}
