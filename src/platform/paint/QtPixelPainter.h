// Paint and Print of the imaging core's pixel memory with QPainter, without copying pixels.
#pragma once

#include <QImage>
#include <QPainter>

#include "imaging/WKBitmap.h"

// A drawing target for TWKBitmap::Paint / Print and TDIBSection::Draw: either a painter that is
// already active (a widget's paint event, a printer being printed) or a paint device on which a
// painter is opened for the one call (an image, a PDF writer, a printer).
class TQtPaintDevice : public IWKPaintDevice {
 public:
  explicit TQtPaintDevice(QPainter& painter) : Painter_(&painter) {}
  explicit TQtPaintDevice(QPaintDevice& device) : Device_(&device) {}

  QPainter* Painter() const { return Painter_; }
  QPaintDevice* Device() const { return Device_; }

 private:
  QPainter* Painter_ = nullptr;
  QPaintDevice* Device_ = nullptr;
};

// Memory of a TDIBSection: a QImage owned by the section.
class TQtSectionMemory : public IWKSectionMemory {
 public:
  explicit TQtSectionMemory(QImage image) : Image_(std::move(image)) {}
  uint8_t* Bits() const override { return const_cast<QImage&>(Image_).bits(); }
  int32_t RowBytes() const override { return static_cast<int32_t>(Image_.bytesPerLine()); }
  QImage& Image() { return Image_; }

 private:
  QImage Image_;
};

class TQtPixelPainter : public IWKPixelPainter {
 public:
  bool Paint(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& destRect,
             const TRect* clipRect, const TRect* sourceRect) override;
  bool Print(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& rect) override;
  std::unique_ptr<IWKSectionMemory> CreateSectionMemory(int32_t width, int32_t height,
                                                        TWKPixelFormat format,
                                                        IWKPaintDevice* reference) override;
};

// Installs one process-wide TQtPixelPainter (idempotent). Call once at start-up.
void InstallQtPixelPainter();

// A read-only QImage laid over the pixels (Format_BGR888 or Format_ARGB32, their own row
// bytes); a null image for other formats or no storage. Valid while the pixels are.
QImage WrapPixels(const TWKPixels& pixels);
