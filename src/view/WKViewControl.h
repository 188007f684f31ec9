// Window controls that paint a list of view objects in layers, and the scrolling one whose
// scroll range follows the objects' extent. The platform window underneath is reached
// through IWKViewWindow; the logic here runs without it.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/WKTypes.h"
#include "view/WKMapMode.h"
#include "view/WKViewCanvas.h"
#include "view/WKViewObject.h"

// One scroll bar in the platform's terms: Max is the last unit of the range, the position
// runs from Min to Max - Page + 1.
struct TWKScrollBarInfo {
  int32_t Min = 0;
  int32_t Max = 0;
  int32_t Page = 0;
  int32_t Position = 0;
  int32_t TrackPosition = 0;
  friend bool operator==(const TWKScrollBarInfo&, const TWKScrollBarInfo&) = default;
};

enum class TWKScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, EndScroll };

// The platform window of a view control. Client coordinates start at (0, 0) in the client
// area's corner; screen coordinates are the desktop's.
class IWKViewWindow {
 public:
  virtual ~IWKViewWindow() = default;
  // False until the platform window exists.
  virtual bool Exists() const { return true; }
  // The whole control, scroll bars included.
  virtual TSize OuterSize() const = 0;
  // The area the view paints, without the visible scroll bars.
  virtual TSize ClientSize() const = 0;
  virtual int32_t VerticalScrollBarWidth() const = 0;
  virtual int32_t HorizontalScrollBarHeight() const = 0;
  virtual void SetScrollBar(bool horizontal, const TWKScrollBarInfo& info, bool redraw) = 0;
  virtual TWKScrollBarInfo GetScrollBar(bool horizontal) const = 0;
  // Marks the client rectangle (none: all of it) for repainting, without erasing.
  virtual void Invalidate(const TRect* rect) = 0;
  // Moves the window's pixels by (dx, dy) and marks the uncovered strips.
  virtual void ScrollPixels(int32_t dx, int32_t dy) = 0;
  // Paints what is marked now.
  virtual void Update() = 0;
  virtual TPoint ClientToScreen(TPoint point) const = 0;
  virtual TPoint ScreenToClient(TPoint point) const = 0;
  // The pointer in screen coordinates.
  virtual TPoint CursorPos() const = 0;
  // Puts the pointer where it is, so that the window sees a mouse move there.
  virtual void RepeatMouseMove() {}
  // Asks the view again which cursor to show.
  virtual void RefreshCursor() {}
  virtual void ShowCursor(int32_t cursor) {}
  virtual bool Focused() const { return false; }
  virtual void SetFocus() {}
  // Whether the program's main window is the active window.
  virtual bool MainWindowForeground() const { return false; }
  // The view hears MouseLeave when the pointer leaves.
  virtual void TrackMouseLeave() {}
};

class TWKViewControl {
 public:
  TWKViewControl();
  virtual ~TWKViewControl();
  TWKViewControl(const TWKViewControl&) = delete;
  TWKViewControl& operator=(const TWKViewControl&) = delete;

  TWKViewObjectList& Objects() { return Objects_; }
  const TWKViewObjectList& Objects() const { return Objects_; }
  TWKViewCanvas& Canvas() { return *Canvas_; }
  // The canvas's map mode: the zoom is its extent ratio, the scroll position its DevOrigin.
  TWKMapMode& MapMode() { return Canvas_->MapMode; }
  const TWKMapMode& MapMode() const { return Canvas_->MapMode; }

  // The platform's canvas (one that binds a drawing device); the map mode carries over.
  void SetCanvas(std::unique_ptr<TWKViewCanvas> canvas);
  void SetWindow(std::unique_ptr<IWKViewWindow> window);
  IWKViewWindow* Window() const { return Window_.get(); }
  TSize ClientSize() const;

  // The layered paint of the object list for one paint message.
  bool Paint(IWKPaintWindow& window);
  // Device (client) rectangle; nothing without a window.
  void InvalidateRect(const TRect& rect);
  void InvalidateAll();

 private:
  TWKViewObjectList Objects_;
  std::unique_ptr<TWKViewCanvas> Canvas_;
  std::unique_ptr<IWKViewWindow> Window_;
};

class TWKScrollViewControl : public TWKViewControl {
 public:
  int32_t LineStep = 10;

  // Union of the update rectangles of the visible objects that are not tool overlays.
  virtual void GetContentRect(TRect& rect);
  virtual void UpdateScrollRange();
  // The shift of DevOrigin that centres narrow content and keeps wide content in range, and
  // how far the content exceeds the control (negative: falls short), scroll bars counted.
  virtual void GetScrollInfo(int32_t& dx, int32_t& dy, int32_t& excessHeight, int32_t& excessWidth);
  virtual void SetScrollBars(int32_t excessWidth, int32_t excessHeight);

  void OffsetOrigin(int32_t dx, int32_t dy);
  // OffsetOrigin, the window's pixels move along, repaint now.
  void ScrollContent(int32_t dx, int32_t dy);
  void CenterOn(TPoint docPoint);
  void ScrollBy(int32_t dx, int32_t dy);
  // Limits a drag so that the content stays within the scroll range.
  void ClampScroll(int32_t& dx, int32_t& dy);
  // The control changed size.
  void Resized();
  // A scroll-bar message of the platform.
  void ScrollBarMessage(bool horizontal, TWKScrollCode code);
  bool InScrollMessage() const { return InScrollMessage_; }

 private:
  bool InScrollMessage_ = false;
};
