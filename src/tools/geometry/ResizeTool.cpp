#include "tools/geometry/ResizeTool.h"

#include <charconv>

#include "documents/WKBusyCursor.h"
#include "documents/WKDocumentTexts.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "framework/WKMessageBox.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKGraphicsView.h"

namespace {

// The whole text as a decimal integer (an optional sign, then digits only).
bool WholeInteger(const std::string& text, int32_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  int32_t parsed = 0;
  const auto [end, error] = std::from_chars(first, last, parsed);
  if (error != std::errc() || end != last || first == last) return false;
  value = parsed;
  return true;
}

std::string SizeText(int32_t width, int32_t height) {
  return std::to_string(width) + " \xC3\x97 " + std::to_string(height);
}

// Switches the draft resampler on or off for its lifetime.
class TResamplerChoice {
 public:
  explicit TResamplerChoice(bool quickDraft) : Saved_(QuickDraftResampling) { QuickDraftResampling = quickDraft; }
  ~TResamplerChoice() { QuickDraftResampling = Saved_; }

 private:
  bool Saved_;
};

}  // namespace

// ---- Command state

TWKResizeCommandState::TWKResizeCommandState(TWKResizeTool* tool, TWKGraphicsDocument& document,
                                             std::unique_ptr<TWKGeometrySnapshot> before,
                                             int32_t width, int32_t height, bool quickDraft)
    : TWKCustomGraphicsCommandState(tool, document.ImageRect(), document),
      NewWidth(width),
      NewHeight(height),
      QuickDraft(quickDraft),
      Before_(std::move(before)) {}

void TWKResizeCommandState::Undo() {
  Before_->Restore(Document());
  TWKCustomGraphicsCommandState::Undo();
}

void TWKResizeCommandState::Redo() {
  {
    TWKBusyCursor busy;
    const TResamplerChoice resampler(QuickDraft);
    Document().Resize(NewWidth, NewHeight, true);
  }
  TWKCustomGraphicsCommandState::Redo();
}

// ---- Tool

TWKResizeTool::TWKResizeTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "ResizeTool";
  ScriptName = std::string(ResizeNames::ScriptName);
}

TWKResizeTool::~TWKResizeTool() = default;

void TWKResizeTool::AfterConstruction() {
  AddPanelButton(ResizeNames::ButtonCaption, kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  SetConstrainProportions(true);
  Localize();
}

void TWKResizeTool::Localize() {
  using namespace ResizeNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ == nullptr) return;
  TResizeFrameTexts texts;
  texts.Title = title;
  texts.NewSize = LanguageString(NewSizeText) + ":";
  texts.Width = LanguageString(WidthText) + ":";
  texts.Height = LanguageString(HeightText) + ":";
  texts.Constrain = LanguageString(ConstrainText);
  texts.Ok = LanguageString(OkText);
  texts.Cancel = LanguageString(CancelText);
  Frame_->SetTexts(texts);
}

void TWKResizeTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  const bool usable = editor != nullptr && editor->CurrentTool() == this && editor->CanToolEdit(this);
  if (usable && Frame_ != nullptr)
    Frame_->SetActionsEnabled(NewWidth_ != ImageWidth() || NewHeight_ != ImageHeight());
}

TWKGraphicsDocument* TWKResizeTool::CurrentDocument() const {
  TWKGraphicsEditor* editor = Editor();
  return editor != nullptr ? editor->CurrentImageDocument() : nullptr;
}

int32_t TWKResizeTool::ImageWidth() const {
  const TWKGraphicsDocument* doc = CurrentDocument();
  return doc != nullptr ? doc->CurrentImage.Width() : 1;
}

int32_t TWKResizeTool::ImageHeight() const {
  const TWKGraphicsDocument* doc = CurrentDocument();
  return doc != nullptr ? doc->CurrentImage.Height() : 1;
}

void TWKResizeTool::ShowValues() {
  if (Frame_ == nullptr) return;
  Frame_->ShowWidth(NewWidth_);
  Frame_->ShowHeight(NewHeight_);
  Frame_->SetConstrainChecked(ConstrainProportions_);
}

void TWKResizeTool::DocumentOpened(TWKGraphicsDocument& document) {
  TWKGraphicsTool::DocumentOpened(document);
  SetNewWidth(document.CurrentImage.Width());
  SetNewHeight(document.CurrentImage.Height());
  if (TWKGraphicsEditor* editor = Editor())
    editor->ShowImageSize(document.CurrentImage.Width(), document.CurrentImage.Height());
  ShowValues();
}

void TWKResizeTool::Activate() {
  TWKGraphicsTool::Activate();
  SetNewWidth(ImageWidth());
  SetNewHeight(ImageHeight());
  ShowValues();
}

void TWKResizeTool::ResetControls() {
  if (CurrentDocument() == nullptr) return;
  SetNewWidth(ImageWidth());
  SetNewHeight(ImageHeight());
}

bool TWKResizeTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return ButtonScriptPoint(params, point) || TWKGraphicsTool::GetScriptCommandPoint(params, point);
}

void TWKResizeTool::RegisterDemoObjects() {
  using namespace ResizeNames;
  RegisterButtonAndFrameControls({WidthControl, HeightControl, ProportionsControl, PerformControl, CancelControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(WidthControl), 100, [this](int32_t v) { SetNewWidth(v); });
    registry->RegisterInteger(ScriptNamed(HeightControl), 100, [this](int32_t v) { SetNewHeight(v); });
    registry->RegisterProcedure(ScriptNamed(PerformControl), [this] { Perform(); });
    registry->RegisterProcedure(ScriptNamed(CancelControl), [this] { ResetControls(); });
    registry->RegisterBoolean(ScriptNamed("Proportional"), true, [this](bool v) { SetConstrainProportions(v); });
    registry->RegisterBoolean(ScriptNamed("Disproportional"), false, [this](bool v) { SetConstrainProportions(v); });
  }
  TWKGraphicsTool::RegisterDemoObjects();
}

void TWKResizeTool::SetNewWidth(int32_t value) {
  if (value == NewWidth_) return;
  NewWidth_ = value < 2 ? 1 : value;
  if (ConstrainProportions_) {
    NewHeight_ = MulDiv(ImageHeight(), NewWidth_, ImageWidth());
    if (Frame_ != nullptr) Frame_->ShowHeight(NewHeight_);
  }
  if (Frame_ != nullptr) Frame_->ShowWidth(NewWidth_);
}

void TWKResizeTool::SetNewHeight(int32_t value) {
  if (value == NewHeight_) return;
  NewHeight_ = value < 2 ? 1 : value;
  if (ConstrainProportions_) {
    NewWidth_ = MulDiv(ImageWidth(), NewHeight_, ImageHeight());
    if (Frame_ != nullptr) Frame_->ShowWidth(NewWidth_);
  }
  if (Frame_ != nullptr) Frame_->ShowHeight(NewHeight_);
}

void TWKResizeTool::SetConstrainProportions(bool value) {
  if (value == ConstrainProportions_) return;
  ConstrainProportions_ = value;
  if (Frame_ != nullptr) Frame_->SetConstrainChecked(value);
  if (!value) return;
  int32_t width = 0, height = 0;
  if (!FitSize(ImageWidth(), ImageHeight(), NewWidth_, NewHeight_, width, height)) return;
  NewWidth_ = width;
  NewHeight_ = height;
  if (Frame_ != nullptr) {
    Frame_->ShowWidth(NewWidth_);
    Frame_->ShowHeight(NewHeight_);
  }
}

void TWKResizeTool::Refuse(const TWKLanguageText& message) const {
  if (TWKApplication* app = Application())
    app->MessageBox(FormatText(LanguageString(message), SizeText(NewWidth_, NewHeight_)), MB_OK | MB_ICONERROR);
}

bool TWKResizeTool::Perform() {
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsView* view = editor != nullptr ? editor->CurrentView() : nullptr;
  if (view == nullptr || !editor->CanToolEdit(this)) return false;
  // With proportions kept a side can come out as 0; the image is never asked to be empty.
  if (NewWidth_ < 1 || NewHeight_ < 1) {
    Refuse(ResizeNames::EmptySizeMessage);
    return false;
  }
  TWKGraphicsDocument& doc = view->Document();
  {
    TWKBusyCursor busy;
    if (!BeginEdit(*view)) return false;
    // The step is stored only once the resized images exist: a size whose memory cannot be had
    // leaves the document and its history as they were.
    std::unique_ptr<TWKGeometrySnapshot> before = TWKGeometrySnapshot::Take(doc);
    if (!before || !doc.Resize(NewWidth_, NewHeight_, true)) {
      CancelEdit();
      Refuse(ResizeNames::NoMemoryMessage);
      return false;
    }
    doc.History().Add(std::make_unique<TWKResizeCommandState>(this, doc, std::move(before), NewWidth_,
                                                              NewHeight_, QuickDraftResampling));
    EndEdit();
  }
  ResetControls();
  return true;
}

void TWKResizeTool::WidthEditChange(const std::string& text) {
  int32_t value = 0;
  if (!WholeInteger(text, value)) return;
  SetNewWidth(value);
  RecordValue("Width", value);
}

void TWKResizeTool::HeightEditChange(const std::string& text) {
  int32_t value = 0;
  if (!WholeInteger(text, value)) return;
  SetNewHeight(value);
  RecordValue("Height", value);
}

void TWKResizeTool::ConstrainProportionsCheckBoxChange(bool checked) {
  SetConstrainProportions(checked);
  RecordMove(ResizeNames::ProportionsControl);
  Record(ScriptNamed(checked ? "Proportional" : "Disproportional"));
}

void TWKResizeTool::OkButtonClick() {
  Perform();
  RecordControl(ResizeNames::PerformControl);
}

void TWKResizeTool::CancelButtonClick() {
  ResetControls();
  RecordControl(ResizeNames::CancelControl);
}
