#include "platform/canvas/QtPaintDevice.h"

QPainter* TQtPaintDevice::PainterOf(IWKPaintDevice& device) {
  auto* qt = dynamic_cast<TQtPaintDevice*>(&device);
  return qt ? qt->Painter : nullptr;
}

QImage ImageOver(const TWKPixels& pixels) {
  if (pixels.Bits == nullptr || pixels.Width <= 0 || pixels.Height <= 0) return QImage();
  // B, G, R(, A) bytes: BGR888 and, on a little-endian machine, ARGB32.
  const QImage::Format format = pixels.PixelFormat == FormatBGR24    ? QImage::Format_BGR888
                                : pixels.PixelFormat == FormatBGRA32 ? QImage::Format_ARGB32
                                                                     : QImage::Format_Invalid;
  if (format == QImage::Format_Invalid) return QImage();
  return QImage(pixels.Bits, pixels.Width, pixels.Height, pixels.RowBytes, format);
}
