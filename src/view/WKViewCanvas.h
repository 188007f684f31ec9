// The paint target of one view while it paints: an off-screen 24-bit bitmap covering the
// update region's box, a clip region with a stack of saved states, and the layered paint.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKBitmap.h"
#include "view/WKMapMode.h"
#include "view/WKRegion.h"
#include "view/WKViewObject.h"

class TWKViewCanvas;

// The window side of a paint.
class IWKPaintWindow {
 public:
  virtual ~IWKPaintWindow() = default;
  // Client coordinates from (0, 0).
  virtual TWKRegion UpdateRegion() = 0;
  // Copies box from the canvas's off-screen bitmap to the window at the same position.
  virtual void Present(const TWKViewCanvas& canvas, const TRect& box) = 0;
  // The update region has been painted.
  virtual void ValidateUpdate() {}
};

struct TWKViewState {
  TWKViewObject* Object = nullptr;
  TWKRegion Clip;
};

class TWKViewCanvas {
 public:
  TWKMapMode MapMode;
  uint8_t BackgroundRed = 64;
  uint8_t BackgroundGreen = 64;
  uint8_t BackgroundBlue = 64;

  TWKViewCanvas() = default;
  virtual ~TWKViewCanvas() = default;
  TWKViewCanvas(const TWKViewCanvas&) = delete;
  TWKViewCanvas& operator=(const TWKViewCanvas&) = delete;

  // False, and nothing else happens, when the window's update region is empty.
  bool BeginPaint(IWKPaintWindow& window);
  void PushClip(TWKViewObject* viewObject);
  bool PopClip(TWKViewObject*& viewObject);
  void EndPaint();
  void FillBackground();
  // Begin, paint every object in layers, fill the rest, end. False when nothing needed painting.
  bool PaintLayered(IWKPaintWindow& window, const TWKViewObjectList& objects);

  const TWKRegion& ClipRegion() const { return Clip_; }
  bool ClipIntersects(const TRect& r) const { return Clip_.Intersects(r); }
  // An opaque background calls this after drawing, so that nothing below paints there.
  void ExcludeClipRect(const TRect& r);
  void IntersectClipRect(const TRect& r);
  int32_t ClipDepth() const { return Depth_; }

  bool Painting() const { return Window_ != nullptr; }
  const TRect& PaintBox() const { return Box_; }
  // The off-screen bitmap while painting: FormatBGR24, top-down rows of DIBRowBytes, client
  // coordinates from (0, 0).
  const TWKCanvasPixels& Pixels() const { return Pixels_; }
  // The drawing canvas bound to the off-screen bitmap (a platform device); none in the core.
  virtual IWKPaintDevice* Device() { return nullptr; }
  uint8_t* Bits() { return Bits_.data(); }
  const uint8_t* Bits() const { return Bits_.data(); }
  int32_t BitmapWidth() const { return Width_; }
  int32_t BitmapHeight() const { return Height_; }
  int32_t RowBytes() const { return RowBytes_; }
  uint8_t* PixelAddress(int32_t x, int32_t y) {
    return Bits_.data() + static_cast<ptrdiff_t>(y) * RowBytes_ + static_cast<ptrdiff_t>(x) * 3;
  }

  // Fills the part of r inside the clip region.
  void FillRect(const TRect& r, uint8_t red, uint8_t green, uint8_t blue);
  // The overlays of the tools, each only inside the clip region. Darkening takes every channel
  // c to c - (c × 92) / 256 (36 % darker); inverting takes it to 255 - c.
  void DarkenRect(const TRect& r);
  void InvertRect(const TRect& r);
  // The one-pixel outline of r inverted.
  void InvertFrame(const TRect& r);
  // A dotted outline of r: every other pixel of the outline inverted.
  void DrawFocusRect(const TRect& r);
  // The pixels of the line from a to b, both ends included, inverted.
  void InvertLine(TPoint a, TPoint b);

 protected:
  // Bind and unbind the platform's drawing canvas to the off-screen bitmap.
  virtual void DeviceBegin() {}
  virtual void DeviceEnd() {}
  virtual void ClipChanged() {}

 private:
  void SetClip(const TWKRegion& region);
  void PaintObjectLayers(const TWKViewObjectList& objects);
  void FillClipped(const TRect& r, uint8_t red, uint8_t green, uint8_t blue);
  // Calls op(row, count) for each row piece of r inside the clip region and the bitmap.
  template <class Op>
  void ForEachClippedRow(const TRect& r, Op op);
  void InvertPixel(int32_t x, int32_t y);

  IWKPaintWindow* Window_ = nullptr;
  TWKRegion Update_;
  TWKRegion Clip_;
  TRect Box_;
  std::vector<TWKViewState> States_;
  int32_t Depth_ = 0;
  std::vector<uint8_t> Bits_;
  TWKCanvasPixels Pixels_;
  int32_t Width_ = 0;
  int32_t Height_ = 0;
  int32_t RowBytes_ = 0;
};
