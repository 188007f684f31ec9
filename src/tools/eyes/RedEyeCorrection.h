// Darkening of the selected pupil: red is lowered where it is strong against green and blue,
// green and blue are capped at the lowered red, and the result is blended by the coverage of
// the selection's softened edge.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "tools/eyes/RedEyeSelection.h"

// The brightness the darkening works with: 1..255 (0 and below count as 1).
int32_t CorrectionBrightness(int32_t brightness);

// The first value R' counting down from red for which brightness > red * (R' / h)^2, with
// h = max(1, green + blue). Exact integer form of the counting loop.
int32_t ReducedRed(int32_t red, int32_t green, int32_t blue, int32_t brightness);

// The pixel (blue, green, red) darkened with the given coverage 0..255.
TBGRPixel CorrectPixel(TBGRPixel pixel, int32_t coverage, int32_t brightness);

// Darkens the pixels of selection.SelectionBounds() within pixels (24 or 32 bits per pixel;
// other formats are left alone). Returns the rectangle that may have changed.
TRect CorrectRedEye(TWKPixels& pixels, const TRedEyeSelection& selection, int32_t brightness);

// The same darkening over any pixel set: the pixels of region and their one-pixel rim, by the
// coverage of region and keep together, leaving the pixels of keep as they are (a catch-light
// inside a pupil keeps its colour while the pupil round it is fully covered). Returns the
// rectangle that may have changed.
TRect CorrectRedEyeRegion(TWKPixels& pixels, const TWKPixelSet& region, const TWKPixelSet& keep,
                          int32_t brightness);
