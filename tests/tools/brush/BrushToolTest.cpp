// The brush machinery inside the image editor, through the view's mouse, wheel and keys: one
// undo step per stroke, stamps only at reported positions, stamps computed from the backup so
// that going over a place again changes nothing, the stroke's per-pixel maximum, the brush's
// values, track bars, preview, outline, script commands and recorded lines.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/WKProgramCursors.h"
#include "tools/brush/BrushMasks.h"
#include "tools/brush/WKCustomBlurBrushTool.h"
#include "tools/framework/ToolFixture.h"
#include "view/WKCanvasShapes.h"

namespace {

// Darkens toward black through the current mask, reading the backup.
class TDarkenBrush : public TWKCustomBlurBrushTool {
 public:
  TDarkenBrush(TWKComponent* owner, IWKToolFrame* frame) : TWKCustomBlurBrushTool(owner), Frame(frame) {
    ScriptName = "Brush";
  }
  void AfterConstruction() override {
    TWKCustomBlurBrushTool::AfterConstruction();
    SetToolFrame(Frame);
    if (Frame != nullptr) BindFrame(*Frame);
  }
  void ApplyToRect(const TRect& rect) override {
    ++Stamps;
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
      BlendRowTowardGrey(CurrentPixels()->PixelAddress(rect.Left, y), Backup()->PixelAddress(rect.Left, y),
                         CurrentMask().ByteAddress(rect.Left, y), rect.Width(), 0);
  }
  IWKToolFrame* Frame;
  int Stamps = 0;
};

// Pulls each pixel toward the mean of its neighbourhood, as the smudge brush does.
class TAverageBrush : public TWKCustomBlurBrushTool {
 public:
  using TWKCustomBlurBrushTool::TWKCustomBlurBrushTool;
  void ApplyToRect(const TRect& rect) override {
    PrepareAverages(rect);
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
      for (int32_t x = rect.Left; x < rect.Right; ++x) {
        const TBGRPixel mean = AveragePixel(x, y);
        const uint8_t m = *CurrentMask().ByteAddress(x, y);
        const TBGRPixel s = *Backup()->Pixel(x, y);
        *CurrentPixels()->Pixel(x, y) = {MaskBlend(s.Blue, mean.Blue, m), MaskBlend(s.Green, mean.Green, m),
                                         MaskBlend(s.Red, mean.Red, m)};
      }
  }
};

constexpr TBGRPixel kGrey{100, 100, 100};

class BrushToolTest : public ToolTest {
 protected:
  BrushToolTest() : Frame({"Size", "Opacity", "Hardness", "Smoothing"}, {"Preview"}) {
    Tool = CreateTool<TDarkenBrush>(&App, &Frame);
    Editor->SetCurrentTool(Tool);
  }
  ~BrushToolTest() override { Destroy(Tool); }  // before the frame it paints

  void Press(TPoint image) { View()->MouseDown(mbLeft, ssLeft, Client(image)); }
  void Move(TPoint image, TWKShiftState shift = ssLeft) { View()->MouseMove(shift, Client(image)); }
  void Release(TPoint image) { View()->MouseUp(mbLeft, 0, Client(image)); }
  void Stroke(std::initializer_list<TPoint> points) {
    auto it = points.begin();
    Press(*it);
    for (++it; it != points.end(); ++it) Move(*it);
    Release(*(points.end() - 1));
  }

  TFakeToolFrame Frame;
  TDarkenBrush* Tool = nullptr;
};

TEST_F(BrushToolTest, OneStrokeIsOneStepAndGoingBackChangesNothing) {
  OpenPainted(200, 150, Uniform(kGrey));
  Tool->Accumulate = true;
  Tool->SetSize(15);
  Stroke({{60, 60}, {68, 62}});
  ASSERT_EQ(HistoryCount(), 1);
  const std::vector<uint8_t> there = Bytes();
  Editor->Undo();
  Stroke({{60, 60}, {68, 62}, {60, 60}, {68, 62}, {60, 60}});
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), there);  // the per-pixel maximum of the same two stamps
  EXPECT_FALSE(Document()->EditActive());
  EXPECT_TRUE(Tool->StrokeMask.BoundsRect().IsEmpty());  // lives for one stroke

  // The stamp: the soft mask from the backup toward black; at the centre full.
  EXPECT_EQ(At(60, 60), (TBGRPixel{0, 0, 0}));
  TWKPixelMask mask;
  BuildSoftMask(mask, 15, 128, 255);
  EXPECT_EQ(At(54, 60).Red, MaskBlend(100, 0, *mask.ByteAddress(-6, 0)));
  Editor->Undo();
  EXPECT_EQ(Bytes(), std::vector<uint8_t>(Bytes().size(), 100));
}

TEST_F(BrushToolTest, StampsOnlyWherePositionsWereReported) {
  OpenPainted(200, 150, Uniform(kGrey));
  Tool->SetSize(9);
  Stroke({{20, 70}, {150, 70}});
  EXPECT_EQ(Tool->Stamps, 2);
  EXPECT_EQ(At(20, 70), (TBGRPixel{0, 0, 0}));
  EXPECT_EQ(At(150, 70), (TBGRPixel{0, 0, 0}));
  for (int32_t x = 25; x < 146; ++x) ASSERT_EQ(At(x, 70), kGrey) << x;  // nothing interpolated
  ASSERT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Document()->History().LastDone() != nullptr, true);
  // The step covers both stamps: undo restores them both.
  Editor->Undo();
  EXPECT_EQ(At(20, 70), kGrey);
  EXPECT_EQ(At(150, 70), kGrey);
}

TEST_F(BrushToolTest, StrokesOverTheBorderChangeOnlyTheImage) {
  OpenPainted(100, 80, Uniform(kGrey));
  ASSERT_GT(Client({0, 0}).X, 20);  // the small image sits in the view's margin
  Tool->SetSize(20);
  Stroke({{-40, -40}, {-30, 120}});  // entirely outside
  EXPECT_EQ(HistoryCount(), 0);
  EXPECT_TRUE(Document()->Saved());
  Stroke({{2, 40}});  // half outside
  ASSERT_EQ(HistoryCount(), 1);
  EXPECT_EQ(At(0, 40), (TBGRPixel{0, 0, 0}));
  EXPECT_EQ(At(30, 40), kGrey);
}

// After a zoom under a still pointer the press stamps where the pointer now is on the image,
// not where the last move had left the brush.
TEST_F(BrushToolTest, APressAfterAZoomStampsAtThePressedPoint) {
  OpenPainted(200, 150, Uniform(kGrey));
  Tool->SetSize(3);
  const TPoint client = Client({50, 40});
  View()->MouseMove(0, client);
  View()->SetZoom(2, 1);
  const TPoint now = View()->MapMode().DocFromDev(client);
  ASSERT_NE(now, (TPoint{50, 40}));
  ASSERT_TRUE(Document()->ImageRect().Contains(now));
  View()->MouseDown(mbLeft, ssLeft, client);
  View()->MouseUp(mbLeft, 0, client);
  EXPECT_EQ(At(now.X, now.Y), (TBGRPixel{0, 0, 0}));
  EXPECT_EQ(At(50, 40), kGrey);
}

TEST_F(BrushToolTest, SizeFollowsKeysAndWheelWithinItsRange) {
  OpenPainted(100, 100, Uniform(kGrey));
  const TPoint centre = Client({50, 50});
  View()->MouseMove(0, centre);
  for (int32_t bad : {0, -3, 51}) Tool->SetSize(bad);
  EXPECT_EQ(Tool->Size(), 10);
  EXPECT_EQ(Frame.Bar("Size").Pos, 10);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(View()->KeyDown(VK_PRIOR, 0));
  EXPECT_EQ(Tool->Size(), 13);
  EXPECT_TRUE(View()->KeyDown(VK_LEFT, 0));
  EXPECT_TRUE(View()->KeyDown(VK_UP, 0));
  EXPECT_TRUE(View()->KeyDown(VK_NEXT, 0));
  EXPECT_EQ(Tool->Size(), 12);
  EXPECT_FALSE(View()->KeyDown(VK_HOME, 0));
  EXPECT_TRUE(View()->MouseWheel(0, +1, centre));
  EXPECT_EQ(Tool->Size(), 13);
  EXPECT_EQ(Frame.Bar("Size").Pos, 13);
  EXPECT_EQ(Tool->Smoothing(), 13);  // follows the size
  // During a stroke the wheel does nothing, and the view does not scroll either.
  View()->MouseDown(mbLeft, ssLeft, centre);
  EXPECT_TRUE(View()->MouseWheel(0, +1, centre));
  EXPECT_EQ(Tool->Size(), 13);
  View()->MouseUp(mbLeft, 0, centre);
  // The size bar's range is MinSize..MaxSize, its user changes reach the tool.
  EXPECT_EQ(Frame.Bar("Size").Min, 1);
  EXPECT_EQ(Frame.Bar("Size").Max, 50);
  EXPECT_EQ(Frame.Bar("Size").Tick, 5);
  Frame.Bar("Size").UserMoves(30);
  EXPECT_EQ(Tool->Size(), 30);
  EXPECT_EQ(Tool->Smoothing(), 30);
  Frame.Bar("Hardness").UserMoves(200);
  EXPECT_EQ(Tool->Hardness(), 200);
  Frame.Bar("Opacity").UserMoves(90);
  EXPECT_EQ(Tool->Opacity(), 90);
  Tool->UpdateBrushCaptions();
  EXPECT_EQ(Frame.Bar("Size").Caption, "Size: 30");
  EXPECT_EQ(Frame.Bar("Hardness").Caption, "Hardness: 200");
  // Inactive, the control takes no key.
  Editor->SetCurrentTool(nullptr);
  EXPECT_FALSE(View()->KeyDown(VK_PRIOR, 0));
  EXPECT_EQ(Tool->Size(), 30);
}

TEST_F(BrushToolTest, PreviewShowsTheMaskAndRepaintsWithEveryChange) {
  TFakePaintBox& box = Frame.PaintBoxes.at("Preview");
  ASSERT_TRUE(box.Handler);
  const int before = box.Repaints;
  Tool->SetSize(20);
  Tool->SetHardness(10);
  Tool->SetOpacity(100);
  EXPECT_EQ(box.Repaints, before + 3);
  box.Shown = false;
  Tool->SetSize(21);
  EXPECT_EQ(box.Repaints, before + 3);  // not while hidden
  TWKPixelBuffer image;
  ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 41, 41)));
  box.Handler(image, true);
  // The mask's centre byte e paints 255 + floor(e × (0 − 255) / 256).
  const uint8_t centre = *Tool->BrushMask.ByteAddress(0, 0);
  EXPECT_EQ(centre, 99);  // hardness 10: (11 − 0) / (11 + 0.088) × 100
  EXPECT_EQ(image.Pixel(20, 20)->Red, static_cast<uint8_t>(255 + std::floor(centre * -255 / 256.0)));
  EXPECT_EQ(image.Pixel(0, 0)->Red, 128);
}

TEST_F(BrushToolTest, OutlineInvertsAnEllipseAroundThePointerAndReplacesIt) {
  OpenPainted(200, 150, Uniform(kGrey));
  Tool->SetSize(21);
  const TPoint centre = Client({100, 75});
  View()->MouseMove(0, centre);
  EXPECT_EQ(View()->GetCursor(0, centre), crNone);
  TViewScreen screen({800, 600});
  ASSERT_TRUE(View()->Paint(screen));
  // The outline's pixels are inverted grey, 155; inside and outside stay 100.
  const TRect outline = Bounds(centre.X - 10 - 1, centre.Y - 10 - 1, 23, 23);
  int32_t inverted = 0;
  for (const TWKPixelRun& run : EllipseOutline(outline))
    for (int32_t x = run.X0; x < run.X1; ++x) {
      EXPECT_EQ(screen.At(x, run.Y), (TBGRPixel{155, 155, 155})) << x << "," << run.Y;
      ++inverted;
    }
  EXPECT_GT(inverted, 50);
  EXPECT_EQ(screen.At(centre.X, centre.Y), kGrey);
  EXPECT_EQ(screen.At(centre.X + 20, centre.Y), kGrey);
  // Leaving the view hides it.
  View()->MouseLeave();
  ASSERT_TRUE(View()->Paint(screen));
  EXPECT_EQ(screen.At(centre.X - 11, centre.Y), kGrey);
}

TEST_F(BrushToolTest, ScriptCommandsAndRecordedLines) {
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  TWKCustomProperties args;
  args.SetInteger(1, 20);
  EXPECT_TRUE(Tool->ExecuteScriptCommand("BRUSHSIZE", args));
  EXPECT_TRUE(Tool->ExecuteScriptCommand("BRUSHOPACITY", args));
  EXPECT_TRUE(Tool->ExecuteScriptCommand("BRUSHHARDNESS", args));
  args.SetInteger(1, 12);
  EXPECT_TRUE(Tool->ExecuteScriptCommand("BRUSHSMOOTHING", args));
  EXPECT_FALSE(Tool->ExecuteScriptCommand("PUPILSIZE", args));
  EXPECT_EQ(Tool->Size(), 20);
  EXPECT_EQ(Tool->Opacity(), 20);
  EXPECT_EQ(Tool->Hardness(), 20);
  EXPECT_EQ(Tool->Smoothing(), 12);
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"BrushSize 20", "BrushSmoothing 20", "BrushOpacity 20",
                                                      "BrushHardness 20", "BrushSmoothing 12"}));
  Tool->StopRecording();

  TWKCustomProperties which;
  which.SetString(1, "BrushHardness");
  TPoint point;
  ASSERT_TRUE(Tool->GetScriptCommandPoint(which, point));
  EXPECT_EQ(point, Frame.Bar("Hardness").Thumb);
  which.SetString(1, "brushsize");
  ASSERT_TRUE(Tool->GetScriptCommandPoint(which, point));
  EXPECT_EQ(point, Frame.Bar("Size").Thumb);
  Frame.Bar("Size").Shown = false;
  EXPECT_FALSE(Tool->GetScriptCommandPoint(which, point));
  which.SetString(1, "BrushColour");
  EXPECT_FALSE(Tool->GetScriptCommandPoint(which, point));
}

TEST_F(BrushToolTest, ResettingTheControlsEndsTheStrokeWithItsStep) {
  OpenPainted(100, 100, Uniform(kGrey));
  Press({50, 50});
  EXPECT_TRUE(Document()->EditActive());
  Tool->ResetControls();
  EXPECT_FALSE(Document()->EditActive());
  EXPECT_EQ(HistoryCount(), 1);
  Release({50, 50});  // the release after it does nothing more
  EXPECT_EQ(HistoryCount(), 1);
}

class AverageBrushTest : public ToolTest {
 protected:
  AverageBrushTest() {
    Tool = CreateTool<TAverageBrush>(&App);
    Tool->Accumulate = true;
    Editor->SetCurrentTool(Tool);
  }
  TAverageBrush* Tool = nullptr;
};

TEST_F(AverageBrushTest, AveragingAUniformAreaChangesNothingAndAnIsolatedPixelIsItsOwnMean) {
  OpenPainted(120, 90, Uniform({30, 60, 90}));
  const std::vector<uint8_t> before = Bytes();
  Tool->SetSize(20);
  EXPECT_EQ(Tool->Smoothing(), 20);
  Tool->AverageCache.SetBounds(Document()->ImageRect());
  View()->MouseDown(mbLeft, ssLeft, Client({5, 5}));
  View()->MouseMove(ssLeft, Client({60, 45}));
  View()->MouseUp(mbLeft, 0, Client({60, 45}));
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->AverageCache.TilesHeld(), 0);  // released with the stroke

  // A smoothing of 1 is the pixel alone, left out: no mean, the pixel itself, nothing cached.
  Tool->SetSmoothingFollowsSize(false);
  Tool->SetSmoothing(1);
  Tool->AverageCache.SetBounds(Document()->ImageRect());
  EXPECT_EQ(Tool->AveragePixel(7, 8), (TBGRPixel{30, 60, 90}));
  EXPECT_EQ(Tool->AverageCache.TilesHeld(), 0);
  // A real disc is cached.
  Tool->SetSmoothing(5);
  EXPECT_EQ(Tool->AveragePixel(7, 8), (TBGRPixel{30, 60, 90}));
  EXPECT_NE(Tool->AverageCache.Find(7, 8), nullptr);
  Tool->AverageCache.Clear();
}

}  // namespace
