// Draws the core's pixel memory with QPainter, reading the pixels in place.
#pragma once

#include "imaging/WKBitmap.h"

class TQtPixelPainter : public IWKPixelPainter {
 public:
  bool Paint(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& destRect,
             const TRect* clipRect, const TRect* sourceRect) override;
  bool Print(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& rect) override;
};
