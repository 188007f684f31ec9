// The crop rectangle's rules: side ratios read from the format lists, handles and their hit
// test, drawing, dragging and moving with and without a ratio, and typed sizes.
#include <gtest/gtest.h>

#include <string>

#include "tools/geometry/CropRectangle.h"
#include "tools/geometry/SideRatio.h"

namespace {

TSideRatio Parsed(std::string_view item) {
  TSideRatio ratio{-1, -1};
  EXPECT_TRUE(ParseSideRatio(item, ratio)) << item;
  return ratio;
}

constexpr TRect kImage = Rect(0, 0, 400, 300);

}  // namespace

TEST(SideRatio, EveryListItemGivesItsFormatInLowestTerms) {
  const TSideRatio print[] = {{1, 1}, {1, 2}, {2, 1}, {1, 3}, {3, 1}, {2, 3}, {3, 2},
                              {3, 4}, {4, 3}, {4, 5}, {5, 4}, {5, 7}, {7, 5}};
  for (size_t i = 0; i < PrintFormats.size(); ++i)
    EXPECT_EQ(Parsed(PrintFormats[i]), print[i]) << PrintFormats[i];
  const TSideRatio screen[] = {{4, 3}, {5, 3}, {5, 4}, {12, 7}, {16, 9}, {8, 5}};
  for (size_t i = 0; i < ScreenFormats.size(); ++i)
    EXPECT_EQ(Parsed(ScreenFormats[i]), screen[i]) << ScreenFormats[i];
  // Only the numbers around the first "x" count; the rest of the item is a comment.
  EXPECT_EQ(Parsed("10x15"), (TSideRatio{2, 3}));
  EXPECT_EQ(Parsed("1920x1080 (16x9)"), (TSideRatio{16, 9}));
  EXPECT_TRUE(Parsed("0x5").Free());
  EXPECT_TRUE(Parsed("0x0").Free());
  for (std::string_view bad : {"", "x", "16", "ax3", "3xb", "3x", "x3 ", "-4x3", "99999999999x2"}) {
    TSideRatio ratio{7, 7};
    EXPECT_FALSE(ParseSideRatio(bad, ratio)) << bad;
    EXPECT_EQ(ratio, (TSideRatio{7, 7}));
  }
}

TEST(CropHandles, PointsHalveTowardZero) {
  const TRect r = Rect(10, 20, 31, 45);
  const TPoint expected[] = {{20, 20}, {31, 20}, {31, 32}, {31, 45},
                             {20, 45}, {10, 45}, {10, 32}, {10, 20}};
  for (int32_t h = chTop; h <= chTopLeft; ++h)
    EXPECT_EQ(CropHandlePoint(r, h), expected[h - chTop]) << h;
  EXPECT_EQ(CropHandlePoint(Rect(-7, -5, 0, 0), chTop), (TPoint{-3, -5}));
}

TEST(CropHandles, HitTestTriesTheHandlesInOrderThenInsideThenOutside) {
  const TRect big = Rect(100, 100, 300, 200);
  struct Case {
    TPoint p;
    int32_t handle;
  };
  for (Case c :
       {Case{{104, 96}, chTopLeft}, Case{{200, 100}, chTop}, Case{{296, 104}, chTopRight},
        Case{{300, 150}, chRight}, Case{{300, 200}, chBottomRight}, Case{{200, 204}, chBottom},
        Case{{100, 200}, chBottomLeft}, Case{{96, 150}, chLeft}, Case{{150, 150}, chInside},
        Case{{305, 150}, chOutside}, Case{{50, 50}, chOutside}, Case{{200, 95}, chOutside}})
    EXPECT_EQ(CropHitTest(big, c.p), c.handle) << c.p.X << "," << c.p.Y;
  // On a small rectangle the squares overlap: the top-left corner comes first, then the top.
  const TRect small = Rect(0, 0, 6, 6);
  EXPECT_EQ(CropHitTest(small, {3, 0}), chTopLeft);
  EXPECT_EQ(CropHitTest(small, {6, 3}), chTop);
  EXPECT_EQ(CropHitTest(small, {6, 8}), chBottom);
}

TEST(CropRatio, CornersTrimTheHeightAndSidesTheWidth) {
  const TSideRatio r32{3, 2};
  const TRect box = Rect(10, 10, 110, 111);  // 100 × 101
  struct Case {
    int32_t handle;
    TRect expected;
  };
  for (Case c : {Case{chBottomRight, Rect(10, 10, 160, 110)},
                 Case{chBottom, Rect(10, 10, 160, 110)}, Case{chTopRight, Rect(10, 11, 160, 111)},
                 Case{chTop, Rect(10, 11, 160, 111)}, Case{chBottomLeft, Rect(-40, 10, 110, 110)},
                 Case{chTopLeft, Rect(-40, 11, 110, 111)}, Case{chRight, Rect(10, 45, 109, 111)},
                 Case{chLeft, Rect(11, 45, 110, 111)}, Case{chInside, box}})
    EXPECT_EQ(ConstrainCropRect(c.handle, box, r32), c.expected) << c.handle;
  EXPECT_EQ(ConstrainCropRect(chBottomRight, box, TSideRatio{}), box);
  EXPECT_EQ(ConstrainCropRect(chBottomRight, box, TSideRatio{0, 5}), box);
}

TEST(CropDrawing, NewRectanglesFollowTheDragDirectionAndStayInside) {
  const TSideRatio r32{3, 2};
  // 100 × 100 down and right with 3 : 2: height 100, width 150.
  EXPECT_EQ(DrawnCropRect({10, 10}, {110, 110}, r32, kImage), Rect(10, 10, 160, 110));
  // Up and left the far corner stays where the drag began.
  EXPECT_EQ(DrawnCropRect({200, 200}, {100, 100}, r32, kImage), Rect(50, 100, 200, 200));
  EXPECT_EQ(DrawnCropRect({200, 200}, {100, 250}, r32, kImage), Rect(125, 200, 200, 250));
  EXPECT_EQ(DrawnCropRect({200, 200}, {300, 101}, r32, kImage), Rect(200, 102, 347, 200));
  EXPECT_EQ(DrawnCropRect({10, 10}, {110, 110}, TSideRatio{}, kImage), Rect(10, 10, 110, 110));
  // Reaching outside the image keeps the previous rectangle.
  EXPECT_EQ(DrawnCropRect({300, 10}, {400, 110}, r32, kImage), std::nullopt);
  EXPECT_EQ(DrawnCropRect({10, 10}, {410, 110}, TSideRatio{}, kImage), std::nullopt);
  // Start and point on one row or column: the empty rectangle, whatever the ratio.
  EXPECT_TRUE(DrawnCropRect({10, 10}, {10, 110}, r32, kImage)->IsEmpty());
  EXPECT_TRUE(DrawnCropRect({10, 10}, {110, 10}, TSideRatio{}, kImage)->IsEmpty());
  EXPECT_EQ(DrawnCropRect({10, 10}, {10, 400}, TSideRatio{}, kImage), std::nullopt);
}

TEST(CropDragging, MovesStopAtTheBorderAndInvertedRectanglesAreDropped) {
  const TRect r = Rect(10, 10, 110, 60);
  EXPECT_EQ(DraggedCropRect(chInside, r, {-50, -50}, {}, kImage), Rect(0, 0, 100, 50));
  EXPECT_EQ(DraggedCropRect(chInside, r, {1000, 1000}, {}, kImage), Rect(300, 250, 400, 300));
  EXPECT_EQ(DraggedCropRect(chInside, r, {5, 7}, TSideRatio{3, 2}, kImage), Rect(15, 17, 115, 67));
  EXPECT_EQ(DraggedCropRect(chRight, r, {40, 99}, {}, kImage), Rect(10, 10, 150, 60));
  EXPECT_EQ(DraggedCropRect(chTopLeft, r, {-5, -5}, {}, kImage), Rect(5, 5, 110, 60));
  EXPECT_EQ(DraggedCropRect(chBottomLeft, r, {5, 5}, {}, kImage), Rect(15, 10, 110, 65));
  // Across the opposite edge, or out of the image: the previous rectangle stays.
  EXPECT_EQ(DraggedCropRect(chLeft, r, {150, 0}, {}, kImage), std::nullopt);
  EXPECT_EQ(DraggedCropRect(chBottom, r, {0, -80}, {}, kImage), std::nullopt);
  EXPECT_EQ(DraggedCropRect(chBottomRight, r, {300, 0}, {}, kImage), std::nullopt);
  EXPECT_EQ(DraggedCropRect(chOutside, r, {1, 1}, {}, kImage), std::nullopt);
  // With a ratio the dragged corner snaps to whole units.
  EXPECT_EQ(DraggedCropRect(chBottomRight, r, {7, 11}, TSideRatio{3, 2}, kImage),
            Rect(10, 10, 100, 70));
  // A side takes the height from the width, keeping the bottom; here the top would leave the image.
  EXPECT_EQ(DraggedCropRect(chRight, r, {7, 0}, TSideRatio{3, 2}, kImage), std::nullopt);
  EXPECT_EQ(DraggedCropRect(chRight, Rect(10, 100, 110, 160), {7, 0}, TSideRatio{3, 2}, kImage),
            Rect(10, 90, 115, 160));
}

TEST(CropSizes, TypedSidesMoveTheFarEdgeOrEndAtTheImage) {
  const TRect r = Rect(350, 10, 390, 60);
  EXPECT_EQ(CropRectWithSide(r, 30, 400, false), Rect(350, 10, 380, 60));
  EXPECT_EQ(CropRectWithSide(r, 100, 400, false), Rect(300, 10, 400, 60));
  EXPECT_EQ(CropRectWithSide(r, 400, 400, false), Rect(0, 10, 400, 60));
  EXPECT_EQ(CropRectWithSide(r, 401, 400, false), std::nullopt);
  EXPECT_EQ(CropRectWithSide(r, 0, 400, false), r);
  EXPECT_EQ(CropRectWithSide(r, 20, 300, true), Rect(350, 10, 390, 30));
  EXPECT_EQ(CropRectWithSide(r, 295, 300, true), Rect(350, 5, 390, 300));
  EXPECT_EQ(CropRectWithSide(r, 301, 300, true), std::nullopt);
}
