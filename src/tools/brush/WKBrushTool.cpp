#include "tools/brush/WKBrushTool.h"

#include <algorithm>

#include "tools/brush/BrushMasks.h"
#include "tools/brush/BrushNames.h"
#include "tools/framework/WKToolFrame.h"
#include "view/WKCanvasShapes.h"
#include "view/WKGraphicsView.h"

TWKBrushToolControl::TWKBrushToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKMaskDrawToolControl(tool, view) {}

void TWKBrushToolControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  TWKMaskDrawToolControl::GetForegroundRect(mapMode, rect);
  rect.Right = std::max(rect.Right, rect.Left + 1);
  rect.Bottom = std::max(rect.Bottom, rect.Top + 1);
  rect = TRect{rect.Left - 2, rect.Top - 2, rect.Right + 2, rect.Bottom + 2};
}

TRect TWKBrushToolControl::OutlineRect(const TWKMapMode& mapMode) const {
  const TWKDrawTool* tool = DrawTool();
  const int32_t size = tool != nullptr ? tool->Size() : 1;
  const TRect pixel = mapMode.DocToDevRect(::Bounds(LastPoint.X, LastPoint.Y, 1, 1));
  const TRect extent = mapMode.DocToDevRect(Rect(0, 0, size, size));
  const int32_t w = std::max(1, extent.Width()), h = std::max(1, extent.Height());
  const int32_t cx = (pixel.Left + pixel.Right) / 2, cy = (pixel.Top + pixel.Bottom) / 2;
  const TRect r = ::Bounds(cx - w / 2, cy - h / 2, w, h);
  return TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
}

void TWKBrushToolControl::PaintForeground(TWKViewCanvas& canvas) {
  InvertEllipse(canvas, OutlineRect(canvas.MapMode));
}

TWKBrushTool::TWKBrushTool(TWKComponent* owner) : TWKMaskDrawTool(owner) {
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKBrushToolControl>(tool, view);
  };
}

TWKBrushTool::~TWKBrushTool() = default;

void TWKBrushTool::AfterConstruction() {
  TWKMaskDrawTool::AfterConstruction();
  BrushChanged();
}

void TWKBrushTool::SetHardness(int32_t value) {
  if (value == Hardness_ || value < 0 || value > 255) return;
  Hardness_ = value;
  BrushChanged();
  if (HardnessTrackBar_ != nullptr) HardnessTrackBar_->SetPosition(Hardness_);
  RecordValue("Hardness", Hardness_);
}

void TWKBrushTool::BrushChanged() {
  BuildSoftMask(BrushMask, Size(), Hardness_, Opacity());
  TWKMaskDrawTool::BrushChanged();
}

void TWKBrushTool::BindHardnessTrackBar(IWKTrackBar* trackBar) {
  HardnessTrackBar_ = trackBar;
  BindTrackBar(trackBar, 0, 255, 16, Hardness_, [this](int32_t v) { SetHardness(v); });
}

void TWKBrushTool::BindFrame(IWKToolFrame& frame) {
  TWKMaskDrawTool::BindFrame(frame);
  if (IWKTrackBar* bar = frame.TrackBar(BrushNames::HardnessControl)) BindHardnessTrackBar(bar);
}

void TWKBrushTool::UpdateBrushCaptions() {
  TWKMaskDrawTool::UpdateBrushCaptions();
  CaptionTrackBar(HardnessTrackBar_, BrushNames::HardnessText);
}

bool TWKBrushTool::ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) {
  return RunIntegerCommand(command, "HARDNESS", params, [this](int32_t v) { SetHardness(v); }) ||
         TWKMaskDrawTool::ExecuteScriptCommand(command, params);
}

bool TWKBrushTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return ThumbPoint(params, "HARDNESS", HardnessTrackBar_, point) ||
         TWKMaskDrawTool::GetScriptCommandPoint(params, point);
}
