// The view canvas with its drawing canvas: a QPainter on a QImage over the off-screen bitmap,
// clipped as the canvas's clip region is.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include "platform/paint/QtPixelPainter.h"
#include "view/WKViewCanvas.h"

QRegion ToQRegion(const TWKRegion& region);
TWKRegion FromQRegion(const QRegion& region);

class TQtViewCanvas : public TWKViewCanvas {
 public:
  // Valid while painting.
  QPainter* Painter() { return Painting() ? &Painter_ : nullptr; }
  IWKPaintDevice* Device() override { return Painting() ? &Device_ : nullptr; }

 protected:
  void DeviceBegin() override;
  void DeviceEnd() override;
  void ClipChanged() override;

 private:
  QImage Image_;
  QPainter Painter_;
  TQtPaintDevice Device_{Painter_};
};

// The window side of a paint for a widget's paint event: the event's region, and the finished
// box drawn onto the widget.
class TQtWidgetPaintWindow : public IWKPaintWindow {
 public:
  TQtWidgetPaintWindow(QWidget& widget, const QRegion& region) : Widget_(widget), Region_(region) {}
  TWKRegion UpdateRegion() override { return FromQRegion(Region_); }
  void Present(const TWKViewCanvas& canvas, const TRect& box) override;
  void ValidateUpdate() override { Region_ = QRegion(); }

 private:
  QWidget& Widget_;
  QRegion Region_;
};

// Draws box of the canvas's off-screen bitmap at the same position of the painter's device.
void PresentCanvas(QPainter& painter, const TWKViewCanvas& canvas, const TRect& box);
