// The text tool's pixel rules: the text mask stretched to the box, the text blended into the
// image through it in one colour or as the inverse of the picture, and the box's handles.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"

// How the text is coloured where its mask covers the picture.
struct TTextPaint {
  // 0: Color; 1: the inverse of the pixel under the text.
  int32_t ColorMode = 0;
  // 0x00BBGGRR.
  uint32_t Color = 0;
  // In the inverse mode every channel becomes 0 (from 128 up) or 255.
  bool MaxInverse = false;
};

// fitted := source stretched to width × height by nearest pixel (rows and columns dropped or
// repeated), 24-bit at (0, 0). An empty source or size gives an empty fitted mask.
bool FitTextMask(const TWKPixels& source, int32_t width, int32_t height, TWKPixelBuffer& fitted);

// The colour BlendText paints over pixel p (blue, green, red).
TBGRPixel TextColorOver(const TTextPaint& paint, TBGRPixel p);

// Every image pixel of box (image coordinates, may reach past the image) gets p + ⌊(c − p) × m /
// 256⌋ per channel, m the blue byte of fitted at the pixel's place in the box (mirrored
// left-right and top-bottom when asked), c the paint's colour over p; m = 0 keeps p, 255 writes
// c. fitted must be the box's size; nothing happens otherwise.
void BlendTextMask(TWKPixels& image, const TWKPixels& fitted, const TRect& box, bool mirroredX,
                   bool mirroredY, const TTextPaint& paint);

// Handle codes of the text box: 0 outside, 3 inside, 4 top, 5 top-right, 6 right,
// 7 bottom-right, 8 bottom, 9 bottom-left, 10 left, 11 top-left.
enum : int32_t { thNone = 0, thInside = 3, thTop = 4, thTopRight, thRight, thBottomRight, thBottom,
                 thBottomLeft, thLeft, thTopLeft };

// The centre of a handle on the box's screen rectangle.
TPoint TextHandlePoint(const TRect& screenBox, int32_t code);
// The 9 × 9 handle squares tried from 4 to 11, then the box itself.
int32_t TextHandleHitTest(const TRect& screenBox, TPoint point);

// Which edges a handle drags.
struct TTextEdges {
  bool Left = false, Top = false, Right = false, Bottom = false;
};
TTextEdges TextHandleEdges(int32_t code);

// The box at drag start with the handle moved by (dx, dy), normalised.
TRect MoveTextBox(const TRect& start, int32_t code, int32_t dx, int32_t dy);
