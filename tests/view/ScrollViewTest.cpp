#include <gtest/gtest.h>

#include "view/FakeViewWindow.h"
#include "view/WKViewControl.h"

namespace {

class TBox : public TWKViewObject {};

class ScrollViewTest : public ::testing::Test {
 protected:
  ScrollViewTest() {
    auto window = std::make_unique<TFakeViewWindow>();
    Window = window.get();
    View.SetWindow(std::move(window));
    Window->Outer = {400, 300};
  }
  void Content(int32_t width, int32_t height) {
    if (Box == nullptr) Box = static_cast<TBox*>(View.Objects().Add(std::make_unique<TBox>()));
    Box->SetBounds(Rect(0, 0, width, height));
    View.UpdateScrollRange();
  }
  TWKScrollViewControl View;
  TFakeViewWindow* Window = nullptr;
  TBox* Box = nullptr;
};

TEST_F(ScrollViewTest, SmallContentIsCentredWithoutExcessAndOverlaysDoNotCount) {
  Content(100, 50);
  EXPECT_EQ(View.MapMode().DevOrigin, (TPoint{150, 125}));
  EXPECT_FALSE(Window->BarVisible(0));
  EXPECT_FALSE(Window->BarVisible(1));
  auto* overlay = View.Objects().Add(std::make_unique<TBox>());
  overlay->Flags |= vofToolOverlay;
  overlay->SetBounds(Rect(-1000, -1000, 5000, 5000));
  View.UpdateScrollRange();
  EXPECT_FALSE(Window->BarVisible(0));
  EXPECT_EQ(View.MapMode().DevOrigin, (TPoint{150, 125}));
}

TEST_F(ScrollViewTest, ContentAsWideAsTheViewButHigherNeedsBothBars) {
  Content(400, 500);
  int32_t dx, dy, excessHeight, excessWidth;
  View.GetScrollInfo(dx, dy, excessHeight, excessWidth);
  EXPECT_EQ(excessWidth, 17);
  EXPECT_EQ(excessHeight, 200 + 17);
  EXPECT_TRUE(Window->BarVisible(0));
  EXPECT_TRUE(Window->BarVisible(1));
  EXPECT_EQ(Window->Bars[1].Max, 300 + 217 - 1);
  EXPECT_EQ(Window->Bars[1].Page, 300);
  // Wider only: the horizontal bar alone when the height still fits.
  Content(500, 200);
  View.GetScrollInfo(dx, dy, excessHeight, excessWidth);
  EXPECT_EQ(excessWidth, 100);
  EXPECT_EQ(excessHeight, 200 + 17 - 300);
}

TEST_F(ScrollViewTest, DraggingStopsAtTheEdgesAndNarrowContentDoesNotMoveSideways) {
  Content(1000, 200);
  EXPECT_EQ(View.MapMode().DevOrigin.X, 0);
  int32_t dx = 50, dy = 40;
  View.ClampScroll(dx, dy);
  EXPECT_EQ(dx, 0);  // already at the left edge
  EXPECT_EQ(dy, 0);  // the height fits
  dx = -5000;
  View.ClampScroll(dx, dy);
  EXPECT_EQ(dx, -600);
  View.ScrollBy(dx, 0);
  EXPECT_EQ(View.MapMode().DevOrigin.X, -600);
  EXPECT_EQ(Window->Bars[0].Position, 600);
  EXPECT_EQ(Window->Scrolled, (TPoint{-600, 0}));
  dx = -1;
  View.ClampScroll(dx, dy);
  EXPECT_EQ(dx, 0);
}

TEST_F(ScrollViewTest, ScrollBarMessagesStepByLinesPagesAndTheThumb) {
  Content(1000, 200);
  View.ScrollBarMessage(true, TWKScrollCode::LineDown);
  EXPECT_EQ(View.MapMode().DevOrigin.X, -10);
  View.ScrollBarMessage(true, TWKScrollCode::PageDown);
  EXPECT_EQ(View.MapMode().DevOrigin.X, -10 - 300);
  Window->Bars[0].TrackPosition = 590;
  View.ScrollBarMessage(true, TWKScrollCode::ThumbTrack);
  EXPECT_EQ(View.MapMode().DevOrigin.X, -590);
  View.ScrollBarMessage(true, TWKScrollCode::PageDown);  // limited to the last position
  EXPECT_EQ(View.MapMode().DevOrigin.X, -600);
  EXPECT_EQ(Window->Bars[0].Position, 600);
  View.ScrollBarMessage(true, TWKScrollCode::ThumbPosition);  // ignored
  EXPECT_EQ(View.MapMode().DevOrigin.X, -600);
  // The vertical axis has nothing to scroll: centred content stays put.
  const int32_t y = View.MapMode().DevOrigin.Y;
  View.ScrollBarMessage(false, TWKScrollCode::LineDown);
  EXPECT_EQ(View.MapMode().DevOrigin.Y, y);
}

TEST_F(ScrollViewTest, ResizeKeepsTheContentInRange) {
  Content(1000, 200);
  View.ScrollBy(-600, 0);
  Window->Outer = {800, 300};
  View.Resized();
  EXPECT_EQ(View.MapMode().DevOrigin.X, -200);
  Window->Outer = {1200, 300};
  View.Resized();
  EXPECT_EQ(View.MapMode().DevOrigin.X, 100);
}

}  // namespace
