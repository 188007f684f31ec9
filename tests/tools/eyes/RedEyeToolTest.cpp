// The red-eye tool inside the image editor: a click through the view, its undo step, re-tuning
// that replaces the step, the values restored by undo and redo, recording and script commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tools/framework/ToolFixture.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/eyes/EyeRepair.h"
#include "tools/eyes/RedEyePreview.h"
#include "tools/eyes/RedEyeTool.h"
#include "tools/framework/WKDemoRegistry.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKToolPanelService.h"

namespace {

// The option frame as the tool sees it, without a window.
class TFakeFrame : public IWKRedEyeFrame {
 public:
  int32_t AreaPosition = -1, BrightnessPosition = -1;
  TRedEyeFrameTexts Texts;
  int Repaints = 0;
  bool Enabled = true, Shown = true;
  int Fronts = 0;
  std::vector<std::string> Names{"Selection", "AreaSize", "IncArea", "DecArea", "Brightness", "Preview",
                                 "RepairAll"};
  int Index(std::string_view name) const {
    return static_cast<int>(std::find(Names.begin(), Names.end(), name) - Names.begin());
  }

  void SetAreaSizePosition(int32_t v) override { AreaPosition = v; }
  void SetBrightnessPosition(int32_t v) override { BrightnessPosition = v; }
  void SetTexts(const TRedEyeFrameTexts& t) override { Texts = t; }
  void InvalidatePreviews() override { ++Repaints; }
  TSize PreviewArea() const override { return {178, 161}; }
  void SetControlsEnabled(bool v) override { Enabled = v; }
  void SetFrameVisible(bool v) override { Shown = v; }
  void BringToFront() override { ++Fronts; }
  const void* Control(std::string_view name) const override { return &Names[Index(name)]; }
  std::optional<TPoint> ControlCenter(std::string_view name) const override {
    return TPoint{1000 + Index(name), 500};
  }
};

class RedEyeToolTest : public ToolTest {
 protected:
  RedEyeToolTest() {
    Tool = CreateTool<TWKRedEyeTool>(&App, [this](TWKRedEyeTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }

  void Click(TPoint image, int32_t button = mbLeft) {
    View()->MouseDown(button, 0, Client(image));
    View()->MouseUp(button, 0, Client(image));
  }
  TFakeFrame Frame;
  TWKRedEyeTool* Tool = nullptr;
};

// Coverage from the blur of the membership with 1-2-1 / 2-4-2 / 1-2-1, scaled to 255, and the
// blend d + floor(w (c - d) / 256), for a selection that is the square [lo, hi)^2.
int32_t SquareCoverage(int32_t x, int32_t y, int32_t lo, int32_t hi) {
  auto in = [&](int32_t px, int32_t py) { return px >= lo && px < hi && py >= lo && py < hi ? 1 : 0; };
  const int32_t sum = 4 * in(x, y) + 2 * (in(x - 1, y) + in(x + 1, y) + in(x, y - 1) + in(x, y + 1)) +
                      in(x - 1, y - 1) + in(x + 1, y - 1) + in(x - 1, y + 1) + in(x + 1, y + 1);
  return sum * 255 / 16;
}
uint8_t Blend(int32_t value, int32_t target, int32_t w) {
  return static_cast<uint8_t>(value + static_cast<int32_t>(std::floor(w * (target - value) / 256.0)));
}

TEST_F(RedEyeToolTest, ClickOnAUniformRedImageGivesTheComputedBorderAndOneUndoStep) {
  OpenPainted(400, 400, Uniform({0, 0, 200}));
  ASSERT_EQ(View()->ZoomNumerator(), View()->ZoomDenominator());
  const std::vector<uint8_t> before = Bytes();
  Click({200, 200});

  // Threshold (176 - 35) div 2 = 70: every pixel of the search square matches. The square is
  // (200 - 87, 200 + 87) shrunk by one: [114, 286). Pure red darkens to black at full coverage.
  const int32_t lo = 114, hi = 286;
  for (int32_t x : {112, 113, 114, 115, 150, 200, 284, 285, 286, 287})
    for (int32_t y : {112, 113, 114, 115, 200, 285, 286, 287}) {
      const int32_t w = SquareCoverage(x, y, lo, hi);
      const TBGRPixel p = At(x, y);
      EXPECT_EQ(p.Red, Blend(200, 0, w)) << x << "," << y;
      EXPECT_EQ(p.Green, 0);
      EXPECT_EQ(p.Blue, 0);
    }
  // The named values: inside an edge 191 -> 50, outside 63 -> 150, inner corner, outer corner.
  EXPECT_EQ(At(114, 200).Red, 50);
  EXPECT_EQ(At(113, 200).Red, 150);
  EXPECT_EQ(At(114, 114).Red, 88);
  EXPECT_EQ(At(113, 113).Red, 188);
  EXPECT_EQ(At(200, 200).Red, 0);
  EXPECT_EQ(At(112, 200).Red, 200);

  ASSERT_EQ(HistoryCount(), 1);
  const auto* state = Tool->LastRedEyeState();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->StateRect(), Rect(113, 113, 287, 287));
  EXPECT_EQ(state->AreaSize, 176);
  EXPECT_EQ(state->Brightness, 50);
  EXPECT_EQ(state->Border, 0);
  EXPECT_EQ(state->ClickPoint, (TPoint{200, 200}));
  EXPECT_EQ(state->SelectionRegion.BoundingBox(), Rect(lo, lo, hi, hi));
  EXPECT_FALSE(Document()->Saved());
  EXPECT_FALSE(Document()->EditActive());

  Editor->Undo();
  EXPECT_EQ(Bytes(), before);
  EXPECT_TRUE(Document()->Saved());
  Editor->Redo();
  EXPECT_EQ(At(113, 200).Red, 150);
}

TEST_F(RedEyeToolTest, SlidersReplaceTheStepAndUndoRestoresTheSource) {
  OpenPainted(300, 300, [](int32_t x, int32_t y) {
    const int32_t dx = x - 150, dy = y - 150;
    return dx * dx + dy * dy <= 20 * 20 ? TBGRPixel{40, 30, 220} : TBGRPixel{120, 140, 160};
  });
  const std::vector<uint8_t> source = Bytes();
  Click({150, 150});
  ASSERT_EQ(HistoryCount(), 1);
  const TBGRPixel first = At(150, 150);

  Tool->BrightnessTrackBarChange(200);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->Brightness, 200);
  EXPECT_GT(At(150, 150).Red, first.Red);  // a brighter pupil

  Tool->AreaSizeTrackBarChange(60);  // threshold 12: still the whole pupil, not the iris
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->AreaSize, 60);
  Tool->IncSizeButtonClick();
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->Border, 1);
  EXPECT_EQ(Frame.Texts.Border, "Border: 1 px");
  EXPECT_EQ(Frame.Texts.AreaSize, "Area Size: 60");
  EXPECT_EQ(Frame.Texts.Brightness, "Brightness: 200");

  Editor->Undo();
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), source);
  // Nothing to re-tune now: the value is only stored.
  Tool->BrightnessTrackBarChange(10);
  EXPECT_EQ(Bytes(), source);
  EXPECT_FALSE(Document()->History().CanUndo());
}

TEST_F(RedEyeToolTest, UndoAndRedoBringBackTheStepsValues) {
  OpenPainted(200, 200, Uniform({20, 20, 200}));
  Click({50, 50});
  Tool->SetAreaSize(200);  // re-tunes the first step
  Tool->SetBrightness(80);
  Tool->SetBorder(-2);
  Click({150, 150});  // a second step with those values
  Tool->SetAreaSize(100);
  ASSERT_EQ(HistoryCount(), 2);

  Editor->Undo();  // back to the first step: its values
  EXPECT_EQ(Tool->AreaSize(), 200);
  EXPECT_EQ(Tool->Brightness(), 80);
  EXPECT_EQ(Tool->Border(), -2);
  EXPECT_EQ(Tool->ClickPoint(), (TPoint{50, 50}));
  EXPECT_EQ(Frame.AreaPosition, 200);
  EXPECT_EQ(HistoryCount(), 2);  // restoring re-applies nothing

  // A change now re-applies the first step at its own click point.
  Tool->SetAreaSize(190);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->ClickPoint, (TPoint{50, 50}));
  EXPECT_EQ(Tool->LastRedEyeState()->AreaSize, 190);
  EXPECT_EQ(At(150, 150).Red, 200);  // the second step is gone

  Editor->Undo();
  Editor->Redo();
  EXPECT_EQ(Tool->AreaSize(), 190);
  EXPECT_EQ(Tool->Border(), -2);
}

// Values beyond their ranges are clamped; a brightness below 1 still ends the darkening.
TEST_F(RedEyeToolTest, ValuesAreClampedAndBordersStopAtTheEnds) {
  OpenPainted(100, 100, Uniform({0, 0, 200}));
  Tool->SetBrightness(-40);
  EXPECT_EQ(Tool->Brightness(), 0);
  Tool->SetBrightness(9999);
  EXPECT_EQ(Tool->Brightness(), 255);
  Tool->SetAreaSize(-1);
  EXPECT_EQ(Tool->AreaSize(), 0);
  Tool->SetAreaSize(256);
  EXPECT_EQ(Tool->AreaSize(), 255);
  for (int i = 0; i < 8; ++i) Tool->IncSizeButtonClick();
  EXPECT_EQ(Tool->Border(), 5);
  for (int i = 0; i < 12; ++i) Tool->DecSizeButtonClick();
  EXPECT_EQ(Tool->Border(), -5);

  Tool->SetBorder(0);
  Tool->SetBrightness(0);
  Click({50, 50});
  EXPECT_EQ(At(50, 50).Red, 0);
  Tool->SetBrightness(1);  // 0 counts as 1: the same result
  EXPECT_EQ(At(50, 50).Red, 0);
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(RedEyeToolTest, PetEyeShineBecomesANeutralPupil) {
  // Green, yellow and white shines, each a disc on a dark-brown iris.
  struct TShine {
    TBGRPixel Colour;
    TPoint Centre;
  } shines[] = {{{50, 200, 30}, {60, 60}}, {{40, 220, 230}, {180, 60}}, {{245, 245, 245}, {120, 160}}};
  OpenPainted(240, 220, [&](int32_t x, int32_t y) {
    for (const TShine& s : shines) {
      const int32_t dx = x - s.Centre.X, dy = y - s.Centre.Y;
      if (dx * dx + dy * dy <= 12 * 12) return s.Colour;
    }
    return TBGRPixel{20, 40, 60};
  });
  for (const TShine& s : shines) {
    Click(s.Centre);
    const TBGRPixel c = At(s.Centre.X, s.Centre.Y);
    // Red is lowered by its formula, green and blue are capped at it.
    const int32_t r = s.Colour.Red, h = std::max(1, s.Colour.Green + s.Colour.Blue);
    int32_t reduced = r;
    while (reduced > 0 && 50.0 <= r * std::pow(static_cast<double>(reduced) / h, 2)) --reduced;
    EXPECT_EQ(c.Red, reduced);
    EXPECT_EQ(c.Green, std::min<int32_t>(s.Colour.Green, reduced));
    EXPECT_EQ(c.Blue, std::min<int32_t>(s.Colour.Blue, reduced));
    EXPECT_EQ(At(s.Centre.X + 30, s.Centre.Y).Green, 40);  // the iris is left alone
  }
  // The green shine keeps its red and has green and blue lowered to it.
  EXPECT_EQ(At(60, 60).Red, 30);
  EXPECT_EQ(At(60, 60).Green, 30);
  EXPECT_EQ(At(60, 60).Blue, 30);
  EXPECT_EQ(HistoryCount(), 3);
}

TEST_F(RedEyeToolTest, ClicksOffTheImageOnATinyImageAndAtTheEdgeDoNoHarm) {
  NextViewSize = {800, 600};
  OpenPainted(100, 80, Uniform({0, 0, 200}));
  // The small image is centred: the view's margin lies around it.
  const TPoint origin = Client({0, 0});
  ASSERT_GT(origin.X, 0);
  const std::vector<uint8_t> source = Bytes();
  View()->MouseDown(mbLeft, 0, {origin.X - 5, origin.Y + 10});
  View()->MouseDown(mbRight, 0, {origin.X + 10, origin.Y - 3});
  View()->MouseDown(mbLeft, 0, Client({100, 40}));  // just past the right edge
  EXPECT_EQ(HistoryCount(), 0);
  EXPECT_EQ(Bytes(), source);

  // On the edge the square is clipped and shrunk: the outermost row and column are never
  // selected (only feathered by the neighbours inside).
  Click({0, 0});
  EXPECT_EQ(HistoryCount(), 1);
  const TWKPixelSet& region = Tool->Selection().Region();
  for (int32_t y = 0; y < 80; ++y) EXPECT_FALSE(region.Contains(0, y));
  for (int32_t x = 0; x < 100; ++x) EXPECT_FALSE(region.Contains(x, 0));
  EXPECT_TRUE(region.Contains(1, 1));
  EXPECT_EQ(At(0, 40).Red, 150);
  EXPECT_EQ(At(5, 5).Red, 0);
  Click({99, 79});
  EXPECT_EQ(HistoryCount(), 2);
  EXPECT_FALSE(Tool->Selection().Region().Contains(99, 79));
  EXPECT_TRUE(Tool->Selection().Region().Contains(98, 78));

  // A 1 x 1 image: nothing can be selected; the click still leaves its one-pixel step.
  Document()->NoSaveQuery = true;
  OpenPainted(1, 1, Uniform({0, 0, 200}));
  Click({0, 0});
  EXPECT_EQ(At(0, 0).Red, 200);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->StateRect(), Rect(0, 0, 1, 1));
  Tool->SetBrightness(120);
  EXPECT_EQ(HistoryCount(), 1);
}

// A re-tune while another tool holds the document's transaction must not undo the red-eye
// step it cannot apply again.
TEST_F(RedEyeToolTest, RetuneWithAnOpenTransactionKeepsTheCorrection) {
  OpenPainted(200, 200, Uniform({0, 0, 200}));
  Click({100, 100});
  const std::vector<uint8_t> corrected = Bytes();
  TLoggingTool other(&App, "Other", Log);
  Document()->BeginEditTransaction(&other);
  Tool->SetBrightness(150);
  EXPECT_EQ(Bytes(), corrected);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->Brightness, 50);
  Document()->AbandonEditTransaction();
}

TEST_F(RedEyeToolTest, ControlAnswersOnlyWhileActive) {
  OpenPainted(100, 100, Uniform({0, 0, 200}));
  int32_t cursor = 0;
  EXPECT_EQ(View()->GetCursor(0, Client({50, 50})), crCross);
  Editor->SetCurrentTool(nullptr);
  EXPECT_FALSE(Tool->Active());
  EXPECT_EQ(View()->GetCursor(0, Client({50, 50})), 0);
  Click({50, 50});
  EXPECT_EQ(HistoryCount(), 0);
  (void)cursor;
  Editor->SetCurrentTool(Tool);
  EXPECT_GT(Frame.Fronts, 0);
  Click({50, 50});
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(RedEyeToolTest, RecordsItsLinesAndRunsItsScriptCommands) {
  OpenPainted(100, 100, Uniform({0, 0, 200}));
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->SelectClick(nullptr);
  Tool->BrightnessTrackBarEnter();
  Tool->BrightnessTrackBarChange(60);
  Tool->AreaSizeTrackBarChange(150);
  Tool->IncSizeButtonClick();
  Tool->DecSizeButtonClick();
  Tool->SelectionPreviewClick();
  Tool->CorrectionPreviewClick();
  recorder.Messages = false;
  Tool->AreaSizeTrackBarEnter();
  Tool->StopRecording();
  Tool->SetBrightness(70);
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{
                                "MouseCurvedMove RedEye", "Message \"RedEye\"", "RedEye",
                                "MouseCurvedMove RedEyeBrightness", "Message \"Change Red Eye Brighness\"",
                                "RedEyeBrightness 60", "RedEyeAreaSize 150",
                                "MouseCurvedMove RedEyeIncArea", "Message \"Increase Correction Area\"",
                                "RedEyeBorderSize 1", "MouseCurvedMove RedEyeDecArea",
                                "Message \"Decrease Correction Area\"", "RedEyeBorderSize 0",
                                "MouseCurvedMove RedEyeSelection", "Message \"Selection Preview\"",
                                "MouseCurvedMove RedEyePreview", "Message \"Correction Preview\"",
                                "MouseCurvedMove RedEyeAreaSize"}));

  TWKCustomProperties args;
  args.SetInteger(1, 90);
  EXPECT_TRUE(Registry.Execute("REDEYEBRIGHTNESS", args));
  EXPECT_EQ(Tool->Brightness(), 90);
  EXPECT_TRUE(Registry.Execute("REDEYEAREASIZE", args));
  EXPECT_EQ(Tool->AreaSize(), 90);
  args.SetInteger(1, 3);
  EXPECT_TRUE(Registry.Execute("REDEYEBORDERSIZE", args));
  EXPECT_EQ(Tool->Border(), 3);
  args.SetInteger(1, 9);  // outside -5..5: ignored
  Registry.Execute("REDEYEBORDERSIZE", args);
  EXPECT_EQ(Tool->Border(), 3);
  EXPECT_EQ(Registry.Locate("REDEYEAREASIZE"), (TPoint{1001, 500}));
  EXPECT_EQ(Registry.Locate("RedEyePreview"), (TPoint{1005, 500}));

  Editor->SetCurrentTool(nullptr);
  EXPECT_TRUE(Tool->ExecuteScriptCommand("REDEYE", args));
  EXPECT_EQ(Editor->CurrentTool(), Tool);
  EXPECT_FALSE(Tool->ExecuteScriptCommand("GLEAM", args));
}

TEST_F(RedEyeToolTest, PreviewClickReaimsTheLastCorrection) {
  OpenPainted(200, 200, [](int32_t x, int32_t y) {
    return x < 100 ? TBGRPixel{0, 0, 200} : TBGRPixel{0, 200, 0};
  });
  Click({50, 100});
  ASSERT_NE(Tool->LastRedEyeState(), nullptr);
  const TRect undo = Tool->LastRedEyeState()->StateRect();
  const TSize area = Frame.PreviewArea();
  const auto placement = CenteredPreviewRect(undo, area.Width, area.Height, Tool->PreviewZoom());
  const TPoint target = placement.ToPanel(TPoint{60, 90});
  Tool->SelectionPreviewMouseDown(mbRight, target);
  EXPECT_EQ(Tool->ClickPoint(), (TPoint{50, 100}));
  Tool->SelectionPreviewMouseDown(mbLeft, target);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastRedEyeState()->ClickPoint, placement.ToImage(target));
}

TEST_F(RedEyeToolTest, ButtonAndFrameFollowTheEditorsState) {
  EXPECT_EQ(Panel.Button.Text, "Red Eye Correction");
  EXPECT_EQ(Panel.Button.Hint, "Shading");
  EXPECT_EQ(Panel.Width, TWKRedEyeTool::kFrameWidth);
  Tool->UpdateControls();  // no image: nothing to edit
  EXPECT_TRUE(Panel.Button.IsChecked);
  EXPECT_FALSE(Panel.Button.IsEnabled);
  EXPECT_FALSE(Frame.Enabled);

  OpenPainted(50, 50, Uniform({0, 0, 200}));
  Tool->UpdateControls();
  EXPECT_TRUE(Panel.Button.IsEnabled);
  EXPECT_TRUE(Frame.Enabled);
  Editor->SetCurrentTool(nullptr);
  Tool->UpdateControls();
  EXPECT_FALSE(Panel.Button.IsChecked);
  EXPECT_FALSE(Frame.Enabled);
  Panel.Button.Click();
  EXPECT_EQ(Editor->CurrentTool(), Tool);
  EXPECT_EQ(Registry.Locate("REDEYE"), (TPoint{20, 30}));

  // The values start afresh every time: the settings keep only the section.
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    Tool->SaveSettings(writer);
  }
  TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
  ASSERT_TRUE(reader.OpenNode(1, TWKRedEyeTool::kSettingsGuid));
  EXPECT_TRUE(reader.CurrentNode()->Children.Values.empty());
  EXPECT_TRUE(reader.CurrentNode()->Children.Nodes.empty());
}

}  // namespace

TEST_F(RedEyeToolTest, TheFillsDiagnosticLineGoesOnlyToItsCategoryWhenThatIsOn) {
  OpenPainted(200, 200, Uniform({0, 0, 200}));
  std::vector<std::string> lines;
  bool on = false;
  const TWKLogBackend previous = SetLogBackend({
      [&](const TWKLogCategory& c) { return on && std::string(c.Name) == "quillmoor.redeye"; },
      [&](const TWKLogCategory& c, const std::string& line) { lines.push_back(std::string(c.Name) + " " + line); },
  });
  Click({100, 100});
  EXPECT_TRUE(lines.empty());  // off by default
  on = true;
  Click({100, 100});
  SetLogBackend(previous);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("quillmoor.redeye Stack iterations: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" Time: "), std::string::npos) << lines[0];
}

namespace {

// Skin with two brown irises whose pupils are red (x = 80 and 160, y = 60, radius 6).
TBGRPixel RedEyedFace(int32_t x, int32_t y) {
  for (int32_t cx : {80, 160}) {
    const int32_t d2 = (x - cx) * (x - cx) + (y - 60) * (y - 60);
    if (d2 <= 36) return TBGRPixel{40, 40, 210};
    if (d2 <= 144) return TBGRPixel{30, 60, 90};
  }
  return TBGRPixel{140, 160, 200};
}

bool Neutral(TBGRPixel p) { return IsNeutralPupilPixel(p); }

}  // namespace

TEST_F(RedEyeToolTest, RepairAllEyesIsOneStepThatTheValuesRetune) {
  OpenPainted(240, 120, RedEyedFace);
  const std::vector<uint8_t> before = Bytes();
  Tool->RepairAllEyesClick();
  ASSERT_EQ(HistoryCount(), 1);
  const auto* state = dynamic_cast<const TWKEyeRepairCommandState*>(Tool->LastRedEyeState());
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->Eyes, 2);
  EXPECT_EQ(state->Area, Rect(0, 0, 240, 120));
  EXPECT_TRUE(Neutral(At(80, 60)) && Neutral(At(160, 60)) && Neutral(At(85, 62)));
  EXPECT_EQ(At(20, 20), (TBGRPixel{140, 160, 200}));
  EXPECT_EQ(Editor->MessageStatusPanel->Caption(), "Eyes repaired: 2");
  const int64_t selected = state->SelectionRegion.Count();

  // "+" and the brightness replace the step instead of adding one.
  Tool->IncSizeButtonClick();
  ASSERT_EQ(HistoryCount(), 1);
  state = dynamic_cast<const TWKEyeRepairCommandState*>(Tool->LastRedEyeState());
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->Border, 1);
  EXPECT_GT(state->SelectionRegion.Count(), selected);
  const TBGRPixel rim = At(80, 67);
  Tool->SetBrightness(0);
  ASSERT_EQ(HistoryCount(), 1);
  EXPECT_LE(At(80, 67).Red, rim.Red);
  EXPECT_EQ(Tool->LastRedEyeState()->Brightness, 0);

  // A click's re-aiming in the preview has no meaning for it.
  Tool->SelectionPreviewMouseDown(mbLeft, {10, 10});
  EXPECT_EQ(HistoryCount(), 1);

  Editor->Undo();
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(Editor->MessageStatusPanel->Caption(), "") << "the outcome outlived its step";
  Editor->Redo();
  EXPECT_TRUE(Neutral(At(80, 60)));
  Tool->RepairAllEyesClick();
  OpenPainted(120, 80, Uniform({140, 160, 200}));
  EXPECT_EQ(Editor->MessageStatusPanel->Caption(), "") << "another image shows the last one's outcome";
}

TEST_F(RedEyeToolTest, RepairAllEyesWithoutEyesChangesNothing) {
  OpenPainted(120, 80, Uniform({140, 160, 200}));
  const std::vector<uint8_t> before = Bytes();
  Tool->RepairAllEyesClick();
  EXPECT_EQ(HistoryCount(), 0);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(Editor->MessageStatusPanel->Caption(), "No red or shining eyes found");
}

// A drag repairs the eyes inside the rectangle; the click its press made is taken back.
TEST_F(RedEyeToolTest, DragRepairsTheEyesInsideTheRectangle) {
  OpenPainted(240, 120, RedEyedFace);
  View()->MouseDown(mbLeft, 0, Client({4, 4}));
  View()->MouseMove(0, Client({60, 50}));
  View()->MouseMove(0, Client({118, 110}));
  View()->MouseUp(mbLeft, 0, Client({118, 110}));
  ASSERT_EQ(HistoryCount(), 1);
  const auto* state = dynamic_cast<const TWKEyeRepairCommandState*>(Tool->LastRedEyeState());
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->Eyes, 1);
  EXPECT_EQ(state->Area, Rect(4, 4, 119, 111));
  EXPECT_TRUE(Neutral(At(80, 60)));
  EXPECT_EQ(At(160, 60), (TBGRPixel{40, 40, 210}));
  EXPECT_EQ(At(4, 4), (TBGRPixel{140, 160, 200}));

  // A press without travel stays a click.
  Click({160, 60});
  EXPECT_EQ(HistoryCount(), 2);
  EXPECT_EQ(dynamic_cast<const TWKEyeRepairCommandState*>(Tool->LastRedEyeState()), nullptr);
}

// A drag over no eye leaves the image and the history as they were before the press.
TEST_F(RedEyeToolTest, ADragOverNoEyeLeavesNothingToRedo) {
  OpenPainted(240, 120, RedEyedFace);
  Click({160, 60});
  ASSERT_EQ(HistoryCount(), 1);
  const std::vector<uint8_t> before = Bytes();
  View()->MouseDown(mbLeft, 0, Client({4, 4}));
  View()->MouseMove(0, Client({40, 40}));
  View()->MouseUp(mbLeft, 0, Client({40, 40}));
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), before);
  EXPECT_FALSE(Document()->History().CanRedo());
  EXPECT_EQ(Editor->MessageStatusPanel->Caption(), "No red or shining eyes found");
}

TEST_F(RedEyeToolTest, RepairAllEyesIsAScriptCommandAndIsRecorded) {
  OpenPainted(240, 120, RedEyedFace);
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->RepairAllEyesClick();
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove RedEyeRepairAll",
                                                       "Message \"Repair All Eyes\"", "RedEyeRepairAll"}));
  Editor->Undo();
  TWKCustomProperties args;
  EXPECT_TRUE(Registry.Execute("REDEYEREPAIRALL", args));
  EXPECT_TRUE(Neutral(At(160, 60)));
  EXPECT_EQ(Registry.Locate("RedEyeRepairAll"), (TPoint{1006, 500}));
}
