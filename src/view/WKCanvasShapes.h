// Outlines drawn straight into a view canvas's off-screen bitmap, inside its clip region: the
// ellipses of the brush outline and the gleam's drag, and the frame of a dragged rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"

class TWKViewCanvas;

// Pixels [X0, X1) of row Y.
struct TWKPixelRun {
  int32_t Y = 0;
  int32_t X0 = 0;
  int32_t X1 = 0;
  friend bool operator==(const TWKPixelRun&, const TWKPixelRun&) = default;
};

// The one-pixel outline of the ellipse inscribed in rect: the pixels of the filled ellipse
// (pixel centres inside it, every row at least one pixel) that have a four-neighbour outside
// it, each pixel once, row by row. Empty for an empty rect.
std::vector<TWKPixelRun> EllipseOutline(const TRect& rect);

// Inverts the outline's pixels (drawing it twice leaves the canvas as it was).
void InvertEllipse(TWKViewCanvas& canvas, const TRect& rect);
// Paints the outline in colour; dotted: only every other pair of pixels along the rows.
void DrawEllipse(TWKViewCanvas& canvas, const TRect& rect, TBGRPixel colour, bool dotted);

// The one-pixel border of rect, each pixel once, row by row; empty for an empty rect.
std::vector<TWKPixelRun> RectangleOutline(const TRect& rect);
void DrawRectangle(TWKViewCanvas& canvas, const TRect& rect, TBGRPixel colour, bool dotted);
// Paints runs of canvas pixels in colour, dotted as DrawEllipse.
void DrawRuns(TWKViewCanvas& canvas, const std::vector<TWKPixelRun>& runs, TBGRPixel colour, bool dotted);
