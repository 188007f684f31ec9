// The gleam tool in the editor: a drag puts one gleam as one step, re-tuning replaces it with what
// a fresh gleam of the new values gives, a click changes no pixel, releases without a press and
// the size reset of a release do not touch the last gleam, undo brings the values back, and the
// outline follows the drag.
#include <gtest/gtest.h>

#include "framework/WKProgramCursors.h"
#include "tools/eyes/GlareTool.h"
#include "tools/framework/ToolFixture.h"

namespace {

constexpr TBGRPixel kDark{20, 30, 40};

class GlareToolTest : public ToolTest {
 protected:
  GlareToolTest() : Frame({"Brightness", "AreaSize"}) {
    Tool = CreateTool<TWKGlareTool>(&App, [this](TWKGlareTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }
  ~GlareToolTest() override { Destroy(Tool); }

  void Drag(TPoint from, TPoint to) {
    View()->MouseDown(mbLeft, ssLeft, Client(from));
    View()->MouseMove(ssLeft, Client({(from.X + to.X) / 2, (from.Y + to.Y) / 2}));
    View()->MouseMove(ssLeft, Client(to));
    View()->MouseUp(mbLeft, 0, Client(to));
  }
  // The pixels a fresh gleam of these values gives on a new copy of the dark image.
  std::vector<uint8_t> Fresh(TPoint from, TPoint to, int32_t brightness) {
    OpenPainted(160, 120, Uniform(kDark));
    Tool->SetGleamBrightness(brightness);
    Drag(from, to);
    return Bytes();
  }

  TFakeToolFrame Frame;
  TWKGlareTool* Tool = nullptr;
};

TEST_F(GlareToolTest, ADragPutsOneGleamInTheInscribedEllipse) {
  OpenPainted(160, 120, Uniform(kDark));
  const std::vector<uint8_t> source = Bytes();
  Drag({50, 50}, {60, 56});
  ASSERT_EQ(HistoryCount(), 1);
  const auto* state = Tool->LastDoneState<TWKGlareCommandState>();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->StartPoint, (TPoint{50, 50}));
  EXPECT_EQ(state->EndPoint, (TPoint{60, 56}));
  EXPECT_EQ(state->GleamBrightness, 204);
  EXPECT_EQ(state->GleamSize, 128);
  EXPECT_EQ(state->SelectionRegion.BoundingBox(), Rect(40, 44, 60, 56));  // 20 × 12 around the press
  EXPECT_EQ(state->StateRect(), Rect(39, 43, 61, 57));
  // Bounds 21 × 13 around (49.5, 49.5): ρ = 0.0452 at (50, 50), t = 0.9246, k = 204 t / 255.
  EXPECT_EQ(At(50, 50).Red, 40 + 159);
  EXPECT_EQ(At(39, 50), kDark);
  EXPECT_EQ(At(40, 44), kDark);  // the rectangle's corner lies outside the ellipse
  Editor->Undo();
  EXPECT_EQ(Bytes(), source);
}

TEST_F(GlareToolTest, RetuningReplacesTheGleamWithAFreshOneOfTheNewValues) {
  const std::vector<uint8_t> fresh = Fresh({70, 60}, {85, 70}, 120);
  OpenPainted(160, 120, Uniform(kDark));
  Tool->SetGleamBrightness(204);
  Drag({70, 60}, {85, 70});
  Frame.Bar("Brightness").UserMoves(120);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastDoneState<TWKGlareCommandState>()->GleamBrightness, 120);
  EXPECT_EQ(Bytes(), fresh);
  EXPECT_EQ(Frame.Bar("Brightness").Caption, "Brightness: 120");
  // Brightness 0: a step, no change.
  Tool->SetGleamBrightness(0);
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(At(77, 65), kDark);
  // Out-of-range values are kept in range.
  Tool->SetGleamBrightness(5000);
  EXPECT_EQ(Tool->GleamBrightness(), 320);
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 320);
  EXPECT_EQ(At(70, 60), (TBGRPixel{255, 255, 255}));
  Tool->SetGleamSize(-4);
  EXPECT_EQ(Tool->GleamSize(), 0);
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(GlareToolTest, AClickWithoutADragChangesNoPixelButIsAStep) {
  OpenPainted(160, 120, Uniform(kDark));
  const std::vector<uint8_t> source = Bytes();
  View()->MouseDown(mbLeft, ssLeft, Client({30, 30}));
  View()->MouseUp(mbLeft, 0, Client({30, 30}));
  EXPECT_EQ(Bytes(), source);
  ASSERT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Tool->LastDoneState<TWKGlareCommandState>()->StateRect(), Rect(30, 30, 31, 31));
  // Off the image the one-pixel step lies outside it: no step at all.
  View()->MouseDown(mbLeft, ssLeft, Client({-20, 50}));
  View()->MouseUp(mbLeft, 0, Client({-20, 50}));
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), source);
}

TEST_F(GlareToolTest, AReleaseWithoutAPressAppliesNothing) {
  OpenPainted(160, 120, Uniform(kDark));
  Drag({50, 50}, {60, 60});
  const std::vector<uint8_t> once = Bytes();
  View()->MouseUp(mbLeft, 0, Client({100, 90}));
  View()->MouseMove(0, Client({110, 90}));
  View()->MouseUp(mbLeft, 0, Client({110, 90}));
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), once);
}

// A release resets the size to 128 without re-doing the last gleam: the earlier gleam stays as it
// was and the new one is applied once.
TEST_F(GlareToolTest, TheSizeResetOfAReleaseLeavesTheLastGleamAlone) {
  const std::vector<uint8_t> second = Fresh({110, 70}, {120, 80}, 204);
  OpenPainted(160, 120, Uniform(kDark));
  Tool->SetGleamBrightness(204);
  Drag({40, 40}, {50, 50});
  TWKCustomProperties args;
  args.SetInteger(1, 64);
  ASSERT_TRUE(Registry.Execute("GLEAMSIZE", args));  // re-does it at half the size
  EXPECT_EQ(HistoryCount(), 1);
  const TBGRPixel small = At(40, 40);
  const TBGRPixel edge = At(47, 40);  // outside the half-size gleam
  EXPECT_EQ(edge, kDark);
  Drag({110, 70}, {120, 80});
  EXPECT_EQ(Tool->GleamSize(), 128);
  EXPECT_EQ(Frame.Bar("AreaSize").Pos, 128);
  EXPECT_EQ(HistoryCount(), 2);
  EXPECT_EQ(At(40, 40), small);
  EXPECT_EQ(At(47, 40), kDark);
  const std::vector<uint8_t> now = Bytes();
  for (int32_t y = 60; y < 90; ++y)
    for (int32_t x = 100; x < 130; ++x)
      for (int32_t c = 0; c < 3; ++c) {
        const size_t i = size_t(y * 160 + x) * 3 + c;
        ASSERT_EQ(now[i], second[i]) << x << "," << y;
      }
}

TEST_F(GlareToolTest, UndoAndRedoBringBackTheValuesOfTheStep) {
  OpenPainted(160, 120, Uniform(kDark));
  Tool->SetGleamBrightness(100);
  Drag({40, 40}, {50, 46});
  Tool->SetGleamBrightness(250);  // re-tunes the first
  Drag({100, 60}, {110, 70});
  Tool->SetGleamBrightness(30);  // re-tunes the second
  ASSERT_EQ(HistoryCount(), 2);
  Editor->Undo();
  EXPECT_EQ(Tool->GleamBrightness(), 250);
  EXPECT_EQ(Tool->StartPoint(), (TPoint{40, 40}));
  EXPECT_EQ(Tool->EndPoint(), (TPoint{50, 46}));
  EXPECT_EQ(HistoryCount(), 2);  // restoring re-does nothing
  Editor->Redo();
  EXPECT_EQ(Tool->GleamBrightness(), 30);
  EXPECT_EQ(Tool->StartPoint(), (TPoint{100, 60}));
}

TEST_F(GlareToolTest, OutlineFollowsTheDragAndGoesWithTheRelease) {
  OpenPainted(160, 120, Uniform(kDark));
  EXPECT_EQ(View()->GetCursor(0, Client({10, 10})), crCross);
  View()->MouseDown(mbLeft, ssLeft, Client({80, 60}));
  View()->MouseMove(ssLeft, Client({100, 70}));
  TViewScreen screen({800, 600});
  ASSERT_TRUE(View()->Paint(screen));
  // The ellipse inscribed in (60, 50)–(100, 70): its leftmost pixel on the middle row is drawn
  // white or black, the image inside and outside is untouched.
  const TPoint left = Client({60, 60});
  const TBGRPixel drawn = screen.At(left.X, left.Y);
  EXPECT_TRUE(drawn == (TBGRPixel{255, 255, 255}) || drawn == (TBGRPixel{0, 0, 0}));
  const TPoint inside = Client({80, 60});
  EXPECT_EQ(screen.At(inside.X, inside.Y), kDark);
  View()->MouseUp(mbLeft, 0, Client({100, 70}));
  ASSERT_TRUE(View()->Paint(screen));
  EXPECT_NE(screen.At(left.X, left.Y), (TBGRPixel{0, 0, 0}));
  EXPECT_NE(screen.At(left.X, left.Y), (TBGRPixel{255, 255, 255}));
}

TEST_F(GlareToolTest, FrameRecordingAndScriptCommands) {
  EXPECT_EQ(Panel.Button.Text, "Gleam");
  EXPECT_EQ(Frame.Title, "Gleam");
  EXPECT_FALSE(Frame.Bar("AreaSize").Shown);
  EXPECT_EQ(Frame.Bar("Brightness").Max, 320);
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 204);
  EXPECT_EQ(Frame.Bar("AreaSize").Pos, 128);
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Frame.Bar("Brightness").OnEnter();
  Frame.Bar("Brightness").UserMoves(150);
  Frame.Bar("AreaSize").OnEnter();
  Frame.Bar("AreaSize").UserMoves(90);
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove GleamBrightness", "Message \"Change Gleam Brighness\"",
                                                      "GleamBrightness 150", "MouseCurvedMove GleamAreaSize",
                                                      "Message \"Change Gleam Area Size\"", "GleamAreaSize 90"}));
  TWKCustomProperties args;
  args.SetInteger(1, 260);
  EXPECT_TRUE(Registry.Execute("GLEAMBRIGHTNESS", args));
  EXPECT_EQ(Tool->GleamBrightness(), 260);
  EXPECT_EQ(Registry.Locate("GleamBrightness"), Frame.Bar("Brightness").Thumb);
  EXPECT_EQ(Registry.Locate("GleamAreaSize"), std::nullopt);
}

}  // namespace
