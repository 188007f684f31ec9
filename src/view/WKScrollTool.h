// The hand tool: drags the view, also reached for as long as the space bar is held. It has no
// button and no option frame.
#pragma once

#include <vector>

#include "documents/WKGraphicsToolHooks.h"
#include "framework/WKModule.h"
#include "view/WKViewInput.h"
#include "view/WKViewObject.h"

class TWKGraphicsEditor;
class TWKScrollTool;

class TWKScrollToolControl : public TWKViewObject, public IWKViewInputHandler {
 public:
  TWKScrollToolControl(TWKScrollTool* tool, TWKGraphicsView& view);
  ~TWKScrollToolControl() override;
  void InitFlags() override;

  void Activate();
  void Deactivate();
  bool Active() const { return Active_; }
  bool Dragging() const { return Dragging_; }
  // The tool is gone before its control.
  void DetachTool() { Tool_ = nullptr; }

  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool KeyDown(uint16_t key, TWKShiftState shift) override;
  bool KeyUp(uint16_t key, TWKShiftState shift) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;

 private:
  TWKScrollTool* Tool_;
  TWKGraphicsView& View_;
  bool Active_ = false;
  bool Dragging_ = false;
  TPoint Last_;
  IWKGraphicsTool* PreviousTool_ = nullptr;
};

class TWKScrollTool : public TWKModuleWithControls, public IWKGraphicsTool {
 public:
  TWKScrollTool(TWKComponent* owner, TWKGraphicsEditor& editor);
  ~TWKScrollTool() override;

  void Activate() override;
  void Deactivate() override;
  void CreateControl(TWKGraphicsView& view) override;
  void EndEdit() override {}

  bool Active() const { return Active_; }
  TWKGraphicsEditor& Editor() const { return Editor_; }
  void AddControl(TWKScrollToolControl* control) { Controls_.push_back(control); }
  void RemoveControl(TWKScrollToolControl* control);
  const std::vector<TWKScrollToolControl*>& Controls() const { return Controls_; }

 private:
  TWKGraphicsEditor& Editor_;
  std::vector<TWKScrollToolControl*> Controls_;
  bool Active_ = false;
};
