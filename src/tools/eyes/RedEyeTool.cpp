#include "tools/eyes/RedEyeTool.h"

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKToolSettings.h"
#include "tools/eyes/RedEyePreview.h"
#include "tools/framework/WKDemoRegistry.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKGraphicsView.h"

TWKRedEyeCommandState::TWKRedEyeCommandState(IWKGraphicsTool* tool, const TRect& rect,
                                             TWKGraphicsDocument& document,
                                             const TRedEyeParams& params,
                                             const TWKPixelSet& selection)
    : TWKGraphicsCommandState(tool, rect, document),
      Border(params.Border),
      Brightness(params.Brightness),
      AreaSize(params.AreaSize),
      ClickPoint(params.ClickPoint),
      SelectionRegion(selection) {}

TWKRedEyeControl::TWKRedEyeControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {}

bool TWKRedEyeControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  if (!Active()) return false;
  cursor = crCross;
  return true;
}

bool TWKRedEyeControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  auto* tool = static_cast<TWKRedEyeTool*>(Tool());
  if (!Active() || tool == nullptr) return false;
  const TPoint image = ClientToImage(point);
  // A click in the margin around the image names no pixel: nothing to correct.
  if (!View().InsideImage(image)) return false;
  tool->SetClickPoint(image);
  tool->ApplyCorrection();
  return true;
}

TWKRedEyeTool::TWKRedEyeTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "RedEyeTool";
  ScriptName = std::string(RedEyeNames::ScriptName);
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKRedEyeControl>(tool, view);
  };
  Selection_ = std::make_unique<TRedEyeSelection>();
}

TWKRedEyeTool::~TWKRedEyeTool() = default;

void TWKRedEyeTool::AfterConstruction() {
  AddPanelButton(RedEyeNames::ButtonCaption, kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  Params_ = TRedEyeParams{};
  if (Frame_ != nullptr) {
    Frame_->SetAreaSizePosition(Params_.AreaSize);
    Frame_->SetBrightnessPosition(Params_.Brightness);
  }
  Localize();
}

void TWKRedEyeTool::Localize() {
  using namespace RedEyeNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ == nullptr) return;
  TRedEyeFrameTexts texts;
  texts.Title = title;
  texts.AreaSize = LanguageString(AreaSizeText) + ": " + std::to_string(Params_.AreaSize);
  texts.Border = LanguageString(BorderText) + ": " + std::to_string(Params_.Border) + " " + LanguageString(PixelUnitText);
  texts.Brightness = LanguageString(BrightnessText) + ": " + std::to_string(Params_.Brightness);
  Frame_->SetTexts(texts);
}

void TWKRedEyeTool::SaveSettings(TWKSDFWriter& writer) {
  // The values start afresh every time; only the section marker is written.
  SaveToolSettings(writer, kSettingsGuid, {});
}

void TWKRedEyeTool::StoreUndoState() {
  TWKGraphicsDocument* doc = EditDocument();
  if (doc == nullptr) return;
  // An unsuccessful click still leaves a step: the clicked pixel.
  const TRect rect = StepRect(Params_.ClickPoint);
  if (rect.IsEmpty()) return;
  AddStepState(std::make_unique<TWKRedEyeCommandState>(this, rect, *doc, Params_, Selection_->Region()));
}

void TWKRedEyeTool::DocumentOpened(TWKGraphicsDocument& document) { InvalidatePreviews(); }

void TWKRedEyeTool::RestoreFrom(TWKCommandState* state) {
  if (const auto* s = dynamic_cast<const TWKRedEyeCommandState*>(state)) {
    Restoring_ = true;
    SetClickPoint(s->ClickPoint);
    SetBorder(s->Border);
    SetAreaSize(s->AreaSize);
    SetBrightness(s->Brightness);
    Restoring_ = false;
    Localize();
  }
  InvalidatePreviews();
}

void TWKRedEyeTool::RegisterDemoObjects() {
  using namespace RedEyeNames;
  RegisterButtonAndFrameControls({SelectionControl, AreaSizeControl, IncAreaControl, DecAreaControl,
                                  BrightnessControl, PreviewControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(AreaSizeCommand), Params_.AreaSize, [this](int32_t v) { SetAreaSize(v); });
    registry->RegisterInteger(ScriptNamed(BorderSizeCommand), Params_.Border, [this](int32_t v) { SetBorder(v); });
    registry->RegisterInteger(ScriptNamed(BrightnessCommand), Params_.Brightness, [this](int32_t v) { SetBrightness(v); });
  }
  TWKGraphicsTool::RegisterDemoObjects();
}

void TWKRedEyeTool::SetAreaSize(int32_t value) {
  if (!Params_.ChangeAreaSize(value)) return;
  if (Frame_ != nullptr) Frame_->SetAreaSizePosition(Params_.AreaSize);
  Reapply();
}

void TWKRedEyeTool::SetBrightness(int32_t value) {
  if (!Params_.ChangeBrightness(value)) return;
  if (Frame_ != nullptr) Frame_->SetBrightnessPosition(Params_.Brightness);
  Reapply();
  if (!Restoring_) RecordValue(RedEyeNames::BrightnessCommand, Params_.Brightness);
}

void TWKRedEyeTool::SetBorder(int32_t value) {
  if (!Params_.ChangeBorder(value)) return;
  Reapply();
  Localize();
}

void TWKRedEyeTool::InvalidatePreviews() {
  if (Frame_ != nullptr) Frame_->InvalidatePreviews();
}

bool TWKRedEyeTool::CanApply() const {
  TWKGraphicsView* view = EditableView();
  return view != nullptr && view->Document().ImageRect().Contains(Params_.ClickPoint);
}

bool TWKRedEyeTool::ApplyCorrection() {
  if (!CanApply()) return false;
  if (!BeginEdit(*EditableView())) return false;
  // The selection is grown on the image as it was before this step.
  ApplyRedEyeCorrection(*Backup(), *CurrentPixels(), Params_, *Selection_);
  const TRect bounds = Selection_->SelectionBounds();
  if (Frame_ != nullptr) {
    const TSize area = Frame_->PreviewArea();
    PreviewZoom_ = ComputePreviewZoom(bounds, area.Width, area.Height, PreviewZoom_);
  }
  InvalidatePreviews();
  if (!bounds.IsEmpty()) MarkDirty(bounds, false);
  EndEdit();
  LogLine(DiagnosticLog, Selection_->DiagnosticLine());
  return true;
}

void TWKRedEyeTool::Reapply() {
  if (Restoring_) return;
  // Only a step that can be applied again is undone; otherwise the value is just kept.
  if (CanApply() && UndoOwnStep<TWKRedEyeCommandState>()) ApplyCorrection();
  // The labels follow the values also without an image.
  Localize();
}

void TWKRedEyeTool::AreaSizeTrackBarChange(int32_t position) {
  SetAreaSize(position);
  RecordValue(RedEyeNames::AreaSizeCommand, Params_.AreaSize);
}

void TWKRedEyeTool::BrightnessTrackBarChange(int32_t position) { SetBrightness(position); }

void TWKRedEyeTool::IncSizeButtonClick() {
  SetBorder(Params_.Border + 1);
  RecordMove(RedEyeNames::IncAreaControl);
  RecordMessage(RedEyeNames::IncreaseAreaMessage);
  RecordValue(RedEyeNames::BorderSizeCommand, Params_.Border);
}

void TWKRedEyeTool::DecSizeButtonClick() {
  SetBorder(Params_.Border - 1);
  RecordMove(RedEyeNames::DecAreaControl);
  RecordMessage(RedEyeNames::DecreaseAreaMessage);
  RecordValue(RedEyeNames::BorderSizeCommand, Params_.Border);
}

void TWKRedEyeTool::AreaSizeTrackBarEnter() {
  RecordMove(RedEyeNames::AreaSizeControl);
  RecordMessage(RedEyeNames::AreaSizeMessage);
}

void TWKRedEyeTool::BrightnessTrackBarEnter() {
  RecordMove(RedEyeNames::BrightnessControl);
  RecordMessage(RedEyeNames::BrightnessMessage);
}

void TWKRedEyeTool::SelectionPreviewClick() {
  RecordMove(RedEyeNames::SelectionControl);
  RecordMessage(RedEyeNames::SelectionPreviewMessage);
}

void TWKRedEyeTool::CorrectionPreviewClick() {
  RecordMove(RedEyeNames::PreviewControl);
  RecordMessage(RedEyeNames::CorrectionPreviewMessage);
}

void TWKRedEyeTool::SelectionPreviewMouseDown(int32_t button, TPoint panelPoint) {
  if (button != mbLeft || Frame_ == nullptr) return;
  const TWKRedEyeCommandState* state = LastRedEyeState();
  if (state == nullptr) return;
  const TSize area = Frame_->PreviewArea();
  const TRedEyePreviewPlacement placement =
      CenteredPreviewRect(state->StateRect(), area.Width, area.Height, PreviewZoom_);
  SetClickPoint(placement.ToImage(panelPoint));
  Reapply();
}
