#include "tools/geometry/RotateTool.h"

#include <algorithm>

#include "documents/WKBusyCursor.h"
#include "documents/WKEditorUI.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKGraphicsView.h"

namespace {

bool ValidOperation(uint8_t op) { return op >= RotateLeftOperation && op <= FlipVerticalOperation; }

size_t Index(uint8_t op) { return static_cast<size_t>(op - 1); }

}  // namespace

uint8_t InverseRotateOperation(uint8_t op) {
  switch (op) {
    case RotateLeftOperation:
      return RotateRightOperation;
    case RotateRightOperation:
      return RotateLeftOperation;
    case MirrorHorizontalOperation:
    case FlipVerticalOperation:
      return op;
    default:
      return RotateNone;
  }
}

bool ApplyRotateOperation(TWKGraphicsDocument& document, uint8_t op) {
  switch (op) {
    case RotateLeftOperation:
      return document.RotateLeft();
    case RotateRightOperation:
      return document.RotateRight();
    case MirrorHorizontalOperation:
      return document.MirrorHorizontal();
    case FlipVerticalOperation:
      return document.FlipVertical();
    default:
      return false;
  }
}

bool ApplyRotateOperation(TWKLTBitmap& bitmap, uint8_t op) {
  switch (op) {
    case RotateLeftOperation:
      return bitmap.RotateLeft();
    case RotateRightOperation:
      return bitmap.RotateRight();
    case MirrorHorizontalOperation:
      return bitmap.MirrorHorizontal();
    case FlipVerticalOperation:
      return bitmap.FlipVertical();
    default:
      return false;
  }
}

// ---- Command state

TWKRotateCommandState::TWKRotateCommandState(TWKRotateTool* tool, TWKGraphicsDocument& document,
                                             uint8_t operation)
    : TWKCustomGraphicsCommandState(tool, document.ImageRect(), document),
      RotateTool_(tool),
      Operation_(operation) {}

void TWKRotateCommandState::Apply(uint8_t op) {
  {
    TWKBusyCursor busy;
    ApplyRotateOperation(Document(), op);
  }
  if (RotateTool_ != nullptr) {
    RotateTool_->BuildThumbnail(&Document());
    RotateTool_->ShowPreview();
  }
}

void TWKRotateCommandState::Undo() {
  Apply(InverseRotateOperation(Operation_));
  TWKCustomGraphicsCommandState::Undo();
}

void TWKRotateCommandState::Redo() {
  Apply(Operation_);
  TWKCustomGraphicsCommandState::Redo();
}

// ---- Tool

TWKRotateTool::TWKRotateTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "RotateTool";
  ScriptName = std::string(RotateNames::ScriptName);
}

TWKRotateTool::~TWKRotateTool() = default;

void TWKRotateTool::AfterConstruction() {
  AddPanelButton(LanguageString(RotateNames::TitleText), kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  SetOptionsShown(false);
  Localize();
}

std::string TWKRotateTool::PerformCaption() const {
  const uint8_t op = Frame_ != nullptr ? Frame_->SelectedOperation() : uint8_t{RotateNone};
  const uint8_t shown = ValidOperation(op) ? op : uint8_t{RotateRightOperation};
  return LanguageString(RotateNames::OperationTexts[Index(shown)]);
}

void TWKRotateTool::Localize() {
  const std::string title = LanguageString(RotateNames::TitleText);
  if (Button != nullptr) {
    Button->SetCaption(title);
    Button->SetHint(title);
  }
  for (size_t i = 0; i < RotateNames::BarOrder.size(); ++i) {
    const std::string text = LanguageString(RotateNames::OperationTexts[Index(RotateNames::BarOrder[i])]);
    for (IWKUIItem* item : {ToolbarButtons_[i], MenuItems_[i]}) {
      if (item == nullptr) continue;
      item->SetCaption(text);
      item->SetHint(text);
    }
  }
  if (Frame_ == nullptr) return;
  TRotateFrameTexts texts;
  texts.Title = title;
  for (size_t i = 0; i < texts.Operations.size(); ++i)
    texts.Operations[i] = LanguageString(RotateNames::OperationTexts[i]);
  texts.Options = LanguageString(OptionsShown_ ? RotateNames::HideOptionsText : RotateNames::ShowOptionsText);
  texts.Perform = PerformCaption();
  Frame_->SetTexts(texts);
}

void TWKRotateTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  const bool enabled = editor != nullptr && editor->CanToolEdit(this);
  for (const auto& items : {ToolbarButtons_, MenuItems_})
    for (IWKUIItem* item : items)
      if (item != nullptr) item->SetEnabled(enabled);
}

void TWKRotateTool::StoreUndoState() {
  TWKGraphicsDocument* doc = EditDocument();
  if (doc == nullptr || !ValidOperation(Operation_)) return;
  // The backup is not touched: the document operation refreshed it.
  doc->History().Add(std::make_unique<TWKRotateCommandState>(this, *doc, Operation_));
}

void TWKRotateTool::DocumentOpened(TWKGraphicsDocument& document) {
  BuildThumbnail(&document);
  ShowPreview();
  TWKGraphicsTool::DocumentOpened(document);
}

void TWKRotateTool::Activate() {
  TWKGraphicsTool::Activate();
  RefreshThumbnail();
}

bool TWKRotateTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return ButtonScriptPoint(params, point) || TWKGraphicsTool::GetScriptCommandPoint(params, point);
}

void TWKRotateTool::RegisterDemoObjects() {
  using namespace RotateNames;
  RegisterButtonAndFrameControls({ViewControl, OptionControls[0], OptionControls[1], OptionControls[2],
                                  OptionControls[3], DirectControls[0], DirectControls[1],
                                  DirectControls[2], DirectControls[3], PerformControl, OptionsControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    for (uint8_t op = RotateLeftOperation; op <= FlipVerticalOperation; ++op) {
      const void* radio = Frame_ != nullptr ? Frame_->Control(OptionControls[Index(op)]) : nullptr;
      registry->RegisterClick(ScriptNamed(OptionControls[Index(op)]), radio, [this, op](const void*) {
        if (Frame_ != nullptr) Frame_->CheckOperation(op);
      });
      registry->RegisterProcedure(ScriptNamed(DirectControls[Index(op)]), [this, op] { Perform(op); });
    }
    const void* perform = Frame_ != nullptr ? Frame_->Control(PerformControl) : nullptr;
    registry->RegisterClick(ScriptNamed(PerformControl), perform, [this](const void*) { RotateButtonClick(); });
    registry->RegisterBoolean(ScriptNamed("ShowOptions"), true, [this](bool v) { SetOptionsShown(v); });
    registry->RegisterBoolean(ScriptNamed("HideOptions"), false, [this](bool v) { SetOptionsShown(v); });
  }
  TWKGraphicsTool::RegisterDemoObjects();
}

void TWKRotateTool::AddCommandItems(IWKMainWindow& window, IWKUIItem* toolbar, IWKUIItem* menu) {
  if (toolbar != nullptr) window.AddToolbarSeparator(toolbar, nullptr);
  if (menu != nullptr) window.AddSeparator(menu, nullptr);
  for (size_t i = 0; i < RotateNames::BarOrder.size(); ++i) {
    const uint8_t op = RotateNames::BarOrder[i];
    const std::string text = LanguageString(RotateNames::OperationTexts[Index(op)]);
    const int32_t image = RotateNames::BarImages[i];
    if (toolbar != nullptr)
      ToolbarButtons_[i] = window.AddToolbarButton(toolbar, nullptr, text, image, [this, op] { CommandItemClick(op); });
    if (menu != nullptr)
      MenuItems_[i] = window.AddMenuItem(text, "", nullptr, menu, image, [this, op] { CommandItemClick(op); });
  }
}

TWKGraphicsDocument* TWKRotateTool::CurrentDocument() const {
  TWKGraphicsEditor* editor = Editor();
  return editor != nullptr ? editor->CurrentImageDocument() : nullptr;
}

bool TWKRotateTool::Perform(uint8_t op) {
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsView* view = editor != nullptr ? editor->CurrentView() : nullptr;
  // Another tool's exclusive change in progress (an adjustment cycle) is not cut short.
  if (view == nullptr || !ValidOperation(op) || !editor->CanToolEdit(this)) return false;
  bool changed = false;
  {
    TWKBusyCursor busy;
    if (!BeginEdit(*view)) return false;
    Operation_ = op;
    changed = ApplyRotateOperation(view->Document(), op);
    // A turn that could not have its memory changed nothing: it leaves no step to invert.
    if (changed)
      EndEdit();
    else
      CancelEdit();
  }
  RefreshThumbnail();
  return changed;
}

void TWKRotateTool::CommandItemClick(uint8_t op) {
  TWKGraphicsEditor* editor = Editor();
  const bool turn = op == RotateLeftOperation || op == RotateRightOperation;
  if (Perform(op) && turn && editor != nullptr && editor->PluginMode()) Perform(op);
}

void TWKRotateTool::DirectButtonClick(uint8_t op) {
  if (!ValidOperation(op)) return;
  Perform(op);
  RecordControl(RotateNames::DirectControls[Index(op)]);
}

void TWKRotateTool::RotateRadioButtonChange(uint8_t op, bool checked) {
  if (!checked || !ValidOperation(op)) return;
  Localize();  // the perform button takes the checked option's caption
  ShowPreview();
  RecordControl(RotateNames::OptionControls[Index(op)]);
}

void TWKRotateTool::RotateButtonClick() {
  if (Frame_ != nullptr) Perform(Frame_->SelectedOperation());
  ShowPreview();
  RecordControl(RotateNames::PerformControl);
}

void TWKRotateTool::SetOptionsShown(bool value) {
  OptionsShown_ = value;
  if (Frame_ != nullptr) {
    Frame_->ShowOptionsPanel(value);
    Localize();
  }
  if (value) ShowPreview();
  RecordMove(RotateNames::OptionsControl);
  Record(ScriptNamed(value ? "ShowOptions" : "HideOptions"));
}

void TWKRotateTool::RefreshThumbnail() {
  BuildThumbnail(CurrentDocument());
  ShowPreview();
}

void TWKRotateTool::BuildThumbnail(TWKGraphicsDocument* document) {
  Thumbnail_.reset();
  if (document == nullptr || !Active() || Frame_ == nullptr || !Frame_->OptionsPanelShown()) return;
  const TSize box = Frame_->ThumbnailViewSize();
  const int32_t limit = std::min(box.Width, box.Height) - 2;
  if (limit >= 1) Thumbnail_ = document->ScaledCopy(limit);
}

void TWKRotateTool::ShowPreview() {
  if (!Active() || Frame_ == nullptr || !Frame_->OptionsPanelShown()) return;
  TWKGraphicsDocument* document = CurrentDocument();
  if (document == nullptr) return;
  PreviewBitmap_.reset();
  if (!Thumbnail_) BuildThumbnail(document);
  if (Thumbnail_) {
    PreviewBitmap_ = Thumbnail_->Clone();
    if (PreviewBitmap_) ApplyRotateOperation(*PreviewBitmap_, Frame_->SelectedOperation());
  }
  Frame_->RepaintThumbnail();
}
