// The stamp shapes of the pupil tools: a round pupil and a cat's lens-shaped slit, full strength
// 204 of 255 inside and fading linearly over the outer fifth of the size.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"

// 204 for d ≤ radius − f, ClampRound((radius − d) / f × 204) between, 0 from radius on, with
// the band f = max(1, 0.2 × size).
uint8_t SpotFalloff(double radius, double size, double distance);

// The round pupil: bounds BrushRect((0, 0), size), r = size div 2, each pixel
// SpotFalloff(r, r, its distance from the centre).
bool BuildRoundPupilMask(TWKPixelMask& mask, int32_t size);

// The slit: the intersection of two discs of radius c = √(s² + r²) around P = (r − s, r) turned
// by rotation degrees about the centre and its mirror image, s = 3r(1 − thickness / 100); each
// pixel SpotFalloff(c, r, the larger distance to the two). Thickness 100 gives the round
// pupil; rotation 0 a vertical slit from the top to the bottom of the square.
bool BuildSlitPupilMask(TWKPixelMask& mask, int32_t size, int32_t thickness, int32_t rotation);
