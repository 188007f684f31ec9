// The rotate/flip and resize frames in the tool panel: their controls reach the tools, the tools'
// own moves are not taken for the user's, and the thumbnail paints the preview.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "support/QtTestApplication.h"
#include "tools/framework/qt/OptionFrameFixture.h"
#include "tools/geometry/qt/ResizeFrame.h"
#include "tools/geometry/qt/RotateFrame.h"

namespace {

class RotateResizeFramesTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    rotate = CreateTool<TWKRotateTool>(app.get(), CreateRotateFrame);
    resize = CreateTool<TWKResizeTool>(app.get(), CreateResizeFrame);
    rotateFrame = static_cast<TWKRotateFrame*>(rotate->Frame());
    resizeFrame = static_cast<TWKResizeFrame*>(resize->Frame());
  }

  TWKRotateTool* rotate = nullptr;
  TWKResizeTool* resize = nullptr;
  TWKRotateFrame* rotateFrame = nullptr;
  TWKResizeFrame* resizeFrame = nullptr;
};

}  // namespace

TEST_F(RotateResizeFramesTest, RotateFrameSwapsItsButtonsForThePreviewAndNamesThePerformedOption) {
  ASSERT_NE(rotateFrame, nullptr);
  EXPECT_EQ(rotateFrame->TitleLabel->text(), "Rotation & Flip");
  EXPECT_EQ(rotateFrame->ShowOptions->text(), "Show More Options");
  EXPECT_FALSE(rotateFrame->OptionsPanelShown());
  EXPECT_TRUE(rotateFrame->DirectButtons[0]->isVisibleTo(rotateFrame));
  EXPECT_EQ(rotateFrame->SelectedOperation(), RotateRightOperation);
  EXPECT_EQ(rotateFrame->RotateButton->text(), "Rotate Right");

  QTest::mouseClick(rotateFrame->ShowOptions, Qt::LeftButton);
  EXPECT_TRUE(rotate->OptionsShown());
  EXPECT_TRUE(rotateFrame->OptionsPanelShown());
  EXPECT_FALSE(rotateFrame->DirectButtons[0]->isVisibleTo(rotateFrame));
  EXPECT_EQ(rotateFrame->ShowOptions->text(), "Hide Options");
  EXPECT_EQ(rotateFrame->ThumbnailViewSize(), (TSize{176, 150}));

  rotateFrame->RadioButtons[FlipVerticalOperation - 1]->setChecked(true);
  EXPECT_EQ(rotateFrame->SelectedOperation(), FlipVerticalOperation);
  EXPECT_EQ(rotateFrame->RotateButton->text(), "Flip Vertical");
  EXPECT_TRUE(registry.Execute("ROTATIONLEFTOPTION", TWKCustomProperties{}));
  EXPECT_EQ(rotateFrame->SelectedOperation(), RotateLeftOperation);
  // Without a document nothing is turned and nothing breaks.
  QTest::mouseClick(rotateFrame->RotateButton, Qt::LeftButton);
  EXPECT_EQ(rotate->Operation(), RotateNone);
}

TEST_F(RotateResizeFramesTest, EmptyThumbnailIsAWhiteBoxWithABlackOutline) {
  QImage image(rotateFrame->ThumbnailView->size(), QImage::Format_RGB32);
  image.fill(Qt::red);
  QPainter painter(&image);
  rotateFrame->ThumbnailViewPaint(painter);
  painter.end();
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(175, 149), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(88, 75), QColor(Qt::white));
}

TEST_F(RotateResizeFramesTest, ResizeEditsReportTypingButNotTheToolsOwnValues) {
  ASSERT_NE(resizeFrame, nullptr);
  EXPECT_TRUE(resizeFrame->ConstrainProportionsCheckBox->isChecked());
  EXPECT_EQ(resizeFrame->WidthLabel->text(), "Width:");
  resize->ConstrainProportionsCheckBoxChange(false);
  EXPECT_FALSE(resizeFrame->ConstrainProportionsCheckBox->isChecked());

  resizeFrame->WidthEdit->clear();
  QTest::keyClicks(resizeFrame->WidthEdit, "640");
  EXPECT_EQ(resize->NewWidth(), 640);
  QTest::keyClicks(resizeFrame->HeightEdit, "x");  // "1x" is no number: unchanged
  EXPECT_EQ(resize->NewHeight(), 0);
  QTest::mouseClick(resizeFrame->WidthUpDown->Up, Qt::LeftButton);
  EXPECT_EQ(resize->NewWidth(), 641);
  EXPECT_EQ(resizeFrame->WidthEdit->text(), "641");
  resize->SetNewWidth(32767);
  QTest::mouseClick(resizeFrame->WidthUpDown->Up, Qt::LeftButton);
  EXPECT_EQ(resize->NewWidth(), 32767) << "the up-down stops at its maximum";
  QTest::mouseClick(resizeFrame->ConstrainProportionsCheckBox, Qt::LeftButton);
  EXPECT_TRUE(resize->ConstrainProportions());
}
