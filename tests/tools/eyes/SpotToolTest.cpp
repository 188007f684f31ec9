// The pupil tools in the editor: one pupil per stroke where the button is released, as one step;
// the round pupil's falloff on the pixels; the cat's slit turned by its rotation bar; stamps at
// the image's edge; values from the settings file kept in range; frame, captions and recording.
#include <gtest/gtest.h>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/eyes/SpotTool.h"
#include "tools/framework/ToolFixture.h"

namespace {

constexpr TBGRPixel kGrey{200, 200, 200};
// ClampRound(200 × (255 − m) / 255) for the mask bytes 204, 170, 139, 85 and 54.
constexpr uint8_t kFull = 40, k170 = 67, k85 = 133, k54 = 158;

class SpotToolTest : public ToolTest {
 protected:
  SpotToolTest()
      : PupilFrame({"Size", "Thickness", "Rotation", "Shape"}, {"Preview"}),
        CatFrame({"Size", "Thickness", "Rotation", "Shape"}, {"Preview"}) {
    Pupil = CreateTool<TWKPupilTool>(&App, [this](TWKSpotTool&) { return &PupilFrame; });
    Cat = CreateTool<TWKCatPupilTool>(&App, [this](TWKSpotTool&) { return &CatFrame; });
    Editor->SetCurrentTool(Pupil);
  }
  ~SpotToolTest() override {
    Destroy(Cat);
    Destroy(Pupil);
  }

  void Drag(std::initializer_list<TPoint> points) {
    auto it = points.begin();
    View()->MouseDown(mbLeft, ssLeft, Client(*it));
    for (++it; it != points.end(); ++it) View()->MouseMove(ssLeft, Client(*it));
    View()->MouseUp(mbLeft, 0, Client(*(points.end() - 1)));
  }

  TFakeToolFrame PupilFrame, CatFrame;
  TWKPupilTool* Pupil = nullptr;
  TWKCatPupilTool* Cat = nullptr;
};

TEST_F(SpotToolTest, PupilOfSize25DarkensWithItsFalloff) {
  OpenPainted(120, 100, Uniform(kGrey));
  EXPECT_EQ(Pupil->Size(), 25);
  Drag({{50, 50}});
  ASSERT_EQ(HistoryCount(), 1);
  struct {
    int32_t dx, dy;
    uint8_t expected;
  } cases[] = {{0, 0, kFull}, {9, 0, kFull}, {0, -9, kFull}, {10, 0, k170}, {-11, 0, k85}, {12, 0, 200}, {9, 9, 200}};
  for (const auto& c : cases) {
    const TBGRPixel p = At(50 + c.dx, 50 + c.dy);
    EXPECT_EQ(p, (TBGRPixel{c.expected, c.expected, c.expected})) << c.dx << "," << c.dy;
  }
}

TEST_F(SpotToolTest, ADragLeavesOnePupilWhereTheButtonIsReleased) {
  OpenPainted(120, 100, Uniform(kGrey));
  const std::vector<uint8_t> source = Bytes();
  Drag({{20, 20}, {50, 40}, {80, 60}, {90, 70}});
  ASSERT_EQ(HistoryCount(), 1);
  EXPECT_EQ(At(20, 20), kGrey);
  EXPECT_EQ(At(50, 40), kGrey);
  EXPECT_EQ(At(80, 60), kGrey);
  EXPECT_EQ(At(90, 70), (TBGRPixel{kFull, kFull, kFull}));
  // The step covers the whole swept area: undo restores it all, redo brings the pupil back.
  const TRect swept = Document()->History().LastDone() != nullptr
                          ? static_cast<const TWKGraphicsCommandState*>(Document()->History().LastDone())->StateRect()
                          : TRect{};
  EXPECT_EQ(swept, Rect(8, 8, 103, 83));
  Editor->Undo();
  EXPECT_EQ(Bytes(), source);
  Editor->Redo();
  EXPECT_EQ(At(90, 70), (TBGRPixel{kFull, kFull, kFull}));
  EXPECT_EQ(At(20, 20), kGrey);
}

// A stamp reaching past the image, then moved on: its inside part is put back, nothing else.
TEST_F(SpotToolTest, AStampAtTheEdgeIsErasedWithinTheImage) {
  OpenPainted(120, 100, Uniform(kGrey));
  Drag({{2, 3}, {60, 50}});
  EXPECT_EQ(At(0, 0), kGrey);
  EXPECT_EQ(At(2, 3), kGrey);
  EXPECT_EQ(At(60, 50), (TBGRPixel{kFull, kFull, kFull}));
  Drag({{118, 97}});
  EXPECT_EQ(At(119, 99), (TBGRPixel{kFull, kFull, kFull}));
  EXPECT_EQ(HistoryCount(), 2);
}

TEST_F(SpotToolTest, SizeOnePaintsNothingButStillLeavesAStep) {
  OpenPainted(60, 60, Uniform(kGrey));
  Pupil->SetSize(1);
  const std::vector<uint8_t> source = Bytes();
  Drag({{30, 30}, {31, 30}});
  EXPECT_EQ(Bytes(), source);
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(SpotToolTest, CatSlitTurnsWithTheRotationBarAndFullThicknessIsRound) {
  OpenPainted(120, 100, Uniform(kGrey));
  Editor->SetCurrentTool(Cat);
  Drag({{40, 50}});
  EXPECT_EQ(At(40, 50).Red, kFull);
  EXPECT_EQ(At(43, 50).Red, k54);  // 21 from the far centre
  EXPECT_EQ(At(40, 53).Red, kFull);
  CatFrame.Bar("Rotation").UserMoves(90);
  EXPECT_EQ(Cat->Rotation(), 90);
  Drag({{80, 50}});
  EXPECT_EQ(At(83, 50).Red, kFull);
  EXPECT_EQ(At(80, 53).Red, k54);

  Editor->Undo();
  Editor->Undo();
  CatFrame.Bar("Thickness").UserMoves(100);
  Drag({{40, 50}});
  const TBGRPixel a = At(50, 50), b = At(40, 61);
  Editor->SetCurrentTool(Pupil);
  Drag({{80, 50}});
  EXPECT_EQ(At(90, 50), a);
  EXPECT_EQ(At(80, 61), b);
  EXPECT_EQ(a.Red, k170);
}

// Values from the settings file (or a demonstration) are clamped to their ranges.
TEST_F(SpotToolTest, SettingsKeepTheirRangesAndRoundTrip) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    writer.BeginNode(1, TWKCatPupilTool::kSettingsGuid);
    writer.WriteInteger(1, 40);
    writer.WriteInteger(2, 500);
    writer.WriteInteger(3, -20);
    writer.WriteInteger(4, 99);
    writer.EndNode();
  }
  {
    TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
    Cat->LoadSettings(reader);
  }
  EXPECT_EQ(Cat->Size(), 40);
  EXPECT_EQ(Cat->Thickness(), 100);
  EXPECT_EQ(Cat->Rotation(), 0);
  EXPECT_EQ(Cat->Shape(), 50);
  EXPECT_EQ(CatFrame.Bar("Thickness").Pos, 100);
  EXPECT_EQ(CatFrame.Bar("Size").Pos, 40);
  // The mask follows: full thickness is the round pupil.
  Pupil->SetSize(40);
  EXPECT_EQ(std::vector<uint8_t>(Cat->BrushMask.Bits, Cat->BrushMask.Bits + 41 * 41),
            std::vector<uint8_t>(Pupil->BrushMask.Bits, Pupil->BrushMask.Bits + 41 * 41));

  Cat->SetThickness(30);
  Cat->SetRotation(45);
  TWKMemoryStream saved;
  {
    TWKSDFWriter writer(&saved, false);
    Cat->SaveSettings(writer);
  }
  Cat->SetThickness(70);
  Cat->SetSize(10);
  {
    TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
    Cat->LoadSettings(reader);
  }
  EXPECT_EQ(Cat->Thickness(), 30);
  EXPECT_EQ(Cat->Rotation(), 45);
  EXPECT_EQ(Cat->Size(), 40);
  EXPECT_EQ(Cat->Shape(), 50);

  // A value stored as another type is no value: the rotation stays.
  TWKMemoryStream odd;
  {
    TWKSDFWriter writer(&odd, false);
    writer.BeginNode(1, TWKCatPupilTool::kSettingsGuid);
    writer.WriteWideString(3, "sideways");
    writer.EndNode();
  }
  TWKSDFReader reader(new TWKMemoryStream(odd.Bytes()), true);
  Cat->LoadSettings(reader);
  EXPECT_EQ(Cat->Rotation(), 45);
}

TEST_F(SpotToolTest, FramesButtonsCaptionsAndRecording) {
  ASSERT_EQ(Panel.Buttons.size(), 2u);
  EXPECT_EQ(Panel.Buttons[0]->Text, "Pupil");
  EXPECT_EQ(Panel.Buttons[1]->Text, "Cat Pupil");
  EXPECT_EQ(PupilFrame.Title, "Pupil");
  EXPECT_EQ(CatFrame.Title, "Cat Pupil");
  // The pupil shows the preview and the size, the cat pupil also thickness and rotation.
  EXPECT_TRUE(PupilFrame.Bar("Size").Shown);
  EXPECT_FALSE(PupilFrame.Bar("Thickness").Shown);
  EXPECT_FALSE(PupilFrame.Bar("Rotation").Shown);
  EXPECT_FALSE(PupilFrame.Bar("Shape").Shown);
  EXPECT_TRUE(CatFrame.Bar("Thickness").Shown);
  EXPECT_TRUE(CatFrame.Bar("Rotation").Shown);
  EXPECT_FALSE(CatFrame.Bar("Shape").Shown);
  EXPECT_EQ(CatFrame.Bar("Size").Min, 1);
  EXPECT_EQ(CatFrame.Bar("Size").Max, 100);
  EXPECT_EQ(CatFrame.Bar("Rotation").Max, 180);
  EXPECT_EQ(CatFrame.Bar("Shape").Min, -50);
  Cat->UpdateControls();
  EXPECT_EQ(CatFrame.Bar("Size").Caption, "Size: 25");
  EXPECT_EQ(CatFrame.Bar("Thickness").Caption, "Thickness: 50");
  EXPECT_EQ(CatFrame.Bar("Rotation").Caption, "Rotation: 0");

  const int repaints = CatFrame.PaintBoxes.at("Preview").Repaints;
  TRecorder recorder;
  Cat->StartRecording(&recorder);
  CatFrame.Bar("Thickness").UserMoves(30);
  CatFrame.Bar("Rotation").UserMoves(120);
  Cat->StopRecording();
  EXPECT_EQ(CatFrame.PaintBoxes.at("Preview").Repaints, repaints + 2);
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove CatPupilThickness", "CatPupilThickness 30",
                                                      "MouseCurvedMove CatPupilRotation", "CatPupilRotation 120"}));
  TWKCustomProperties args;
  args.SetInteger(1, 777);
  EXPECT_TRUE(Registry.Execute("CATPUPILTHICKNESS", args));
  EXPECT_EQ(Cat->Thickness(), 100);
  EXPECT_EQ(CatFrame.Bar("Thickness").Pos, 100);
  EXPECT_EQ(Registry.Locate("CatPupilRotation"), CatFrame.Bar("Rotation").Thumb);
  EXPECT_EQ(Registry.Locate("PupilRotation"), std::nullopt);  // hidden
  args.SetInteger(1, 60);
  EXPECT_TRUE(Cat->ExecuteScriptCommand("CATPUPILSIZE", args));
  EXPECT_EQ(Cat->Size(), 60);
  EXPECT_TRUE(Cat->ExecuteScriptCommand("CATPUPIL", args));
  EXPECT_EQ(Editor->CurrentTool(), Cat);
}

}  // namespace
