// The eye colour brush in the editor: its start values, grey pixels taking the chosen colour at
// their brightness, the brightness following the pointer without changing the painted colour,
// the colour selector, Alt+P, the palette box, plane buttons, settings and recorded lines.
#include <gtest/gtest.h>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/framework/ToolFixture.h"
#include "tools/retouch/EyeColorTool.h"

namespace {

class TFakeMakeUpFrame : public TFakeToolFrame, public IWKMakeUpSurfaceFrame {
 public:
  TFakeMakeUpFrame()
      : TFakeToolFrame({"Size", "Opacity", "Hardness", "Brightness"}, {"Palette", "Color", "Ellipse"},
                       {"ColorSelector", "Tint", "Red", "Green", "Blue"}) {}
  bool BrightnessEnabled = true;
  void SetBrightnessEnabled(bool value) override { BrightnessEnabled = value; }
};

constexpr TBGRPixel Grey(int v) { return TBGRPixel{uint8_t(v), uint8_t(v), uint8_t(v)}; }

// ClampRound(T × k) per channel, k = v / max(T): a grey pixel of level v painted at full weight.
TBGRPixel Tinted(TBGRPixel t, int v) {
  const double k = v / static_cast<double>(std::max({t.Blue, t.Green, t.Red, uint8_t(1)}));
  return TBGRPixel{ClampRound(t.Blue * k), ClampRound(t.Green * k), ClampRound(t.Red * k)};
}

class EyeColorToolTest : public ToolTest {
 protected:
  EyeColorToolTest() {
    Tool = CreateTool<TWKEyeColorTool>(&App, [this](TWKMakeUpSurfaceTool&) { return &Frame; });
    Editor->SetCurrentTool(Tool);
  }
  ~EyeColorToolTest() override { Destroy(Tool); }

  void Drag(std::initializer_list<TPoint> points, int32_t button = mbLeft) {
    auto it = points.begin();
    View()->MouseDown(button, button == mbLeft ? ssLeft : ssRight, Client(*it));
    for (++it; it != points.end(); ++it) View()->MouseMove(ssLeft, Client(*it));
    View()->MouseUp(button, 0, Client(*(points.end() - 1)));
  }
  // Full weight under the whole brush: opacity and hardness 255.
  void HardBrush(int32_t size) {
    Tool->SetOpacity(255);
    Tool->SetHardness(255);
    Tool->SetSize(size);
  }

  TFakeMakeUpFrame Frame;
  TWKEyeColorTool* Tool = nullptr;
};

}  // namespace

TEST_F(EyeColorToolTest, StartsOnFullBrightRedWithTheLeafsBrush) {
  EXPECT_EQ(Tool->ScriptName, "EyeColor");
  EXPECT_EQ(Panel.Width, 264);
  EXPECT_EQ(Tool->MaxSize, 100);
  EXPECT_EQ(Tool->Size(), 10);
  EXPECT_EQ(Tool->Opacity(), 127);
  EXPECT_EQ(Tool->Hardness(), 191);
  EXPECT_FALSE(Frame.Bar("Opacity").Shown);
  EXPECT_FALSE(Frame.Bar("Hardness").Shown);
  EXPECT_EQ(Tool->BlendMode, TWKMakeUpSurfaceTool::kLuminosityMode);
  EXPECT_TRUE(Tool->Palette.Tint());
  EXPECT_TRUE(Frame.CheckBoxes.at("Tint").Value);
  EXPECT_EQ(Tool->Palette.Color(), (TBGRPixel{128, 128, 255}));
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 255);
  EXPECT_TRUE(Frame.CheckBoxes.at("Red").Value);
  EXPECT_FALSE(Frame.CheckBoxes.at("Green").Value);
  EXPECT_EQ(Frame.Title, "Eye Color");
  EXPECT_EQ(Frame.CheckBoxes.at("Blue").Caption, "Blue");
  Tool->UpdateControls();
  EXPECT_FALSE(Frame.BrightnessEnabled);  // the luminosity mode sets it from the pointer
  EXPECT_EQ(Frame.Bar("Brightness").Caption, "Brightness: 255");
}

// Grey pixels take exactly the chosen colour scaled to their brightness; black stays black.
TEST_F(EyeColorToolTest, GreyTakesTheColourAtItsBrightness) {
  OpenPainted(256, 20, [](int32_t x, int32_t) { return Grey(x); });
  HardBrush(41);
  Tool->ChoosePalettePoint(40, 200);  // red plane: green 40, blue 200
  const TBGRPixel colour = Tool->Palette.Color();
  EXPECT_EQ(colour, (TBGRPixel{200, 40, 255}));
  for (int32_t x = 10; x < 276; x += 30) Drag({{x, 10}});
  for (int32_t x = 0; x < 256; ++x) ASSERT_EQ(At(x, 10), Tinted(colour, x)) << x;
  EXPECT_EQ(At(0, 10), Grey(0));
}

// While painting, the palette's brightness follows the pointer (a dark pupil takes it to 1), but
// the next stamp still paints with the full-brightness colour, and that colour is what is saved.
TEST_F(EyeColorToolTest, FollowingAPupilDoesNotGreyTheColour) {
  OpenPainted(120, 40, [](int32_t x, int32_t) { return x < 60 ? Grey(1) : Grey(180); });
  HardBrush(9);
  Tool->ChoosePalettePoint(30, 220);
  const TBGRPixel colour = Tool->Palette.Color();
  Drag({{20, 20}, {21, 20}, {90, 20}});
  EXPECT_EQ(Tool->Palette.Brightness(), 180);  // where the pointer ended
  EXPECT_EQ(Tool->Palette.Color(), colour);
  EXPECT_EQ(At(90, 20), Tinted(colour, 180));
  Drag({{20, 20}, {21, 20}});
  EXPECT_EQ(Tool->Palette.Brightness(), 1);
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 1);
  EXPECT_EQ(Editor->RStatusPanel->Caption(), "1");
  Drag({{95, 20}});
  EXPECT_EQ(At(95, 20), Tinted(colour, 180));

  TWKMemoryStream saved;
  {
    TWKSDFWriter writer(&saved, false);
    Tool->SaveSettings(writer);
  }
  Tool->ChoosePalettePoint(0, 0);
  {
    TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
    Tool->LoadSettings(reader);
  }
  EXPECT_EQ(Tool->Palette.Color(), colour);
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 255);
}

// The selector picks the local mean at the press and at every move, changes no pixel, stores no
// step and goes off when the button is released.
TEST_F(EyeColorToolTest, SelectorPicksWithoutAStep) {
  OpenPainted(80, 40, [](int32_t x, int32_t) { return x < 40 ? TBGRPixel{30, 60, 90} : TBGRPixel{200, 100, 10}; });
  const std::vector<uint8_t> before = Bytes();
  Frame.CheckBoxes.at("ColorSelector").UserSets(true);
  EXPECT_TRUE(Tool->ColorSelector());
  int32_t cursor = 0;
  EXPECT_TRUE(Tool->Controls(0)->GetCursor(0, Client({5, 5}), cursor));
  EXPECT_EQ(cursor, 1);  // the eyedropper
  Drag({{10, 20}});
  EXPECT_EQ(Tool->Palette.Plane(), TMakeUpPalette::PlaneRed);
  EXPECT_EQ(Tool->Palette.Color(), (TBGRPixel{ClampRound(30 * 255 / 90.0), ClampRound(60 * 255 / 90.0), 255}));
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 255);
  EXPECT_FALSE(Tool->ColorSelector());
  EXPECT_FALSE(Frame.CheckBoxes.at("ColorSelector").Value);
  Tool->SetColorSelector(true);
  Drag({{10, 20}, {70, 20}});
  EXPECT_EQ(Tool->Palette.Plane(), TMakeUpPalette::PlaneBlue);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(HistoryCount(), 0);
  // Off the image the selector takes no press; a right press never starts a stroke.
  Tool->SetColorSelector(true);
  EXPECT_FALSE(Tool->Controls(0)->MouseDown(mbLeft, ssLeft, Client({200, 20})));
  EXPECT_TRUE(Tool->ColorSelector());
  Tool->SetColorSelector(false);
  Drag({{20, 20}}, mbRight);
  EXPECT_EQ(Bytes(), before);
  Drag({{20, 20}});
  EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(EyeColorToolTest, AltPAloneTogglesTheSelector) {
  OpenPainted(20, 20, Uniform(Grey(90)));
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  auto* control = Tool->Controls(0);
  EXPECT_TRUE(control->KeyDown('P', ssAlt));
  EXPECT_TRUE(Tool->ColorSelector());
  EXPECT_FALSE(control->KeyDown('P', ssAlt | ssShift));
  EXPECT_FALSE(control->KeyDown('P', ssCtrl));
  EXPECT_TRUE(Tool->ColorSelector());
  EXPECT_TRUE(control->KeyDown('P', ssAlt | ssLeft));
  EXPECT_FALSE(Tool->ColorSelector());
  EXPECT_TRUE(control->KeyDown(VK_UP, 0));
  EXPECT_EQ(Tool->Size(), 11);
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"EyeColorColorSelector 1", "EyeColorColorSelector 0",
                                                      "EyeColorSize 11", "EyeColorSmoothing 11"}));
}

// Palette clicks with the left button choose a point (clamped, recorded as given); other buttons
// do nothing. Plane buttons move the palette and record their word.
TEST_F(EyeColorToolTest, PaletteBoxAndPlaneButtons) {
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  auto& palette = Frame.PaintBoxes.at("Palette");
  ASSERT_TRUE(palette.Mouse);
  palette.Mouse(IWKPaintBox::TMouseEvent::Down, ssRight, TPoint{10, 10});
  EXPECT_EQ(Tool->Palette.Point(), (TPoint{128, 128}));
  palette.Mouse(IWKPaintBox::TMouseEvent::Down, ssLeft, TPoint{300, 20});
  EXPECT_EQ(Tool->Palette.Point(), (TPoint{255, 20}));
  EXPECT_EQ(Tool->Palette.Color(), (TBGRPixel{20, 255, 255}));
  palette.Mouse(IWKPaintBox::TMouseEvent::Move, 0, TPoint{5, 5});
  EXPECT_EQ(Tool->Palette.Point(), (TPoint{255, 20}));
  palette.Mouse(IWKPaintBox::TMouseEvent::Move, ssLeft, TPoint{5, 6});
  EXPECT_EQ(Tool->Palette.Point(), (TPoint{5, 6}));
  EXPECT_EQ(Editor->GStatusPanel->Caption(), "5");
  Frame.CheckBoxes.at("Green").UserSets(true);
  EXPECT_EQ(Tool->Palette.Plane(), TMakeUpPalette::PlaneGreen);
  EXPECT_FALSE(Frame.CheckBoxes.at("Red").Value);
  Frame.PaintBoxes.at("Color").Mouse(IWKPaintBox::TMouseEvent::Down, ssLeft, TPoint{3, 3});
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove EyeColorPalette", "EyeColorPalette 300 ,20",
                                      "MouseCurvedMove EyeColorPalette", "EyeColorPalette 5 ,6",
                                      "MouseCurvedMove EyeColorGreen", "EyeColorGreen",
                                      "MouseCurvedMove EyeColorEllipse"}));
  // The palette box paints the bitmap with the cross; the swatch the shown colour.
  TWKPixelBuffer box;
  ASSERT_TRUE(box.Allocate(FormatBGR24, Rect(0, 0, 256, 256)));
  palette.Handler(box, true);
  EXPECT_EQ(*box.Pixel(200, 200), *Tool->Palette.Bitmap().Pixel(200, 200));
  TWKPixelBuffer swatch;
  ASSERT_TRUE(swatch.Allocate(FormatBGR24, Rect(0, 0, 80, 41)));
  Frame.PaintBoxes.at("Color").Handler(swatch, true);
  EXPECT_EQ(*swatch.Pixel(40, 20), Tool->Palette.ShownColor());
}

TEST_F(EyeColorToolTest, SettingsStoreTheColourAsRedGreenBlueBytes) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    writer.BeginNode(1, TWKEyeColorTool::kSettingsGuid);
    writer.WriteInteger(1, 33);
    writer.WriteInteger(4, 0x00FF4010);  // blue 255, green 64, red 16
    writer.EndNode();
  }
  {
    TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
    Tool->LoadSettings(reader);
  }
  EXPECT_EQ(Tool->Size(), 33);
  EXPECT_EQ(Tool->Palette.Plane(), TMakeUpPalette::PlaneBlue);
  EXPECT_TRUE(Frame.CheckBoxes.at("Blue").Value);
  EXPECT_FALSE(Frame.CheckBoxes.at("Red").Value);
  EXPECT_EQ(Tool->Palette.Color(), (TBGRPixel{255, 64, 16}));
  TWKCustomProperties args;
  args.SetInteger(1, 40);
  EXPECT_TRUE(Registry.Execute("EYECOLORBRIGHTNESS", args));
  EXPECT_EQ(Tool->Palette.Brightness(), 40);
  EXPECT_EQ(Frame.Bar("Brightness").Pos, 40);
}
