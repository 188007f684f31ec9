// What the image document and the image editor ask of a document's view. The view library's
// TWKGraphicsView implements it; documents never include the view library: a document makes
// its view, and an editor its hand tool, through the makers installed here, by the
// composition root or by a test (InstallGraphicsViews in view/WKGraphicsView.h). Without
// makers, documents have no view and editors no hand tool.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/WKInputCodes.h"
#include "imaging/WKTypes.h"

class TWKComponent;
class TWKDocumentView;
class TWKGraphicsDocument;
class TWKGraphicsEditor;
class TWKGraphicsView;

class IWKImageView {
 public:
  virtual ~IWKImageView() = default;
  // The view itself, for the tools and the user interface, which know the view library.
  virtual TWKGraphicsView& GraphicsView() = 0;
  // Repaints the view's area of an image rectangle (edges rounded outwards).
  virtual void InvalidateImageRect(const TRect& rect) = 0;
  // The image layer takes the image's bounds; ShowImageLayer makes it visible.
  virtual void SetImageBounds(const TRect& bounds) = 0;
  virtual void ShowImageLayer() = 0;
  virtual void UpdateScrollRange() = 0;
  virtual void SetZoom(int32_t numerator, int32_t denominator) = 0;
  virtual int32_t ZoomNumerator() const = 0;
  virtual int32_t ZoomDenominator() const = 0;
  // The outer size of the view's window; zero while it has none.
  virtual TSize WindowSize() const = 0;
  // The wheel turned over a screen point: false when the point is outside the window or nothing
  // took it.
  virtual bool WheelAtScreen(TWKShiftState shift, int32_t direction, TPoint screenPoint) = 0;
  // Where an image point lies on the screen; false without a window.
  virtual bool ImageToScreen(TPoint imagePoint, TPoint& screenPoint) const = 0;
};

struct TWKViewMakers {
  // The view of a new image document (a TWKDocumentView that is an IWKImageView).
  std::function<std::unique_ptr<TWKDocumentView>(TWKGraphicsDocument&)> View;
  // The hand tool of a new image editor, owned by the editor's application; none without one.
  std::function<TWKComponent*(TWKGraphicsEditor&)> ScrollTool;
};

void SetViewMakers(TWKViewMakers makers);
const TWKViewMakers& ViewMakers();
