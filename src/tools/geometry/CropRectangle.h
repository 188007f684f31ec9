// The rules of the crop rectangle: its eight handles, what a drag does to it, the side ratio it
// keeps and the sizes typed for it. Rectangles exclude their right and bottom edges.
#pragma once

#include <cstdint>
#include <optional>

#include "imaging/WKTypes.h"
#include "tools/geometry/SideRatio.h"

// Handle codes: what lies under the pointer.
enum : int32_t {
  chOutside = 0,
  chInside = 3,  // moves the rectangle
  chTop = 4,
  chTopRight = 5,
  chRight = 6,
  chBottomRight = 7,
  chBottom = 8,
  chBottomLeft = 9,
  chLeft = 10,
  chTopLeft = 11,
};

// The point of a handle: corners, and the middles of the sides (halves truncated toward zero).
TPoint CropHandlePoint(const TRect& r, int32_t handle);

// In screen coordinates: the first 9 × 9 square about a handle point that holds p, tried in the
// order 11, 4, 5, 6, 9, 8, 7, 10; else chInside inside r, else chOutside.
int32_t CropHitTest(const TRect& r, TPoint p);

// The ratio's constraint for a drag on handle (nothing for a free ratio or another handle).
// Handles 4, 5, 7, 8, 9, 11 trim the height to whole ratio units (4, 5, 11 keep the bottom, the
// others the top) and take the width from it (9 and 11 keep the right edge, the others the left);
// handles 6 and 10 trim the width (6 keeps the left, 10 the right) and take the height from it,
// keeping the bottom.
TRect ConstrainCropRect(int32_t handle, const TRect& r, TSideRatio ratio);

// A new rectangle drawn from start to point: the corner handle of the drag's direction takes
// the ratio; start and point on one row or column give the empty rectangle. None when it
// reaches outside image.
std::optional<TRect> DrawnCropRect(TPoint start, TPoint point, TSideRatio ratio,
                                   const TRect& image);

// The rectangle start after dragging handle by (dx, dy): chInside moves it and pushes it back
// into image whole; the other handles move their edges, then the ratio applies. None when the
// result reaches outside image or has no pixel inside it (an inverted rectangle).
std::optional<TRect> DraggedCropRect(int32_t handle, const TRect& start, TPoint delta,
                                     TSideRatio ratio, const TRect& image);

// A width (vertical: height) typed for r, image the extent on that axis: the far edge moves to
// give it, or, where that would pass the image's end, the rectangle ends at the image's end.
// None when value exceeds the image (the edit then shows r's size again); r when value < 1.
std::optional<TRect> CropRectWithSide(const TRect& r, int32_t value, int32_t extent, bool vertical);
