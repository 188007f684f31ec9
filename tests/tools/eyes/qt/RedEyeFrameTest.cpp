#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "support/QtTestApplication.h"
#include "tools/eyes/qt/RedEyeFrame.h"
#include "tools/framework/ToolFakes.h"
#include "tools/framework/qt/OptionFrameFixture.h"

namespace {

class RedEyeFrameTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    tool = CreateTool<TWKRedEyeTool>(app.get(), CreateRedEyeFrame);
    frame = static_cast<TWKRedEyeFrame*>(tool->Frame());
  }

  TWKRedEyeTool* tool = nullptr;
  TWKRedEyeFrame* frame = nullptr;
};

TEST_F(RedEyeFrameTest, FrameAndButtonLiveInTheToolPanel) {
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(tool->Button, nullptr);
  EXPECT_EQ(tool->Button->Caption(), "Red Eye Correction");
  EXPECT_EQ(panel->Buttons().size(), 1u);
  EXPECT_GE(panel->PanelWidth(), TWKRedEyeTool::kFrameWidth);
  EXPECT_EQ(frame->AreaSizeTrackBar->value(), 176);
  EXPECT_EQ(frame->BrightnessTrackBar->value(), 50);
  EXPECT_EQ(frame->AreaSizeTrackBar->maximum(), 255);
  EXPECT_EQ(frame->BrightnessTrackBar->tickInterval(), 16);
  EXPECT_EQ(frame->AreaSizeLabel->text(), "Area Size: 176");
  EXPECT_EQ(frame->RemoveBorderLabel->text(), "Border: 0 px");
  EXPECT_EQ(frame->BrightnessLabel->text(), "Brightness: 50");
  EXPECT_EQ(frame->TitleLabel->text(), "Shading");
  EXPECT_TRUE(frame->TitleLabel->font().bold());
  EXPECT_EQ(frame->SelectionPreview->height(), 167);
  EXPECT_TRUE(frame->SelectionTimer->isActive());
  EXPECT_EQ(frame->SelectionTimer->interval(), 200);

  tool->Activate();
  EXPECT_EQ(panel->FrontFrame(), frame);
  tool->SetAvailable(false);
  EXPECT_FALSE(tool->Button->Visible());
  EXPECT_TRUE(frame->isHidden());
}

TEST_F(RedEyeFrameTest, UserMovesRecordButToolMovesDoNot) {
  TRecorder recorder;
  recorder.Messages = false;
  tool->StartRecording(&recorder);
  frame->AreaSizeTrackBar->setValue(120);  // as the user drags it
  EXPECT_EQ(tool->AreaSize(), 120);
  EXPECT_EQ(frame->AreaSizeLabel->text(), "Area Size: 120");
  tool->SetAreaSize(130);  // from the tool (a script, an undo)
  EXPECT_EQ(frame->AreaSizeTrackBar->value(), 130);
  frame->IncSizeButton->click();
  EXPECT_EQ(frame->RemoveBorderLabel->text(), "Border: 1 px");
  frame->BrightnessTrackBar->setValue(70);
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"RedEyeAreaSize 120", "MouseCurvedMove RedEyeIncArea",
                                                      "RedEyeBorderSize 1", "RedEyeBrightness 70"}));
  tool->StopRecording();

  frame->SetControlsEnabled(false);
  EXPECT_FALSE(frame->AreaSizeTrackBar->isEnabled());
  EXPECT_FALSE(frame->DecSizeButton->isEnabled());
}

TEST_F(RedEyeFrameTest, ControlsAreRegisteredAndLocatedWhileShown) {
  const auto names = registry.ComponentInfos();
  std::vector<std::string> listed;
  for (const auto& info : names) listed.push_back(info.Name);
  EXPECT_EQ(listed, (std::vector<std::string>{"REDEYE", "REDEYESELECTION", "REDEYEAREASIZE", "REDEYEINCAREA",
                                              "REDEYEDECAREA", "REDEYEBRIGHTNESS", "REDEYEPREVIEW",
                                              "REDEYEREPAIRALL"}));
  EXPECT_EQ(frame->RepairAllButton->text(), QStringLiteral("Repair All Eyes"));
  EXPECT_FALSE(registry.Locate("REDEYEAREASIZE"));  // the window is not shown
  form->show();
  panel->BringToFront(frame);
  QApplication::processEvents();
  const auto point = registry.Locate("REDEYEAREASIZE");
  ASSERT_TRUE(point);
  const QPoint centre = frame->AreaSizeTrackBar->mapToGlobal(frame->AreaSizeTrackBar->rect().center());
  EXPECT_NEAR(point->X, centre.x(), 1);
  EXPECT_NEAR(point->Y, centre.y(), 1);
  form->hide();
}

}  // namespace
