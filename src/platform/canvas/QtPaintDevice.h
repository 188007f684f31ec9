// The core's paint device on the Qt side: a painter on a widget, an image or a printer.
#pragma once

#include <QPainter>

#include "imaging/WKBitmap.h"

class TQtPaintDevice : public IWKPaintDevice {
 public:
  explicit TQtPaintDevice(QPainter* painter = nullptr) : Painter(painter) {}
  QPainter* Painter;

  // The painter behind a core device; none when the device is not a Qt one.
  static QPainter* PainterOf(IWKPaintDevice& device);
};

// A QImage laid over the pixels' own memory (no copy); null for formats Qt cannot show.
QImage ImageOver(const TWKPixels& pixels);
