// The pupil and gleam frames in the tool panel: the track bars as the tools bind them (ranges,
// positions the tools set without it counting as a user change, user changes reaching the
// tools), the hidden controls, the brush preview painted from the mask, and the thumb points
// demonstrations aim at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "support/QtTestApplication.h"
#include "tools/eyes/qt/GlareFrame.h"
#include "tools/eyes/qt/SpotFrame.h"
#include "tools/framework/ToolFakes.h"
#include "tools/framework/qt/OptionFrameFixture.h"

namespace {

class SpotGlareFrameTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    glare = CreateTool<TWKGlareTool>(app.get(), CreateGlareFrame);
    pupil = CreateTool<TWKPupilTool>(app.get(), CreateSpotFrame);
    cat = CreateTool<TWKCatPupilTool>(app.get(), CreateSpotFrame);
  }
  static TWKSpotFrame* FrameOf(TWKSpotTool* tool) { return dynamic_cast<TWKSpotFrame*>(tool->Frame()); }

  TWKGlareTool* glare = nullptr;
  TWKPupilTool* pupil = nullptr;
  TWKCatPupilTool* cat = nullptr;
};

TEST_F(SpotGlareFrameTest, PupilFramesShowTheirControlsAndPassTheUsersChanges) {
  TWKSpotFrame* p = FrameOf(pupil);
  TWKSpotFrame* c = FrameOf(cat);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(panel->Buttons().size(), 3u);
  EXPECT_EQ(pupil->Button->Caption(), "Pupil");
  EXPECT_EQ(p->TitleLabel->text(), "Pupil");
  EXPECT_EQ(c->TitleLabel->text(), "Cat Pupil");
  EXPECT_EQ(p->PreviewPaintBox->width(), 105);
  EXPECT_EQ(p->SizeTrackBar->Slider->maximum(), 100);
  EXPECT_EQ(p->SizeTrackBar->Slider->value(), 25);
  EXPECT_EQ(p->SizeTrackBar->Slider->tickInterval(), 10);
  EXPECT_EQ(p->SizeTrackBar->Label->text(), "Size: 25");
  EXPECT_TRUE(p->ThicknessTrackBar->Slider->isHidden());
  EXPECT_TRUE(p->ThicknessTrackBar->Label->isHidden());
  EXPECT_FALSE(c->ThicknessTrackBar->Slider->isHidden());
  EXPECT_TRUE(c->ShapeTrackBar->Slider->isHidden());
  EXPECT_EQ(c->RotationTrackBar->Slider->maximum(), 180);
  EXPECT_EQ(c->ThicknessTrackBar->Slider->value(), 50);

  TRecorder recorder;
  cat->StartRecording(&recorder);
  c->ThicknessTrackBar->Slider->setValue(70);  // as the user drags it
  EXPECT_EQ(cat->Thickness(), 70);
  EXPECT_EQ(c->ThicknessTrackBar->Label->text(), "Thickness: 70");
  c->SizeTrackBar->Slider->setValue(40);
  EXPECT_EQ(cat->Size(), 40);
  cat->SetRotation(30);  // from the tool: moves the bar, records nothing
  EXPECT_EQ(c->RotationTrackBar->Slider->value(), 30);
  cat->StopRecording();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove CatPupilThickness", "CatPupilThickness 70",
                                                      "CatPupilSize 40"}));

  // Demonstrations aim at the shown bars only.
  form->show();
  cat->Activate();
  QApplication::processEvents();
  EXPECT_TRUE(registry.Locate("CatPupilThickness").has_value());
  TWKCustomProperties which;
  which.SetString(1, "CatPupilSize");
  TPoint point;
  EXPECT_TRUE(cat->GetScriptCommandPoint(which, point));
  const QPoint slider = c->SizeTrackBar->Slider->mapToGlobal(QPoint(0, 0));
  EXPECT_GE(point.X, slider.x());
  EXPECT_LE(point.X, slider.x() + c->SizeTrackBar->Slider->width());
  EXPECT_FALSE(registry.Locate("CatPupilShape").has_value());
}

TEST_F(SpotGlareFrameTest, PreviewPaintsTheMaskInItsBox) {
  TWKSpotFrame* p = FrameOf(pupil);
  form->show();
  pupil->Activate();
  QApplication::processEvents();
  QImage shot = p->PreviewPaintBox->grab().toImage().convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(shot.width(), 105);
  EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(128, 128, 128));
  EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(255, 255, 255));
  // The centre is the pupil's full strength 204 through black: 255 + floor(204 × −255 / 256).
  EXPECT_EQ(QColor(shot.pixel(52, 52)), QColor(51, 51, 51));
  // Disabled, silver: 255 + floor(204 × (192 − 255) / 256).
  p->setEnabled(false);
  shot = p->PreviewPaintBox->grab().toImage().convertToFormat(QImage::Format_RGB888);
  EXPECT_EQ(QColor(shot.pixel(52, 52)), QColor(204, 204, 204));
}

TEST_F(SpotGlareFrameTest, GleamFrameHasItsBrightnessBarAndAHiddenSize) {
  auto* g = dynamic_cast<TWKGlareFrame*>(glare->Frame());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->TitleLabel->text(), "Gleam");
  EXPECT_EQ(g->BrightnessTrackBar->Slider->maximum(), 320);
  EXPECT_EQ(g->BrightnessTrackBar->Slider->value(), 204);
  EXPECT_EQ(g->BrightnessTrackBar->Label->text(), "Brightness: 204");
  EXPECT_TRUE(g->SizeTrackBar->Slider->isHidden());
  EXPECT_EQ(g->SizeTrackBar->Slider->value(), 128);
  g->BrightnessTrackBar->Slider->setValue(300);
  EXPECT_EQ(glare->GleamBrightness(), 300);
  EXPECT_EQ(g->BrightnessTrackBar->Label->text(), "Brightness: 300");
  glare->Activate();
  EXPECT_EQ(panel->FrontFrame(), g);
}

}  // namespace
