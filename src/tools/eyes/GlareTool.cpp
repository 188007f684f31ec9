#include "tools/eyes/GlareTool.h"

#include "documents/WKGraphicsDocument.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"
#include "view/WKCanvasShapes.h"
#include "view/WKGraphicsView.h"

TWKGlareCommandState::TWKGlareCommandState(IWKGraphicsTool* tool, const TRect& rect,
                                           TWKGraphicsDocument& document, const TGleamParams& params,
                                           const TWKPixelSet& selection)
    : TWKGraphicsCommandState(tool, rect, document),
      GleamBrightness(params.Brightness),
      GleamSize(params.Size),
      StartPoint(params.StartPoint),
      EndPoint(params.EndPoint),
      SelectionRegion(selection) {}

TWKGlareControl::TWKGlareControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {}

TWKGlareTool* TWKGlareControl::GlareTool() const { return static_cast<TWKGlareTool*>(Tool()); }

void TWKGlareControl::Activate() {
  TWKGraphicsToolControl::Activate();
  SetVisible(true);
}

void TWKGlareControl::Deactivate() {
  TWKGraphicsToolControl::Deactivate();
  SetVisible(false);
}

bool TWKGlareControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  if (!Active()) return false;
  cursor = crCross;
  return true;
}

TRect TWKGlareControl::OutlineRect(const TWKMapMode& mapMode) const {
  const TWKGlareTool* tool = GlareTool();
  if (tool == nullptr) return TRect{};
  return mapMode.DocToDevRect(GleamRect(tool->StartPoint(), tool->EndPoint(), TGleamParams::DefaultSize));
}

bool TWKGlareControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  TWKGlareTool* tool = GlareTool();
  if (!Active() || tool == nullptr) return false;
  const TPoint image = ClientToImage(point);
  tool->SetStartPoint(image);
  tool->SetEndPoint(image);
  Dragging = true;
  return true;
}

bool TWKGlareControl::MouseMove(TWKShiftState shift, TPoint point) {
  TWKGlareTool* tool = GlareTool();
  if (!Active() || tool == nullptr || !Dragging) return false;
  // The old and the new outline are repainted (both, so that the old one disappears).
  const TRect old = OutlineRect(View().MapMode());
  tool->SetEndPoint(ClientToImage(point));
  const TRect now = UnionRect(old, OutlineRect(View().MapMode()));
  if (!now.IsEmpty()) View().InvalidateRect(TRect{now.Left - 1, now.Top - 1, now.Right + 1, now.Bottom + 1});
  return true;
}

bool TWKGlareControl::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  TWKGlareTool* tool = GlareTool();
  const bool pressed = Dragging;
  Dragging = false;
  if (!Active() || tool == nullptr) return false;
  InvalidateOverlay();
  // A release without a press here (the press went to another tool, or the button came down
  // outside the view) starts no gleam.
  if (!pressed) return true;
  tool->SetEndPoint(ClientToImage(point));
  tool->ResetGleamSize();
  tool->ApplyGleam();
  return true;
}

void TWKGlareControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  TWKGlareTool* tool = GlareTool();
  TWKGraphicsDocument& doc = View().Document();
  rect = tool != nullptr ? mapMode.DocToDevRect(doc.ImageRect()) : TRect{};
}

void TWKGlareControl::PaintForeground(TWKViewCanvas& canvas) {
  if (!Active() || !Dragging) return;
  const TRect outline = OutlineRect(canvas.MapMode);
  DrawEllipse(canvas, outline, TBGRPixel{255, 255, 255}, false);
  DrawEllipse(canvas, outline, TBGRPixel{0, 0, 0}, true);
}

TWKGlareTool::TWKGlareTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "GlareTool";
  ScriptName = std::string(GleamNames::ScriptName);
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKGlareControl>(tool, view);
  };
}

TWKGlareTool::~TWKGlareTool() = default;

void TWKGlareTool::AfterConstruction() {
  using namespace GleamNames;
  AddPanelButton(ButtonCaption, kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  Params_ = TGleamParams{};
  if (Frame_ != nullptr) {
    if (IWKTrackBar* bar = Frame_->TrackBar(BrightnessControl)) {
      BindTrackBar(bar, 0, TGleamParams::MaxBrightness, 16, Params_.Brightness,
                   [this](int32_t v) { BrightnessTrackBarChange(v); });
      bar->SetOnEnter([this] { BrightnessTrackBarEnter(); });
    }
    if (IWKTrackBar* bar = Frame_->TrackBar(AreaSizeControl)) {
      BindTrackBar(bar, 0, TGleamParams::MaxSize, 16, Params_.Size,
                   [this](int32_t v) { AreaSizeTrackBarChange(v); });
      bar->SetVisible(false);
      bar->SetOnEnter([this] { AreaSizeTrackBarEnter(); });
    }
  }
  Localize();
}

void TWKGlareTool::MoveTrackBar(std::string_view name, int32_t value) {
  if (Frame_ == nullptr) return;
  if (IWKTrackBar* bar = Frame_->TrackBar(name)) bar->SetPosition(value);
}

void TWKGlareTool::Localize() {
  const std::string title = LanguageString(GleamNames::TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ != nullptr) Frame_->SetTitle(title);
  UpdateCaptions();
}

void TWKGlareTool::UpdateCaptions() {
  using namespace GleamNames;
  if (Frame_ == nullptr) return;
  if (IWKTrackBar* bar = Frame_->TrackBar(BrightnessControl))
    bar->SetCaption(LanguageString(BrightnessText) + ": " + std::to_string(Params_.Brightness));
  if (IWKTrackBar* bar = Frame_->TrackBar(AreaSizeControl)) bar->SetCaption(LanguageString(SizeText) + ":");
}

void TWKGlareTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  UpdateCaptions();
}

void TWKGlareTool::SaveSettings(TWKSDFWriter& writer) {
  // No value survives from one run to the next: the section marker alone.
  SaveToolSettings(writer, kSettingsGuid, {});
}

void TWKGlareTool::StoreUndoState() {
  TWKGraphicsDocument* doc = EditDocument();
  if (doc == nullptr) return;
  // A click without a drag still leaves a step: the pressed pixel, when it is on the image.
  const TRect rect = StepRect(Params_.StartPoint);
  if (rect.IsEmpty()) return;
  AddStepState(std::make_unique<TWKGlareCommandState>(this, rect, *doc, Params_, Selection_.Region()));
}

void TWKGlareTool::RestoreFrom(TWKCommandState* state) {
  const auto* s = dynamic_cast<const TWKGlareCommandState*>(state);
  if (s == nullptr) return;
  Restoring_ = true;
  Params_.StartPoint = s->StartPoint;
  Params_.EndPoint = s->EndPoint;
  SetGleamSize(s->GleamSize);
  SetGleamBrightness(s->GleamBrightness);
  Restoring_ = false;
}

void TWKGlareTool::RegisterDemoObjects() {
  using namespace GleamNames;
  RegisterButtonAndFrameControls({AreaSizeControl, BrightnessControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(SizeCommand), Params_.Size, [this](int32_t v) { SetGleamSize(v); });
    registry->RegisterInteger(ScriptNamed(BrightnessCommand), Params_.Brightness,
                              [this](int32_t v) { SetGleamBrightness(v); });
  }
  TWKGraphicsTool::RegisterDemoObjects();
}

void TWKGlareTool::SetGleamBrightness(int32_t value) {
  value = ClampInt(value, 0, TGleamParams::MaxBrightness);
  if (value == Params_.Brightness) return;
  Params_.Brightness = value;
  MoveTrackBar(GleamNames::BrightnessControl, value);
  Reapply();
  UpdateCaptions();
  if (!Restoring_) RecordValue(GleamNames::BrightnessCommand, value);
}

void TWKGlareTool::SetGleamSize(int32_t value) {
  value = ClampInt(value, 0, TGleamParams::MaxSize);
  if (value == Params_.Size) return;
  Params_.Size = value;
  MoveTrackBar(GleamNames::AreaSizeControl, value);
  Reapply();
}

void TWKGlareTool::ResetGleamSize() {
  Params_.Size = TGleamParams::DefaultSize;
  MoveTrackBar(GleamNames::AreaSizeControl, Params_.Size);
}

bool TWKGlareTool::ApplyGleam() {
  TWKGraphicsView* view = EditableView();
  if (view == nullptr || !BeginEdit(*view)) return false;
  const TRect rect = GleamRect(Params_.StartPoint, Params_.EndPoint, Params_.Size);
  Selection_.Select(*Backup(), rect);
  ApplyGleamPixels(*CurrentPixels(), Selection_, Params_.Brightness);
  if (const TRect bounds = Selection_.SelectionBounds(); !bounds.IsEmpty()) MarkDirty(bounds, false);
  EndEdit();
  return true;
}

void TWKGlareTool::Reapply() {
  if (Restoring_) return;
  if (UndoOwnStep<TWKGlareCommandState>()) ApplyGleam();
}

void TWKGlareTool::BrightnessTrackBarChange(int32_t position) { SetGleamBrightness(position); }

void TWKGlareTool::AreaSizeTrackBarChange(int32_t position) {
  SetGleamSize(position);
  RecordValue(GleamNames::AreaSizeControl, Params_.Size);
}

void TWKGlareTool::BrightnessTrackBarEnter() {
  RecordMove(GleamNames::BrightnessControl);
  RecordMessage(GleamNames::BrightnessMessage);
}

void TWKGlareTool::AreaSizeTrackBarEnter() {
  RecordMove(GleamNames::AreaSizeControl);
  RecordMessage(GleamNames::AreaSizeMessage);
}
