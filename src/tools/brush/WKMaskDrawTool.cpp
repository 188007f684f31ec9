#include "tools/brush/WKMaskDrawTool.h"

#include "tools/brush/BrushMasks.h"
#include "tools/brush/BrushNames.h"
#include "tools/brush/BrushPreview.h"
#include "tools/framework/WKToolFrame.h"
#include "view/WKGraphicsView.h"

TWKMaskDrawToolControl::TWKMaskDrawToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKDrawToolControl(tool, view) {}

void TWKMaskDrawToolControl::Init() { MoveTo(LastPoint); }

void TWKMaskDrawToolControl::MoveTo(TPoint point) {
  LastPoint = point;
  if (TWKDrawTool* tool = DrawTool()) SetBounds(BrushRect(point, tool->Size()));
}

void TWKMaskDrawToolControl::Activate() {
  MoveTo(ClientToImage(CursorClientPos()));
  TWKDrawToolControl::Activate();
}

bool TWKMaskDrawToolControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  if (!Active()) return false;
  cursor = crNone;
  return true;
}

void TWKMaskDrawToolControl::MouseEnter() {
  if (Active()) SetVisible(true);
}

void TWKMaskDrawToolControl::MouseLeave() {
  if (Active()) SetVisible(false);
}

bool TWKMaskDrawToolControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  auto* tool = static_cast<TWKMaskDrawTool*>(DrawTool());
  if (!Active() || tool == nullptr) return false;
  tool->LastShift = shift;
  // The pointer may stand still while the view scrolled or zoomed under it: the stamp goes
  // where the button was pressed, not where the last move left the brush.
  MoveTo(ClientToImage(point));
  if (Begin(button, shift)) Draw();
  return true;
}

bool TWKMaskDrawToolControl::MouseMove(TWKShiftState shift, TPoint point) {
  auto* tool = static_cast<TWKMaskDrawTool*>(DrawTool());
  if (!Active() || tool == nullptr) return false;
  tool->LastShift = shift;
  MoveTo(ClientToImage(point));
  if (Stroking) Draw();
  return true;
}

bool TWKMaskDrawToolControl::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  if (!Active() || !Stroking) return false;
  EndStroke();
  return true;
}

bool TWKMaskDrawToolControl::MouseWheel(TWKShiftState shift, int32_t direction, TPoint point) {
  TWKDrawTool* tool = DrawTool();
  if (!Active() || tool == nullptr) return false;
  if (!Stroking || WheelDuringStroke) tool->SetSize(tool->Size() + direction);
  // Handled whenever active, so that the view does not scroll under the brush.
  return true;
}

bool TWKMaskDrawToolControl::KeyDown(uint16_t key, TWKShiftState shift) {
  TWKDrawTool* tool = DrawTool();
  if (!Active() || tool == nullptr) return false;
  switch (key) {
    case VK_PRIOR: case VK_UP: case VK_RIGHT:
      tool->SetSize(tool->Size() + 1);
      return true;
    case VK_NEXT: case VK_LEFT: case VK_DOWN:
      tool->SetSize(tool->Size() - 1);
      return true;
    default:
      return false;
  }
}

TWKMaskDrawTool::TWKMaskDrawTool(TWKComponent* owner) : TWKDrawTool(owner) {}

TWKMaskDrawTool::~TWKMaskDrawTool() {
  if (PreviewPaintBox_ != nullptr) PreviewPaintBox_->SetPaintHandler(nullptr);
}

void TWKMaskDrawTool::SizeChanged() {
  BrushChanged();
  for (int32_t i = 0; i < ControlCount(); ++i)
    if (auto* control = dynamic_cast<TWKMaskDrawToolControl*>(Controls(i)))
      control->SetBounds(BrushRect(control->LastPoint, Size()));
}

void TWKMaskDrawTool::OpacityChanged() { BrushChanged(); }

void TWKMaskDrawTool::BrushChanged() { RepaintPreview(); }

bool TWKMaskDrawTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  if (!TWKDrawTool::BeginStroke(control, button, shift)) return false;
  if (!Accumulate) return true;
  // Sized once for the image, in pages that are zeroed only where a stamp first touches them:
  // a stamp then merges into its own square and never copies the stroke's box.
  const TRect image = Backup()->BoundsRect();
  if (StrokeMask.SetBounds(image.Left, image.Top, image.Width(), image.Height())) return true;
  CancelEdit();
  ActiveControl = nullptr;
  return false;
}

void TWKMaskDrawTool::DrawRect(const TRect& rect) {
  const int32_t restLeft = BrushMask.Left, restTop = BrushMask.Top;
  BrushMask.Left = rect.Left;
  BrushMask.Top = rect.Top;
  if (Accumulate) MergeMaskMaximum(StrokeMask, BrushMask);
  TWKDrawTool::DrawRect(rect);
  BrushMask.Left = restLeft;
  BrushMask.Top = restTop;
}

void TWKMaskDrawTool::EndStroke() {
  StrokeMask.Clear();
  TWKDrawTool::EndStroke();
}

void TWKMaskDrawTool::SetPreviewPaintBox(IWKPaintBox* paintBox) {
  if (PreviewPaintBox_ != nullptr) PreviewPaintBox_->SetPaintHandler(nullptr);
  PreviewPaintBox_ = paintBox;
  if (paintBox == nullptr) return;
  paintBox->SetPaintHandler([this](TWKPixels& image, bool enabled) { RenderBrushPreview(image, BrushMask, enabled); });
  RepaintPreview();
}

void TWKMaskDrawTool::BindFrame(IWKToolFrame& frame) {
  TWKDrawTool::BindFrame(frame);
  if (IWKPaintBox* box = frame.PaintBox(BrushNames::PreviewControl)) SetPreviewPaintBox(box);
}

void TWKMaskDrawTool::RepaintPreview() {
  if (PreviewPaintBox_ != nullptr && PreviewPaintBox_->Visible()) PreviewPaintBox_->Repaint();
}
