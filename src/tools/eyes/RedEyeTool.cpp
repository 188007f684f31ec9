#include "tools/eyes/RedEyeTool.h"

#include <algorithm>
#include <cstdlib>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKToolSettings.h"
#include "tools/eyes/EyeFinder.h"
#include "tools/eyes/EyeRepair.h"
#include "tools/eyes/RedEyePreview.h"
#include "tools/framework/WKDemoRegistry.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKCanvasShapes.h"
#include "view/WKGraphicsView.h"
#include "view/WKViewCanvas.h"

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

TWKEyeRepairCommandState::TWKEyeRepairCommandState(IWKGraphicsTool* tool, const TRect& rect,
                                                   TWKGraphicsDocument& document,
                                                   const TRedEyeParams& params,
                                                   const TWKPixelSet& selection, const TRect& area,
                                                   int32_t eyes)
    : TWKRedEyeCommandState(tool, rect, document, params, selection), Area(area), Eyes(eyes) {}

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
  Pressed_ = button == mbLeft;
  Dragging_ = false;
  PressPoint_ = DragPoint_ = point;
  return true;
}

TRect TWKRedEyeControl::DragRect() const {
  const TPoint a = ClientToImage(PressPoint_), b = ClientToImage(DragPoint_);
  const TRect r = Rect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                       std::max(a.Y, b.Y) + 1);
  return IntersectRect(r, View().Document().ImageRect());
}

TRect TWKRedEyeControl::DragViewRect(const TWKMapMode& mapMode) const {
  return Dragging_ ? mapMode.DocToDevRect(DragRect()) : TRect{};
}

bool TWKRedEyeControl::MouseMove(TWKShiftState shift, TPoint point) {
  if (!Active() || !Pressed_) return false;
  const TRect old = DragViewRect(View().MapMode());
  DragPoint_ = point;
  if (std::max(std::abs(point.X - PressPoint_.X), std::abs(point.Y - PressPoint_.Y)) >= kDragDistance)
    Dragging_ = true;
  if (!Dragging_) return false;
  const TRect now = UnionRect(old, DragViewRect(View().MapMode()));
  if (!now.IsEmpty()) View().InvalidateRect(InflateRect(now, 1));
  return true;
}

bool TWKRedEyeControl::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  auto* tool = static_cast<TWKRedEyeTool*>(Tool());
  const bool dragged = Dragging_;
  if (dragged) InvalidateOverlay();
  Pressed_ = Dragging_ = false;
  if (!Active() || tool == nullptr || !dragged) return false;
  DragPoint_ = point;
  tool->RepairEyesInDrag(DragRect());
  return true;
}

void TWKRedEyeControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  const TRect r = DragViewRect(mapMode);
  rect = r.IsEmpty() ? TRect{} : InflateRect(r, 1);
}

void TWKRedEyeControl::PaintForeground(TWKViewCanvas& canvas) {
  if (!Active() || !Dragging_) return;
  const TRect frame = DragViewRect(canvas.MapMode);
  DrawRectangle(canvas, frame, TBGRPixel{255, 255, 255}, false);
  DrawRectangle(canvas, frame, TBGRPixel{0, 0, 0}, true);
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
  AddRepairMenuItem();
  Localize();
}

void TWKRedEyeTool::AddRepairMenuItem() {
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr) return;
  RepairAllMenuItem_ = editor->AddEditMenuItem(LanguageString(RedEyeNames::RepairAllText), "Ctrl+E",
                                               [this] { RepairAllEyesClick(); });
}

void TWKRedEyeTool::Localize() {
  using namespace RedEyeNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (RepairAllMenuItem_ != nullptr) RepairAllMenuItem_->SetCaption(LanguageString(RepairAllText));
  if (Frame_ == nullptr) return;
  TRedEyeFrameTexts texts;
  texts.Title = title;
  texts.AreaSize = LanguageString(AreaSizeText) + ": " + std::to_string(Params_.AreaSize);
  texts.Border = LanguageString(BorderText) + ": " + std::to_string(Params_.Border) + " " + LanguageString(PixelUnitText);
  texts.Brightness = LanguageString(BrightnessText) + ": " + std::to_string(Params_.Brightness);
  texts.RepairAll = LanguageString(RepairAllText);
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
  if (PendingRepair_) {
    AddStepState(std::make_unique<TWKEyeRepairCommandState>(this, rect, *doc, Params_, PendingRepair_->Selection,
                                                            PendingRepair_->Area, PendingRepair_->Eyes));
    return;
  }
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
                                  BrightnessControl, PreviewControl, RepairAllControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(AreaSizeCommand), Params_.AreaSize, [this](int32_t v) { SetAreaSize(v); });
    registry->RegisterInteger(ScriptNamed(BorderSizeCommand), Params_.Border, [this](int32_t v) { SetBorder(v); });
    registry->RegisterInteger(ScriptNamed(BrightnessCommand), Params_.Brightness, [this](int32_t v) { SetBrightness(v); });
    registry->RegisterProcedure(ScriptNamed(RepairAllCommand), [this] { RepairAllEyesClick(); });
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

void TWKRedEyeTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  if (RepairAllMenuItem_ != nullptr) {
    TWKGraphicsEditor* editor = Editor();
    RepairAllMenuItem_->SetEnabled(EditableView() != nullptr && editor != nullptr && editor->CanToolEdit(this));
  }
}

void TWKRedEyeTool::Reapply() {
  if (Restoring_) return;
  // Only a step that can be applied again is undone; otherwise the value is just kept.
  if (const auto* repair = LastDoneState<TWKEyeRepairCommandState>()) {
    const TRect area = repair->Area;
    if (UndoOwnStep<TWKEyeRepairCommandState>()) RepairAllEyes(area);
  } else if (CanApply() && UndoOwnStep<TWKRedEyeCommandState>()) {
    ApplyCorrection();
  }
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
  // A repair of every eye has no click to re-aim.
  if (state == nullptr || dynamic_cast<const TWKEyeRepairCommandState*>(state) != nullptr) return;
  const TSize area = Frame_->PreviewArea();
  const TRedEyePreviewPlacement placement =
      CenteredPreviewRect(state->StateRect(), area.Width, area.Height, PreviewZoom_);
  SetClickPoint(placement.ToImage(panelPoint));
  Reapply();
}

void TWKRedEyeTool::ShowStatus(const std::string& text) const {
  if (TWKGraphicsEditor* editor = Editor()) editor->ShowStatusMessage(text);
}

void TWKRedEyeTool::UpdatePreviewZoom(const TRect& bounds) {
  if (Frame_ == nullptr) return;
  const TSize area = Frame_->PreviewArea();
  PreviewZoom_ = ComputePreviewZoom(bounds, area.Width, area.Height, PreviewZoom_);
}

int32_t TWKRedEyeTool::RepairAllEyes(const TRect& area) {
  TWKGraphicsView* view = EditableView();
  if (view == nullptr) return 0;
  const TRect searched = IntersectRect(area, view->Document().ImageRect());
  // Found on the image as it is; nothing is changed and no step stored when there is none.
  const std::vector<TFoundEye> eyes = FindEyes(*view->Document().CurrentPixels(), searched);
  if (eyes.empty()) {
    ShowStatus(LanguageString(RedEyeNames::NoEyesText));
    return 0;
  }
  if (!BeginEdit(*view)) return 0;
  const TEyeRepairTuning tuning{Params_.Border, Params_.Brightness};
  TEyesRepaired done = RepairEyes(*Backup(), *CurrentPixels(), eyes, tuning);
  UpdatePreviewZoom(done.Changed);
  if (!done.Changed.IsEmpty()) MarkDirty(done.Changed, false);
  PendingRepair_ = TPendingRepair{std::move(done.Selection), searched, done.Count};
  // The step's click point is the middle of the repaired area.
  Params_.ClickPoint = TPoint{(done.Changed.Left + done.Changed.Right) / 2, (done.Changed.Top + done.Changed.Bottom) / 2};
  EndEdit();
  PendingRepair_.reset();
  InvalidatePreviews();
  ShowStatus(LanguageString(RedEyeNames::EyesRepairedText) + ": " + std::to_string(done.Count));
  return done.Count;
}

void TWKRedEyeTool::RepairAllEyesClick() {
  RecordMove(RedEyeNames::RepairAllControl);
  RecordMessage(RedEyeNames::RepairAllMessage);
  Record(ScriptNamed(RedEyeNames::RepairAllCommand));
  TWKGraphicsDocument* doc = CurrentDocument();
  if (doc == nullptr) return;
  // The red-eye tool's frame holds the values that re-tune the repair.
  if (TWKGraphicsEditor* editor = Editor(); editor != nullptr && editor->CurrentTool() != this)
    editor->SetCurrentTool(this);
  RepairAllEyes(doc->ImageRect());
}

void TWKRedEyeTool::RepairEyesInDrag(const TRect& rect) {
  // The press that began the drag corrected its pixel as a click; that step is taken back.
  bool clickUndone = false;
  if (const auto* state = LastRedEyeState();
      state != nullptr && dynamic_cast<const TWKEyeRepairCommandState*>(state) == nullptr)
    clickUndone = UndoOwnStep<TWKRedEyeCommandState>();
  // With no eye found no step replaces the click, so it must not stay behind as a redo.
  if (RepairAllEyes(rect) == 0 && clickUndone)
    if (TWKGraphicsDocument* doc = CurrentDocument()) doc->History().DiscardRedo();
}
