#include "tools/framework/WKGraphicsTool.h"

#include <variant>

#include "documents/WKGraphicsCommandState.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKApplication.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKGraphicsView.h"

TWKGraphicsEditor* FindGraphicsEditor() {
  TWKApplication* app = Application();
  if (app == nullptr) return nullptr;
  for (int i = 0; i < app->ComponentCount(); ++i)
    if (auto* editor = dynamic_cast<TWKGraphicsEditor*>(app->Components(i))) return editor;
  return nullptr;
}

TWKGraphicsTool::TWKGraphicsTool(TWKComponent* owner) : TWKModuleWithControls(owner) {}

TWKGraphicsTool::~TWKGraphicsTool() {
  // Views can outlive the tools at shut-down; their controls then know no tool.
  for (TWKGraphicsToolControl* control : Controls_) control->Tool_ = nullptr;
  if (TWKGraphicsDocument* doc = EditDocument_; doc != nullptr && doc->EditTool() == this)
    doc->AbandonEditTransaction();
}

bool TWKGraphicsTool::ExecuteScriptCommand(const std::string& command,
                                           const TWKCustomProperties& params) {
  if (ScriptName.empty() || command != DemoName(ScriptName)) return false;
  SelectClick(nullptr);
  return true;
}

bool TWKGraphicsTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return false;
}

void TWKGraphicsTool::AddControl(TWKGraphicsToolControl* control) { Controls_.push_back(control); }

void TWKGraphicsTool::RemoveControl(TWKGraphicsToolControl* control) {
  std::erase(Controls_, control);
}

void TWKGraphicsTool::CreateControl(TWKGraphicsView& view) {
  if (!ControlClass) return;
  std::unique_ptr<TWKGraphicsToolControl> control = ControlClass(*this, view);
  if (control == nullptr) return;
  TWKGraphicsToolControl* raw = control.get();
  view.Objects().Add(std::move(control));  // on top: later tools see input first
  raw->Init();
}

TWKGraphicsToolControl* TWKGraphicsTool::Controls(int32_t index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return Controls_[static_cast<size_t>(index)];
}

void TWKGraphicsTool::MarkDirty(const TRect& rect, bool replace) {
  if (EditDocument_ != nullptr) EditDocument_->MarkDirty(rect, replace);
}

bool TWKGraphicsTool::HoldsTransaction() const {
  return EditDocument_ != nullptr && EditDocument_->EditActive() && EditDocument_->EditTool() == this;
}

void TWKGraphicsTool::StoreUndoState() {
  TWKGraphicsDocument* doc = EditDocument_;
  if (doc == nullptr) return;
  const TRect dirty = doc->DirtyRect();
  if (dirty.IsEmpty()) return;
  doc->History().Add(std::make_unique<TWKGraphicsCommandState>(this, dirty, *doc));
  doc->RefreshBackupRect(dirty);
}

bool TWKGraphicsTool::BeginEdit(TWKGraphicsView& view) {
  TWKGraphicsDocument& doc = view.Document();
  // A shared original and backup take their own copies before the first pixel changes.
  if (doc.CurrentPixels() == nullptr || !doc.OwnPixels()) return false;
  doc.BeginEditTransaction(this);
  EditView_ = &view;
  EditDocument_ = &doc;
  CurrentPixels_ = doc.CurrentPixels();
  Backup_ = &doc.Backup;
  OriginalPixels_ = doc.OriginalPixels();
  return true;
}

void TWKGraphicsTool::EndEdit() {
  if (EditDocument_ == nullptr) return;
  StoreUndoState();
  // Taken over: the document has closed the transaction already and commits nothing twice.
  if (HoldsTransaction()) EditDocument_->EndEditTransaction(this);
  ClearEditReferences();
}

void TWKGraphicsTool::CancelEdit() {
  if (HoldsTransaction()) {
    TWKGraphicsDocument& doc = *EditDocument_;
    const TRect dirty = IntersectRect(doc.DirtyRect(), doc.ImageRect());
    // The backup differs from the current image only inside the dirty rectangle.
    if (!dirty.IsEmpty() && CurrentPixels_ != nullptr && doc.Backup.Bits != nullptr &&
        doc.Backup.BoundsRect() == CurrentPixels_->BoundsRect()) {
      CurrentPixels_->CopyRect(dirty.Left, dirty.Top, dirty, doc.Backup);
      doc.InvalidateImageRect(dirty);
    }
    doc.AbandonEditTransaction();
  }
  ClearEditReferences();
}

void TWKGraphicsTool::ClearEditReferences() {
  EditView_ = nullptr;
  EditDocument_ = nullptr;
  CurrentPixels_ = nullptr;
  Backup_ = nullptr;
  OriginalPixels_ = nullptr;
}

void TWKGraphicsTool::CurrentPixelsChanged(TWKGraphicsDocument& document) {
  if (EditDocument_ != &document) return;
  CurrentPixels_ = document.CurrentPixels();
  OriginalPixels_ = document.OriginalPixels();
}

void TWKGraphicsTool::DocumentOpened(TWKGraphicsDocument& document) {
  if (TWKGraphicsEditor* editor = Editor(); editor != nullptr && editor->PluginMode())
    SetAvailable(PluginAvailable);
}

void TWKGraphicsTool::SetAvailable(bool value) {
  if (ToolFrame_ != nullptr) ToolFrame_->SetFrameVisible(value);
  if (Button != nullptr) Button->SetVisible(value);
  Available_ = value;
}

void TWKGraphicsTool::SetFrameControlsEnabled(bool value) {
  if (ToolFrame_ != nullptr) ToolFrame_->SetControlsEnabled(value);
}

void TWKGraphicsTool::SelectClick(const void* sender) {
  if (TWKGraphicsEditor* editor = Editor()) editor->SetCurrentTool(this);
  if (Recorder_ == nullptr || ScriptName.empty()) return;
  Recorder_->AddLine("MouseCurvedMove " + ScriptName);
  Recorder_->AddLine(MessageLine(ScriptName));
  Recorder_->AddLine(ScriptName);
}

void TWKGraphicsTool::Activate() {
  for (TWKGraphicsToolControl* control : std::vector(Controls_)) control->Activate();
  Active_ = true;
  if (ToolFrame_ != nullptr) ToolFrame_->BringToFront();
}

void TWKGraphicsTool::Deactivate() {
  for (TWKGraphicsToolControl* control : std::vector(Controls_)) control->Deactivate();
  Active_ = false;
}

void TWKGraphicsTool::UpdateControls() {
  TWKGraphicsEditor* editor = Editor();
  const bool checked = editor != nullptr && editor->CurrentTool() == this;
  const bool enabled = editor != nullptr && editor->CanToolEdit(this);
  if (Button != nullptr) {
    Button->SetChecked(checked);
    Button->SetEnabled(enabled);
  }
  SetFrameControlsEnabled(checked && enabled);
}

TWKGraphicsEditor* TWKGraphicsTool::Editor() const { return FindGraphicsEditor(); }

TWKGraphicsDocument* TWKGraphicsTool::CurrentDocument() const {
  TWKGraphicsEditor* editor = Editor();
  return editor != nullptr ? editor->CurrentImageDocument() : nullptr;
}

TWKGraphicsView* TWKGraphicsTool::EditableView() const {
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr) return nullptr;
  TWKGraphicsDocument* doc = editor->CurrentImageDocument();
  TWKGraphicsView* view = editor->CurrentView();
  if (doc == nullptr || view == nullptr || &view->Document() != doc) return nullptr;
  if (doc->EditActive() || doc->CurrentPixels() == nullptr) return nullptr;
  return view;
}

const TWKCommandState* TWKGraphicsTool::LastDoneOf(TWKGraphicsDocument& document) {
  return document.History().LastDone();
}

void TWKGraphicsTool::UndoLastStep() {
  if (TWKGraphicsDocument* doc = CurrentDocument()) doc->History().Undo();
}

TRect TWKGraphicsTool::StepRect(TPoint fallback) const {
  if (EditDocument_ == nullptr) return TRect{};
  const TRect dirty = EditDocument_->DirtyRect();
  const TRect rect = dirty.IsEmpty() ? Bounds(fallback.X, fallback.Y, 1, 1) : dirty;
  return IntersectRect(rect, EditDocument_->ImageRect());
}

void TWKGraphicsTool::AddStepState(std::unique_ptr<TWKGraphicsCommandState> state) {
  if (EditDocument_ == nullptr || state == nullptr) return;
  const TRect rect = state->StateRect();
  EditDocument_->History().Add(std::move(state));
  EditDocument_->RefreshBackupRect(rect);
}

void TWKGraphicsTool::EndEditOnClosing(TWKGraphicsDocument& document) {
  if (document.EditActive() && document.EditTool() == this) EndEdit();
}

void TWKGraphicsTool::Record(const std::string& line) const {
  if (Recorder_ != nullptr) Recorder_->AddLine(line);
}

std::string TWKGraphicsTool::ScriptNamed(std::string_view suffix) const {
  std::string name = ScriptName;
  name += suffix;
  return name;
}

void TWKGraphicsTool::RecordMove(std::string_view suffix) const {
  if (Recorder_ != nullptr) Record("MouseCurvedMove " + ScriptNamed(suffix));
}

void TWKGraphicsTool::RecordMessage(std::string_view text) const {
  if (Recorder_ != nullptr && Recorder_->ShowsMessages()) Record(MessageLine(std::string(text)));
}

void TWKGraphicsTool::RecordValue(std::string_view suffix, int32_t value) const {
  if (Recorder_ != nullptr) Record(ScriptNamed(suffix) + ' ' + std::to_string(value));
}

void TWKGraphicsTool::RecordControl(std::string_view suffix) const {
  RecordMove(suffix);
  Record(ScriptNamed(suffix));
}

bool TWKGraphicsTool::ButtonScriptPoint(const TWKCustomProperties& params, TPoint& point) const {
  const TWKVariant first = params.GetVariant(0);
  const std::string* name = std::get_if<std::string>(&first);
  if (name == nullptr || DemoName(*name) != DemoName(ScriptName)) return false;
  return ShownCenter(Button, point);
}

void TWKGraphicsTool::AddPanelButton(std::string_view caption, int32_t panelWidth) {
  IWKToolPanel* panel = ToolPanelService();
  if (panel == nullptr) return;
  Button = panel->AddToolButton(std::string(caption), [this] { SelectClick(Button); });
  panel->SetPanelWidth(panelWidth);
}

void TWKGraphicsTool::RegisterButtonAndFrameControls(std::initializer_list<std::string_view> controls) {
  TWKDemoRegistry* registry = DemoRegistry();
  if (registry == nullptr) return;
  if (IWKToolButton* button = Button) {
    registry->RegisterComponent(DemoName(ScriptName), button, [button]() -> std::optional<TPoint> {
      TPoint point;
      if (!ShownCenter(button, point)) return std::nullopt;
      return point;
    });
  }
  IWKToolFrame* frame = ToolFrame_;
  if (frame == nullptr) return;
  for (std::string_view control : controls)
    registry->RegisterComponent(ScriptNamed(control), frame->Control(control),
                                [frame, name = std::string(control)] { return frame->ControlCenter(name); });
}
