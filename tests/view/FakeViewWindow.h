// A view window without a platform: sizes, scroll bars and invalidations are recorded.
#pragma once

#include <vector>

#include "view/WKViewCanvas.h"
#include "view/WKViewControl.h"

class TFakeViewWindow : public IWKViewWindow {
 public:
  TSize Outer{800, 600};
  int32_t BarWidth = 17;
  int32_t BarHeight = 17;
  TWKScrollBarInfo Bars[2];  // [0] horizontal, [1] vertical
  std::vector<TRect> Invalidated;
  int32_t WholeInvalidations = 0;
  TPoint Scrolled{0, 0};
  TPoint ScreenOrigin{100, 50};
  TPoint Cursor{0, 0};
  int32_t CursorShown = -1;
  bool HasFocus = false;
  bool Foreground = true;
  int32_t MouseMovesRepeated = 0;

  TSize OuterSize() const override { return Outer; }
  TSize ClientSize() const override {
    return {Outer.Width - (BarVisible(1) ? BarWidth : 0), Outer.Height - (BarVisible(0) ? BarHeight : 0)};
  }
  bool BarVisible(int index) const { return Bars[index].Max - Bars[index].Min + 1 > Bars[index].Page; }
  int32_t VerticalScrollBarWidth() const override { return BarWidth; }
  int32_t HorizontalScrollBarHeight() const override { return BarHeight; }
  void SetScrollBar(bool horizontal, const TWKScrollBarInfo& info, bool) override {
    Bars[horizontal ? 0 : 1] = info;
  }
  TWKScrollBarInfo GetScrollBar(bool horizontal) const override { return Bars[horizontal ? 0 : 1]; }
  void Invalidate(const TRect* rect) override {
    if (rect)
      Invalidated.push_back(*rect);
    else
      ++WholeInvalidations;
  }
  void ScrollPixels(int32_t dx, int32_t dy) override {
    Scrolled.X += dx;
    Scrolled.Y += dy;
  }
  void Update() override {}
  TPoint ClientToScreen(TPoint p) const override { return {p.X + ScreenOrigin.X, p.Y + ScreenOrigin.Y}; }
  TPoint ScreenToClient(TPoint p) const override { return {p.X - ScreenOrigin.X, p.Y - ScreenOrigin.Y}; }
  TPoint CursorPos() const override { return Cursor; }
  void RepeatMouseMove() override { ++MouseMovesRepeated; }
  void ShowCursor(int32_t cursor) override { CursorShown = cursor; }
  bool Focused() const override { return HasFocus; }
  void SetFocus() override { HasFocus = true; }
  bool MainWindowForeground() const override { return Foreground; }
};

// The view's window as painted: the canvas's pixels when the paint is presented.
class TViewScreen : public IWKPaintWindow {
 public:
  explicit TViewScreen(TSize size) : Size(size) {}
  TSize Size;
  std::vector<uint8_t> Pixels;
  int32_t RowBytes = 0;
  TWKRegion UpdateRegion() override { return TWKRegion(Rect(0, 0, Size.Width, Size.Height)); }
  void Present(const TWKViewCanvas& canvas, const TRect&) override {
    Pixels.assign(canvas.Bits(), canvas.Bits() + canvas.RowBytes() * canvas.BitmapHeight());
    RowBytes = canvas.RowBytes();
  }
  TBGRPixel At(int32_t x, int32_t y) const {
    const uint8_t* p = Pixels.data() + y * RowBytes + x * 3;
    return {p[0], p[1], p[2]};
  }
};
