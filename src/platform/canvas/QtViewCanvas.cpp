#include "platform/canvas/QtViewCanvas.h"

QRegion ToQRegion(const TWKRegion& region) {
  QRegion result;
  for (const TRect& r : region.Rects()) result += QRect(r.Left, r.Top, r.Width(), r.Height());
  return result;
}

TWKRegion FromQRegion(const QRegion& region) {
  TWKRegion result;
  for (const QRect& r : region) result.Add(Bounds(r.x(), r.y(), r.width(), r.height()));
  return result;
}

void TQtViewCanvas::DeviceBegin() {
  Image_ = QImage(Bits(), BitmapWidth(), BitmapHeight(), RowBytes(), QImage::Format_BGR888);
  Painter_.begin(&Image_);
}

void TQtViewCanvas::DeviceEnd() {
  if (Painter_.isActive()) Painter_.end();
  Image_ = QImage();
}

void TQtViewCanvas::ClipChanged() {
  if (!Painter_.isActive()) return;
  // An empty region would switch clipping off; a null rectangle clips everything away.
  if (ClipRegion().IsEmpty())
    Painter_.setClipRect(QRect(0, 0, 0, 0));
  else
    Painter_.setClipRegion(ToQRegion(ClipRegion()));
}

void PresentCanvas(QPainter& painter, const TWKViewCanvas& canvas, const TRect& box) {
  if (box.IsEmpty()) return;
  const QImage image(canvas.Bits(), canvas.BitmapWidth(), canvas.BitmapHeight(), canvas.RowBytes(),
                     QImage::Format_BGR888);
  const QRect r(box.Left, box.Top, box.Width(), box.Height());
  painter.drawImage(r.topLeft(), image, r);
}

void TQtWidgetPaintWindow::Present(const TWKViewCanvas& canvas, const TRect& box) {
  QPainter painter(&Widget_);
  PresentCanvas(painter, canvas, box);
}
