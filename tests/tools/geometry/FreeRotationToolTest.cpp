// The free-rotation tool in the image editor: lines drawn through the view, the preview and the
// final image against the plain turn, auto-crop, one undoable step, cancel, and the commands
// that must not act without an open straightening.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/framework/ToolFixture.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/geometry/AutoCrop.h"
#include "tools/geometry/FreeRotationTool.h"

namespace {

class TFakeRotationFrame : public IWKRotationFrame {
 public:
  TRotationFrameTexts Texts;
  bool AutoCropChecked = true, ActionsEnabled = true, Enabled = true;
  void SetTexts(const TRotationFrameTexts& t) override { Texts = t; }
  void SetAutoCropChecked(bool v) override { AutoCropChecked = v; }
  void SetActionsEnabled(bool v) override { ActionsEnabled = v; }
  void SetControlsEnabled(bool v) override { Enabled = v; }
  void SetFrameVisible(bool) override {}
  void BringToFront() override {}
  const void* Control(std::string_view) const override { return this; }
  std::optional<TPoint> ControlCenter(std::string_view) const override { return TPoint{1, 2}; }
};

std::vector<uint8_t> PixelBytes(const TWKPixels& p) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < p.Height; ++y)
    out.insert(out.end(), p.PixelAddress(0, y), p.PixelAddress(0, y) + p.Width * 3);
  return out;
}

// A gradient with a dark line of slope 0.1 through (50, 50): straightening along it makes it level.
TBGRPixel TiltedLine(int32_t x, int32_t y) {
  if (std::abs(y - (50 + (x - 50) / 10.0)) < 1.5) return {20, 20, 20};
  return {static_cast<uint8_t>(120 + x / 4), static_cast<uint8_t>(120 + y / 4), 200};
}

class FreeRotationToolTest : public ToolTest {
 protected:
  FreeRotationToolTest() {
    Tool = CreateTool<TWKRotation3Tool>(&App, [this](TWKRotation3Tool&) { return &Frame; });
  }
  TWKGraphicsDocument* OpenTilted() {
    TWKGraphicsDocument* doc = OpenPainted(400, 300, TiltedLine);
    Editor->SetCurrentTool(Tool);
    Before = PixelBytes(*doc->CurrentPixels());
    return doc;
  }
  void Line(TPoint from, TPoint to) {
    View()->MouseDown(mbLeft, 0, Client(from));
    View()->MouseMove(0, Client(to));
    View()->MouseUp(mbLeft, 0, Client(to));
  }
  // The original pixels turned by angle with the plain arithmetic, and its rows.
  TWKPixelBuffer& PlainTurn(double angle, TRotationFilter filter, std::vector<TRotatedRow>& rows) {
    const TWKPixels& source = *Document()->OriginalPixels();
    const TSize size = RotatedCanvasSize(source.Width, source.Height, angle);
    EXPECT_TRUE(Expected.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height)));
    EXPECT_TRUE(RotatePixelsPlain(source, Expected, angle, filter, &rows));
    return Expected;
  }

  TFakeRotationFrame Frame;
  TWKRotation3Tool* Tool = nullptr;
  std::vector<uint8_t> Before;
  TWKPixelBuffer Expected;
};

}  // namespace

TEST(StraighteningAngle, TheLineBecomesLevelOrUpright) {
  EXPECT_DOUBLE_EQ(StraighteningAngle({0, 0}, {100, 10}), std::atan(0.1));
  EXPECT_DOUBLE_EQ(StraighteningAngle({0, 0}, {10, 100}), std::atan(-0.1));
  EXPECT_DOUBLE_EQ(StraighteningAngle({100, 10}, {0, 0}), std::atan(0.1));
  EXPECT_DOUBLE_EQ(StraighteningAngle({0, 10}, {100, 0}), -std::atan(0.1));
  EXPECT_EQ(StraighteningAngle({0, 0}, {100, 0}), 0.0);
  EXPECT_EQ(StraighteningAngle({0, 0}, {0, 100}), 0.0);
}

TEST_F(FreeRotationToolTest, StraighteningWithAutoCropIsOneStepAndUndoGivesTheExactOriginal) {
  TWKGraphicsDocument* doc = OpenTilted();
  ASSERT_EQ(View()->ZoomNumerator(), View()->ZoomDenominator());
  Tool->SetAutoCrop(true);
  Line({50, 50}, {150, 60});
  const double angle = std::atan(0.1);
  EXPECT_DOUBLE_EQ(Tool->Angle, angle);
  ASSERT_TRUE(Tool->Straightening());
  EXPECT_TRUE(Editor->ToolsLocked());
  EXPECT_FALSE(Editor->CanUndo());
  EXPECT_EQ(doc->History().Count(), 0);
  // The preview: the canvas holds the turned corners, the original keeps its size.
  std::vector<TRotatedRow> rows;
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 428, 338));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()),
            PixelBytes(PlainTurn(angle, TRotationFilter::Nearest, rows)));
  EXPECT_EQ(Tool->CropRect, FindAutoCropRect(rows, 428));
  EXPECT_EQ(doc->OriginalImage.Width(), 400);

  EXPECT_TRUE(Registry.Execute("ROTATION3FINISHING", {}));
  EXPECT_FALSE(Tool->Straightening());
  EXPECT_FALSE(Editor->ToolsLocked());
  EXPECT_EQ(doc->History().Count(), 1);
  EXPECT_FALSE(doc->Saved());
  // The final image: the Hermite turn cut to the auto-crop rectangle.
  const TWKPixelBuffer& turned = PlainTurn(angle, TRotationFilter::Hermite, rows);
  const TRect crop = FindAutoCropRect(rows, turned.Width);
  ASSERT_EQ(doc->ImageRect(), Rect(0, 0, crop.Width(), crop.Height()));
  EXPECT_GT(crop.Width(), 320);
  EXPECT_GT(crop.Height(), 220);
  const TWKPixels& image = *doc->CurrentPixels();
  for (int32_t y = 0; y < crop.Height(); ++y)
    ASSERT_EQ(std::memcmp(image.PixelAddress(0, y), turned.PixelAddress(crop.Left, crop.Top + y),
                          size_t(crop.Width()) * 3),
              0)
        << "row " << y;
  // The dark line now runs level: all its pixels within a few rows.
  int32_t first = INT32_MAX, last = INT32_MIN;
  for (int32_t y = 0; y < image.Height; ++y)
    for (int32_t x = 20; x < image.Width - 20; ++x)
      if (image.Pixel(x, y)->Red < 60) first = std::min(first, y), last = std::max(last, y);
  EXPECT_LE(last - first, 3);
  const std::vector<uint8_t> finished = PixelBytes(image);
  EXPECT_EQ(PixelBytes(doc->Backup), finished);

  Editor->Undo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 400, 300));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
  EXPECT_EQ(PixelBytes(doc->Backup), Before);
  EXPECT_EQ(PixelBytes(*doc->OriginalPixels()), Before);
  EXPECT_TRUE(doc->Saved());
  Editor->Redo();
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), finished);
  EXPECT_EQ(doc->OriginalImage.Width(), 400);
}

TEST_F(FreeRotationToolTest, TwoOppositeLinesGiveAngleZeroAndTheSameImage) {
  TWKGraphicsDocument* doc = OpenTilted();
  Tool->SetAutoCrop(true);
  Line({50, 50}, {150, 60});
  Line({50, 60}, {150, 50});
  EXPECT_EQ(Tool->Angle, 0.0);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 400, 300));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
  EXPECT_EQ(Tool->CropRect, doc->ImageRect());
  Tool->FinishingTBXButtonClick();
  EXPECT_EQ(doc->History().Count(), 1);
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
}

TEST_F(FreeRotationToolTest, CancelAfterSeveralLinesRestoresTheExactImage) {
  TWKGraphicsDocument* doc = OpenTilted();
  Line({50, 50}, {150, 60});
  Line({100, 100}, {130, 190});
  EXPECT_NE(doc->ImageRect(), Rect(0, 0, 400, 300));
  Editor->UpdateControls();
  Tool->UpdateControls();
  EXPECT_TRUE(Frame.ActionsEnabled);
  Tool->CancelTBXButtonClick();
  EXPECT_FALSE(Tool->Straightening());
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 400, 300));
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
  EXPECT_EQ(PixelBytes(doc->Backup), Before);
  EXPECT_EQ(doc->History().Count(), 0);
  EXPECT_TRUE(doc->Saved());
  EXPECT_FALSE(Editor->ToolsLocked());
  EXPECT_EQ(Tool->Angle, 0.0);
  EXPECT_EQ(Tool->Source.Bits, nullptr);
  Tool->UpdateControls();
  EXPECT_FALSE(Frame.ActionsEnabled);
}

TEST_F(FreeRotationToolTest, FinishingAndCancelDoNothingWithoutAnOpenStraightening) {
  TWKGraphicsDocument* doc = OpenTilted();
  Tool->SetAutoCrop(true);
  Line({50, 50}, {150, 60});
  Tool->FinishRotation();
  const TRect finished = doc->ImageRect();
  ASSERT_NE(finished, Rect(0, 0, 400, 300));
  const std::vector<uint8_t> image = PixelBytes(*doc->CurrentPixels()),
                             backup = PixelBytes(doc->Backup);
  // The size of the last straightening's source is still known; the commands must not use it.
  EXPECT_TRUE(Registry.Execute("ROTATION3CANCEL", {}));
  EXPECT_TRUE(Registry.Execute("ROTATION3FINISHING", {}));
  EXPECT_EQ(doc->ImageRect(), finished);
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), image);
  EXPECT_EQ(PixelBytes(doc->Backup), backup);
  EXPECT_EQ(doc->History().Count(), 1);
  Editor->Undo();
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
}

TEST_F(FreeRotationToolTest, ShortLevelAndUprightLinesDoNotTurn) {
  TWKGraphicsDocument* doc = OpenTilted();
  Line({50, 50}, {55, 53});  // shorter than 7 pixels
  Line({50, 50}, {150, 50});
  Line({50, 50}, {50, 150});
  EXPECT_FALSE(Tool->Straightening());
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
  // Outside the image no line starts.
  Line({450, 50}, {350, 60});
  EXPECT_FALSE(Tool->Straightening());
}

TEST_F(FreeRotationToolTest, AQuarterTurnSwapsTheSidesAndKeepsEverything) {
  TWKGraphicsDocument* doc = OpenTilted();
  Tool->AngleStep = std::acos(0.0);
  ASSERT_TRUE(Tool->AddAngle({0, 0}, {100, 0}));
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 300, 400));
  EXPECT_EQ(Tool->CropRect, doc->ImageRect());
  Tool->CancelRotation();
  EXPECT_EQ(PixelBytes(*doc->CurrentPixels()), Before);
}

TEST_F(FreeRotationToolTest, AutoCropIsASettingTheCheckBoxAndScriptsChange) {
  EXPECT_FALSE(Tool->AutoCrop());
  EXPECT_FALSE(Frame.AutoCropChecked);
  TWKCustomProperties on;
  on.SetInteger(0, 1);
  EXPECT_TRUE(Registry.Execute("ROTATION3AUTOCROP", on));
  EXPECT_TRUE(Tool->AutoCrop());
  EXPECT_TRUE(Frame.AutoCropChecked);

  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    Tool->SaveSettings(writer);
  }
  Tool->SetAutoCrop(false);
  TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
  Tool->LoadSettings(reader);
  EXPECT_TRUE(Tool->AutoCrop());

  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->AutoCropTBXCheckBoxChange(false);
  Tool->StopRecording();
  EXPECT_FALSE(Tool->AutoCrop());
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove Rotation3AutoCrop", "Rotation3AutoCrop 0"}));
  EXPECT_EQ(Panel.Width, TWKRotation3Tool::kPanelWidth);
  EXPECT_FALSE(Tool->PluginAvailable);
  EXPECT_TRUE(Registry.Locate("ROTATION3FINISHING").has_value());
}
