// A tool's presence on one image view: receives the view's input while the tool is current
// and draws the tool's overlay in the foreground layer.
#pragma once

#include <cstdint>

#include "view/WKViewInput.h"
#include "view/WKViewObject.h"

class TWKGraphicsTool;
class TWKGraphicsView;

class TWKGraphicsToolControl : public TWKViewObject, public IWKViewInputHandler {
 public:
  // Joins the tool's control list; the view's object list owns the control (CreateControl).
  TWKGraphicsToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);
  ~TWKGraphicsToolControl() override;

  // Foreground layer, tool overlay, hidden.
  static constexpr uint8_t kInitialFlags = vofForeground | vofToolOverlay;

  void SetVisible(bool value) override;
  void InitFlags() override;

  virtual void Init() {}
  virtual void Activate();
  virtual void Deactivate();

  // None once the tool has gone (at shut-down the views may outlive the tools).
  TWKGraphicsTool* Tool() const { return Tool_; }
  TWKGraphicsView& View() const { return View_; }
  bool Active() const { return Active_; }

  // The pointer in the view's client coordinates.
  TPoint CursorClientPos() const;
  // Repaints the control's update rectangle without erasing.
  void InvalidateOverlay();
  void RefreshCursor();
  // The view point in image coordinates.
  TPoint ClientToImage(TPoint point) const;

 private:
  friend class TWKGraphicsTool;
  TWKGraphicsTool* Tool_;
  TWKGraphicsView& View_;
  bool Active_ = false;
};
