#include "view/WKScrollTool.h"

#include <algorithm>

#include "documents/WKGraphicsEditor.h"
#include "view/WKGraphicsView.h"

// ---- TWKScrollToolControl

TWKScrollToolControl::TWKScrollToolControl(TWKScrollTool* tool, TWKGraphicsView& view)
    : Tool_(tool), View_(view) {
  TWKScrollToolControl::InitFlags();
  if (Tool_) Tool_->AddControl(this);
}

TWKScrollToolControl::~TWKScrollToolControl() {
  if (Tool_) Tool_->RemoveControl(this);
}

void TWKScrollToolControl::InitFlags() { Flags = vofForeground | vofToolOverlay; }

void TWKScrollToolControl::Activate() {
  Active_ = true;
  View_.RefreshCursor();
}

void TWKScrollToolControl::Deactivate() {
  Dragging_ = false;
  Active_ = false;
}

bool TWKScrollToolControl::GetCursor(TWKShiftState, TPoint, int32_t& cursor) {
  if (!Active_) return false;
  cursor = crHandCursor;
  return true;
}

bool TWKScrollToolControl::KeyDown(uint16_t key, TWKShiftState) {
  if (Tool_ == nullptr) return false;
  TWKGraphicsEditor& editor = Tool_->Editor();
  if (key == VK_SPACE && !Active_) {
    PreviousTool_ = editor.CurrentTool();
    editor.SetCurrentTool(Tool_);
    return true;
  }
  if (key == VK_OEM_PLUS) editor.ZoomInClick();
  if (key == VK_OEM_MINUS) editor.ZoomOutClick();
  return false;
}

bool TWKScrollToolControl::KeyUp(uint16_t key, TWKShiftState) {
  if (Tool_ == nullptr || key != VK_SPACE || !Active_) return false;
  IWKGraphicsTool* previous = PreviousTool_;
  PreviousTool_ = nullptr;
  Tool_->Editor().SetCurrentTool(previous);
  return true;
}

bool TWKScrollToolControl::MouseDown(int32_t button, TWKShiftState, TPoint point) {
  if (button != mbLeft || !Active_) return false;
  Dragging_ = true;
  Last_ = point;
  return true;
}

bool TWKScrollToolControl::MouseMove(TWKShiftState, TPoint point) {
  if (!Active_ || !Dragging_) return false;
  int32_t dx = point.X - Last_.X, dy = point.Y - Last_.Y;
  View_.ClampScroll(dx, dy);
  if (dx != 0 || dy != 0) View_.ScrollBy(dx, dy);
  Last_.X += dx;
  Last_.Y += dy;
  return true;
}

bool TWKScrollToolControl::MouseUp(int32_t button, TWKShiftState, TPoint) {
  if (button != mbLeft || !Active_ || !Dragging_) return false;
  Dragging_ = false;
  return true;
}

// ---- TWKScrollTool

TWKScrollTool::TWKScrollTool(TWKComponent* owner, TWKGraphicsEditor& editor)
    : TWKModuleWithControls(owner), Editor_(editor) {
  Name = "ScrollTool";
}

TWKScrollTool::~TWKScrollTool() {
  for (TWKScrollToolControl* control : Controls_) control->DetachTool();
}

void TWKScrollTool::RemoveControl(TWKScrollToolControl* control) {
  Controls_.erase(std::remove(Controls_.begin(), Controls_.end(), control), Controls_.end());
}

void TWKScrollTool::Activate() {
  for (TWKScrollToolControl* control : std::vector(Controls_)) control->Activate();
  Active_ = true;
}

void TWKScrollTool::Deactivate() {
  for (TWKScrollToolControl* control : std::vector(Controls_)) control->Deactivate();
  Active_ = false;
}

void TWKScrollTool::CreateControl(TWKGraphicsView& view) {
  view.Objects().Add(std::make_unique<TWKScrollToolControl>(this, view));
}
