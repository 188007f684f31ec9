#include "platform/paint/QtPixelPainter.h"

namespace {

QImage::Format QtFormat(TWKPixelFormat format) {
  if (format == FormatBGR24) return QImage::Format_BGR888;
  if (format == FormatBGRA32) return QImage::Format_ARGB32;  // B, G, R, A in memory
  return QImage::Format_Invalid;
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Runs draw(painter) on the device's active painter, or on one opened for the call.
template <class Draw>
bool WithPainter(IWKPaintDevice& device, Draw&& draw) {
  auto* qt = dynamic_cast<TQtPaintDevice*>(&device);
  if (!qt) return false;
  if (QPainter* painter = qt->Painter()) {
    if (!painter->isActive()) return false;
    painter->save();
    draw(*painter);
    painter->restore();
    return true;
  }
  QPainter painter;
  if (!qt->Device() || !painter.begin(qt->Device())) return false;
  draw(painter);
  return painter.end();
}

}  // namespace

QImage WrapPixels(const TWKPixels& pixels) {
  const QImage::Format format = QtFormat(pixels.PixelFormat);
  if (format == QImage::Format_Invalid || !pixels.Bits || pixels.Width < 1 || pixels.Height < 1)
    return QImage();
  return QImage(static_cast<const uchar*>(pixels.Bits), pixels.Width, pixels.Height,
                pixels.RowBytes, format);
}

bool TQtPixelPainter::Paint(IWKPaintDevice& device, const TWKPixels& pixels,
                            const TRect& destRect, const TRect* clipRect,
                            const TRect* sourceRect) {
  const QImage image = WrapPixels(pixels);
  if (image.isNull() || destRect.IsEmpty()) return false;
  // The image's pixel (0, 0) is image coordinate (Left, Top).
  const QRect source = sourceRect ? ToQRect(OffsetRect(*sourceRect, -pixels.Left, -pixels.Top))
                                  : image.rect();
  return WithPainter(device, [&](QPainter& painter) {
    if (clipRect) painter.setClipRect(ToQRect(*clipRect), Qt::IntersectClip);
    painter.drawImage(ToQRect(destRect), image, source);
  });
}

bool TQtPixelPainter::Print(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& rect) {
  const QImage image = WrapPixels(pixels);
  if (image.isNull() || rect.IsEmpty()) return false;
  return WithPainter(device, [&](QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(ToQRect(rect), image);
  });
}

std::unique_ptr<IWKSectionMemory> TQtPixelPainter::CreateSectionMemory(int32_t width,
                                                                       int32_t height,
                                                                       TWKPixelFormat format,
                                                                       IWKPaintDevice*) {
  const QImage::Format qtFormat = QtFormat(format);
  if (qtFormat == QImage::Format_Invalid) return nullptr;
  QImage image(width, height, qtFormat);
  if (image.isNull()) return nullptr;
  image.fill(0);
  return std::make_unique<TQtSectionMemory>(std::move(image));
}

void InstallQtPixelPainter() {
  static TQtPixelPainter painter;
  SetPixelPainter(&painter);
}
