// The emphasis and eye colour frames in the tool panel: the expert-mode box showing and hiding
// the expert bars, the plane buttons as one group, the palette box taking the left button and
// painting the palette, and the brightness bar disabled in the luminosity mode.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "support/QtTestApplication.h"
#include "tools/framework/qt/OptionFrameFixture.h"
#include "tools/retouch/qt/EmphasisFrame.h"
#include "tools/retouch/qt/EyeColorFrame.h"

namespace {

class RetouchFrameTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    eyeColor = CreateTool<TWKEyeColorTool>(app.get(), CreateEyeColorFrame);
    emphasis = CreateTool<TWKEmphasisTool>(app.get(), CreateEmphasisFrame);
  }
  TWKEyeColorTool* eyeColor = nullptr;
  TWKEmphasisTool* emphasis = nullptr;
};

}  // namespace

TEST_F(RetouchFrameTest, EmphasisExpertModeShowsTheExpertBars) {
  auto* f = dynamic_cast<TWKEmphasisFrame*>(emphasis->Frame());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->TitleLabel->text(), "Emphasis");
  EXPECT_EQ(f->ExpertModeTBXCheckBox->Box->text(), "Expert Mode");
  EXPECT_EQ(f->SizeTrackBar->Slider->maximum(), 64);
  EXPECT_EQ(f->NaturalnessTrackBar->Label->text(), "Naturalness: 1");
  EXPECT_TRUE(f->OpacityTrackBar->Slider->isHidden());
  f->ExpertModeTBXCheckBox->Box->click();
  EXPECT_TRUE(emphasis->ExpertMode());
  EXPECT_FALSE(f->OpacityTrackBar->Slider->isHidden());
  EXPECT_FALSE(f->HardnessTrackBar->Label->isHidden());
  f->SmoothingTrackBar->Slider->setValue(12);
  EXPECT_EQ(emphasis->Smoothing(), 12);
  EXPECT_EQ(f->SmoothingTrackBar->Label->text(), "Smoothing: 12");
  EXPECT_GE(f->minimumWidth(), 272);
}

TEST_F(RetouchFrameTest, EyeColorPlanesPaletteAndBrightness) {
  auto* f = dynamic_cast<TWKEyeColorFrame*>(eyeColor->Frame());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->TitleLabel->text(), "Eye Color");
  EXPECT_TRUE(f->PlaneButtons[0]->Box->isChecked());
  EXPECT_EQ(f->PlaneButtons[1]->Box->text(), "Green");
  EXPECT_TRUE(f->TintTBXCheckBox->Box->isHidden());
  EXPECT_TRUE(f->OpacityTrackBar->Slider->isHidden());
  f->PlaneButtons[2]->Box->click();
  EXPECT_EQ(eyeColor->Palette.Plane(), TMakeUpPalette::PlaneBlue);
  EXPECT_FALSE(f->PlaneButtons[0]->Box->isChecked());
  f->PlaneButtons[2]->Box->click();  // pressing the pressed button keeps it
  EXPECT_TRUE(f->PlaneButtons[2]->Box->isChecked());

  QTest::mouseClick(f->PaletteTntPaintBox, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(eyeColor->Palette.Point(), (TPoint{128, 128}));
  QTest::mouseClick(f->PaletteTntPaintBox, Qt::LeftButton, {}, QPoint(30, 40));
  EXPECT_EQ(eyeColor->Palette.Point(), (TPoint{30, 40}));
  const QImage shown = f->PaletteTntPaintBox->grab().toImage();
  const TBGRPixel expected = *eyeColor->Palette.Bitmap().Pixel(200, 220);
  EXPECT_EQ(shown.pixelColor(200, 220), QColor(expected.Red, expected.Green, expected.Blue));

  f->ColorSelectorTntSpeedButton->Box->click();
  EXPECT_TRUE(eyeColor->ColorSelector());
  eyeColor->SetColorSelector(false);
  EXPECT_FALSE(f->ColorSelectorTntSpeedButton->Box->isChecked());
  eyeColor->UpdateControls();
  EXPECT_FALSE(f->BrightnessTrackBar->Slider->isEnabled());
}
