#include "GraphicsEditorFixture.h"

#include <fstream>

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Return;

TEST(ZoomStepsTest, StepsFromActualSizeAndTheEnds) {
  TWKZoomRatio z{1, 1};
  std::vector<TWKZoomRatio> seen;
  for (int i = 0; i < 12; ++i) {
    z = NextZoomStep(z.Numerator, z.Denominator, true);
    seen.push_back(z);
  }
  EXPECT_EQ(seen[0], (TWKZoomRatio{3, 2}));
  EXPECT_EQ(seen[1], (TWKZoomRatio{2, 1}));
  EXPECT_EQ(seen[9], (TWKZoomRatio{16, 1}));
  EXPECT_EQ(seen[11], (TWKZoomRatio{16, 1}));  // stops at the top
  EXPECT_EQ(NextZoomStep(1, 16, false), (TWKZoomRatio{1, 16}));
  EXPECT_EQ(NextZoomStep(1, 1, false), (TWKZoomRatio{3, 4}));
}

TEST(ZoomStepsTest, FromAFitRatioTheNeighbouringSteps) {
  EXPECT_EQ(NextZoomStep(3, 10, true), (TWKZoomRatio{1, 3}));
  EXPECT_EQ(NextZoomStep(3, 10, false), (TWKZoomRatio{1, 4}));
  // Beyond the table in both directions.
  EXPECT_EQ(NextZoomStep(1, 100, true), (TWKZoomRatio{1, 16}));
  EXPECT_EQ(NextZoomStep(40, 1, false), (TWKZoomRatio{16, 1}));
}

TEST(ZoomStepsTest, FitTiesGoToTheHeightAndEmptySidesDoNotFit) {
  TWKZoomRatio z;
  ASSERT_TRUE(ZoomToFit({800, 600}, {4000, 3000}, z));
  EXPECT_EQ(z, (TWKZoomRatio{600, 3000}));
  ASSERT_TRUE(ZoomToFit({800, 600}, {4000, 1000}, z));
  EXPECT_EQ(z, (TWKZoomRatio{800, 4000}));
  z = {7, 7};
  EXPECT_FALSE(ZoomToFit({0, 600}, {4000, 3000}, z));
  EXPECT_FALSE(ZoomToFit({800, 0}, {4000, 3000}, z));
  EXPECT_FALSE(ZoomToFit({800, 600}, {0, 0}, z));
  EXPECT_EQ(z, (TWKZoomRatio{7, 7}));
}

TEST_F(GraphicsEditorTest, ALargeImageOpensFittedAndASmallOneAtActualSize) {
  ASSERT_NE(Open(MakeImage("big.png", 4000, 3000)), nullptr);
  EXPECT_EQ(View()->ZoomNumerator(), 600);
  EXPECT_EQ(View()->ZoomDenominator(), 3000);
  // The whole image is visible and centred: no scrolling needed.
  EXPECT_FALSE(ViewWindow()->BarVisible(0));
  EXPECT_FALSE(ViewWindow()->BarVisible(1));
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{0, 0}));

  ASSERT_NE(Open(MakeImage("small.png", 640, 480)), nullptr);
  EXPECT_EQ(Editor->DocumentCount(), 1);
  EXPECT_EQ(View()->ZoomNumerator(), 1);
  EXPECT_EQ(View()->ZoomDenominator(), 1);
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{80, 60}));
  EXPECT_EQ(Editor->WStatusPanel->Caption(), "640");
  EXPECT_EQ(Editor->HStatusPanel->Caption(), "480");
}

TEST_F(GraphicsEditorTest, ZoomCommandsStepAndKeepTheCentre) {
  NextViewSize = {400, 300};
  ASSERT_NE(Open(MakeImage("big.png", 2000, 1500)), nullptr);
  EXPECT_EQ(View()->ZoomNumerator(), 300);
  // Bars that take no room, so that the client centre stays where it was.
  ViewWindow()->BarWidth = ViewWindow()->BarHeight = 0;
  Editor->ZoomInClick();
  EXPECT_EQ(View()->ZoomNumerator(), 1);
  EXPECT_EQ(View()->ZoomDenominator(), 4);
  // The image point under the view centre stays there (up to one screen pixel of 1/4).
  const TSize client = ViewWindow()->ClientSize();
  const TPoint centre{client.Width / 2, client.Height / 2};
  const TPoint kept = View()->MapMode().DocFromDev(centre);
  EXPECT_NEAR(kept.X, 1000, 4);
  EXPECT_NEAR(kept.Y, 750, 4);
  Editor->ActualSizeClick();
  EXPECT_EQ(View()->MapMode().DocFromDev(centre), kept);
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{200 - kept.X, 150 - kept.Y}));
  EXPECT_TRUE(ViewWindow()->BarVisible(0));
  EXPECT_TRUE(ViewWindow()->BarVisible(1));
  EXPECT_EQ(ViewWindow()->Bars[0].Position, kept.X - 200);
  Editor->BestFitClick();
  EXPECT_EQ(View()->ZoomNumerator(), 300);
  EXPECT_EQ(View()->ZoomDenominator(), 1500);
  EXPECT_GT(ViewWindow()->MouseMovesRepeated, 0);
}

TEST_F(GraphicsEditorTest, BestFitWithAnEmptyViewChangesNothing) {
  ASSERT_NE(Open(MakeImage("big.png", 400, 300)), nullptr);
  Editor->ZoomInClick();
  const int32_t before = View()->ZoomNumerator();
  ViewWindow()->Outer = {0, 300};
  Editor->BestFitClick();
  EXPECT_EQ(View()->ZoomNumerator(), before);
  ViewWindow()->Outer = {300, 0};
  Editor->SetZoomToFit();
  EXPECT_EQ(View()->ZoomNumerator(), before);
}

TEST_F(GraphicsEditorTest, AFileThatDoesNotLoadReportsAndLeavesNoDocument) {
  const std::string path = (Folder / "broken.png").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n truncated";
  }
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("broken.png"), _, _)).WillOnce(Return(IDOK));
  EXPECT_EQ(Open(path), nullptr);
  EXPECT_EQ(Editor->DocumentCount(), 0);
}
