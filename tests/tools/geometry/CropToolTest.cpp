// The crop tool in the image editor: drawing and adjusting the rectangle through the view, the
// crop as one step with exact undo and redo, cancelling, the tool lock, keys, the script
// commands, and a JPEG cropped on its blocks keeping its coefficients.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/WKProgramCursors.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "tools/framework/ToolFixture.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/geometry/CropTool.h"

namespace {

class TFakeCropFrame : public IWKCropFrame {
 public:
  TCropFrameTexts Texts;
  TSize Edits{-1, -1};
  bool Enabled = true, Shown = true;
  void SetTexts(const TCropFrameTexts& t) override { Texts = t; }
  void SetSizeEdits(int32_t w, int32_t h) override { Edits = {w, h}; }
  void SetControlsEnabled(bool v) override { Enabled = v; }
  void SetFrameVisible(bool v) override { Shown = v; }
  void BringToFront() override {}
  const void* Control(std::string_view) const override { return nullptr; }
  std::optional<TPoint> ControlCenter(std::string_view) const override { return std::nullopt; }
};

// Every pixel of a surface, padding left out.
std::vector<uint8_t> PixelBytes(const TWKPixels& p) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < p.Height; ++y)
    out.insert(out.end(), p.PixelAddress(0, y), p.PixelAddress(0, y) + p.Width * 3);
  return out;
}

std::vector<uint8_t> BytesOf(const TWKPixels& p, const TRect& r) {
  std::vector<uint8_t> out;
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    out.insert(out.end(), p.PixelAddress(r.Left, y), p.PixelAddress(r.Left, y) + r.Width() * 3);
  return out;
}

class CropToolTest : public ToolTest {
 protected:
  CropToolTest() {
    Tool = CreateTool<TWKCrop2PlusTool>(&App, [this](TWKCrop2PlusTool&) { return &Frame; });
    Other = new TLoggingTool(&App, "Other", Log);  // owned by App
  }

  TWKGraphicsDocument* OpenGradient(int32_t w = 200, int32_t h = 100) {
    TWKGraphicsDocument* doc = Open(MakeImage("gradient.png", w, h));
    EXPECT_NE(doc, nullptr);
    Editor->SetCurrentTool(Tool);
    return doc;
  }
  void Drag(TPoint from, TPoint to, int32_t button = mbLeft) {
    View()->MouseDown(button, 0, Client(from));
    View()->MouseMove(0, Client(to));
    View()->MouseUp(button, 0, Client(to));
  }
  void Click(TPoint at, int32_t button = mbLeft) { Drag(at, at, button); }
  int32_t State() const { return Tool->CurrentControl()->CropState; }
  int32_t Steps() const { return Document()->History().Count(); }

  TFakeCropFrame Frame;
  TWKCrop2PlusTool* Tool = nullptr;
  TLoggingTool* Other = nullptr;
};

}  // namespace

TEST_F(CropToolTest, AClickOutsideCropsBothImagesAsOneStepThatUndoesAndRedoesExactly) {
  TWKGraphicsDocument* doc = OpenGradient();
  ASSERT_EQ(View()->ZoomNumerator(), View()->ZoomDenominator());
  const std::vector<uint8_t> current = PixelBytes(*doc->CurrentPixels()),
                             original = PixelBytes(*doc->OriginalPixels());
  const std::vector<uint8_t> inside = BytesOf(*doc->CurrentPixels(), Rect(30, 20, 130, 70));

  Drag({30, 20}, {130, 70});
  EXPECT_EQ(State(), csPresent);
  EXPECT_EQ(Tool->CropRect, Rect(30, 20, 130, 70));
  EXPECT_EQ(Frame.Edits, (TSize{100, 50}));
  EXPECT_EQ(Steps(), 0);
  Click({60, 40});  // inside: nothing happens
  EXPECT_EQ(State(), csPresent);
  Click({150, 90});
  EXPECT_EQ(State(), csIdle);
  EXPECT_EQ(Steps(), 1);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 100, 50));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), inside);
  EXPECT_EQ(PixelBytes(*doc->OriginalPixels()), inside);
  EXPECT_EQ(PixelBytes(doc->Backup), inside);
  EXPECT_FALSE(doc->Saved());
  EXPECT_FALSE(Editor->ToolsLocked());

  Editor->Undo();
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), current);
  EXPECT_EQ(PixelBytes(*doc->OriginalPixels()), original);
  EXPECT_TRUE(doc->Saved());
  Editor->Redo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 100, 50));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), inside);
  EXPECT_EQ(PixelBytes(*doc->OriginalPixels()), inside);
}

TEST_F(CropToolTest, RightClickOutsideOrEscCancelsAndEnterCrops) {
  TWKGraphicsDocument* doc = OpenGradient();
  Drag({10, 10}, {60, 60});
  Click({150, 90}, mbRight);
  EXPECT_EQ(State(), csIdle);
  EXPECT_EQ(Steps(), 0);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 200, 100));

  Drag({10, 10}, {60, 60});
  EXPECT_TRUE(View()->KeyDown('A', 0));  // every key is taken while a rectangle is shown
  EXPECT_TRUE(View()->KeyDown(VK_ESCAPE, 0));
  EXPECT_EQ(State(), csIdle);
  EXPECT_FALSE(View()->KeyDown('A', 0));
  EXPECT_EQ(Steps(), 0);

  Drag({10, 10}, {60, 60});
  EXPECT_TRUE(View()->KeyDown(VK_RETURN, 0));
  EXPECT_EQ(State(), csIdle);
  EXPECT_EQ(Steps(), 1);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 50, 50));
}

TEST_F(CropToolTest, AnEmptyDragReturnsToIdleAndTheNextClickCropsNothing) {
  TWKGraphicsDocument* doc = OpenGradient();
  Drag({40, 10}, {40, 80});  // no width
  EXPECT_TRUE(Tool->CropRect.IsEmpty());
  EXPECT_EQ(State(), csIdle);
  EXPECT_FALSE(Editor->ToolsLocked());
  // The next click starts a new rectangle (one pixel, then released: idle again), never a crop.
  Click({150, 90});
  EXPECT_EQ(Steps(), 0);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 200, 100));
  EXPECT_FALSE(Tool->Perform());
}

TEST_F(CropToolTest, TheRectangleLocksTheOtherToolsAndUndoUntilItIsGone) {
  OpenGradient();
  Document()->History().Add(
      std::make_unique<TWKGraphicsCommandState>(Other, Rect(0, 0, 1, 1), *Document()));
  EXPECT_TRUE(Editor->CanToolEdit(Other));
  View()->MouseDown(mbLeft, 0, Client({10, 10}));
  EXPECT_EQ(State(), csDrawing);
  EXPECT_FALSE(Editor->CanToolEdit(Other));
  EXPECT_TRUE(Editor->CanToolEdit(Tool));
  View()->MouseMove(0, Client({50, 50}));
  View()->MouseUp(mbLeft, 0, Client({50, 50}));
  EXPECT_FALSE(Editor->CanToolEdit(Other));
  // Undo and redo are offered again only once the rectangle is gone.
  Editor->UpdateControls();
  Tool->UpdateControls();
  EXPECT_FALSE(Editor->UndoMenuItem->Enabled());
  EXPECT_FALSE(Editor->UndoToolButton->Enabled());
  Tool->CancelEdit();
  Editor->UpdateControls();
  Tool->UpdateControls();
  EXPECT_TRUE(Editor->UndoMenuItem->Enabled());
  EXPECT_TRUE(Editor->CanToolEdit(Other));
}

TEST_F(CropToolTest, HandlesResizeAndMoveTheRectangleWithinTheImage) {
  OpenGradient();
  Drag({50, 20}, {100, 60});
  int32_t cursor = 0;
  ASSERT_TRUE(View()->ToolControls().back()->GetCursor(0, Client({100, 20}), cursor));
  EXPECT_EQ(cursor, crSizeNESW);
  ASSERT_TRUE(View()->ToolControls().back()->GetCursor(0, Client({70, 40}), cursor));
  EXPECT_EQ(cursor, crSizeAll);
  Drag({100, 40}, {120, 45});  // the right handle
  EXPECT_EQ(Tool->CropRect, Rect(50, 20, 120, 60));
  Drag({80, 40}, {0, 0});  // moved against the top-left corner, size kept
  EXPECT_EQ(Tool->CropRect, Rect(0, 0, 70, 40));
  Drag({0, 20}, {90, 20});  // the left handle across the right edge: ignored
  EXPECT_EQ(Tool->CropRect, Rect(0, 0, 70, 40));
  EXPECT_EQ(State(), csPresent);
}

TEST_F(CropToolTest, APrintFormatKeepsItsRatioAndSizeEditsApplyOnlyWithinTheImage) {
  OpenGradient(400, 300);
  Tool->SetRatio(rkPrint, PrintFormats[6]);  // 3 : 2
  Drag({10, 10}, {110, 110});
  EXPECT_EQ(Tool->CropRect, Rect(10, 10, 160, 110));
  EXPECT_EQ(Editor->WStatusPanel->Caption(), "150");
  EXPECT_EQ(Editor->HStatusPanel->Caption(), "100");
  Drag({160, 110}, {500, 110});  // would reach outside: the rectangle stays
  EXPECT_EQ(Tool->CropRect, Rect(10, 10, 160, 110));

  Tool->SetRatio(rkFree, "");
  EXPECT_TRUE(Tool->Ratio.Free());
  Tool->WidthEditChange(395);
  EXPECT_EQ(Tool->CropRect, Rect(5, 10, 400, 110));
  Frame.Edits = {};
  Tool->WidthEditChange(401);  // wider than the image: the edit shows the width again
  EXPECT_EQ(Frame.Edits, (TSize{395, 100}));
  EXPECT_EQ(Tool->CropRect, Rect(5, 10, 400, 110));
  Tool->HeightEditChange(50);
  EXPECT_EQ(Tool->CropRect, Rect(5, 10, 400, 60));
}

TEST_F(CropToolTest, ScriptPerformCropsOnlyAShownRectangleClippedToTheImage) {
  TWKGraphicsDocument* doc = OpenGradient();
  // A rectangle kept from an earlier use, not shown: nothing happens.
  Tool->CropRect = Rect(10, 10, 50, 50);
  EXPECT_TRUE(Registry.Execute("CROPPERFORM", {}));
  EXPECT_EQ(Steps(), 0);
  // A crop, undone; a rectangle shown over the large image; the crop redone by a script:
  // the rectangle now reaches past the smaller image and is clipped to it.
  Drag({0, 0}, {100, 50});
  Click({150, 90});
  Editor->Undo();
  Drag({50, 20}, {150, 80});
  ASSERT_EQ(State(), csPresent);
  Editor->Redo();
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 100, 50));
  EXPECT_TRUE(Registry.Execute("CROPPERFORM", {}));
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 50, 30));
  EXPECT_EQ(State(), csIdle);
  EXPECT_EQ(Steps(), 2);
}

TEST_F(CropToolTest, RecordsItsLinesAndNamesItsButtonAndCommands) {
  OpenGradient();
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Drag({10, 10}, {60, 60});
  Click({150, 90});
  Drag({10, 10}, {30, 30});
  View()->KeyDown(VK_ESCAPE, 0);
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove CropPerform", "CropPerform",
                                                      "MouseCurvedMove CropCancel", "CropCancel"}));
  TWKCustomProperties params;
  params.SetString(0, "Crop");
  TPoint point;
  EXPECT_TRUE(Tool->GetScriptCommandPoint(params, point));
  EXPECT_EQ(point, Panel.Button.ScreenCenter());
  EXPECT_TRUE(Registry.Locate("CROP").has_value());
  EXPECT_EQ(Panel.Button.Text, "Crop");
  EXPECT_EQ(Frame.Texts.Width, "Width:");
  EXPECT_TRUE(Tool->ExclusiveEdit());
  EXPECT_FALSE(Tool->PluginAvailable);
}

TEST_F(CropToolTest, SettingsHoldAnEmptySection) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    Tool->SaveSettings(writer);
  }
  TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
  ASSERT_TRUE(reader.OpenNode(1, TWKCrop2PlusTool::kSettingsGuid));
  EXPECT_TRUE(reader.CurrentNode()->Children.Values.empty());
  EXPECT_TRUE(reader.CurrentNode()->Children.Nodes.empty());
}

TEST_F(CropToolTest, AJpegCroppedOnItsBlocksKeepsEveryCoefficientInsideTheCrop) {
  using namespace lossless_test;
  const std::string source = (Folder / "photo.jpg").string();
  WriteFile(source, EncodeJpeg(TPicture::Synthetic(128, 96), {}));  // 4:2:0, 16 × 16 blocks
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(doc->LosslessJpeg && doc->LosslessJpeg->HoldsData());
  Editor->SetCurrentTool(Tool);
  Drag({16, 32}, {80, 96});
  View()->KeyDown(VK_RETURN, 0);
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 64, 64));
  // Redo crops the restored images again: the compressed form follows once more.
  Editor->Undo();
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 128, 96));
  Editor->Redo();
  const std::string saved = (Folder / "cropped.jpg").string();
  ASSERT_TRUE(Formats->SaveDocument(*doc, saved, gfJPEG)) << Formats->LastError;
  // Every block of the saved picture is the source's block at the crop's place, untouched.
  const TCoefficients ours = ReadCoefficients(ReadFile(saved)),
                      theirs = ReadCoefficients(ReadFile(source));
  ASSERT_EQ(ours.Width, 64u);
  ASSERT_EQ(ours.Height, 64u);
  ASSERT_EQ(ours.Components.size(), theirs.Components.size());
  for (size_t c = 0; c < ours.Components.size(); ++c) {
    const TComponentBlocks &out = ours.Components[c], &in = theirs.Components[c];
    ASSERT_EQ(out.H, in.H);
    ASSERT_EQ(out.V, in.V);
    // Pixels per block side in this component: 8 for luma, 16 for 4:2:0 chroma.
    const uint32_t across = 8 * 2 / uint32_t(in.H), down = 8 * 2 / uint32_t(in.V);
    const uint32_t bx0 = 16 / across, by0 = 32 / down;
    for (uint32_t by = 0; by < 64 / down; ++by)
      for (uint32_t bx = 0; bx < 64 / across; ++bx)
        ASSERT_TRUE(
            std::equal(out.Block(bx, by), out.Block(bx, by) + 64, in.Block(bx0 + bx, by0 + by)))
            << "component " << c << " block " << bx << "," << by;
  }
  EXPECT_EQ(ours.QuantTables, theirs.QuantTables);
}
