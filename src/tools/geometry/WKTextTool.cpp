#include "tools/geometry/WKTextTool.h"

#include <algorithm>
#include <cmath>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"
#include "view/WKGraphicsView.h"
#include "view/WKViewCanvas.h"

// ---- TWKTextToolControl

TWKTextToolControl::TWKTextToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {}

TWKTextTool* TWKTextToolControl::TextTool() const { return dynamic_cast<TWKTextTool*>(Tool()); }

TRect TWKTextToolControl::ImageRect() const { return View().Document().ImageRect(); }

TRect TWKTextToolControl::ScreenBox() const { return View().MapMode().DocToDevRect(TextBox); }

void TWKTextToolControl::Activate() {
  TWKGraphicsToolControl::Activate();
  SetVisible(true);
}

void TWKTextToolControl::Deactivate() {
  SetVisible(false);
  TWKGraphicsToolControl::Deactivate();
}

void TWKTextToolControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = mapMode.DocToDevRect(ImageRect());
  if (BoxState == bsPresent) rect = TRect{rect.Left - 4, rect.Top - 4, rect.Right + 4, rect.Bottom + 4};
}

void TWKTextToolControl::PaintForeground(TWKViewCanvas& canvas) {
  if (BoxState == bsIdle) return;
  const TRect box = canvas.MapMode.DocToDevRect(TextBox);
  canvas.DrawFocusRect(box);
  if (BoxState != bsPresent) return;
  for (int32_t code = thTop; code <= thTopLeft; ++code) {
    const TPoint h = TextHandlePoint(box, code);
    canvas.InvertRect(::Bounds(h.X - 4, h.Y - 4, 9, 9));
    canvas.InvertRect(::Bounds(h.X - 3, h.Y - 3, 7, 7));
  }
}

bool TWKTextToolControl::GetCursor(TWKShiftState, TPoint point, int32_t& cursor) {
  if (!Active()) return false;
  if (BoxState == bsIdle) {
    cursor = crCross;
    return true;
  }
  if (BoxState != bsPresent) return false;
  switch (HandleHitTest(point)) {
    case thInside: cursor = crSizeAll; return true;
    case thTopRight: case thBottomLeft: cursor = crSizeNESW; return true;
    case thRight: case thLeft: cursor = crSizeWE; return true;
    case thBottomRight: case thTopLeft: cursor = crSizeNWSE; return true;
    case thTop: case thBottom: cursor = crSizeNS; return true;
    default: return false;
  }
}

bool TWKTextToolControl::MouseDown(int32_t button, TWKShiftState, TPoint point) {
  if (!Active()) return false;
  DragHandle = HandleHitTest(point);
  if (button != mbLeft) return false;
  const TPoint image = ClientToImage(point);
  if (BoxState == bsIdle && View().MapMode().DocToDevRect(ImageRect()).Contains(point)) {
    if (TWKGraphicsEditor* editor = View().Document().GraphicsEditor()) editor->LockTools();
    DragStart = image;
    TextBox = ::Bounds(image.X, image.Y, 1, 1);
    BoxState = bsDrawing;
    if (TWKTextTool* tool = TextTool()) {
      tool->TextShown = true;
      tool->ShownRect = TRect{};
    }
    return true;
  }
  if (BoxState == bsPresent && DragHandle >= thInside) {
    DragEdges = TextHandleEdges(DragHandle);
    if (const TWKTextTool* tool = TextTool()) {
      StartMirroredX = tool->MirroredX;
      StartMirroredY = tool->MirroredY;
    }
    StartBox = TextBox;
    DragStart = image;
    BoxState = bsDragging;
    return true;
  }
  return false;
}

void TWKTextToolControl::DragNewBox(TPoint image) {
  const TRect drawn{std::min(DragStart.X, image.X), std::min(DragStart.Y, image.Y), std::max(DragStart.X, image.X),
                    std::max(DragStart.Y, image.Y)};
  TextBox = IntersectRect(drawn, ImageRect());
  if (TWKTextTool* tool = TextTool()) {
    tool->MirroredX = image.X < DragStart.X;
    tool->MirroredY = image.Y < DragStart.Y;
  }
}

void TWKTextToolControl::DragHandleTo(TPoint image) {
  TRect box = MoveTextBox(StartBox, DragHandle, image.X - DragStart.X, image.Y - DragStart.Y);
  // A moved box may leave the image; a resized one stays on it.
  if (DragHandle != thInside) box = IntersectRect(box, ImageRect());
  TextBox = box;
  TWKTextTool* tool = TextTool();
  if (tool == nullptr) return;
  tool->MirroredX = StartMirroredX != ((DragEdges.Right && box.Left < StartBox.Left) ||
                                       (DragEdges.Left && box.Right > StartBox.Right));
  tool->MirroredY = StartMirroredY != ((DragEdges.Bottom && box.Top < StartBox.Top) ||
                                       (DragEdges.Top && box.Bottom > StartBox.Bottom));
}

bool TWKTextToolControl::MouseMove(TWKShiftState, TPoint point) {
  if (!Active()) return false;
  if (BoxState != bsDrawing && !(BoxState == bsDragging && DragHandle >= thInside)) return false;
  const TPoint image = ClientToImage(point);
  if (BoxState == bsDrawing)
    DragNewBox(image);
  else
    DragHandleTo(image);
  TWKTextTool* tool = TextTool();
  if (tool != nullptr) {
    if (BoxState == bsDrawing || DragHandle != thInside) tool->FitMaskToBox();
    tool->ApplyText();
  }
  InvalidateOverlay();
  TWKGraphicsEditor* editor = View().Document().GraphicsEditor();
  if (editor != nullptr && !TextBox.IsEmpty()) {
    if (editor->WStatusPanel != nullptr) editor->WStatusPanel->SetCaption(std::to_string(TextBox.Width()));
    if (editor->HStatusPanel != nullptr) editor->HStatusPanel->SetCaption(std::to_string(TextBox.Height()));
  }
  return true;
}

bool TWKTextToolControl::MouseUp(int32_t button, TWKShiftState, TPoint point) {
  TWKTextTool* tool = TextTool();
  if (!Active() || tool == nullptr) return false;
  if (button == mbLeft && (BoxState == bsDrawing || BoxState == bsDragging)) {
    BoxState = bsPresent;
    InvalidateOverlay();
    if (TextBox.Width() < 2 && TextBox.Height() < 2) tool->CancelEdit();
    return true;
  }
  if (BoxState != bsPresent) return false;
  if (button == mbLeft && HandleHitTest(point) == thNone) {
    tool->CommitText();
    return true;
  }
  if (button == mbRight) {
    tool->CancelEdit();
    return true;
  }
  return false;
}

bool TWKTextToolControl::KeyDown(uint16_t key, TWKShiftState) {
  TWKTextTool* tool = TextTool();
  if (!Active() || tool == nullptr || BoxState != bsPresent) return false;
  if (key == VK_RETURN) {
    tool->CommitText();
    return true;
  }
  if (key == VK_ESCAPE) {
    tool->CancelEdit();
    return true;
  }
  return false;
}

// ---- TWKTextTool

TWKTextTool::TWKTextTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  PluginAvailable = true;
  ScriptName = "Text";
  ExclusiveEditFlag = true;
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKTextToolControl>(tool, view);
  };
}

TWKTextTool::~TWKTextTool() = default;

void TWKTextTool::AfterConstruction() {
  AddPanelButton(LanguageString(TextNames::Title), kPanelWidth);
  Frame_ = FrameFactory_ ? FrameFactory_(*this) : nullptr;
  SetToolFrame(Frame_);
  if (Frame_ != nullptr) {
    if (IWKTextRasterizer* rasterizer = TextRasterizer()) Frame_->SetFontNames(rasterizer->FontNames());
    SelectDefaultFont();
  }
  TextShown = false;
  ColorBoxPending = true;
  SetFontSize(32);
  SetColorMode(0);
  SetSelectedColor(0);
  SetMaxInverse(false);
  SetFontStyle(0);
  Localize();
}

TWKTextToolControl* TWKTextTool::BoxControl() const { return dynamic_cast<TWKTextToolControl*>(Controls(0)); }

void TWKTextTool::SetFontSize(int32_t value) {
  if (value == FontSize_) return;
  FontSize_ = value;
  if (Frame_ != nullptr) Frame_->ShowFontSize(std::clamp(value, kMinFontSize, kMaxFontSize));
  RecordMove(TextNames::FontSizeControl);
  RecordValue(TextNames::FontSizeControl, value);
  RenderText();
}

void TWKTextTool::SetFontStyle(int32_t value) {
  if (value == FontStyle_) return;
  FontStyle_ = value;
  if (Frame_ != nullptr) Frame_->ShowFontStyle(value);
  RecordMove(TextNames::FontStyleControl);
  RecordValue(TextNames::FontStyleControl, value);
  RenderText();
}

void TWKTextTool::SetSelectedColor(uint32_t value) {
  if (value == Paint_.Color) return;
  Paint_.Color = value;
  if (Frame_ != nullptr) Frame_->ShowSelectedColor(value);
  RecordMove(TextNames::ColorControl);
  Record(ScriptNamed(TextNames::ColorControl) + " " + std::to_string(value));
  ApplyText();
}

void TWKTextTool::SetColorMode(int32_t value) {
  const bool changed = value != Paint_.ColorMode;
  Paint_.ColorMode = value;
  if (Frame_ != nullptr) Frame_->ShowColorMode(value);
  if (changed) FontColorClick(value);
}

void TWKTextTool::SetMaxInverse(bool value) {
  const bool changed = value != Paint_.MaxInverse;
  Paint_.MaxInverse = value;
  if (Frame_ != nullptr) Frame_->ShowMaxInverse(value);
  if (changed) MaxInverseClick(value);
}

void TWKTextTool::FontStyleButtonsClick(int32_t style) { SetFontStyle(style); }

void TWKTextTool::FontColorClick(int32_t mode) {
  Paint_.ColorMode = mode;
  RecordMove(TextNames::FontColorControl);
  RecordValue(TextNames::FontColorControl, mode);
  ApplyText();
}

void TWKTextTool::MaxInverseClick(bool checked) {
  Paint_.MaxInverse = checked;
  RecordMove(TextNames::MaxInverseControl);
  RecordValue(TextNames::MaxInverseControl, checked ? 1 : 0);
  ApplyText();
}

void TWKTextTool::SizeSpinEditChange(int32_t value) {
  SetFontSize(value);
  // One step per hundred points, halves to even, at least 1.
  if (Frame_ != nullptr) Frame_->SetFontSizeStep(std::max(1, static_cast<int32_t>(std::nearbyint(value / 100.0))));
}

std::optional<int32_t> TWKTextTool::FontSizeOnExit(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first != std::string_view::npos) text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  const bool number = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  return number ? std::nullopt : std::optional<int32_t>(kMinFontSize);
}

void TWKTextTool::SizeSpinEditExit(std::string_view text) {
  const std::optional<int32_t> value = FontSizeOnExit(text);
  if (!value) return;
  if (Frame_ != nullptr) Frame_->ShowFontSize(*value);
  SizeSpinEditChange(*value);
}

void TWKTextTool::SizeLabelDoubleClick() {
  if (TWKGraphicsEditor* editor = Editor()) editor->SetWindowSize(kQuickWindowWidth, kQuickWindowHeight);
}

TWKTextFont TWKTextTool::CurrentFont() const {
  return TWKTextFont{Frame_ != nullptr ? Frame_->SelectedFontName() : std::string(), FontSize_, FontStyle_};
}

void TWKTextTool::RenderText() {
  IWKTextRasterizer* rasterizer = TextRasterizer();
  if (BoxControl() == nullptr || Frame_ == nullptr || rasterizer == nullptr) return;
  const TWKTextFont font = CurrentFont();
  if (font.Face.empty()) return;
  if (!rasterizer->Render(font, Frame_->MemoLines(), TextMask)) TextMask.Clear();
  FitMaskToBox();
  ApplyText();
}

void TWKTextTool::FitMaskToBox() {
  const TWKTextToolControl* control = BoxControl();
  if (TextMask.Bits == nullptr || control == nullptr) return;
  FitTextMask(TextMask, control->TextBox.Width(), control->TextBox.Height(), FittedMask);
}

void TWKTextTool::RestoreBackground() {
  TWKGraphicsDocument* doc = CurrentDocument();
  if (doc == nullptr || doc->CurrentPixels() == nullptr || doc->Backup.Bits == nullptr) return;
  const TRect r = IntersectRect(IntersectRect(ShownRect, doc->ImageRect()), doc->Backup.BoundsRect());
  if (!r.IsEmpty()) doc->CurrentPixels()->CopyRect(r.Left, r.Top, r, doc->Backup);
}

void TWKTextTool::BlendText() {
  if (!TextShown) return;
  RestoreBackground();
  const TWKTextToolControl* control = BoxControl();
  TWKGraphicsDocument* doc = CurrentDocument();
  // The live text is drawn into the current pixels: a shared original and backup part from them
  // first, or the text would reach both.
  if (control == nullptr || doc == nullptr || doc->CurrentPixels() == nullptr || !doc->OwnPixels()) return;
  // What is blended now is what the next restore takes back, however often this runs before
  // the view repaints.
  ShownRect = control->TextBox;
  if (TextMask.Bits == nullptr || FittedMask.Bits == nullptr) return;
  BlendTextMask(*doc->CurrentPixels(), FittedMask, control->TextBox, MirroredX, MirroredY, Paint_);
}

void TWKTextTool::ApplyText() {
  const TRect before = ShownRect;
  BlendText();
  TWKTextToolControl* control = BoxControl();
  TWKGraphicsDocument* doc = CurrentDocument();
  if (control == nullptr || doc == nullptr) return;
  doc->InvalidateImageRect(IntersectRect(UnionRect(before, ShownRect), doc->ImageRect()));
  control->InvalidateOverlay();
}

void TWKTextTool::CommitText() {
  TWKTextToolControl* control = BoxControl();
  TWKGraphicsDocument* doc = CurrentDocument();
  if (control == nullptr || doc == nullptr) return;
  if (BeginEdit(control->View())) {
    // The box may lie partly off the image: the step holds only what is on it.
    MarkDirty(IntersectRect(control->TextBox, doc->ImageRect()), false);
    EndEdit();
  }
  ResetBox();
}

void TWKTextTool::ResetBox() {
  TWKTextToolControl* control = BoxControl();
  if (control == nullptr) return;
  control->InvalidateOverlay();
  control->BoxState = TWKTextToolControl::bsIdle;
  if (TWKGraphicsEditor* editor = Editor()) editor->UnlockTools();
  TextShown = false;
  ShownRect = TRect{};
}

void TWKTextTool::CancelEdit() {
  const TRect shown = ShownRect;
  RestoreBackground();
  if (TWKGraphicsDocument* doc = CurrentDocument()) doc->InvalidateImageRect(IntersectRect(shown, doc->ImageRect()));
  ResetBox();
  TWKGraphicsTool::CancelEdit();
}

void TWKTextTool::DocumentClosing(TWKGraphicsDocument& document) {
  const TWKTextToolControl* control = BoxControl();
  if (control != nullptr && control->BoxState != TWKTextToolControl::bsIdle) CancelEdit();
}

void TWKTextTool::SelectDefaultFont() {
  IWKTextRasterizer* rasterizer = TextRasterizer();
  if (Frame_ == nullptr) return;
  Frame_->SelectFontName(rasterizer != nullptr ? DefaultTextFace(rasterizer->FontNames()) : std::string());
}

void TWKTextTool::TypeDemoText() {
  SelectDefaultFont();
  if (Frame_ == nullptr) return;
  Frame_->SetMemoLines({});
  for (const char* text : {"Y", "Ya", "Yal", "Yalt", "Yalta"}) {
    Frame_->Pause(500);
    Frame_->SetMemoLines({text});
  }
}

void TWKTextTool::Localize() {
  const std::string title = LanguageString(TextNames::Title);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ == nullptr) return;
  Frame_->SetTitle(title);
  Frame_->LocalizeFrame();
}

void TWKTextTool::LoadSettings(TWKSDFReader& reader) {
  LoadToolSettings(reader, kSettingsGuid,
                   {{1, [this](int32_t v) { SetFontSize(v); }},
                    {2, [this](int32_t v) { SetColorMode(v); }},
                    {3, [this](int32_t v) { SetSelectedColor(static_cast<uint32_t>(v)); }},
                    {4, [this](int32_t v) { SetMaxInverse(v != 0); }},
                    {5, [this](int32_t v) { SetFontStyle(v); }}});
}

void TWKTextTool::SaveSettings(TWKSDFWriter& writer) {
  SaveToolSettings(writer, kSettingsGuid,
                   {{1, FontSize_},
                    {2, Paint_.ColorMode},
                    {3, static_cast<int32_t>(Paint_.Color)},
                    {4, Paint_.MaxInverse ? 1 : 0},
                    {5, FontStyle_}});
}

void TWKTextTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  UpdateUndoItems();
  if (ColorBoxPending && Frame_ != nullptr) {
    Frame_->ShowSelectedColor(Paint_.Color);
    ColorBoxPending = false;
  }
}

void TWKTextTool::UpdateUndoItems() {
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr || editor->CurrentTool() != this) return;
  const TWKTextToolControl* control = BoxControl();
  const bool noBox = control == nullptr || control->BoxState != TWKTextToolControl::bsPresent;
  const bool undo = noBox && editor->CanUndo(), redo = noBox && editor->CanRedo();
  for (IWKUIItem* item : {editor->UndoMenuItem, editor->UndoAllMenuItem, editor->UndoToolButton})
    if (item != nullptr) item->SetEnabled(undo);
  for (IWKUIItem* item : {editor->RedoMenuItem, editor->RedoAllMenuItem, editor->RedoToolButton})
    if (item != nullptr) item->SetEnabled(redo);
}

void TWKTextTool::RegisterDemoObjects() {
  using namespace TextNames;
  RegisterButtonAndFrameControls(
      {FontColorControl, ColorControl, MaxInverseControl, FontSizeControl, FontStyleControl, MemoControl});
  TWKDemoRegistry* registry = DemoRegistry();
  if (registry == nullptr) return;
  registry->RegisterInteger(ScriptNamed(FontColorControl), Paint_.ColorMode, [this](int32_t v) { SetColorMode(v); });
  registry->RegisterInteger(ScriptNamed(ColorControl), static_cast<int32_t>(Paint_.Color),
                            [this](int32_t v) { SetSelectedColor(static_cast<uint32_t>(v)); });
  registry->RegisterBoolean(ScriptNamed(MaxInverseControl), Paint_.MaxInverse, [this](bool v) { SetMaxInverse(v); });
  registry->RegisterInteger(ScriptNamed(FontSizeControl), FontSize_, [this](int32_t v) { SetFontSize(v); });
  registry->RegisterInteger(ScriptNamed(FontStyleControl), FontStyle_, [this](int32_t v) { SetFontStyle(v); });
  registry->RegisterProcedure(ScriptNamed("MemoYalta"), [this] { TypeDemoText(); });
}
