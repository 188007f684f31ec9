// The smudge and undo brushes in the editor. Expected pixels are worked out here from the
// stated rules (soft brush falloff, disc mean without the centre, blend through the mask), not
// taken from the brush code.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/brush/WKSmudgeTool.h"
#include "tools/brush/WKUndoBrushTool.h"
#include "tools/framework/ToolFixture.h"

namespace {

// The soft brush byte at distance d for size 3, hardness 191, opacity 255 (simple mode):
// e = 1.5, f = e + 0.5, g = e × 191 / 255 − 0.5; full inside g, linear to 0 at f.
uint8_t SoftByte(double d) {
  const double f = 2.0, g = 1.5 * 191 / 255.0 - 0.5;
  if (d > f) return 0;
  return d < g ? 255 : static_cast<uint8_t>(std::nearbyint((f - d) / (f - g) * 255));
}

// ClampRound(((255 − m) × s + m × t) / 255), halves to even.
uint8_t Blend(double s, double t, double m) {
  return static_cast<uint8_t>(std::clamp(std::nearbyint(((255 - m) * s + m * t) / 255), 0.0, 255.0));
}

// A pattern with no two neighbours alike.
TBGRPixel Pattern(int32_t x, int32_t y) {
  return TBGRPixel{static_cast<uint8_t>((x * 37 + y * 11) % 256), static_cast<uint8_t>((x * 5 + y * 53) % 256),
                   static_cast<uint8_t>((x * x + y * 7) % 256)};
}

class RetouchBrushTest : public ToolTest {
 protected:
  RetouchBrushTest()
      : SmudgeFrame({"Size", "Opacity", "Hardness", "Smoothing"}, {"Preview"}, {"ExpertMode"}),
        UndoFrame({"Size", "Opacity", "Hardness"}, {"Preview"}, {"ExpertMode"}) {
    Smudge = CreateTool<TWKSmudgeTool>(&App, [this](auto&) { return &SmudgeFrame; });
    Undo = CreateTool<TWKUndoBrushTool>(&App, [this](auto&) { return &UndoFrame; });
  }
  ~RetouchBrushTest() override {
    Destroy(Undo);
    Destroy(Smudge);
  }
  void Click(IWKGraphicsTool* tool, TPoint image) {
    Editor->SetCurrentTool(tool);
    View()->MouseDown(mbLeft, ssLeft, Client(image));
    View()->MouseUp(mbLeft, 0, Client(image));
  }

  TFakeToolFrame SmudgeFrame, UndoFrame;
  TWKSmudgeTool* Smudge = nullptr;
  TWKUndoBrushTool* Undo = nullptr;
};

TEST_F(RetouchBrushTest, SmudgePullsEachPixelTowardTheMeanOfItsNeighbours) {
  OpenPainted(40, 30, Pattern);
  Smudge->SetSize(3);
  // Inside the image, and at the corner where the disc loses its outside pixels.
  for (const TPoint centre : {TPoint{20, 15}, TPoint{0, 0}}) {
    Click(Smudge, centre);
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx) {
        const int32_t x = centre.X + dx, y = centre.Y + dy;
        if (x < 0 || y < 0) continue;
        // The disc of diameter 3 is the whole 3 × 3 square (dx² + dy² ≤ round(1.6²) = 3),
        // without the pixel itself and without what lies off the image.
        double sum[3] = {0, 0, 0};
        int n = 0;
        for (int32_t v = -1; v <= 1; ++v)
          for (int32_t u = -1; u <= 1; ++u) {
            if ((u == 0 && v == 0) || x + u < 0 || y + v < 0) continue;
            const TBGRPixel p = Pattern(x + u, y + v);
            sum[0] += p.Blue, sum[1] += p.Green, sum[2] += p.Red;
            ++n;
          }
        const double m = SoftByte(std::hypot(dx, dy));
        const TBGRPixel s = Pattern(x, y);
        const TBGRPixel expected{Blend(s.Blue, std::nearbyint(sum[0] / n), m),
                                 Blend(s.Green, std::nearbyint(sum[1] / n), m),
                                 Blend(s.Red, std::nearbyint(sum[2] / n), m)};
        EXPECT_EQ(At(x, y), expected) << x << "," << y;
      }
    EXPECT_EQ(At(centre.X + 2, centre.Y + 2), Pattern(centre.X + 2, centre.Y + 2));
  }
  EXPECT_EQ(HistoryCount(), 2);
}

TEST_F(RetouchBrushTest, SmudgeOverAUniformAreaChangesNothing) {
  OpenPainted(60, 40, Uniform({30, 140, 220}));
  const std::vector<uint8_t> before = Bytes();
  Editor->SetCurrentTool(Smudge);
  View()->MouseDown(mbLeft, ssLeft, Client({10, 10}));
  for (int32_t x = 12; x < 50; x += 3) View()->MouseMove(ssLeft, Client({x, 20}));
  View()->MouseUp(mbLeft, 0, Client({50, 20}));
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(RetouchBrushTest, UndoBrushPaintsTheOpenedImageBackThroughItsMask) {
  OpenPainted(40, 30, Pattern);
  Smudge->SetSize(9);
  Click(Smudge, {20, 15});
  std::vector<TBGRPixel> smudged;
  for (int32_t dx = -2; dx <= 2; ++dx) smudged.push_back(At(20 + dx, 15));
  ASSERT_NE(smudged[2], Pattern(20, 15));

  Undo->SetSize(3);
  Click(Undo, {20, 15});
  for (int32_t dx = -2; dx <= 2; ++dx) {
    const double m = SoftByte(std::abs(dx));
    const TBGRPixel s = smudged[dx + 2], o = Pattern(20 + dx, 15);
    EXPECT_EQ(At(20 + dx, 15), (TBGRPixel{Blend(s.Blue, o.Blue, m), Blend(s.Green, o.Green, m),
                                          Blend(s.Red, o.Red, m)}))
        << dx;
  }
  // Full mask: the original exactly.
  EXPECT_EQ(At(20, 15), Pattern(20, 15));
  EXPECT_EQ(HistoryCount(), 2);
}

TEST_F(RetouchBrushTest, UndoBrushLeavesPixelsWithoutAnOriginalAlone) {
  OpenPainted(30, 20, Pattern);
  // The canvas grows past the original, as a free rotation makes it; the new area is painted
  // over so that a read of the original there would show.
  ASSERT_TRUE(Document()->SetCanvasSize(40, 30, false));
  ASSERT_EQ(Document()->OriginalImage.Width(), 30);
  TWKPixels& current = *Document()->CurrentPixels();
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) *current.Pixel(x, y) = {9, 99, 199};
  Document()->RefreshBackup();
  Undo->SetSize(21);
  Click(Undo, {30, 20});
  for (int32_t y = 10; y < 30; ++y)
    for (int32_t x = 20; x < 40; ++x)
      if (x >= 30 || y >= 20) {
        EXPECT_EQ(At(x, y), (TBGRPixel{9, 99, 199})) << x << "," << y;
      }
  // Inside the original the stroke still paints it back.
  EXPECT_EQ(At(29, 19), Pattern(29, 19));
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(RetouchBrushTest, ExpertModeShowsOpacityAndHardnessAndSimpleModeResetsThem) {
  for (auto* frame : {&SmudgeFrame, &UndoFrame}) {
    EXPECT_FALSE(frame->CheckBoxes.at("ExpertMode").Value);
    EXPECT_FALSE(frame->Bar("Opacity").Shown);
    EXPECT_FALSE(frame->Bar("Hardness").Shown);
    EXPECT_TRUE(frame->Bar("Size").Shown);
    EXPECT_EQ(frame->Bar("Size").Max, 64);
    EXPECT_EQ(frame->Bar("Size").Tick, 8);
    EXPECT_EQ(frame->CheckBoxes.at("ExpertMode").Caption, "Expert Mode");
  }
  EXPECT_FALSE(SmudgeFrame.Bar("Smoothing").Shown);
  EXPECT_EQ(SmudgeFrame.Title, "Smudge");
  EXPECT_EQ(UndoFrame.Title, "Undo Brush");
  EXPECT_EQ(Undo->Hardness(), 191);

  TRecorder recorder;
  Undo->StartRecording(&recorder);
  UndoFrame.CheckBoxes.at("ExpertMode").UserSets(true);
  EXPECT_TRUE(UndoFrame.Bar("Opacity").Shown);
  UndoFrame.Bar("Opacity").UserMoves(100);
  UndoFrame.Bar("Hardness").UserMoves(20);
  EXPECT_EQ(Undo->Opacity(), 100);
  UndoFrame.CheckBoxes.at("ExpertMode").UserSets(false);
  Undo->StopRecording();
  EXPECT_EQ(Undo->Opacity(), 255);
  EXPECT_EQ(Undo->Hardness(), 191);
  EXPECT_FALSE(UndoFrame.Bar("Opacity").Shown);
  EXPECT_EQ(UndoFrame.Bar("Hardness").Pos, 191);
  ASSERT_GE(recorder.Lines.size(), 2u);
  EXPECT_EQ(recorder.Lines[0], "MouseCurvedMove UndoBrushExpertMode");
  EXPECT_EQ(recorder.Lines[1], "UndoBrushExpertMode 1");
  EXPECT_EQ(recorder.Lines.back(), "UndoBrushExpertMode 0");

  // The size stays within 1..64; the averaging disc follows the smudge's size.
  Smudge->SetSize(100);
  Undo->SetSize(100);
  EXPECT_EQ(Smudge->Size(), Undo->Size());
  EXPECT_NE(Smudge->Size(), 100);
  Smudge->SetSize(64);
  EXPECT_EQ(Smudge->Smoothing(), 64);

  // A demonstration turns the mode on by its Boolean command.
  TWKCustomProperties params;
  params.SetInteger(1, 1);
  EXPECT_TRUE(Registry.Execute("SmudgeExpertMode", params));
  EXPECT_TRUE(Smudge->ExpertMode());
  EXPECT_TRUE(SmudgeFrame.CheckBoxes.at("ExpertMode").Value);
}

TEST_F(RetouchBrushTest, SettingsRoundTripAndExpertModeFromTheFileShowsTheControls) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    writer.BeginNode(1, TWKUndoBrushTool::kSettingsGuid);
    writer.WriteInteger(1, 33);
    writer.WriteInteger(2, 90);
    writer.WriteInteger(3, 40);
    writer.WriteInteger(4, 1);
    writer.EndNode();
  }
  {
    TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
    Undo->LoadSettings(reader);
  }
  EXPECT_EQ(Undo->Size(), 33);
  EXPECT_EQ(Undo->Opacity(), 90);
  EXPECT_EQ(Undo->Hardness(), 40);
  EXPECT_TRUE(Undo->ExpertMode());
  EXPECT_TRUE(UndoFrame.Bar("Opacity").Shown);
  EXPECT_TRUE(UndoFrame.Bar("Hardness").Shown);

  // Saved by one tool, loaded by a fresh one; the smudge's own section is not the undo brush's.
  TWKMemoryStream saved;
  {
    TWKSDFWriter writer(&saved, false);
    Undo->SaveSettings(writer);
  }
  Undo->SetExpertMode(false);
  Undo->SetSize(5);
  {
    TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
    Undo->LoadSettings(reader);
  }
  EXPECT_EQ(Undo->Size(), 33);
  EXPECT_EQ(Undo->Opacity(), 90);
  EXPECT_TRUE(Undo->ExpertMode());
  const int32_t smudgeSize = Smudge->Size();
  TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
  Smudge->LoadSettings(reader);
  EXPECT_EQ(Smudge->Size(), smudgeSize);
}

}  // namespace
