#include "platform/canvas/QtPixelPainter.h"

#include "platform/canvas/QtPaintDevice.h"

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

}  // namespace

bool TQtPixelPainter::Paint(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& destRect,
                            const TRect* clipRect, const TRect* sourceRect) {
  QPainter* painter = TQtPaintDevice::PainterOf(device);
  const QImage image = ImageOver(pixels);
  if (painter == nullptr || image.isNull() || destRect.IsEmpty()) return false;
  // Source rectangles are in image coordinates; the image starts at the pixels' corner.
  const TRect source = sourceRect ? OffsetRect(*sourceRect, -pixels.Left, -pixels.Top)
                                  : Rect(0, 0, pixels.Width, pixels.Height);
  if (IntersectRect(source, Rect(0, 0, pixels.Width, pixels.Height)) != source) return false;
  painter->save();
  if (clipRect) painter->setClipRect(ToQRect(*clipRect), Qt::IntersectClip);
  painter->drawImage(ToQRect(destRect), image, ToQRect(source));
  painter->restore();
  return true;
}

bool TQtPixelPainter::Print(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& rect) {
  QPainter* painter = TQtPaintDevice::PainterOf(device);
  const QImage image = ImageOver(pixels);
  if (painter == nullptr || image.isNull() || rect.IsEmpty()) return false;
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter->drawImage(ToQRect(rect), image);
  painter->restore();
  return true;
}
