// Ellipse outlines on the view canvas: each outline pixel once, a closed ring around the filled
// ellipse, inversion undone by a second one, and nothing drawn outside the clip.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "imaging/WKEllipse.h"
#include "view/WKCanvasShapes.h"
#include "view/WKViewCanvas.h"

namespace {

class TWindow : public IWKPaintWindow {
 public:
  TWKRegion Update;
  TWKRegion UpdateRegion() override { return Update; }
  void Present(const TWKViewCanvas&, const TRect&) override {}
};

std::set<std::pair<int32_t, int32_t>> Pixels(const std::vector<TWKPixelRun>& runs) {
  std::set<std::pair<int32_t, int32_t>> set;
  for (const TWKPixelRun& r : runs)
    for (int32_t x = r.X0; x < r.X1; ++x) EXPECT_TRUE(set.insert({x, r.Y}).second) << "twice: " << x << "," << r.Y;
  return set;
}

TEST(CanvasShapes, OutlineIsTheEllipsesBoundaryOnce) {
  for (const TRect& rect : {Rect(10, 10, 31, 31), Rect(0, 0, 40, 12), Rect(5, 5, 8, 30), Rect(3, 3, 4, 4)}) {
    const auto outline = Pixels(EllipseOutline(rect));
    ASSERT_FALSE(outline.empty());
    for (const auto& [x, y] : outline) {
      EXPECT_TRUE(rect.Contains(x, y));
      // Every outline pixel touches another one (the ring is closed) unless the ellipse is a dot.
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && outline.count({x + dx, y + dy});
      if (outline.size() > 1) {
        EXPECT_GE(neighbours, 1) << x << "," << y;
      }
    }
    // The outline lies on the filled ellipse's edge: a pixel of it has a four-neighbour outside.
    auto inside = [&](int32_t x, int32_t y) {
      int32_t x0, x1;
      return EllipseRowSpan(rect, y, x0, x1) && x >= x0 && x < x1;
    };
    for (const auto& [x, y] : outline) {
      if (inside(x, y)) {
        EXPECT_FALSE(inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1));
      }
    }
  }
  EXPECT_TRUE(EllipseOutline(TRect{}).empty());
}

TEST(CanvasShapes, InversionTwiceRestoresAndClipHolds) {
  TWKViewCanvas canvas;
  TWindow window;
  window.Update = TWKRegion(Rect(0, 0, 60, 40));
  ASSERT_TRUE(canvas.BeginPaint(window));
  canvas.FillRect(Rect(0, 0, 60, 40), 10, 20, 30);
  canvas.IntersectClipRect(Rect(0, 0, 30, 40));  // the right half is clipped away
  const TRect ellipse = Rect(10, 5, 50, 35);
  InvertEllipse(canvas, ellipse);
  int32_t inverted = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const uint8_t* p = canvas.PixelAddress(x, y);
      if (p[2] == 245) {  // red 10 inverted
        ++inverted;
        EXPECT_LT(x, 30);
        EXPECT_EQ(p[0], 225);
      }
    }
  EXPECT_GT(inverted, 20);
  InvertEllipse(canvas, ellipse);
  DrawEllipse(canvas, ellipse, TBGRPixel{0, 0, 0}, true);
  int32_t black = 0, left = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const uint8_t* p = canvas.PixelAddress(x, y);
      EXPECT_TRUE(p[2] == 10 || p[2] == 0);
      black += p[2] == 0;
      left += x < 30 && p[2] == 0;
    }
  EXPECT_GT(black, 5);
  EXPECT_LT(black, inverted);  // dotted: part of the outline
  EXPECT_EQ(black, left);
  canvas.EndPaint();
}

}  // namespace
