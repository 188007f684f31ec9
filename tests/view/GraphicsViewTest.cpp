#include <cstring>

#include "documents/GraphicsEditorFixture.h"
#include "imaging/WKColorProfile.h"
#include "support/ForcedParts.h"
#include "support/TestColorProfiles.h"
#include "view/WKScrollTool.h"

using ::testing::ElementsAre;

namespace {

// A tool control that logs and takes what it is told to take.
class TLoggingControl : public TWKViewObject, public IWKViewInputHandler {
 public:
  TLoggingControl(std::string name, std::vector<std::string>& log, bool takes)
      : Name(std::move(name)), Log(log), Takes(takes) {
    Flags = vofForeground | vofToolOverlay;
  }
  std::string Name;
  std::vector<std::string>& Log;
  bool Takes;
  bool MouseDown(int32_t, TWKShiftState, TPoint) override { return Note("Down"); }
  bool KeyDown(uint16_t, TWKShiftState) override { return Note("Key"); }
  bool GetCursor(TWKShiftState, TPoint, int32_t& cursor) override {
    if (Takes) cursor = 7;
    return Note("Cursor");
  }
  void MouseEnter() override { Log.push_back(Name + ".Enter"); }
  bool Note(const std::string& what) {
    Log.push_back(Name + "." + what);
    return Takes;
  }
};

}  // namespace

class GraphicsViewTest : public GraphicsEditorTest {
 protected:
  void SetUp() override {
    NextViewSize = {300, 200};
    ASSERT_NE(Open(MakeImage("photo.png", 120, 90)), nullptr);
    for (int i = 0; i < App.ComponentCount(); ++i)
      if (auto* tool = dynamic_cast<TWKScrollTool*>(App.Components(i))) Hand = tool;
    ASSERT_NE(Hand, nullptr);
  }
  TWKScrollTool* Hand = nullptr;
};

TEST_F(GraphicsViewTest, ReadoutsShowThePixelUnderThePointerAtEveryZoom) {
  for (const TWKZoomRatio zoom : {TWKZoomRatio{1, 1}, TWKZoomRatio{1, 3}, TWKZoomRatio{3, 2},
                                  TWKZoomRatio{4, 1}}) {
    View()->SetZoom(zoom.Numerator, zoom.Denominator);
    const TSize client = ViewWindow()->ClientSize();
    TViewScreen target(client);
    ASSERT_TRUE(View()->Paint(target));
    for (const TPoint p : {TPoint{150, 100}, TPoint{151, 101}, TPoint{7, client.Height - 1},
                           TPoint{client.Width - 1, 0}, TPoint{0, 0}}) {
      View()->MouseMove(0, p);
      const TPoint image = View()->MapMode().DocFromDev(p);
      const bool inside = Document()->ImageRect().Contains(image);
      const TBGRPixel shown = target.At(p.X, p.Y);
      EXPECT_EQ(Editor->XStatusPanel->Caption(), std::to_string(image.X));
      EXPECT_EQ(Editor->YStatusPanel->Caption(), std::to_string(image.Y));
      if (inside) {
        // What the view shows there is the pixel the read-outs name.
        const TBGRPixel pixel = *Document()->CurrentPixels()->Pixel(image.X, image.Y);
        EXPECT_EQ(shown, pixel) << p.X << "," << p.Y << " at " << zoom.Numerator << "/" << zoom.Denominator;
        EXPECT_EQ(Editor->RStatusPanel->Caption(), std::to_string(pixel.Red));
        EXPECT_EQ(Editor->GStatusPanel->Caption(), std::to_string(pixel.Green));
        EXPECT_EQ(Editor->BStatusPanel->Caption(), std::to_string(pixel.Blue));
      } else {
        EXPECT_EQ(shown, (TBGRPixel{64, 64, 64}));  // the margin's background
        EXPECT_EQ(Editor->RStatusPanel->Caption(), "0");
        EXPECT_EQ(Editor->GStatusPanel->Caption(), "0");
        EXPECT_EQ(Editor->BStatusPanel->Caption(), "0");
      }
    }
  }
}

TEST_F(GraphicsViewTest, InputGoesToTheTopmostControlThatTakesIt) {
  View()->Objects().Add(std::make_unique<TLoggingControl>("low", Log, true));
  View()->Objects().Add(std::make_unique<TLoggingControl>("high", Log, false));
  Log.clear();
  View()->MouseDown(mbLeft, 0, {5, 5});
  EXPECT_THAT(Log, ElementsAre("high.Down", "low.Down"));
  Log.clear();
  EXPECT_TRUE(View()->KeyDown('A', 0));
  EXPECT_EQ(View()->GetCursor(0, {5, 5}), 7);
  EXPECT_THAT(Log, ElementsAre("high.Key", "low.Key", "high.Cursor", "low.Cursor"));
  // The first move after the pointer came in tells every control and takes the focus.
  Log.clear();
  View()->MouseMove(0, {6, 6});
  EXPECT_TRUE(View()->MouseInside());
  EXPECT_TRUE(ViewWindow()->HasFocus);
  EXPECT_THAT(Log, ElementsAre("low.Enter", "high.Enter"));
}

TEST_F(GraphicsViewTest, SpaceHoldsTheHandToolWhichDragsTheView) {
  std::vector<std::string> toolLog;
  auto* other = new TLoggingTool(&App, "Other", toolLog);
  Editor->SetCurrentTool(other);
  Editor->ActualSizeClick();
  View()->SetZoom(4, 1);  // 480 x 360 in 300 x 200
  toolLog.clear();
  EXPECT_TRUE(View()->KeyDown(VK_SPACE, 0));
  EXPECT_EQ(Editor->CurrentTool(), Hand);
  EXPECT_THAT(toolLog, ElementsAre("Other.Deactivate"));
  EXPECT_EQ(View()->GetCursor(0, {10, 10}), crHandCursor);
  const TPoint before = View()->MapMode().DevOrigin;
  View()->MouseDown(mbLeft, ssLeft, {100, 100});
  View()->MouseMove(ssLeft, {90, 95});
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{before.X - 10, before.Y - 5}));
  View()->MouseMove(ssLeft, {-5000, -5000});  // stops at the far edges
  const TSize client = ViewWindow()->ClientSize();
  EXPECT_EQ(View()->MapMode().DevOrigin.X, client.Width - 480);
  EXPECT_EQ(View()->MapMode().DevOrigin.Y, client.Height - 360);
  View()->MouseUp(mbLeft, 0, {0, 0});
  EXPECT_TRUE(View()->KeyUp(VK_SPACE, 0));
  EXPECT_EQ(Editor->CurrentTool(), other);
  EXPECT_THAT(toolLog, ElementsAre("Other.Deactivate", "Other.Activate"));
  EXPECT_EQ(View()->GetCursor(0, {10, 10}), crDefaultArrow);
  // Not current: a drag does nothing; the plus key zooms in without being taken.
  const TPoint kept = View()->MapMode().DevOrigin;
  View()->MouseDown(mbLeft, ssLeft, {100, 100});
  View()->MouseMove(ssLeft, {50, 50});
  EXPECT_EQ(View()->MapMode().DevOrigin, kept);
  EXPECT_FALSE(View()->KeyDown(VK_OEM_PLUS, 0));
  EXPECT_EQ(View()->ZoomNumerator(), 5);
}

TEST_F(GraphicsViewTest, AClickIsRecordedInImageCoordinates) {
  class TLines : public IWKScriptRecorder {
   public:
    std::vector<std::string> Lines;
    void AddLine(const std::string& line) override { Lines.push_back(line); }
    bool ShowsMessages() const override { return false; }
  } recorder;
  Editor->ActualSizeClick();
  Editor->StartRecording(&recorder);
  const TPoint at = View()->MapMode().DocToDev({10, 20});
  View()->MouseDown(mbLeft, ssLeft, at);
  View()->MouseMove(ssLeft, at);  // same image position: nothing
  View()->MouseMove(ssLeft, {at.X + 2, at.Y});
  View()->MouseUp(mbLeft, 0, {at.X + 2, at.Y});
  EXPECT_THAT(recorder.Lines,
              ElementsAre("MouseCurvedMove Image, 10, 20", "MouseDown Image, 10, 20",
                          "MouseTo Image, 12, 20", "MouseUp Image, 12, 20", "Pause 0.5"));
  Editor->StopRecording();
}

// A profiled image is shown converted for the monitor; the read-outs keep the file's values.
TEST_F(GraphicsViewTest, AProfiledImageIsShownConvertedWhileTheReadoutsKeepItsOwnValues) {
  const std::vector<uint8_t> p3 = test_profiles::DisplayP3Profile();
  const struct {
    const char* Name;
    std::vector<uint8_t> Image, Monitor;
    bool Converted;
  } cases[] = {
      {"untagged", {}, {}, false},
      {"P3 on sRGB", p3, {}, true},
      {"P3 on a P3 monitor", p3, p3, false},
      {"untagged on a P3 monitor", {}, p3, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Document()->Metadata.Embedded.IccProfile = c.Image;
    SetMonitorColorProfile(c.Monitor);
    for (const TWKZoomRatio zoom : {TWKZoomRatio{1, 1}, TWKZoomRatio{1, 3}, TWKZoomRatio{4, 1}}) {
      View()->SetZoom(zoom.Numerator, zoom.Denominator);
      TViewScreen target(ViewWindow()->ClientSize());
      ASSERT_TRUE(View()->Paint(target));
      for (const TPoint p : {TPoint{150, 100}, TPoint{151, 101}, TPoint{140, 95}}) {
        View()->MouseMove(0, p);
        const TPoint image = View()->MapMode().DocFromDev(p);
        ASSERT_TRUE(Document()->ImageRect().Contains(image));
        const TBGRPixel own = *Document()->CurrentPixels()->Pixel(image.X, image.Y);
        const uint8_t rgb[3] = {own.Red, own.Green, own.Blue};
        uint8_t expected[3] = {own.Red, own.Green, own.Blue};
        if (c.Converted) test_profiles::TransformRgb(c.Image, c.Monitor, rgb, expected);
        EXPECT_EQ(target.At(p.X, p.Y), (TBGRPixel{expected[2], expected[1], expected[0]}));
        EXPECT_EQ(Editor->RStatusPanel->Caption(), std::to_string(own.Red));
        EXPECT_EQ(Editor->GStatusPanel->Caption(), std::to_string(own.Green));
        EXPECT_EQ(Editor->BStatusPanel->Caption(), std::to_string(own.Blue));
      }
    }
  }
  SetMonitorColorProfile({});
}

// The view's paint splits its rows across the cores; every split gives the same bytes, and
// nothing outside the clip is written.
TEST(PaintImagePixelsTest, BytesDoNotDependOnThePartCount) {
  const std::vector<uint8_t> p3 = test_profiles::DisplayP3Profile();
  TWKDisplayTransform display;
  display.Prepare(p3, {});
  ASSERT_FALSE(display.Identity());
  struct TCase {
    TWKPixelFormat Format;
    TPoint DevExtent, DocExtent, DevOrigin;
    TRect Clip;
    const TWKDisplayTransform* Display;
  };
  const TCase cases[] = {
      {FormatBGR24, {3, 3}, {1, 1}, {-7, -5}, Rect(4, 3, 251, 170), nullptr},        // enlarged: repeated rows
      {FormatBGR24, {2, 2}, {5, 5}, {11, 9}, Rect(0, 0, 256, 180), nullptr},         // reduced, offset
      {FormatBGRA32, {7, 5}, {3, 4}, {-20, 0}, Rect(30, 1, 200, 179), nullptr},      // uneven axes
      {FormatBGR24, {5, 5}, {4, 4}, {0, 0}, Rect(0, 0, 256, 180), &display},          // converted rows
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.DevExtent.X * 100 + c.DocExtent.X);
    TWKPixelBuffer image;
    ASSERT_TRUE(image.Allocate(c.Format, Bounds(3, 2, 97, 61)));
    for (int32_t y = 0; y < image.Height; ++y)
      for (int32_t i = 0; i < image.Width * image.BytesPerPixel; ++i)
        image.Bits[y * image.RowBytes + i] = uint8_t(y * 31 + i * 7 + (i * y) % 13);
    TWKMapMode mapMode;
    mapMode.DevExtent = c.DevExtent;
    mapMode.DocExtent = c.DocExtent;
    mapMode.DevOrigin = c.DevOrigin;
    std::vector<uint8_t> first;
    for (const int32_t parts : {1, 2, 3, 8}) {
      const TForcedParts forced(parts);
      TWKPixelBuffer target;
      ASSERT_TRUE(target.Allocate(FormatBGR24, Bounds(0, 0, 256, 180)));
      std::memset(target.Bits, 0xA5, size_t(target.RowBytes) * target.Height);
      PaintImagePixels(image, mapMode, target, c.Clip, c.Display);
      const std::vector<uint8_t> bytes(target.Bits, target.Bits + size_t(target.RowBytes) * target.Height);
      if (first.empty()) {
        first = bytes;
        auto painted = [&target](int32_t x, int32_t y) {
          const uint8_t* p = target.PixelAddress(x, y);
          return p[0] != 0xA5 || p[1] != 0xA5 || p[2] != 0xA5;
        };
        // The clip's corners are painted; the row above it and the column left of it are not.
        EXPECT_TRUE(painted(c.Clip.Left, c.Clip.Top));
        EXPECT_TRUE(painted(c.Clip.Right - 1, c.Clip.Bottom - 1));
        if (c.Clip.Top > 0) {
          EXPECT_FALSE(painted(c.Clip.Left, c.Clip.Top - 1));
        }
        if (c.Clip.Left > 0) {
          EXPECT_FALSE(painted(c.Clip.Left - 1, c.Clip.Bottom - 1));
        }
      } else {
        EXPECT_TRUE(bytes == first) << parts << " parts";
      }
    }
  }
}
