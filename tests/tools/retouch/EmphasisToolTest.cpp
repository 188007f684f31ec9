// The emphasis brush in the editor: its simple and expert layouts, strokes toward the filtered
// image through the stroke's maximum mask, the lazy rebuild of the decomposition (also at a press
// without a move after another image took the place of the old one), a failed rebuild, settings
// and recorded lines.
#include <gtest/gtest.h>

#include <random>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/brush/BrushMasks.h"
#include "tools/framework/ToolFixture.h"
#include "tools/retouch/EmphasisTool.h"

using ::testing::_;
using ::testing::Return;

namespace {

class EmphasisToolTest : public ToolTest {
 protected:
  EmphasisToolTest()
      : Frame({"Size", "Naturalness", "Smoothing", "Opacity", "Hardness"}, {"Preview"}, {"ExpertMode"}) {
    Tool = CreateTool<TWKEmphasisTool>(&App, [this](TWKAntiAgingTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }
  ~EmphasisToolTest() override {
    TFrequencyRange::SetAllocationLimitForTest(0);
    Destroy(Tool);
  }

  void Drag(std::initializer_list<TPoint> points) {
    auto it = points.begin();
    View()->MouseDown(mbLeft, ssLeft, Client(*it));
    for (++it; it != points.end(); ++it) View()->MouseMove(ssLeft, Client(*it));
    View()->MouseUp(mbLeft, 0, Client(*(points.end() - 1)));
  }
  static TPaint Noise(uint32_t seed) {
    auto random = std::make_shared<std::mt19937>(seed);
    return [random](int32_t, int32_t) {
      std::uniform_int_distribution<int> byte(30, 220);
      return TBGRPixel{uint8_t(byte(*random)), uint8_t(byte(*random)), uint8_t(byte(*random))};
    };
  }
  // The coarse blur of the document's image, as the plain blur makes it.
  std::vector<uint8_t> CoarseBlur(int32_t radius) const {
    const TWKPixels& p = *Document()->CurrentPixels();
    std::vector<uint8_t> out(static_cast<size_t>(p.Width) * p.Height * 3);
    BoxBlurPlain(p.Bits, p.RowBytes, p.Width, p.Height, radius, out.data(), p.Width * 3);
    return out;
  }

  TFakeToolFrame Frame;
  TWKEmphasisTool* Tool = nullptr;
};

}  // namespace

TEST_F(EmphasisToolTest, SimpleModeFixesOpacityAndHardnessAndHidesThem) {
  EXPECT_EQ(Tool->ScriptName, "Emphasis");
  EXPECT_FALSE(Tool->RemoveBand);
  EXPECT_EQ(Panel.Width, 272);
  EXPECT_EQ(Frame.Title, "Emphasis");
  EXPECT_EQ(Frame.Bar("Size").Max, 64);
  EXPECT_EQ(Frame.Bar("Size").Tick, 8);
  EXPECT_EQ(Frame.Bar("Size").Caption, "Size: 10");
  EXPECT_EQ(Frame.Bar("Naturalness").Max, 5);
  EXPECT_EQ(Frame.Bar("Naturalness").Caption, "Naturalness: 1");
  EXPECT_EQ(Frame.Bar("Smoothing").Min, 1);
  EXPECT_EQ(Frame.Bar("Smoothing").Max, 25);
  EXPECT_EQ(Frame.Bar("Smoothing").Caption, "Smoothing: 5");
  EXPECT_EQ(Frame.CheckBoxes.at("ExpertMode").Caption, "Expert Mode");
  EXPECT_EQ(Tool->Opacity(), 255);
  EXPECT_EQ(Tool->Hardness(), 127);
  EXPECT_FALSE(Frame.Bar("Opacity").Shown);
  EXPECT_FALSE(Frame.Bar("Hardness").Shown);

  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Frame.CheckBoxes.at("ExpertMode").UserSets(true);
  EXPECT_TRUE(Tool->ExpertMode());
  EXPECT_TRUE(Frame.Bar("Opacity").Shown);
  EXPECT_EQ(Frame.Bar("Hardness").Pos, 127);
  Frame.Bar("Opacity").UserMoves(90);
  Frame.Bar("Hardness").UserMoves(200);
  EXPECT_EQ(Tool->Opacity(), 90);
  Frame.CheckBoxes.at("ExpertMode").UserSets(false);
  EXPECT_EQ(Tool->Opacity(), 255);
  EXPECT_EQ(Tool->Hardness(), 127);
  EXPECT_FALSE(Frame.Bar("Hardness").Shown);
  Frame.Bar("Naturalness").UserMoves(3);
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove EmphasisExpertMode", "EmphasisExpertMode 1",
                                                      "EmphasisOpacity 90", "EmphasisHardness 200",
                                                      "EmphasisOpacity 255", "EmphasisHardness 127",
                                                      "MouseCurvedMove EmphasisExpertMode", "EmphasisExpertMode 0",
                                                      "MouseCurvedMove EmphasisNaturalness", "EmphasisNaturalness 3"}));
  EXPECT_EQ(Frame.Bar("Naturalness").Caption, "Naturalness: 3");
}

TEST_F(EmphasisToolTest, UniformImageIsUnchangedAtAnySetting) {
  OpenPainted(80, 60, Uniform(TBGRPixel{40, 120, 230}));
  const std::vector<uint8_t> before = Bytes();
  for (const int32_t naturalness : {0, 1, 5})
    for (const int32_t smoothing : {1, 25}) {
      Tool->SetNaturalness(naturalness);
      Tool->SetSmoothing(smoothing);
      Drag({{40, 30}, {45, 32}, {60, 40}});
      ASSERT_EQ(Bytes(), before) << naturalness << " " << smoothing;
    }
}

// Naturalness 0: where the stroke's mask is full the pixel is 2 × image − coarse blur; where it
// is partial, the blend of the backup and that value through the mask byte.
TEST_F(EmphasisToolTest, NaturalnessZeroGivesTwiceTheImageLessTheCoarseBlur) {
  OpenPainted(70, 50, Noise(3));
  Tool->SetNaturalness(0);
  Tool->SetSize(21);
  const std::vector<uint8_t> source = Bytes(), coarse = CoarseBlur(5);
  Drag({{30, 25}});
  ASSERT_EQ(HistoryCount(), 1);
  auto filtered = [&](int32_t x, int32_t y, int c) {
    const size_t i = (static_cast<size_t>(y) * 70 + x) * 3 + c;
    return static_cast<uint8_t>(std::clamp(2 * source[i] - coarse[i], 0, 255));
  };
  // Simple mode (hardness 127, size 21): full strength out to 10.5 × 127 / 255 − 0.5 ≈ 4.7.
  for (int32_t dy = -4; dy <= 4; ++dy)
    for (int32_t dx = -4; dx <= 4; ++dx)
      for (int c = 0; c < 3 && dx * dx + dy * dy <= 16; ++c)
        ASSERT_EQ(Bytes()[((25 + dy) * 70 + 30 + dx) * 3 + c], filtered(30 + dx, 25 + dy, c)) << dx << "," << dy;
  // Distance 8 lies on the soft edge: the mask byte there blends.
  const uint8_t m = *Tool->BrushMask.ByteAddress(8, 0);
  ASSERT_GT(m, 0);
  ASSERT_LT(m, 255);
  const size_t i = (25 * 70 + 38) * 3;
  EXPECT_EQ(Bytes()[i], MaskBlend(source[i], filtered(38, 25, 0), m));
  EXPECT_EQ(Bytes()[(25 * 70 + 41) * 3], source[(25 * 70 + 41) * 3]);  // outside the brush
}

// Painting again, in the same stroke or a later one, moves toward the same target: the filter
// never applies twice. Undoing the tool's own stroke leaves the decomposition as it was.
TEST_F(EmphasisToolTest, RepeatedStrokesDoNotCompound) {
  OpenPainted(60, 40, Noise(5));
  Tool->SetNaturalness(0);
  const std::vector<uint8_t> source = Bytes(), coarse = CoarseBlur(5);
  Drag({{30, 20}});
  const std::vector<uint8_t> once = Bytes();
  Editor->Undo();
  Drag({{30, 20}, {30, 20}, {30, 20}});
  EXPECT_EQ(Bytes(), once);
  // A second stroke: full-strength pixels keep the target, the soft edge only comes closer to it.
  Drag({{30, 20}});
  for (int32_t dx = 0; dx <= 6; ++dx) {
    const size_t i = (20 * 60 + 30 + dx) * 3 + 2;
    const int target = std::clamp(2 * source[i] - coarse[i], 0, 255);
    if (dx <= 1) {
      EXPECT_EQ(Bytes()[i], target) << dx;
    }
    EXPECT_LE(std::abs(Bytes()[i] - target), std::abs(once[i] - target)) << dx;
  }
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 0);
  Editor->Undo();
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 0);
  Editor->Redo();
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 0);
  // Another tool's change does make it stale; the next move over the image rebuilds it.
  Tool->ImageRegionChanged(*Document(), nullptr, Rect(0, 0, 5, 5));
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 2);
  View()->MouseMove(0, Client({10, 10}));
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 0);
  Frame.Bar("Smoothing").UserMoves(9);
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 2);
  View()->MouseMove(0, Client({11, 10}));
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 0);
}

// A press without a move after the image was replaced by one of another size: the decomposition
// is rebuilt for the new image before the first stamp, never read at the old size.
TEST_F(EmphasisToolTest, PressWithoutMoveAfterAnotherImagePaintsFromTheNewOne) {
  OpenPainted(120, 90, Noise(7));
  View()->MouseMove(0, Client({10, 10}));
  EXPECT_EQ(Tool->FrequencyRange.Width(), 120);
  OpenPainted(40, 30, Noise(8));
  Tool->SetNaturalness(0);
  Tool->SetSize(9);
  const std::vector<uint8_t> source = Bytes(), coarse = CoarseBlur(5);
  View()->MouseDown(mbLeft, ssLeft, Client({20, 15}));
  View()->MouseUp(mbLeft, 0, Client({20, 15}));
  EXPECT_EQ(Tool->FrequencyRange.Width(), 40);
  EXPECT_EQ(Tool->FrequencyRange.Height(), 30);
  const size_t i = (15 * 40 + 20) * 3 + 1;
  EXPECT_EQ(Bytes()[i], std::clamp(2 * source[i] - coarse[i], 0, 255));
}

// Without memory for the decomposition: a message, no change, no step, and the tool gives up
// being current; chosen again with memory it works.
TEST_F(EmphasisToolTest, FailedRebuildTellsTheUserAndPaintsNothing) {
  OpenPainted(50, 40, Noise(9));
  const std::vector<uint8_t> before = Bytes();
  TFrequencyRange::SetAllocationLimitForTest(100);
  EXPECT_CALL(*Messages, MessageBox(_, _, _)).WillOnce(Return(IDOK));
  Drag({{25, 20}, {26, 20}});
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(HistoryCount(), 0);
  EXPECT_NE(Editor->CurrentTool(), Tool);
  EXPECT_FALSE(Document()->EditActive());
  TFrequencyRange::SetAllocationLimitForTest(0);
  Editor->SetCurrentTool(Tool);
  Drag({{25, 20}});
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_NE(Bytes(), before);
}

TEST_F(EmphasisToolTest, SettingsRoundTripAndStayInRange) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    writer.BeginNode(1, TWKEmphasisTool::kSettingsGuid);
    writer.WriteInteger(1, 30);
    writer.WriteInteger(2, 100);
    writer.WriteInteger(3, 60);
    writer.WriteInteger(4, 1);
    writer.WriteInteger(5, 99);
    writer.WriteInteger(6, -3);
    writer.EndNode();
  }
  {
    TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
    Tool->LoadSettings(reader);
  }
  EXPECT_EQ(Tool->Size(), 30);
  EXPECT_EQ(Tool->Opacity(), 100);
  EXPECT_EQ(Tool->Hardness(), 60);
  EXPECT_TRUE(Tool->ExpertMode());
  EXPECT_TRUE(Frame.CheckBoxes.at("ExpertMode").Value);
  EXPECT_EQ(Tool->Naturalness(), 5);
  EXPECT_EQ(Tool->Smoothing(), 1);
  EXPECT_EQ(Frame.Bar("Naturalness").Pos, 5);

  TWKMemoryStream saved;
  {
    TWKSDFWriter writer(&saved, false);
    Tool->SaveSettings(writer);
  }
  Tool->SetExpertMode(false);
  Tool->SetNaturalness(2);
  {
    TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
    Tool->LoadSettings(reader);
  }
  EXPECT_EQ(Tool->Opacity(), 100);
  EXPECT_EQ(Tool->Naturalness(), 5);
  EXPECT_TRUE(Tool->ExpertMode());
}

// Demonstration commands set the values through the registry; a new radius makes the
// decomposition stale.
TEST_F(EmphasisToolTest, ScriptCommandsSetTheValues) {
  OpenPainted(30, 20, Noise(11));
  View()->MouseMove(0, Client({5, 5}));
  TWKCustomProperties params;
  params.SetInteger(1, 4);
  EXPECT_TRUE(Registry.Execute("EMPHASISSMOOTHING", params));
  EXPECT_EQ(Tool->Smoothing(), 4);
  EXPECT_EQ(Frame.Bar("Smoothing").Pos, 4);
  EXPECT_EQ(Tool->FrequencyRange.Staleness, 2);
  TWKCustomProperties on;
  on.SetInteger(1, 1);
  EXPECT_TRUE(Registry.Execute("EMPHASISEXPERTMODE", on));
  EXPECT_TRUE(Tool->ExpertMode());
  EXPECT_TRUE(Frame.Bar("Opacity").Shown);
  EXPECT_TRUE(Tool->ExecuteScriptCommand("EMPHASISHARDNESS", params));
  EXPECT_EQ(Tool->Hardness(), 4);
}
