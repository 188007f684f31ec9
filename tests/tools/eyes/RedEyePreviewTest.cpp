#include "tools/eyes/RedEyePreview.h"

#include <gtest/gtest.h>

#include "tools/eyes/RedEyeParams.h"
#include "tools/eyes/TestImage.h"

TEST(RedEyePreview, ZoomFitsTheBoxInEighths) {
  // 40 x 20 box: half sizes 20 and 10; 163 / 40 = 4.075 -> 4.
  EXPECT_EQ(ComputePreviewZoom(Rect(100, 100, 140, 120), 163, 163, 1.0), 4.0);
  // 7 x 7: centre 3 (div), half size max(3, 4) = 4; 163 / 8 = 20.375 -> 20.375 in eighths.
  EXPECT_EQ(ComputePreviewZoom(Rect(0, 0, 7, 7), 163, 163, 1.0), 20.375);
  EXPECT_EQ(ComputePreviewZoom(Rect(0, 0, 300, 100), 163, 163, 1.0), 0.5);  // 163/300 = .543
  EXPECT_EQ(ComputePreviewZoom(TRect{}, 163, 163, 2.5), 2.5);  // empty box keeps the zoom
  EXPECT_EQ(ClampPreviewZoom(20.375), 5.0);
  EXPECT_EQ(ClampPreviewZoom(0.125), 0.5);
}

TEST(RedEyePreview, CentredPlacementMapsBothWays) {
  const TRedEyePreviewPlacement p = CenteredPreviewRect(Rect(100, 100, 140, 120), 163, 163, 4.0);
  EXPECT_EQ(p.Dest, Bounds(1, 41, 160, 80));
  EXPECT_EQ(p.ToPanel(TPoint{100, 100}), (TPoint{1, 41}));
  EXPECT_EQ(p.ToPanel(TPoint{140, 120}), (TPoint{161, 121}));
  EXPECT_EQ(p.ToImage(TPoint{1, 41}), (TPoint{100, 100}));
  EXPECT_EQ(p.ToImage(TPoint{4, 44}), (TPoint{100, 100}));
  EXPECT_EQ(p.ToImage(TPoint{5, 45}), (TPoint{101, 101}));
  EXPECT_EQ(p.ToImage(TPoint{0, 0}), (TPoint{99, 89}));  // floor toward minus infinity
  // Zoom beyond 5 is clamped; a wider destination starts left of the panel (div truncates).
  const TRedEyePreviewPlacement big = CenteredPreviewRect(Rect(0, 0, 40, 20), 163, 163, 10.0);
  EXPECT_EQ(big.Dest, Bounds(-18, 31, 200, 100));
  // The one-pixel undo rectangle of a click that selected nothing.
  EXPECT_EQ(CenteredPreviewRect(Rect(5, 5, 6, 6), 163, 163, 0.1).Dest, Bounds(81, 81, 1, 1));
}

TEST(RedEyePreview, AntsPatternMovesDiagonally) {
  // Row 0 is 0x0F: four black, then four white; row 1 is 0x1E.
  for (int32_t x = 0; x < 8; ++x) {
    EXPECT_EQ(AntsPixelIsWhite(x, 0, 0), x >= 4) << x;
    EXPECT_EQ(AntsPixelIsWhite(x, 1, 0), x >= 3 && x <= 6) << x;
  }
  for (int32_t phase = 0; phase < 8; ++phase)
    for (int32_t y = -9; y < 9; ++y)
      for (int32_t x = -9; x < 9; ++x) {
        ASSERT_EQ(AntsPixelIsWhite(x + 1, y + 1, (phase + 1) % 8), AntsPixelIsWhite(x, y, phase));
        ASSERT_EQ(AntsPixelIsWhite(x + 8, y, phase), AntsPixelIsWhite(x, y, phase));
      }
}

TEST(RedEyePreview, OutlineIsOnePanelPixelWide) {
  const TWKPixelSet region(Rect(10, 10, 14, 14));
  TRedEyePreviewPlacement p;
  p.Source = Rect(8, 8, 16, 16);
  p.Dest = Rect(0, 0, 32, 32);
  const TWKPixelSet outline = PreviewOutline(region, p);
  EXPECT_EQ(outline.BoundingBox(), Rect(8, 8, 24, 24));
  EXPECT_EQ(outline.Count(), 16 * 4 - 4);
  EXPECT_TRUE(outline.Contains(23, 15));
  EXPECT_FALSE(outline.Contains(9, 9));
}

namespace {

// The nearest-neighbour source of a panel pixel for a stretch of seen onto the panel.
TPoint StretchSource(const TRect& seen, const TRect& panel, int32_t x, int32_t y) {
  const double sx = static_cast<double>(seen.Width()) / panel.Width();
  const double sy = static_cast<double>(seen.Height()) / panel.Height();
  return TPoint{seen.Left + static_cast<int32_t>((x - panel.Left) * sx),
                seen.Top + static_cast<int32_t>((y - panel.Top) * sy)};
}

}  // namespace

TEST(RedEyePreview, SelectionPreviewShowsTheEyeBeforeWithAnts) {
  TTestImage backup(60, 40);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x) backup.Set(x, y, BGR(60 + x, 40 + y, 30));
  backup.Disc(6, 6, 4, BGR(220, 30, 30));  // near the corner: the panel sees past the image
  TTestImage current = backup;
  TRedEyeSelection sel;
  TRedEyeParams params;
  params.ClickPoint = {6, 6};
  const TRect undo = RedEyeUndoRect(ApplyRedEyeCorrection(backup.Pixels, current.Pixels, params, sel),
                                    params.ClickPoint);
  ASSERT_FALSE(undo.IsEmpty());
  TTestImage before(undo.Width(), undo.Height());
  before.Pixels.Left = undo.Left;
  before.Pixels.Top = undo.Top;
  CopyPixels(before.Pixels, undo.Left, undo.Top, undo, backup.Pixels, undo);

  TTestImage section(80, 70, BGR(1, 2, 3));
  const double zoom = ComputePreviewZoom(sel.SelectionBounds(), 80, 70, 1.0);
  ASSERT_TRUE(RenderSelectionPreview(section.Pixels, current.Pixels, before.Pixels, sel.Region(),
                                     undo, zoom, 3));
  const TRedEyePreviewPlacement p = CenteredPreviewRect(undo, 80, 70, zoom);
  const TWKPixelSet outline = PreviewOutline(sel.Region(), p);
  ASSERT_FALSE(outline.IsEmpty());
  const TRect panel = section.Pixels.BoundsRect();
  const TRect seen = p.ToImage(panel);
  int black = 0;
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 80; ++x) {
      TBGRPixel expected;
      if (outline.Contains(x, y)) {
        expected = AntsPixelIsWhite(x, y, 3) ? BGR(255, 255, 255) : BGR(0, 0, 0);
      } else {
        const TPoint s = StretchSource(seen, panel, x, y);
        if (backup.Pixels.BoundsRect().Contains(s))
          expected = backup.At(s.X, s.Y);  // the uncorrected eye
        else
          ++black;
      }
      ASSERT_EQ(section.At(x, y), expected) << x << "," << y;
    }
  EXPECT_GT(black, 0);
}

TEST(RedEyePreview, CorrectionPreviewShowsTheCurrentImageClipped) {
  TTestImage current(50, 50);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 50; ++x) current.Set(x, y, BGR(x * 5, y * 5, 7));
  TTestImage section(40, 40, BGR(9, 9, 9));
  const TRect undo = Rect(40, 40, 50, 50);  // at the corner: part of the panel sees nothing
  ASSERT_TRUE(RenderCorrectionPreview(section.Pixels, current.Pixels, undo, 2.0));
  const TRedEyePreviewPlacement p = CenteredPreviewRect(undo, 40, 40, 2.0);
  EXPECT_EQ(p.Dest, Bounds(10, 10, 20, 20));
  const TRect visible = IntersectRect(p.ToImage(section.Pixels.BoundsRect()), current.Pixels.BoundsRect());
  EXPECT_EQ(visible, Rect(35, 35, 50, 50));
  const TRect dest = p.ToPanel(visible);
  EXPECT_EQ(dest, Rect(0, 0, 30, 30));
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      const TBGRPixel expected =
          dest.Contains(x, y) ? current.At(35 + x / 2, 35 + y / 2) : BGR(0, 0, 0);
      ASSERT_EQ(section.At(x, y), expected) << x << "," << y;
    }
  // Nothing but 24-bit surfaces.
  TWKPixels none;
  EXPECT_FALSE(RenderCorrectionPreview(none, current.Pixels, undo, 2.0));
}
