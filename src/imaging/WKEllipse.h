// The ellipse inscribed in a rectangle, as pixels: those whose centres lie inside it.
#pragma once

#include <cstdint>

#include "imaging/WKTypes.h"

// The pixels [x0, x1) of row y whose centres lie inside the ellipse inscribed in rect (right and
// bottom exclusive); false when the row holds none.
bool EllipseRowSpan(const TRect& rect, int32_t y, int32_t& x0, int32_t& x1);
