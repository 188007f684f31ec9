#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/WKViewCanvas.h"

namespace {

class TFakeWindow : public IWKPaintWindow {
 public:
  TWKRegion Update;
  TRect PresentedBox;
  int32_t Presented = 0;
  std::vector<uint8_t> Screen;  // the pixels copied at EndPaint
  int32_t ScreenRowBytes = 0;

  TWKRegion UpdateRegion() override { return Update; }
  void Present(const TWKViewCanvas& canvas, const TRect& box) override {
    ++Presented;
    PresentedBox = box;
    Screen.assign(canvas.Bits(), canvas.Bits() + canvas.RowBytes() * canvas.BitmapHeight());
    ScreenRowBytes = canvas.RowBytes();
  }
  void ValidateUpdate() override { Update.Clear(); }
  const uint8_t* At(int32_t x, int32_t y) const { return &Screen[y * ScreenRowBytes + x * 3]; }
};

// Records its calls; an opaque one fills its rectangle and excludes it from the clip.
class TLogObject : public TWKViewObject {
 public:
  TLogObject(std::string name, std::vector<std::string>& log, uint8_t flags, TRect bounds,
             uint8_t shade = 0)
      : Name(std::move(name)), Log(log), Shade(shade) {
    Flags = flags;
    Bounds = bounds;
  }
  std::string Name;
  std::vector<std::string>& Log;
  uint8_t Shade;
  int64_t ClipAreaAtForeground = -1;

  void PaintBackground(TWKViewCanvas& canvas) override {
    Log.push_back(Name + ".bg");
    if (Shade == 0) return;
    TRect r;
    GetBackgroundRect(canvas.MapMode, r);
    canvas.FillRect(r, Shade, Shade, Shade);
    canvas.ExcludeClipRect(r);
  }
  void PaintForeground(TWKViewCanvas& canvas) override {
    Log.push_back(Name + ".fg");
    ClipAreaAtForeground = canvas.ClipRegion().Area();
  }
  void AfterPaint() override { Log.push_back(Name + ".after"); }
};

constexpr uint8_t kVisibleAll = vofVisible | vofBackground | vofForeground | vofPainted;

}  // namespace

TEST(ViewObject, FlagsRectsAndHitTests) {
  TWKViewObject o;
  EXPECT_EQ(o.Flags, 15);
  o.SetVisible(false);
  EXPECT_EQ(o.Flags, 14);
  o.SetBounds({10, 10, 20, 20});
  TWKMapMode m;
  m.DevExtent = {2, 2};
  TRect r;
  o.GetUpdateRect(m, r);
  EXPECT_EQ(r, (TRect{20, 20, 40, 40}));
  o.Flags = vofVisible;
  o.GetUpdateRect(m, r);
  EXPECT_TRUE(r.IsEmpty());

  EXPECT_EQ(o.HitTestPoint(m, {20, 39}, 0), htInside);
  EXPECT_EQ(o.HitTestPoint(m, {42, 30}, 2), htNone);  // grown rectangle ends before 42
  EXPECT_EQ(o.HitTestPoint(m, {41, 30}, 2), htNear);
  EXPECT_EQ(o.HitTestPoint(m, {41, 30}, 0), htNone);
  EXPECT_EQ(o.HitTestRect(m, {25, 25, 30, 30}, 0), htInside);
  EXPECT_EQ(o.HitTestRect(m, {35, 35, 50, 50}, 0), htOverlap);
  EXPECT_EQ(o.HitTestRect(m, {41, 41, 50, 50}, 0), htNone);
  EXPECT_EQ(o.HitTestRect(m, {41, 41, 50, 50}, 2), htNear);
}

TEST(ViewObject, CombinedPaintFollowsTheFlags) {
  std::vector<std::string> log;
  TLogObject a("a", log, kVisibleAll, {0, 0, 1, 1});
  TLogObject b("b", log, vofVisible | vofForeground, {0, 0, 1, 1});  // not painted by Paint
  TWKViewCanvas canvas;
  a.Paint(canvas);
  b.Paint(canvas);
  EXPECT_EQ(log, (std::vector<std::string>{"a.bg", "a.fg", "a.after"}));
}

TEST(ViewObjectList, OwnsAndOrders) {
  TWKViewObjectList list;
  TWKViewObject* a = list.Add(std::make_unique<TWKViewObject>());
  TWKViewObject* b = list.Insert(0, std::make_unique<TWKViewObject>());
  EXPECT_EQ(list.IndexOf(a), 1);
  EXPECT_EQ(list.IndexOf(b), 0);
  std::unique_ptr<TWKViewObject> out = list.Extract(b);
  EXPECT_EQ(out.get(), b);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Extract(b), nullptr);
  list.Delete(5);
  EXPECT_EQ(list.Count(), 1);
}

TEST(ViewCanvas, EmptyUpdateRegionPaintsNothing) {
  TFakeWindow window;
  TWKViewObjectList list;
  TWKViewCanvas canvas;
  EXPECT_FALSE(canvas.PaintLayered(window, list));
  EXPECT_EQ(window.Presented, 0);
  EXPECT_FALSE(canvas.Painting());
}

// Bottom: an opaque image; above it a frame with a foreground only; on top an opaque panel
// with both layers; one object outside the update region; one hidden.
TEST(ViewCanvas, LayeredPaintOrdersLayersAndClipsForegroundsBelowOpaqueBackgrounds) {
  std::vector<std::string> log;
  TWKViewObjectList list;
  auto* image = static_cast<TLogObject*>(
      list.Add(std::make_unique<TLogObject>("image", log, 11, TRect{0, 0, 50, 40}, 200)));
  auto* frame = static_cast<TLogObject*>(list.Add(std::make_unique<TLogObject>(
      "frame", log, vofVisible | vofForeground, TRect{10, 10, 30, 30})));
  list.Add(std::make_unique<TLogObject>("far", log, kVisibleAll, TRect{500, 500, 510, 510}));
  list.Add(
      std::make_unique<TLogObject>("hidden", log, kVisibleAll & ~vofVisible, TRect{0, 0, 80, 60}));
  auto* panel = static_cast<TLogObject*>(
      list.Add(std::make_unique<TLogObject>("panel", log, kVisibleAll, TRect{20, 0, 30, 10}, 100)));

  TFakeWindow window;
  window.Update = TWKRegion({0, 0, 80, 60});
  window.Update.Add({100, 0, 120, 5});
  TWKViewCanvas canvas;
  ASSERT_TRUE(canvas.PaintLayered(window, list));

  EXPECT_EQ(log, (std::vector<std::string>{"panel.bg", "image.bg", "image.after", "frame.fg",
                                           "frame.after", "panel.fg", "panel.after"}));
  // The frame's foreground is clipped as the region was when it was pushed: without the
  // panel's rectangle, with the image's.
  EXPECT_EQ(frame->ClipAreaAtForeground, 80 * 60 + 20 * 5 - 100);
  EXPECT_EQ(panel->ClipAreaAtForeground, 80 * 60 + 20 * 5);
  EXPECT_EQ(image->ClipAreaAtForeground, -1);

  ASSERT_EQ(window.Presented, 1);
  EXPECT_EQ(window.PresentedBox, (TRect{0, 0, 120, 60}));
  EXPECT_TRUE(window.Update.IsEmpty());
  EXPECT_EQ(*window.At(25, 5), 100);  // panel
  EXPECT_EQ(*window.At(5, 5), 200);   // image
  EXPECT_EQ(*window.At(60, 50), 64);  // background colour where nothing is
  EXPECT_EQ(window.At(60, 50)[2], 64);
  EXPECT_EQ(*window.At(110, 2), 64);
  EXPECT_EQ(*window.At(90, 2), 0);  // outside the update region: untouched
  EXPECT_FALSE(canvas.Painting());
  EXPECT_EQ(canvas.ClipDepth(), 0);
}

TEST(ViewCanvas, ClipStackIsReusedAndPopRestoresTheSavedRegion) {
  TFakeWindow window;
  window.Update = TWKRegion({0, 0, 10, 10});
  TWKViewCanvas canvas;
  TWKViewObject a, b;
  for (int round = 0; round < 2; ++round) {
    window.Update = TWKRegion({0, 0, 10, 10});
    ASSERT_TRUE(canvas.BeginPaint(window));
    EXPECT_FALSE(canvas.BeginPaint(window));  // not twice
    EXPECT_EQ(canvas.Pixels().BoundsRect(), Rect(0, 0, 10, 10));
    EXPECT_EQ(canvas.Pixels().PixelFormat, FormatBGR24);
    EXPECT_EQ(canvas.Pixels().RowBytes, 32);
    EXPECT_EQ(canvas.Pixels().PixelAddress(3, 2), canvas.PixelAddress(3, 2));
    canvas.PushClip(&a);
    canvas.ExcludeClipRect({0, 0, 5, 10});
    canvas.PushClip(&b);
    canvas.ExcludeClipRect({0, 0, 10, 10});
    EXPECT_TRUE(canvas.ClipRegion().IsEmpty());
    TWKViewObject* popped = nullptr;
    ASSERT_TRUE(canvas.PopClip(popped));
    EXPECT_EQ(popped, &b);
    EXPECT_EQ(canvas.ClipRegion().Area(), 50);
    ASSERT_TRUE(canvas.PopClip(popped));
    EXPECT_EQ(popped, &a);
    EXPECT_EQ(canvas.ClipRegion().Area(), 100);
    EXPECT_FALSE(canvas.PopClip(popped));
    canvas.EndPaint();
  }
}

TEST(ViewCanvas, OverlaysDarkenAndInvertOnlyInsideTheClip) {
  TFakeWindow window;
  window.Update = TWKRegion({0, 0, 20, 12});
  TWKViewCanvas canvas;
  ASSERT_TRUE(canvas.BeginPaint(window));
  canvas.FillRect({0, 0, 20, 12}, 200, 200, 200);
  canvas.ExcludeClipRect({10, 0, 20, 12});  // the right half is someone else's
  canvas.DarkenRect({0, 0, 20, 2});         // 200 - 200 × 92 / 256 = 129
  canvas.InvertFrame({1, 3, 5, 7});         // a one-pixel outline
  canvas.DrawFocusRect({6, 3, 9, 6});       // every other pixel of the outline
  canvas.InvertLine({0, 11}, {12, 8});      // ends included, clipped at x = 10
  canvas.EndPaint();
  auto v = [&](int32_t x, int32_t y) { return int(window.At(x, y)[0]); };
  EXPECT_EQ(v(0, 0), 129);
  EXPECT_EQ(v(9, 1), 129);
  EXPECT_EQ(v(10, 0), 200);
  EXPECT_EQ(v(0, 2), 200);
  EXPECT_EQ(v(1, 3), 55);
  EXPECT_EQ(v(4, 6), 55);
  EXPECT_EQ(v(2, 4), 200);  // the inside stays
  EXPECT_EQ(v(4, 5), 55);
  // Focus outline from the top-left, clockwise: on, off, on, off, ...
  EXPECT_EQ(v(6, 3), 55);
  EXPECT_EQ(v(7, 3), 200);
  EXPECT_EQ(v(8, 3), 55);
  EXPECT_EQ(v(8, 4), 200);
  EXPECT_EQ(v(8, 5), 55);
  EXPECT_EQ(v(7, 5), 200);
  EXPECT_EQ(v(6, 5), 55);
  EXPECT_EQ(v(6, 4), 200);
  EXPECT_EQ(v(7, 4), 200);
  EXPECT_EQ(v(0, 11), 55);
  EXPECT_EQ(v(8, 9), 55);
  EXPECT_EQ(v(12, 8), 200);
  int inverted = 0;
  for (int32_t y = 7; y < 12; ++y)
    for (int32_t x = 0; x < 20; ++x) inverted += v(x, y) == 55;
  EXPECT_EQ(inverted, 10);  // the line's pixels at x = 0 .. 9, one per column
}
