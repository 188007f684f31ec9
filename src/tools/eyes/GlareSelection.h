// The gleam (catch-light) of the eye: an elliptical pixel set dragged on the image and its
// radial brightening toward white.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "tools/eyes/WKPixelSet.h"

class TGlareSelection {
 public:
  // The ellipse inscribed in rect ∩ source's bounds (an ellipse reaching past the image is
  // squeezed into the clipped rectangle, not cut); empty for an empty rectangle.
  void Select(const TWKPixels& source, const TRect& rect);
  const TWKPixelSet& Region() const { return Region_; }
  // The set's bounding box grown by one pixel, within the source; empty for an empty set.
  TRect SelectionBounds() const;

 private:
  TWKPixelSet Region_;
  TRect SourceBounds_;
};

// The gleam's rectangle for a drag from start to end at a scale of size / 128: the corner
// C = trunc(start + (end − start) × size / 128) and its mirror 2 × start − C, normalised.
TRect GleamRect(TPoint start, TPoint end, int32_t size);

// Moves each pixel of the set toward white by the share min(1, brightness × t / 255), t
// falling from 1 at the centre of SelectionBounds to 1/6 at the rim: C ← C + trunc((255 − C) × k).
// A bounds one pixel wide or high drops that axis from the distance.
void ApplyGleamPixels(TWKPixels& pixels, const TGlareSelection& selection, int32_t brightness);
