// The rotate/flip tool in the image editor: turns and flips of both images as steps whose undo
// gives the exact images back, a held JPEG following them coefficient for coefficient, the
// tool-bar and menu commands (half turns in plug-in mode), and the frame's preview.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "GraphicsEditorFixture.h"
#include "documents/WKLosslessJpeg.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "tools/framework/ToolFixture.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/geometry/RotateTool.h"

namespace {

class TFakeRotateFrame : public IWKRotateFrame, public TFakeToolFrame {
 public:
  TRotateFrameTexts Texts;
  bool Shown = false;
  uint8_t Selected = RotateRightOperation;
  int Repaints = 0;
  void SetTexts(const TRotateFrameTexts& t) override { Texts = t; }
  void ShowOptionsPanel(bool shown) override { Shown = shown; }
  bool OptionsPanelShown() const override { return Shown; }
  uint8_t SelectedOperation() const override { return Selected; }
  void CheckOperation(uint8_t op) override { Selected = op; }
  TSize ThumbnailViewSize() const override { return {176, 150}; }
  void RepaintThumbnail() override { ++Repaints; }
};

TBGRPixel Pattern(int32_t x, int32_t y) {
  return {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x * 3 + y * 5)};
}

class RotateToolTest : public ToolTest {
 protected:
  RotateToolTest() {
    Tool = CreateTool<TWKRotateTool>(&App, [this](TWKRotateTool&) { return &Frame; });
    Tool->AddCommandItems(Window, Editor->StandardToolbar, Editor->EditMenuItem);
    Editor->SetCurrentTool(Tool);
  }
  // Tool-bar order: right, left, flip vertical, flip horizontal.
  void ClickBar(size_t index) { static_cast<TFakeItem*>(Tool->ToolbarButtons()[index])->Click(); }
  const TFakeItem& Toolbar() const { return *static_cast<TFakeItem*>(Editor->StandardToolbar); }

  TFakeRotateFrame Frame;
  TWKRotateTool* Tool = nullptr;
};

}  // namespace

TEST_F(RotateToolTest, FourStepsThenFourUndosGiveBothImagesBackBitForBit) {
  TWKGraphicsDocument* doc = OpenPixels(300, 200, Pattern);
  ASSERT_NE(doc, nullptr);
  const std::vector<uint8_t> current = ImageBytes(*doc->CurrentPixels());
  const std::vector<uint8_t> original = ImageBytes(*doc->OriginalPixels());

  ClickBar(0);  // right: old (x, y) -> new (H - 1 - y, x)
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 200, 300));
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(200 - 1 - 7, 250), Pattern(250, 7));
  EXPECT_EQ(*doc->OriginalPixels()->Pixel(200 - 1 - 7, 250), Pattern(250, 7));
  ClickBar(1);  // left
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 300, 200));
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == current);
  ClickBar(3);  // flip horizontal: the mirror
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(299 - 10, 20), Pattern(10, 20));
  ClickBar(2);  // flip vertical
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(299 - 10, 199 - 20), Pattern(10, 20));
  EXPECT_EQ(*doc->OriginalPixels()->Pixel(299 - 10, 199 - 20), Pattern(10, 20));
  ASSERT_EQ(doc->History().Count(), 4);
  EXPECT_FALSE(doc->Saved());
  const std::vector<uint8_t> done = ImageBytes(*doc->CurrentPixels());

  for (int i = 0; i < 4; ++i) Editor->Undo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 300, 200));
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == current);
  EXPECT_TRUE(ImageBytes(*doc->OriginalPixels()) == original);
  EXPECT_TRUE(ImageBytes(doc->Backup) == current);
  EXPECT_TRUE(doc->Saved());
  for (int i = 0; i < 4; ++i) Editor->Redo();
  EXPECT_TRUE(ImageBytes(*doc->CurrentPixels()) == done);
}

TEST_F(RotateToolTest, TurnedJpegSavesTheCoefficientsOfAPerfectLosslessTurn) {
  using namespace lossless_test;
  const std::string source = (Folder / "photo.jpg").string();
  WriteFile(source, EncodeJpeg(TPicture::Synthetic(128, 96), {}));
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(doc->LosslessJpeg && doc->LosslessJpeg->HoldsData());
  ASSERT_TRUE(Tool->RotateRight());
  ASSERT_TRUE(Tool->MirrorHorizontal());
  Editor->Undo();  // the mirror, undone by mirroring again
  ASSERT_TRUE(CanSaveThroughLosslessJpeg(*doc));
  const std::string turned = (Folder / "turned.jpg").string();
  ASSERT_TRUE(Formats->SaveDocument(*doc, turned, gfJPEG)) << Formats->LastError;
  const std::vector<uint8_t> expected =
      RunJpegtran("-copy all -perfect -rotate 90", source, (Folder / "jpegtran.jpg").string());
  if (expected.empty()) GTEST_SKIP() << "jpegtran is not installed";
  const TCoefficients ours = ReadCoefficients(ReadFile(turned)), theirs = ReadCoefficients(expected);
  ASSERT_EQ(ours.Width, 96);
  ASSERT_EQ(ours.Height, 128);
  ASSERT_EQ(ours.Components.size(), theirs.Components.size());
  for (size_t c = 0; c < ours.Components.size(); ++c)
    EXPECT_EQ(ours.Components[c].Coefficients, theirs.Components[c].Coefficients) << "component " << c;
}

TEST_F(RotateToolTest, CommandsSitOnTheToolBarAndInTheEditMenuAndFollowWhetherTheToolMayEdit) {
  const std::vector<std::string> commands{"Rotate Right", "Rotate Left", "Flip Vertical", "Flip Horizontal"};
  std::vector<std::string> bar = Window.Captions(Toolbar());
  ASSERT_GE(bar.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(bar.end() - 5, bar.end()),
            (std::vector<std::string>{"|", commands[0], commands[1], commands[2], commands[3]}));
  std::vector<std::string> menu = Window.Captions(*static_cast<TFakeItem*>(Editor->EditMenuItem));
  EXPECT_EQ(std::vector<std::string>(menu.end() - 5, menu.end()),
            (std::vector<std::string>{"-", commands[0], commands[1], commands[2], commands[3]}));

  Tool->UpdateControls();
  EXPECT_FALSE(Tool->ToolbarButtons()[0]->Enabled()) << "no document";
  TWKGraphicsDocument* doc = OpenPixels(40, 30, Pattern);
  Tool->UpdateControls();
  EXPECT_TRUE(Tool->ToolbarButtons()[0]->Enabled());
  EXPECT_TRUE(Tool->MenuItems()[3]->Enabled());

  // Another tool's exclusive change (an adjustment cycle) is neither cut short nor turned.
  auto* exclusive = new TLoggingTool(&App, "X", Log);  // owned by App
  exclusive->Exclusive = true;
  exclusive->Paint(*doc, Rect(0, 0, 5, 5), {1, 2, 3});
  Tool->UpdateControls();
  EXPECT_FALSE(Tool->ToolbarButtons()[0]->Enabled());
  EXPECT_FALSE(Tool->RotateRight());
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 40, 30));
  EXPECT_EQ(doc->EditTool(), exclusive);
  EXPECT_EQ(doc->History().Count(), 0);
}

TEST_F(RotateToolTest, PlugInModeTurnsHalfWayFromTheToolBarAndFlipsOnce) {
  TWKGraphicsDocument* doc = Open(MakeExchangeFile("host.pspf", 6, 4));
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(Editor->PluginMode());
  EXPECT_FALSE(Panel.Button.IsVisible);
  EXPECT_TRUE(Tool->ToolbarButtons()[0]->Visible());
  *doc->CurrentPixels()->Pixel(0, 0) = {200, 100, 50};
  doc->RefreshBackup();
  ClickBar(1);  // rotate left, twice
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 6, 4));
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(5, 3), (TBGRPixel{200, 100, 50}));
  EXPECT_EQ(doc->History().Count(), 2);
  ClickBar(2);  // flip vertical, once
  EXPECT_EQ(*doc->CurrentPixels()->Pixel(5, 0), (TBGRPixel{200, 100, 50}));
  EXPECT_EQ(doc->History().Count(), 3);
  // A script's direct command acts once in every mode.
  EXPECT_TRUE(Registry.Execute("ROTATIONRIGHT", TWKCustomProperties{}));
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 4, 6));
}

TEST_F(RotateToolTest, PreviewShowsTheCheckedOperationOnTheThumbnailAndRecordsTheFrame) {
  TWKGraphicsDocument* doc = OpenPixels(300, 200, Pattern);
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  EXPECT_EQ(Tool->PreviewBitmap(), nullptr) << "the direct buttons show, not the preview";
  Tool->ShowOptionsButtonClick();
  EXPECT_TRUE(Frame.Shown);
  EXPECT_EQ(Frame.Texts.Options, "Hide Options");
  ASSERT_NE(Tool->Thumbnail(), nullptr);
  EXPECT_EQ(Tool->Thumbnail()->Width(), 148);  // min(176, 150) - 2 for the longer side
  EXPECT_EQ(Tool->Thumbnail()->Height(), 99);
  Frame.CheckOperation(RotateLeftOperation);
  Tool->RotateRadioButtonChange(RotateLeftOperation, true);
  EXPECT_EQ(Frame.Texts.Perform, "Rotate Left");
  const TWKLTBitmap* preview = Tool->PreviewBitmap();
  ASSERT_NE(preview, nullptr);
  ASSERT_EQ(preview->Width(), 99);
  ASSERT_EQ(preview->Height(), 148);
  // Left: old (x, y) -> new (y, W - 1 - x).
  EXPECT_EQ(*preview->Pixels()->Pixel(5, 147 - 20), *Tool->Thumbnail()->Pixels()->Pixel(20, 5));
  EXPECT_EQ(doc->History().Count(), 0) << "a preview changes nothing";

  Tool->RotateButtonClick();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 200, 300));
  EXPECT_EQ(Tool->Thumbnail()->Width(), 99) << "rebuilt after the step";
  Tool->DirectButtonClick(FlipVerticalOperation);
  Tool->ShowOptionsButtonClick();
  EXPECT_FALSE(Frame.Shown);
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove RotationOptions", "RotationShowOptions",
                                      "MouseCurvedMove RotationLeftOption", "RotationLeftOption",
                                      "MouseCurvedMove RotationPerform", "RotationPerform",
                                      "MouseCurvedMove RotationVertical", "RotationVertical",
                                      "MouseCurvedMove RotationOptions", "RotationHideOptions"}));
  Tool->StopRecording();
}
