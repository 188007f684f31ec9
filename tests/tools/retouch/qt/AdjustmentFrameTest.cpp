// The colour adjustment frame in the tool panel: sliders, the All box and the type buttons reach
// the tool, the idle state shows and hides the controls, the explanation lists its lines.
#include <gtest/gtest.h>

#include <QTest>

#include "support/QtTestApplication.h"
#include "tools/framework/qt/OptionFrameFixture.h"
#include "framework/WKApplication.h"
#include "framework/qt/MainForm.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/qt/WKToolPanel.h"
#include "tools/retouch/qt/AdjustmentFrame.h"

namespace {

class AdjustmentFrameTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    tool = CreateTool<TWKAdjustmentTool>(app.get(), nullptr, CreateAdjustmentFrame);
    frame = static_cast<TWKAdjustmentFrame*>(tool->Frame());
  }

  TWKAdjustmentTool* tool = nullptr;
  TWKAdjustmentFrame* frame = nullptr;
};

}  // namespace

TEST_F(AdjustmentFrameTest, ControlsReachTheToolAndAllMovesTheHiddenSliders) {
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->ChannelTrackBars[0]->minimum(), -50);
  EXPECT_EQ(frame->ChannelTrackBars[0]->maximum(), 50);
  EXPECT_EQ(frame->ChannelTrackBars[0]->tickInterval(), 5);
  EXPECT_EQ(frame->ChannelTrackBars[0]->pageStep(), 1);
  EXPECT_TRUE(frame->TypeButtons[AdjustBrightness]->isChecked());
  EXPECT_TRUE(frame->ExplanationTntCheckBox->isChecked());

  frame->ChannelTrackBars[1]->setValue(-12);
  EXPECT_EQ(tool->Values().Green, -12);
  frame->AllTntCheckBox->click();
  EXPECT_TRUE(tool->AllChannels());
  EXPECT_EQ(frame->ChannelTrackBars[1]->value(), 0) << "green takes red's position";
  frame->ChannelTrackBars[0]->setValue(25);
  EXPECT_EQ(tool->Values(), (TChannelValues{25, 25, 25}));
  EXPECT_EQ(frame->ChannelTrackBars[2]->value(), 25);

  QTest::mouseClick(frame->TypeButtons[AdjustGamma], Qt::LeftButton);
  EXPECT_EQ(tool->AdjustmentType(), AdjustGamma);
  EXPECT_TRUE(frame->TypeButtons[AdjustGamma]->isChecked());
  EXPECT_FALSE(frame->TypeButtons[AdjustBrightness]->isChecked());
  QTest::mouseClick(frame->ResetTBXButton, Qt::LeftButton);
  EXPECT_EQ(tool->Values(), TChannelValues{});
  EXPECT_EQ(frame->ChannelTrackBars[0]->value(), 0);
}

TEST_F(AdjustmentFrameTest, StateAndExplanationShowWhatTheToolSays) {
  TAdjustmentFrameState state;
  state.TypeCaption = "Gamma";
  state.ChannelLabels = {"Gamma: +5", "Green: 0", "Blue: 0"};
  state.GreenBlueVisible = false;
  state.StartEnabled = true;
  state.TypeEnabled = {false, false, true, false};
  frame->ShowState(state);
  EXPECT_EQ(frame->AdjustmentTypeTntGroupBox->title(), "Gamma");
  EXPECT_EQ(frame->ChannelLabels[0]->text(), "Gamma: +5");
  EXPECT_FALSE(frame->ChannelTrackBars[1]->isVisibleTo(frame));
  EXPECT_FALSE(frame->ChannelLabels[2]->isVisibleTo(frame));
  EXPECT_TRUE(frame->ChannelTrackBars[0]->isVisibleTo(frame));
  EXPECT_TRUE(frame->StartTBXButton->isEnabled());
  EXPECT_FALSE(frame->FinishingTBXButton->isEnabled());
  EXPECT_FALSE(frame->TypeButtons[0]->isEnabled());
  EXPECT_TRUE(frame->TypeButtons[2]->isEnabled());
  EXPECT_FALSE(frame->ExplanationTntMemo->isVisibleTo(frame));

  EXPECT_EQ(frame->ExplanationTntMemo->toPlainText(),
            "Choose the kind of adjustment with the buttons above.\nClick Start to preview it on the image.");
  EXPECT_EQ(frame->StartTBXButton->text(), "Start");
  EXPECT_EQ(frame->FinishingTBXButton->text(), "Finish");
}
