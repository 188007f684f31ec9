// The third layer of the painting tools: the soft round brush built from size, opacity and
// hardness, and the control that draws the brush outline on the view.
#pragma once

#include <cstdint>

#include "tools/brush/WKMaskDrawTool.h"

class TWKBrushToolControl : public TWKMaskDrawToolControl {
 public:
  TWKBrushToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);
  // The brush square on the view, at least 1 × 1, grown by 2 pixels for the outline.
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  // The outline: an ellipse of the brush's size around the pointed pixel, inverting what lies
  // under it.
  void PaintForeground(TWKViewCanvas& canvas) override;
  // The outline's rectangle on the view (the ellipse is inscribed in it).
  TRect OutlineRect(const TWKMapMode& mapMode) const;
};

class TWKBrushTool : public TWKMaskDrawTool {
 public:
  explicit TWKBrushTool(TWKComponent* owner);
  ~TWKBrushTool() override;

  int32_t Hardness() const { return Hardness_; }
  // Ignored unless the value differs and lies in 0..255.
  virtual void SetHardness(int32_t value);
  // The soft mask from Size, Hardness and Opacity, then the preview.
  void BrushChanged() override;
  void BindHardnessTrackBar(IWKTrackBar* trackBar);
  IWKTrackBar* HardnessTrackBar() const { return HardnessTrackBar_; }
  void BindFrame(IWKToolFrame& frame) override;
  void UpdateBrushCaptions() override;

  // Builds the first brush mask once the tool is complete.
  void AfterConstruction() override;
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;

 private:
  int32_t Hardness_ = 128;
  IWKTrackBar* HardnessTrackBar_ = nullptr;
};
