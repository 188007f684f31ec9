#include <gtest/gtest.h>

#include "documents/WKFileFormats.h"
#include "help/WKPreviewLayout.h"

TEST(PreviewLayout, FitKeepsProportionsAndFillsOneSide) {
  EXPECT_EQ(FitThumbnail(400, 100, 200, 200), (TSize{200, 50}));
  EXPECT_EQ(FitThumbnail(100, 400, 200, 200), (TSize{50, 200}));
  EXPECT_EQ(FitThumbnail(6000, 4000, 222, 222), (TSize{222, 148}));
  EXPECT_EQ(FitThumbnail(300, 200, 222, 100), (TSize{150, 100}));
  // Equal proportions take the height branch; a small picture is enlarged to the box.
  EXPECT_EQ(FitThumbnail(50, 50, 200, 200), (TSize{200, 200}));
  // Rounded down: 333 x 200 into 100 x 100 is 100 x 60.06.
  EXPECT_EQ(FitThumbnail(333, 200, 100, 100), (TSize{100, 60}));
}

TEST(PreviewLayout, FitCopesWithDegenerateSizes) {
  EXPECT_EQ(FitThumbnail(0, 0, 200, 100), (TSize{100, 100}));  // zero sides count as 1
  EXPECT_EQ(FitThumbnail(65535, 1, 222, 222), (TSize{222, 1}));  // never a zero side
  EXPECT_EQ(FitThumbnail(1, 65535, 222, 222), (TSize{1, 222}));
  EXPECT_EQ(FitThumbnail(400, 100, 0, 200), (TSize{}));
  EXPECT_EQ(FitThumbnail(400, 100, 200, -2), (TSize{}));
  // No overflow with the largest sides the codec accepts.
  EXPECT_EQ(FitThumbnail(65535, 65535, 1 << 30, 1 << 30), (TSize{1 << 30, 1 << 30}));
}

TEST(PreviewLayout, CenteredRectTruncatesHalves) {
  // A 200 x 50 thumbnail in a 200 x 200 box lies 75 pixels below the top.
  EXPECT_EQ(CenterRect({200, 50}, Rect(0, 0, 200, 200)), Rect(0, 75, 200, 125));
  EXPECT_EQ(CenterRect({3, 3}, Rect(10, 10, 20, 20)), Rect(14, 14, 17, 17));
  // div truncates toward zero, also left of the origin: (-9) div 2 = -4.
  EXPECT_EQ(CenterRect({4, 1}, Rect(-9, -3, 0, 0)), Rect(-6, -1, -2, 0));
}

TEST(PreviewLayout, PreviewBoxLeavesSevenLinesOfText) {
  EXPECT_EQ(PreviewBoxHeight(400, 13), 400 - 114);  // 7 x 13 x 1.25 = 113.75
  EXPECT_EQ(PreviewBoxHeight(400, 16), 400 - 140);
  EXPECT_EQ(PreviewBoxHeight(50, 16), 0);
}

TEST(PreviewLayout, FilterParsesWhatBuildFilterMakes) {
  const TWKFileFormatArray formats = {{0, "JPEG", "*.jpg;*.jpeg", ".jpg"},
                                      {2, "PNG", "*.png", ".png"},
                                      {0, "All Files", "*.*", ""}};
  const auto entries = ParseFilter(BuildFilter(formats));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], (TWKFilterEntry{"JPEG (*.jpg;*.jpeg)", "*.jpg;*.jpeg"}));
  EXPECT_EQ(entries[1], (TWKFilterEntry{"PNG (*.png)", "*.png"}));
  EXPECT_EQ(entries[2], (TWKFilterEntry{"All Files (*.*)", "*.*"}));
}

TEST(PreviewLayout, FilterWithMissingMasksMatchesEverything) {
  EXPECT_TRUE(ParseFilter("").empty());
  const auto entries = ParseFilter("Text|*.txt|Lonely");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1], (TWKFilterEntry{"Lonely", "*"}));
  EXPECT_EQ(ParseFilter("Empty||")[0], (TWKFilterEntry{"Empty", "*"}));
}
