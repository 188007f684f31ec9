// The largest upright rectangle without blank corners in a turned image: grown from the centre
// over the inside pixels the turn recorded per row.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKFreeRotate.h"
#include "imaging/WKTypes.h"

// From c = (W div 2, H div 2): the rectangle first reaches along the centre column and row to
// the nearest outside pixels, then its sides move in while they touch an outside pixel (until
// it is down to a pixel's height or width), then out while the next row or column beyond them is
// all inside. Empty when the result would still hold an outside pixel. rows holds one record
// per row of a width-wide canvas; a row whose inside pixels are not one run counts as outside
// altogether.
TRect FindAutoCropRect(const std::vector<TRotatedRow>& rows, int32_t width);
