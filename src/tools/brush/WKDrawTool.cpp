#include "tools/brush/WKDrawTool.h"

#include "documents/WKGraphicsDocument.h"
#include "framework/WKLocalizer.h"
#include "tools/brush/BrushNames.h"
#include "documents/WKGraphicsEditor.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolFrame.h"
#include "view/WKGraphicsView.h"

TWKDrawToolControl::TWKDrawToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {}

TWKDrawTool* TWKDrawToolControl::DrawTool() const { return static_cast<TWKDrawTool*>(Tool()); }

void TWKDrawToolControl::SetBounds(const TRect& rect) {
  TRect old;
  GetForegroundRect(View().MapMode(), old);
  TWKGraphicsToolControl::SetBounds(rect);
  TRect now;
  GetForegroundRect(View().MapMode(), now);
  if (!old.IsEmpty()) View().InvalidateRect(old);
  if (!now.IsEmpty() && now != old) View().InvalidateRect(now);
}

void TWKDrawToolControl::Activate() {
  SetVisible(true);
  TWKGraphicsToolControl::Activate();
}

void TWKDrawToolControl::Deactivate() {
  SetVisible(false);
  TWKGraphicsToolControl::Deactivate();
}

bool TWKDrawToolControl::Begin(int32_t button, TWKShiftState shift) {
  TWKDrawTool* tool = DrawTool();
  if (!Stroking && tool != nullptr) Stroking = tool->BeginStroke(*this, button, shift);
  return Stroking;
}

void TWKDrawToolControl::EndStroke() {
  Stroking = false;
  if (TWKDrawTool* tool = DrawTool()) tool->EndStroke();
}

void TWKDrawToolControl::Draw() {
  if (TWKDrawTool* tool = DrawTool()) tool->DrawRect(Bounds);
}

TWKDrawTool::TWKDrawTool(TWKComponent* owner) : TWKGraphicsTool(owner) {
  // Painting tools stay offered in plug-in mode.
  PluginAvailable = true;
}

TWKDrawTool::~TWKDrawTool() = default;

void TWKDrawTool::SetSize(int32_t value) {
  if (value == Size_ || value < MinSize || value > MaxSize) return;
  // The old outline goes first.
  for (int32_t i = 0; i < ControlCount(); ++i) Controls(i)->InvalidateOverlay();
  Size_ = value;
  SizeChanged();
  if (SizeTrackBar_ != nullptr) SizeTrackBar_->SetPosition(Size_);
  RecordValue("Size", Size_);
}

void TWKDrawTool::SetOpacity(int32_t value) {
  if (value == Opacity_ || value < 0 || value > 255) return;
  Opacity_ = value;
  OpacityChanged();
  if (OpacityTrackBar_ != nullptr) OpacityTrackBar_->SetPosition(Opacity_);
  RecordValue("Opacity", Opacity_);
}

bool TWKDrawTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  TWKGraphicsEditor* editor = Editor();
  if (editor != nullptr && !editor->CanToolEdit(this)) return false;
  ActiveControl = &control;
  Button_ = button;
  Shift_ = shift;
  if (!BeginEdit(control.View())) {
    ActiveControl = nullptr;
    return false;
  }
  return true;
}

void TWKDrawTool::DrawRect(const TRect& rect) {
  if (Backup() == nullptr || CurrentPixels() == nullptr) return;
  const TRect inside = IntersectRect(rect, Backup()->BoundsRect());
  if (inside.IsEmpty()) return;
  ApplyToRect(inside);
  MarkDirty(inside, false);
}

void TWKDrawTool::EndStroke() {
  EndEdit();
  ActiveControl = nullptr;
}

void TWKDrawTool::ResetControls() {
  if (ActiveControl != nullptr) ActiveControl->EndStroke();
  TWKGraphicsTool::ResetControls();
}

void TWKDrawTool::DocumentClosing(TWKGraphicsDocument& document) {
  if (ActiveControl != nullptr && EditDocument() == &document) ActiveControl->EndStroke();
}

void TWKDrawTool::BindSizeTrackBar(IWKTrackBar* trackBar) {
  SizeTrackBar_ = trackBar;
  BindTrackBar(trackBar, MinSize, MaxSize, MaxSize / 10, Size_, [this](int32_t v) { SetSize(v); });
}

void TWKDrawTool::BindOpacityTrackBar(IWKTrackBar* trackBar) {
  OpacityTrackBar_ = trackBar;
  BindTrackBar(trackBar, 0, 255, 16, Opacity_, [this](int32_t v) { SetOpacity(v); });
}

void TWKDrawTool::BindFrame(IWKToolFrame& frame) {
  if (IWKTrackBar* bar = frame.TrackBar(BrushNames::SizeControl)) BindSizeTrackBar(bar);
  if (IWKTrackBar* bar = frame.TrackBar(BrushNames::OpacityControl)) BindOpacityTrackBar(bar);
}

void TWKDrawTool::UpdateBrushCaptions() {
  CaptionTrackBar(SizeTrackBar_, BrushNames::SizeText);
  CaptionTrackBar(OpacityTrackBar_, BrushNames::OpacityText);
}

void TWKDrawTool::CaptionTrackBar(IWKTrackBar* trackBar, const TWKLanguageText& text) {
  if (trackBar != nullptr) trackBar->SetCaption(LanguageString(text) + ": " + std::to_string(trackBar->Position()));
}

bool TWKDrawTool::RunIntegerCommand(const std::string& command, std::string_view suffix,
                                    const TWKCustomProperties& params,
                                    const std::function<void(int32_t)>& setter) {
  if (ScriptName.empty() || command != DemoName(ScriptName) + std::string(suffix)) return false;
  int32_t value = 0;
  if (ScriptNumberArg(params, 0, value)) setter(value);
  return true;
}

bool TWKDrawTool::ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) {
  return RunIntegerCommand(command, "SIZE", params, [this](int32_t v) { SetSize(v); }) ||
         RunIntegerCommand(command, "OPACITY", params, [this](int32_t v) { SetOpacity(v); }) ||
         TWKGraphicsTool::ExecuteScriptCommand(command, params);
}

bool TWKDrawTool::ThumbPoint(const TWKCustomProperties& params, std::string_view suffix,
                             const IWKTrackBar* bar, TPoint& point) const {
  if (bar == nullptr || ScriptName.empty()) return false;
  if (DemoName(ScriptTextArg(params, 0)) != DemoName(ScriptName) + std::string(suffix)) return false;
  const std::optional<TPoint> thumb = bar->ThumbScreenPoint();
  if (!thumb) return false;
  point = *thumb;
  return true;
}

bool TWKDrawTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return ThumbPoint(params, "SIZE", SizeTrackBar_, point) ||
         ThumbPoint(params, "OPACITY", OpacityTrackBar_, point) ||
         TWKGraphicsTool::GetScriptCommandPoint(params, point);
}
