// The original-image comparison in the editor: O held shows the opened image in place of the
// current one without copying it, key repeats change nothing, release brings the previous tool
// back; the button, the script names and the recorded lines.
#include <gtest/gtest.h>

#include "documents/WKScriptRecorder.h"
#include "tools/framework/ToolFixture.h"
#include "tools/original/WKOriginalImageTool.h"
#include "view/FakeViewWindow.h"

namespace {

constexpr TBGRPixel kOpened{10, 120, 230};
constexpr TBGRPixel kEdited{200, 30, 60};

class OriginalImageToolTest : public ToolTest {
 protected:
  OriginalImageToolTest() {
    Other = CreateTool<TWKGraphicsTool>(&App);
    Original = CreateTool<TWKOriginalImageTool>(&App, &Window, Editor->StandardToolbar);
    Editor->SetCurrentTool(Other);
  }
  ~OriginalImageToolTest() override {
    Destroy(Original);
    Destroy(Other);
  }
  // Opens the image and paints the current one over, keeping the original as opened.
  void OpenEdited(int32_t width, int32_t height) {
    OpenPainted(width, height, Uniform(kOpened));
    ASSERT_TRUE(Document()->OwnPixels());  // as an edit does before its first change
    TWKPixels& current = *Document()->CurrentPixels();
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) *current.Pixel(x, y) = kEdited;
  }
  TBGRPixel Painted(TPoint image) {
    TViewScreen screen({800, 600});
    EXPECT_TRUE(View()->Paint(screen));
    const TPoint p = Client(image);
    return screen.At(p.X, p.Y);
  }

  TWKGraphicsTool* Other = nullptr;
  TWKOriginalImageTool* Original = nullptr;
};

TEST_F(OriginalImageToolTest, HoldingOShowsTheOriginalOnceAndReleaseRestoresTheTool) {
  OpenEdited(60, 40);
  const uint8_t* currentBits = Document()->CurrentPixels()->Bits;
  const uint8_t* originalBits = Document()->OriginalPixels()->Bits;
  EXPECT_EQ(Painted({5, 5}), kEdited);

  auto* button = static_cast<TFakeItem*>(Original->OriginalImageToolButton);
  TRecorder recorder;
  Original->StartRecording(&recorder);
  EXPECT_TRUE(View()->KeyDown('O', 0));
  EXPECT_EQ(Editor->CurrentTool(), Original);
  EXPECT_EQ(Original->PreviousTool, Other);
  // The button is drawn pressed while the key holds the original.
  Original->UpdateControls();
  EXPECT_TRUE(button->IsChecked);
  EXPECT_EQ(Painted({5, 5}), kOpened);
  EXPECT_EQ(Painted({59, 39}), kOpened);
  // Held keys repeat their key-down: nothing changes and nothing more is recorded.
  for (int i = 0; i < 90; ++i) EXPECT_FALSE(View()->KeyDown('O', 0));
  EXPECT_EQ(Editor->CurrentTool(), Original);
  EXPECT_EQ(Original->PreviousTool, Other);
  Original->UpdateControls();
  EXPECT_TRUE(button->IsChecked);
  EXPECT_TRUE(View()->KeyUp('O', 0));
  EXPECT_EQ(Editor->CurrentTool(), Other);
  Original->UpdateControls();
  EXPECT_FALSE(button->IsChecked);
  EXPECT_EQ(Painted({5, 5}), kEdited);
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove OriginalImage", "MouseDown", MessageLine("Original Image"),
                                      "MouseUp", MessageLine("Corrected Image")}));
  // Neither image was copied or replaced.
  EXPECT_EQ(Document()->CurrentPixels()->Bits, currentBits);
  EXPECT_EQ(Document()->OriginalPixels()->Bits, originalBits);
  EXPECT_EQ(Document()->CurrentPixels()->Pixel(0, 0)[0], kEdited);
  // A release without the original shown, and other keys, are not the tool's.
  EXPECT_FALSE(View()->KeyUp('O', 0));
  EXPECT_FALSE(View()->KeyDown('P', 0));
  Original->StopRecording();
}

TEST_F(OriginalImageToolTest, TheButtonShowsWhileHeldIsDrawnPressedAndTheOriginalFollowsACrop) {
  auto* button = static_cast<TFakeItem*>(Original->OriginalImageToolButton);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->CaptionText, "Original");
  EXPECT_EQ(button->HintText, "Hold down to show the original image");
  Original->UpdateControls();
  EXPECT_FALSE(button->IsEnabled);
  Original->ButtonHeld(true);
  EXPECT_EQ(Editor->CurrentTool(), Other);

  OpenEdited(60, 40);
  Original->UpdateControls();
  EXPECT_TRUE(button->IsEnabled);
  ASSERT_TRUE(Document()->Crop(Rect(10, 10, 30, 25)));
  Original->ButtonHeld(true);
  EXPECT_EQ(Editor->CurrentTool(), Original);
  Original->UpdateControls();
  EXPECT_TRUE(button->IsChecked);
  EXPECT_EQ(Original->Controls(0)->Bounds, Rect(0, 0, 20, 15));
  EXPECT_EQ(Painted({19, 14}), kOpened);
  Original->ButtonHeld(false);
  EXPECT_EQ(Editor->CurrentTool(), Other);
  Original->UpdateControls();
  EXPECT_FALSE(button->IsChecked);
  EXPECT_FALSE(Original->Controls(0)->Visible());
  EXPECT_TRUE(View()->DocumentView()->Visible());

  // Another tool made current ends the comparison too, and the button comes up.
  Original->ButtonHeld(true);
  Editor->SetCurrentTool(Other);
  Original->UpdateControls();
  EXPECT_FALSE(button->IsChecked);
  EXPECT_TRUE(View()->DocumentView()->Visible());
  EXPECT_EQ(Painted({5, 5}), kEdited);
}

TEST_F(OriginalImageToolTest, DemonstrationsFindTheButtonUnderBothNames) {
  auto* button = static_cast<TFakeItem*>(Original->OriginalImageToolButton);
  button->Center = TPoint{321, 12};
  for (const char* name : {"OriginalImageButton", "originalimage"}) {
    TWKCustomProperties params;
    params.SetString(1, name);
    TPoint point;
    EXPECT_TRUE(Original->GetScriptCommandPoint(params, point)) << name;
    EXPECT_EQ(point, (TPoint{321, 12}));
  }
  TWKCustomProperties other;
  other.SetString(1, "Original");
  TPoint point;
  EXPECT_FALSE(Original->GetScriptCommandPoint(other, point));
  EXPECT_FALSE(Original->ExecuteScriptCommand("ORIGINALIMAGE", other));
}

}  // namespace
