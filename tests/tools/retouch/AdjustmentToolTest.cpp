// The colour adjustment tool in the image editor: the Start / Ok / Cancel cycle, the preview
// on a reduced copy of large photos and the one full-size step it leaves, a cycle cut short by
// saving or closing, the frame's state, settings and script commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "GraphicsEditorFixture.h"
#include "documents/WKGraphicsCommandState.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "tools/framework/ToolFixture.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKProgressMeter.h"
#include "tools/geometry/ResizeTool.h"
#include "tools/retouch/AdjustmentTool.h"

using ::testing::_;

namespace {

class TFakeAdjustmentFrame : public IWKAdjustmentFrame, public TFakeToolFrame {
 public:
  TAdjustmentFrameTexts Texts;
  TAdjustmentFrameState State;
  int32_t Positions[3] = {-99, -99, -99};
  bool All = false, Explanation = false;
  int32_t Pressed = -1;
  std::vector<std::string> Lines;
  void SetTexts(const TAdjustmentFrameTexts& t) override { Texts = t; }
  void ShowState(const TAdjustmentFrameState& s) override { State = s; }
  void SetChannelPosition(int channel, int32_t value) override { Positions[channel] = value; }
  void SetAllChecked(bool v) override { All = v; }
  void SetExplanationChecked(bool v) override { Explanation = v; }
  void PressTypeButton(int32_t type) override { Pressed = type; }
  void SetExplanation(const std::vector<std::string>& lines) override { Lines = lines; }
};

class TCountingBar : public IWKProgressBar {
 public:
  int32_t Maximum = 0, Position = 0, Highest = 0;
  void SetRange(int32_t maximum) override { Maximum = maximum; }
  void SetPosition(int32_t position) override {
    Position = position;
    Highest = std::max(Highest, position);
  }
};

// Smooth enough to survive a JPEG round trip closely.
TBGRPixel Photo(int32_t x, int32_t y) {
  return {static_cast<uint8_t>(40 + x / 50), static_cast<uint8_t>(30 + y / 25), static_cast<uint8_t>(60 + (x + y) / 60)};
}

bool Brightened(const TWKPixels& pixels, int32_t redValue, const std::function<TBGRPixel(int32_t, int32_t)>& before) {
  const int32_t shift = redValue * 51 / 10;  // i - 5.1 v, exact for even v
  for (int32_t y = 0; y < pixels.Height; ++y)
    for (int32_t x = 0; x < pixels.Width; ++x) {
      const TBGRPixel b = before(x, y);
      const TBGRPixel expected{b.Blue, b.Green, static_cast<uint8_t>(std::max(0, b.Red - shift))};
      if (*pixels.Pixel(x, y) != expected) return false;
    }
  return true;
}

class AdjustmentToolTest : public ToolTest {
 protected:
  AdjustmentToolTest() : Meter(&Bar) {
    SetProgressMeter(&Meter);
    Resize = CreateTool<TWKResizeTool>(&App);
    Tool = CreateTool<TWKAdjustmentTool>(&App, Resize, [this](TWKAdjustmentTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }
  ~AdjustmentToolTest() override {
    SetProgressMeter(nullptr);
  }
  TWKGraphicsDocument* OpenPhoto(int32_t width, int32_t height) { return OpenPixels(width, height, Photo); }

  TFakeAdjustmentFrame Frame;
  TCountingBar Bar;
  TProgressMeter Meter;
  TWKResizeTool* Resize = nullptr;
  TWKAdjustmentTool* Tool = nullptr;
};

}  // namespace

TEST(AdjustmentReductionTest, ImagesAboveAMegapixelArePreviewedReduced) {
  struct Case {
    int32_t Width, Height, Percent;
  };
  for (const Case& c : std::vector<Case>{{1024, 1024, 100}, {1448, 1448, 141}, {6000, 4000, 478}, {1500, 1000, 120},
                                         {1, 1, 0}, {40000, 40000, 3906}})
    EXPECT_EQ(TWKAdjustmentTool::ReductionPercent(c.Width, c.Height), c.Percent) << c.Width << "x" << c.Height;
}

TEST_F(AdjustmentToolTest, CycleOn24MegapixelsPreviewsReducedAndLeavesOneFullSizeStep) {
  TWKGraphicsDocument* doc = OpenPhoto(6000, 4000);
  ASSERT_NE(doc, nullptr);
  TWKGraphicsView* view = View();
  const TWKZoomRatio zoom{view->ZoomNumerator(), view->ZoomDenominator()};
  const std::vector<uint8_t> before = ImageBytes(*doc->CurrentPixels());

  Tool->StartTBXButtonClick();
  ASSERT_TRUE(Tool->Started());
  ASSERT_TRUE(Tool->Downscaled());
  // c = 478: round(6000 / 4.78) = 1255 wide, the kept proportion giving 837 high.
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 1255, 837));
  EXPECT_EQ(doc->History().Count(), 1);
  EXPECT_TRUE(doc->EditActive());
  EXPECT_EQ(view->ZoomNumerator(), zoom.Numerator * 478);
  EXPECT_EQ(view->ZoomDenominator(), zoom.Denominator * 100);
  ASSERT_EQ(Frame.Lines.size(), 3u);
  EXPECT_EQ(Frame.Lines[0], LanguageString(AdjustmentNames::ReducedText));

  Tool->RedTrackBarChange(20);
  Tool->UpdateControls();  // the idle pass re-applies the preview
  EXPECT_TRUE(Brightened(*doc->CurrentPixels(), 20, [&](int32_t x, int32_t y) { return *doc->Backup.Pixel(x, y); }));
  EXPECT_EQ(Bar.Highest, 0) << "the preview steps no progress";

  Tool->UpdateControls();
  Tool->FinishingTBXButtonClick();
  EXPECT_FALSE(Tool->Started());
  EXPECT_FALSE(doc->EditActive());
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 6000, 4000));
  ASSERT_EQ(doc->History().Count(), 1) << "the reduction is gone, the adjustment is one step";
  EXPECT_NE(dynamic_cast<TWKGraphicsCommandState*>(doc->History().LastDone()), nullptr);
  EXPECT_TRUE(Brightened(*doc->CurrentPixels(), 20, Photo));
  EXPECT_EQ(doc->OriginalImage.Width(), 6000);
  EXPECT_EQ(view->ZoomNumerator(), zoom.Numerator);
  EXPECT_EQ(view->ZoomDenominator(), zoom.Denominator);
  EXPECT_EQ(Tool->Values(), TChannelValues{});

  Editor->Undo();
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == before);
  EXPECT_TRUE(doc->Saved());
}

TEST_F(AdjustmentToolTest, SavingDuringACycleSavesTheFullSizePhoto) {
  TWKGraphicsDocument* doc = OpenPhoto(6000, 4000);
  ASSERT_NE(doc, nullptr);
  Tool->StartAdjustment();
  Tool->SetRed(-40);
  Tool->UpdateControls();
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 1255, 837));

  const std::string path = (Folder / "saved.jpg").string();
  ASSERT_TRUE(doc->SaveToFile(path, gfJPEG));
  EXPECT_FALSE(Tool->Started());
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 6000, 4000));
  EXPECT_EQ(doc->History().Count(), 0);
  EXPECT_TRUE(doc->Saved());
  const lossless_test::TPicture saved = lossless_test::DecodeJpeg(lossless_test::ReadFile(path));
  ASSERT_EQ(saved.Width, 6000);
  ASSERT_EQ(saved.Height, 4000);
  for (const TPoint p : {TPoint{0, 0}, TPoint{3000, 2000}, TPoint{5999, 3999}}) {
    const uint8_t* s = saved.At(p.X, p.Y);
    const TBGRPixel expected = Photo(p.X, p.Y);
    EXPECT_NEAR(s[0], expected.Blue, 3);
    EXPECT_NEAR(s[2], expected.Red, 3) << "the photo without the preview's brightening";
  }
}

TEST_F(AdjustmentToolTest, ClosingDuringACycleRestoresThePhotoWithoutAskingToSave) {
  TWKGraphicsDocument* doc = OpenPhoto(1500, 1000);
  ASSERT_NE(doc, nullptr);
  Tool->StartAdjustment();
  ASSERT_TRUE(Tool->Downscaled());
  Tool->SetBlue(30);
  Tool->UpdateControls();
  EXPECT_CALL(*Messages, MessageBox(_, _, _)).Times(0);
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);
  EXPECT_FALSE(Tool->Started());
}

TEST_F(AdjustmentToolTest, SmallImagesAdjustInPlaceAndCancelPutsThemBack) {
  TWKGraphicsDocument* doc = OpenPhoto(400, 300);
  const std::vector<uint8_t> before = ImageBytes(*doc->CurrentPixels());
  Tool->TypeButtonClick(AdjustSaturation);
  Tool->AllTntCheckBoxClick(true);
  Tool->RedTrackBarChange(50);
  EXPECT_EQ(Tool->Values(), (TChannelValues{50, 50, 50}));
  EXPECT_EQ(Frame.Positions[2], 50);
  Tool->StartAdjustment();
  EXPECT_FALSE(Tool->Downscaled());
  EXPECT_EQ(doc->History().Count(), 0);
  // Full saturation: the smallest channel of every coloured pixel goes to 0.
  for (const TPoint p : {TPoint{0, 0}, TPoint{399, 299}, TPoint{123, 45}}) {
    const TBGRPixel q = *doc->CurrentPixels()->Pixel(p.X, p.Y);
    EXPECT_EQ(std::min({q.Blue, q.Green, q.Red}), 0);
  }
  Tool->CancelTBXButtonClick();
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == before);
  EXPECT_EQ(doc->History().Count(), 0);
  EXPECT_FALSE(doc->EditActive());

  Tool->StartAdjustment();
  Tool->FinishAdjustment();
  EXPECT_EQ(doc->History().Count(), 1);
  EXPECT_FALSE(ImageBytes(*doc->CurrentPixels()) == before);
  Editor->Undo();
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == before);
}

TEST_F(AdjustmentToolTest, ContrastOnAUniformGreyMegapixelKeepsItsValue) {
  TWKGraphicsDocument* doc = OpenPixels(1024, 1024, [](int32_t, int32_t) { return TBGRPixel{100, 100, 100}; });
  Tool->TypeButtonClick(AdjustContrast);
  Tool->SetRed(50);
  Tool->SetGreen(50);
  Tool->SetBlue(50);
  Tool->StartAdjustment();
  EXPECT_FALSE(Tool->Downscaled());
  EXPECT_EQ(Tool->Mean().Green, 100.0f);
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(512, 512), (TBGRPixel{100, 100, 100}));
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(1023, 1023), (TBGRPixel{100, 100, 100}));
  Tool->CancelAdjustment();
}

TEST_F(AdjustmentToolTest, FinalSaturationPassStepsTheProgressMeterOnce) {
  TWKGraphicsDocument* doc = OpenPhoto(1500, 1000);
  Tool->TypeButtonClick(AdjustSaturation);
  Tool->SetRed(40);
  Tool->StartAdjustment();
  ASSERT_TRUE(Tool->Downscaled());
  EXPECT_EQ(Bar.Highest, 0);
  Tool->FinishAdjustment();
  EXPECT_EQ(Bar.Highest, 1000);
  EXPECT_EQ(Bar.Position, 0) << "reset afterwards";
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 1500, 1000));
  EXPECT_EQ(doc->History().Count(), 1);
}

TEST_F(AdjustmentToolTest, FrameStateFollowsTheCycleAndTheAllBox) {
  OpenPhoto(200, 100);
  Tool->TypeButtonClick(AdjustBrightness);
  Tool->UpdateControls();
  EXPECT_EQ(Frame.State.TypeCaption, "Brightness");
  EXPECT_EQ(Frame.State.ChannelLabels[0], "Red: 0");
  EXPECT_TRUE(Frame.State.GreenBlueVisible);
  EXPECT_TRUE(Frame.State.StartEnabled);
  EXPECT_FALSE(Frame.State.FinishingEnabled);
  EXPECT_EQ(Frame.Lines.size(), 2u);

  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->AllTntCheckBoxClick(true);
  Tool->RedTrackBarChange(10);
  Tool->StartTBXButtonClick();
  Tool->UpdateControls();
  EXPECT_EQ(Frame.State.ChannelLabels[0], "Brightness: +10");
  EXPECT_FALSE(Frame.State.GreenBlueVisible);
  EXPECT_FALSE(Frame.State.StartEnabled);
  EXPECT_TRUE(Frame.State.FinishingEnabled);
  EXPECT_TRUE(Frame.State.CancelEnabled);
  EXPECT_EQ(Frame.State.TypeEnabled, (std::array<bool, 4>{true, false, false, false}));
  Tool->TypeButtonClick(AdjustGamma);  // fixed during a cycle
  EXPECT_EQ(Tool->AdjustmentType(), AdjustBrightness);
  Tool->CancelTBXButtonClick();
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove AdjustmentAll", "AdjustmentAll 1",
                                      "MouseCurvedMove AdjustmentGreen", "AdjustmentGreen 0",
                                      "MouseCurvedMove AdjustmentBlue", "AdjustmentBlue 0",
                                      "MouseCurvedMove AdjustmentRed", "AdjustmentRed 10",
                                      "MouseCurvedMove AdjustmentGreen", "AdjustmentGreen 10",
                                      "MouseCurvedMove AdjustmentBlue", "AdjustmentBlue 10",
                                      "MouseCurvedMove AdjustmentStart", "AdjustmentStart",
                                      "MouseCurvedMove AdjustmentCancel", "AdjustmentCancel"}));

  // Another tool may not edit while the cycle holds the document.
  Tool->StartAdjustment();
  EXPECT_FALSE(Editor->CanToolEdit(Resize));
  EXPECT_FALSE(Editor->CanUndo());
  Tool->CancelAdjustment();
  EXPECT_TRUE(Editor->CanToolEdit(Resize));
}

TEST_F(AdjustmentToolTest, SettingsAndScriptCommandsGoThroughTheClampingSetters) {
  TWKCustomProperties args;
  args.SetInteger(1, 80);
  EXPECT_TRUE(Registry.Execute("ADJUSTMENTRED", args));
  EXPECT_EQ(Tool->Values().Red, 50);
  EXPECT_EQ(Frame.Positions[0], 50);
  args.SetInteger(1, -7);
  EXPECT_TRUE(Registry.Execute("ADJUSTMENTBLUE", args));
  EXPECT_TRUE(Registry.Execute("ADJUSTMENTGAMMA", TWKCustomProperties{}));
  EXPECT_EQ(Frame.Pressed, AdjustGamma);
  args.SetInteger(1, 0);
  EXPECT_TRUE(Registry.Execute("ADJUSTMENTEXPLANATION", args));
  EXPECT_FALSE(Tool->ShowExplanation());

  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    Tool->SaveSettings(writer);
  }
  TFakeAdjustmentFrame otherFrame;
  auto* other = CreateTool<TWKAdjustmentTool>(&App, Resize, [&](TWKAdjustmentTool&) { return &otherFrame; });
  TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
  other->LoadSettings(reader);
  EXPECT_EQ(other->Values(), (TChannelValues{50, 0, -7}));
  EXPECT_EQ(other->AdjustmentType(), AdjustGamma);
  EXPECT_FALSE(other->ShowExplanation());
  EXPECT_FALSE(otherFrame.Explanation);
  EXPECT_EQ(otherFrame.Positions[2], -7);
  EXPECT_EQ(otherFrame.Pressed, AdjustGamma);
}
