#include "tools/framework/WKGraphicsToolControl.h"

#include "tools/framework/WKGraphicsTool.h"
#include "view/WKGraphicsView.h"

TWKGraphicsToolControl::TWKGraphicsToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : Tool_(&tool), View_(view) {
  TWKGraphicsToolControl::InitFlags();
  tool.AddControl(this);
}

TWKGraphicsToolControl::~TWKGraphicsToolControl() {
  if (Tool_ != nullptr) Tool_->RemoveControl(this);
}

void TWKGraphicsToolControl::InitFlags() { Flags = kInitialFlags; }

void TWKGraphicsToolControl::SetVisible(bool value) {
  if (value == Visible()) return;
  InvalidateOverlay();  // the area it covered
  TWKViewObject::SetVisible(value);
  InvalidateOverlay();
}

void TWKGraphicsToolControl::Activate() {
  Active_ = true;
  if (View_.MouseInside()) MouseEnter();
  InvalidateOverlay();
  RefreshCursor();
}

void TWKGraphicsToolControl::Deactivate() {
  Active_ = false;
  InvalidateOverlay();
}

TPoint TWKGraphicsToolControl::CursorClientPos() const {
  const IWKViewWindow* window = View_.Window();
  if (window == nullptr) return TPoint{0, 0};
  return window->ScreenToClient(window->CursorPos());
}

void TWKGraphicsToolControl::InvalidateOverlay() {
  TRect rect;
  GetUpdateRect(View_.MapMode(), rect);
  if (!rect.IsEmpty()) View_.InvalidateRect(rect);
}

void TWKGraphicsToolControl::RefreshCursor() { View_.RefreshCursor(); }

TPoint TWKGraphicsToolControl::ClientToImage(TPoint point) const {
  return View_.MapMode().DocFromDev(point);
}
