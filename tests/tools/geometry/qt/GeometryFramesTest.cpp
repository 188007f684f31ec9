// The crop and free-rotation frames: the ratio choice shows its panel and reaches the tool, and
// the rotation frame's controls reach its tool.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "support/QtTestApplication.h"
#include "tools/framework/qt/OptionFrameFixture.h"
#include "tools/geometry/qt/CropFrame.h"
#include "tools/geometry/qt/FreeRotationFrame.h"

namespace {

class GeometryFramesTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    crop = CreateTool<TWKCrop2PlusTool>(app.get(), CreateCropFrame);
    rotation = CreateTool<TWKRotation3Tool>(app.get(), CreateRotationFrame);
    cropFrame = static_cast<TWKCrop2PlusFrame*>(crop->Frame());
    rotationFrame = static_cast<TWKRotation3Frame*>(rotation->Frame());
  }
  TWKCrop2PlusTool* crop = nullptr;
  TWKRotation3Tool* rotation = nullptr;
  TWKCrop2PlusFrame* cropFrame = nullptr;
  TWKRotation3Frame* rotationFrame = nullptr;
};

}  // namespace

TEST_F(GeometryFramesTest, TheRatioChoiceShowsItsPanelAndSetsTheToolsRatio) {
  ASSERT_NE(cropFrame, nullptr);
  EXPECT_EQ(cropFrame->TitleLabel->text(), "Crop");
  EXPECT_EQ(cropFrame->rbFree->text(), "Loose");
  EXPECT_EQ(cropFrame->WidthLabel->text(), "Width:");
  EXPECT_TRUE(cropFrame->lblCurrentResolution->text().startsWith("Screen Resolution: "));
  EXPECT_EQ(cropFrame->cmbFoto->count(), 13);
  EXPECT_EQ(cropFrame->cmbScreen->count(), 6);
  EXPECT_EQ(cropFrame->WidthEdit->maximum(), 65535);
  EXPECT_FALSE(cropFrame->SizePanel->isHidden());
  EXPECT_TRUE(cropFrame->panelFoto->isHidden());

  cropFrame->rbFoto->setChecked(true);
  EXPECT_EQ(crop->Ratio, (TSideRatio{1, 1}));
  EXPECT_TRUE(cropFrame->SizePanel->isHidden());
  EXPECT_FALSE(cropFrame->panelFoto->isHidden());
  cropFrame->cmbFoto->setCurrentIndex(5);  // 2x3 (… 10x15 …)
  EXPECT_EQ(crop->Ratio, (TSideRatio{2, 3}));

  cropFrame->rbScreen->setChecked(true);
  EXPECT_EQ(crop->Ratio, (TSideRatio{4, 3}));
  EXPECT_FALSE(cropFrame->panelScreen->isHidden());
  EXPECT_FALSE(cropFrame->gbCurrentResolution->isHidden());
  cropFrame->cmbScreen->setCurrentIndex(5);
  EXPECT_EQ(crop->Ratio, (TSideRatio{8, 5}));

  cropFrame->rbFree->setChecked(true);
  EXPECT_TRUE(crop->Ratio.Free());
  EXPECT_TRUE(cropFrame->gbCurrentResolution->isHidden());
}

TEST_F(GeometryFramesTest, TheRotationFramesControlsReachTheTool) {
  ASSERT_NE(rotationFrame, nullptr);
  EXPECT_EQ(rotationFrame->TitleLabel->text(), "Rotation");
  EXPECT_EQ(rotationFrame->AutoCropTBXCheckBox->text(), "Auto Crop When Finishing");
  EXPECT_EQ(rotationFrame->CancelTBXButton->text(), "Cancel");
  EXPECT_FALSE(rotationFrame->AutoCropTBXCheckBox->isChecked());
  rotationFrame->AutoCropTBXCheckBox->setChecked(true);
  EXPECT_TRUE(rotation->AutoCrop());
  rotation->SetAutoCrop(false);
  EXPECT_FALSE(rotationFrame->AutoCropTBXCheckBox->isChecked());
  rotationFrame->SetActionsEnabled(false);
  EXPECT_FALSE(rotationFrame->FinishingTBXButton->isEnabled());
  EXPECT_GE(panel->PanelWidth(), TWKRotation3Tool::kPanelWidth);
}
