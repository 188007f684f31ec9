// The resize tool in the image editor: proportional sizes, the resize as one undoable step of
// both images, refused sizes that leave no step, the frame's buttons, recording and scripts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "GraphicsEditorFixture.h"
#include "tools/framework/ToolFixture.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/geometry/ResizeTool.h"

using ::testing::_;
using ::testing::HasSubstr;

namespace {

class TFakeResizeFrame : public IWKResizeFrame, public TFakeToolFrame {
 public:
  int32_t Width = -1, Height = -1;
  bool Constrain = false, Actions = true;
  TResizeFrameTexts Texts;
  void SetTexts(const TResizeFrameTexts& t) override { Texts = t; }
  void ShowWidth(int32_t v) override { Width = v; }
  void ShowHeight(int32_t v) override { Height = v; }
  void SetConstrainChecked(bool v) override { Constrain = v; }
  void SetActionsEnabled(bool v) override { Actions = v; }
};

TBGRPixel Pattern(int32_t x, int32_t y) {
  return {static_cast<uint8_t>(x * 7 + y), static_cast<uint8_t>(y * 3), static_cast<uint8_t>(x ^ y)};
}

class ResizeToolTest : public ToolTest {
 protected:
  ResizeToolTest() {
    Tool = CreateTool<TWKResizeTool>(&App, [this](TWKResizeTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }
  TWKGraphicsDocument* OpenSized(int32_t width, int32_t height) {
    TWKGraphicsDocument* doc = OpenPixels(width, height, Pattern);
    Tool->Activate();
    return doc;
  }
  TSize Values() const { return {Tool->NewWidth(), Tool->NewHeight()}; }

  TFakeResizeFrame Frame;
  TWKResizeTool* Tool = nullptr;
};

}  // namespace

TEST_F(ResizeToolTest, KeptProportionsFollowTheImageAndTheBoxFitWhenTurnedOn) {
  ASSERT_NE(OpenSized(400, 300), nullptr);
  EXPECT_EQ(Values(), (TSize{400, 300}));
  EXPECT_TRUE(Tool->ConstrainProportions());
  EXPECT_TRUE(Frame.Constrain);
  struct Step {
    std::function<void()> Do;
    TSize Expected;
  };
  const std::vector<Step> steps = {
      {[&] { Tool->SetNewWidth(200); }, {200, 150}},
      {[&] { Tool->SetNewHeight(100); }, {133, 100}},
      {[&] { Tool->SetNewWidth(0); }, {1, 1}},  // MulDiv(300, 1, 400) = 0.75 -> 1
      {[&] { Tool->SetNewWidth(-20); }, {1, 1}},
      {[&] { Tool->SetConstrainProportions(false); Tool->SetNewWidth(500); Tool->SetNewHeight(100); }, {500, 100}},
      {[&] { Tool->SetConstrainProportions(true); }, {133, 100}},  // 4:3 fitted into 500 x 100
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].Do();
    EXPECT_EQ(Values(), steps[i].Expected) << "step " << i;
    EXPECT_EQ((TSize{Frame.Width, Frame.Height}), steps[i].Expected) << "step " << i;
  }
}

TEST_F(ResizeToolTest, ResizeIsOneStepOfBothImagesThatUndoRestoresExactly) {
  TWKGraphicsDocument* doc = OpenSized(6000, 4000);
  ASSERT_NE(doc, nullptr);
  const std::vector<uint8_t> current = ImageBytes(*doc->CurrentPixels());
  const std::vector<uint8_t> original = ImageBytes(*doc->OriginalPixels());
  Tool->SetNewHeight(1000);
  EXPECT_EQ(Values(), (TSize{1500, 1000}));
  Tool->UpdateControls();
  EXPECT_TRUE(Frame.Actions);

  ASSERT_TRUE(Tool->Perform());
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 1500, 1000));
  EXPECT_EQ(doc->OriginalImage.Width(), 1500);
  EXPECT_EQ(doc->OriginalImage.Height(), 1000);
  EXPECT_EQ(doc->Backup.BoundsRect(), Rect(0, 0, 1500, 1000));
  EXPECT_EQ(doc->History().Count(), 1);
  EXPECT_FALSE(doc->Saved());
  EXPECT_FALSE(doc->EditActive());
  Tool->UpdateControls();
  EXPECT_FALSE(Frame.Actions) << "the values are the new image size";
  const std::vector<uint8_t> resized = ImageBytes(*doc->CurrentPixels());

  Editor->Undo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 6000, 4000));
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == current);
  EXPECT_TRUE(ImageBytes(*doc->OriginalPixels()) == original);
  EXPECT_TRUE(ImageBytes(doc->Backup) == current);
  EXPECT_TRUE(doc->Saved());
  Editor->Redo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 1500, 1000));
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == resized);
}

TEST_F(ResizeToolTest, RefusedSizesShowAMessageAndLeaveNoStep) {
  TWKGraphicsDocument* doc = OpenSized(6000, 4000);
  ASSERT_NE(doc, nullptr);
  Tool->SetNewWidth(100000);
  ASSERT_EQ(Values(), (TSize{100000, 66667}));
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("100000 \xC3\x97 66667"), _, _)).Times(1);
  EXPECT_FALSE(Tool->Perform());
  EXPECT_EQ(doc->History().Count(), 0);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 6000, 4000));
  EXPECT_EQ(doc->OriginalImage.Width(), 6000);
  EXPECT_FALSE(doc->EditActive());
  EXPECT_TRUE(doc->Saved());
  ::testing::Mock::VerifyAndClearExpectations(Messages);

  // Kept proportions can give a side of 0: 1 x 0 is refused, not resampled into nothing.
  doc = OpenSized(1000, 10);
  Tool->SetNewWidth(1);
  ASSERT_EQ(Values(), (TSize{1, 0}));
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("1 \xC3\x97 0"), _, _)).Times(1);
  EXPECT_FALSE(Tool->Perform());
  EXPECT_EQ(doc->History().Count(), 0);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 1000, 10));
}

TEST_F(ResizeToolTest, FrameButtonsEditsRecordingAndScriptCommands) {
  TWKGraphicsDocument* doc = OpenSized(400, 300);
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->UpdateControls();
  EXPECT_FALSE(Frame.Actions);
  Tool->WidthEditChange("640");
  Tool->WidthEditChange("64x");  // not a whole number: nothing
  Tool->WidthEditChange("");
  EXPECT_EQ(Values(), (TSize{640, 480}));
  Tool->UpdateControls();
  EXPECT_TRUE(Frame.Actions);
  Tool->CancelButtonClick();
  EXPECT_EQ(Values(), (TSize{400, 300}));
  EXPECT_EQ(doc->History().Count(), 0);
  Tool->ConstrainProportionsCheckBoxChange(false);
  Tool->HeightUpDownChanging(299);
  EXPECT_EQ(Values(), (TSize{400, 299}));
  Tool->OkButtonClick();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 400, 299));
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"ResizeWidth 640", "MouseCurvedMove ResizeCancel",
                                                      "ResizeCancel", "MouseCurvedMove ResizeProportions",
                                                      "ResizeDisproportional", "MouseCurvedMove ResizePerform",
                                                      "ResizePerform"}));
  Tool->StopRecording();

  TWKCustomProperties args;
  EXPECT_TRUE(Registry.Execute("RESIZEPROPORTIONAL", args));
  args.SetInteger(1, 200);
  EXPECT_TRUE(Registry.Execute("RESIZEWIDTH", args));
  EXPECT_EQ(Values(), (TSize{200, 150}));  // MulDiv(299, 200, 400) = 149.5, away from zero
  EXPECT_TRUE(Registry.Execute("RESIZEPERFORM", TWKCustomProperties{}));
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 200, 150));
  EXPECT_EQ(doc->History().Count(), 2);
  EXPECT_EQ(Frame.Texts.Width, "Width:");
  EXPECT_EQ(Panel.Button.Text, "Resize");
}
