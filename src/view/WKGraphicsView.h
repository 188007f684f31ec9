// The image view: one per image document. Shows the current image zoomed and scrolled,
// offers every input event to the tool controls placed on it (the topmost first) and feeds
// the status-bar read-outs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "documents/WKDocument.h"
#include "documents/WKImageView.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKColorProfile.h"
#include "view/WKViewControl.h"
#include "view/WKViewInput.h"

class TWKGraphicsDocument;
class TWKGraphicsView;

// Draws the document's current image as the view's bottom, opaque layer, colour-managed: an
// image whose profile renders unlike the monitor's is converted as it is painted, so only the
// repainted area is converted and the document's pixels keep their own values.
class TWKGraphicDocumentView : public TWKViewObject {
 public:
  explicit TWKGraphicDocumentView(TWKGraphicsDocument& document);
  void InitFlags() override;
  void PaintBackground(TWKViewCanvas& canvas) override;
  TWKGraphicsDocument& Document() const { return Document_; }
  // The conversion the next paint uses; null when the image is shown as it is.
  const TWKDisplayTransform* DisplayTransform();

 private:
  TWKGraphicsDocument& Document_;
  TWKDisplayTransform Display_;
};

// Installs the image view and the hand tool as what every image document and editor make
// (documents/WKImageView.h). The composition root calls it at start-up; so do tests.
void InstallGraphicsViews();

// Nearest-neighbour drawing of image pixels onto the canvas bitmap through the map mode, so
// that every device pixel shows the image pixel DocFromDev names; only inside clip. With a
// display transform every painted row is converted for the monitor.
void PaintImagePixels(const TWKPixels& image, const TWKMapMode& mapMode, TWKPixels& target,
                      const TRect& clip, const TWKDisplayTransform* display = nullptr);

class TWKGraphicsView : public TWKScrollViewControl,
                        public TWKDocumentView,
                        public IWKImageView,
                        public IWKDocumentObserver {
 public:
  explicit TWKGraphicsView(TWKGraphicsDocument& document);
  ~TWKGraphicsView() override;

  // The platform layer installs the maker of the window under every new view.
  using TWindowFactory = std::function<std::unique_ptr<IWKViewWindow>(TWKGraphicsView&)>;
  static void SetWindowFactory(TWindowFactory factory);
  static bool HasWindowFactory();

  TWKGraphicsDocument& Document() const { return Document_; }
  TWKGraphicDocumentView* DocumentView() const { return DocumentView_; }

  // What the document and the editor ask of their view.
  TWKGraphicsView& GraphicsView() override { return *this; }
  void InvalidateImageRect(const TRect& rect) override;
  void SetImageBounds(const TRect& bounds) override;
  void ShowImageLayer() override;
  void UpdateScrollRange() override;
  void SetZoom(int32_t numerator, int32_t denominator) override;
  int32_t ZoomNumerator() const override { return MapMode().DevExtent.X; }
  int32_t ZoomDenominator() const override { return MapMode().DocExtent.X; }
  TSize WindowSize() const override;
  bool WheelAtScreen(TWKShiftState shift, int32_t direction, TPoint screenPoint) override;
  bool ImageToScreen(TPoint imagePoint, TPoint& screenPoint) const override;
  // Sign of floor-1000 ratios compared by the rounding multiply-divide.
  int32_t CompareZoom(int32_t numerator, int32_t denominator) const;
  void RefreshCursor();
  // The current image's pixel; black outside the image.
  TBGRPixel PixelAt(TPoint docPoint) const;
  bool InsideImage(TPoint docPoint) const;

  // Input from the platform, in client coordinates.
  void MouseDown(int32_t button, TWKShiftState shift, TPoint point);
  void MouseMove(TWKShiftState shift, TPoint point);
  void MouseUp(int32_t button, TWKShiftState shift, TPoint point);
  bool KeyDown(uint16_t key, TWKShiftState shift);
  bool KeyUp(uint16_t key, TWKShiftState shift);
  // Offered to the controls; when none takes it, the view scrolls (shift: sideways).
  bool MouseWheel(TWKShiftState shift, int32_t direction, TPoint point);
  // The cursor number for the point.
  int32_t GetCursor(TWKShiftState shift, TPoint point);
  void MouseEnter();
  void MouseLeave();
  bool MouseInside() const { return MouseInside_; }
  // Keys the view takes as ordinary keys rather than dialog navigation.
  static bool WantsKey(uint16_t key);

  // The tool controls, bottom first.
  std::vector<IWKViewInputHandler*> ToolControls() const;

  void DocumentLoaded(TWKDocument& document) override;
  void DocumentClosed(TWKDocument& document) override {}

 private:
  template <class F>
  bool Offer(F&& f) const;
  void ShowReadouts(TPoint point);
  void RecordMouse(const char* prefix, TPoint point);

  TWKGraphicsDocument& Document_;
  TWKGraphicDocumentView* DocumentView_ = nullptr;
  bool MouseInside_ = false;
  bool ButtonDown_ = false;
  TPoint LastRecorded_{INT32_MIN, INT32_MIN};
};
