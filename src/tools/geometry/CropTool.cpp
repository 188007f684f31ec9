#include "tools/geometry/CropTool.h"

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKProgramCursors.h"
#include "framework/WKSDFWriter.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolPanelService.h"
#include "view/WKGraphicsView.h"
#include "view/WKViewCanvas.h"

namespace {

constexpr int32_t kHandleInflate = 5;  // the handles reach past the rectangle's edges

TRect Inflate(const TRect& r, int32_t by) {
  return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

}  // namespace

TWKCrop2PlusCommandState::TWKCrop2PlusCommandState(IWKGraphicsTool* tool,
                                                   TWKGraphicsDocument& document,
                                                   std::unique_ptr<TWKGeometrySnapshot> before,
                                                   const TRect& rect)
    : TWKGeometryCommandState(tool, document, std::move(before), nullptr), CropRect_(rect) {}

void TWKCrop2PlusCommandState::Redo() {
  // Undo put both images and the lossless form back as they were before: the same crop again.
  Document().Crop(CropRect_);
  TWKCustomGraphicsCommandState::Redo();
}

// ---------------------------------------------------------------------------------------------
// The control

TWKCrop2PlusToolControl::TWKCrop2PlusToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {}

TWKCrop2PlusTool* TWKCrop2PlusToolControl::CropTool() const {
  return static_cast<TWKCrop2PlusTool*>(Tool());
}

TRect TWKCrop2PlusToolControl::ImageArea() const { return View().Document().ImageRect(); }

TRect TWKCrop2PlusToolControl::ScreenRect() const {
  const TWKCrop2PlusTool* tool = CropTool();
  return tool != nullptr ? View().MapMode().DocToDevRect(tool->CropRect) : TRect{};
}

void TWKCrop2PlusToolControl::Activate() {
  SetVisible(true);
  TWKGraphicsToolControl::Activate();
}

void TWKCrop2PlusToolControl::Deactivate() {
  TWKGraphicsToolControl::Deactivate();
  SetVisible(false);
}

void TWKCrop2PlusToolControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = mapMode.DocToDevRect(ImageArea());
  if (CropState == csPresent) rect = Inflate(rect, kHandleInflate);
}

void TWKCrop2PlusToolControl::PaintForeground(TWKViewCanvas& canvas) {
  const TRect crop = ScreenRect();
  if (CropState == csIdle || crop.IsEmpty()) return;
  if (CropState == csPresent || CropState == csDragging) {
    const TRect image = canvas.MapMode.DocToDevRect(ImageArea());
    canvas.DarkenRect({image.Left, image.Top, image.Right, crop.Top});
    canvas.DarkenRect({image.Left, crop.Bottom, image.Right, image.Bottom});
    canvas.DarkenRect({image.Left, crop.Top, crop.Left, crop.Bottom});
    canvas.DarkenRect({crop.Right, crop.Top, image.Right, crop.Bottom});
  }
  if (CropState == csPresent)
    for (int32_t handle = chTop; handle <= chTopLeft; ++handle) {
      const TPoint p = CropHandlePoint(crop, handle);
      canvas.InvertFrame({p.X - 4, p.Y - 4, p.X + 5, p.Y + 5});
    }
  canvas.DrawFocusRect(crop);
}

bool TWKCrop2PlusToolControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  if (!Active()) return false;
  if (CropState == csIdle) {
    cursor = crCross;
    return true;
  }
  if (CropState != csPresent) return false;
  switch (CropHitTest(ScreenRect(), point)) {
    case chTopRight:
    case chBottomLeft: cursor = crSizeNESW; return true;
    case chRight:
    case chLeft: cursor = crSizeWE; return true;
    case chBottomRight:
    case chTopLeft: cursor = crSizeNWSE; return true;
    case chTop:
    case chBottom: cursor = crSizeNS; return true;
    case chInside: cursor = crSizeAll; return true;
    default: return false;
  }
}

bool TWKCrop2PlusToolControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  TWKCrop2PlusTool* tool = CropTool();
  if (!Active() || tool == nullptr) return false;
  const TPoint image = ClientToImage(point);
  if (CropState == csIdle) {
    if (!View().InsideImage(image)) return false;
    if (TWKGraphicsEditor* editor = tool->Editor()) editor->LockTools();
    DragStart = image;
    tool->CropRect = Rect(image.X, image.Y, image.X + 1, image.Y + 1);
    CropState = csDrawing;
    InvalidateOverlay();
    return true;
  }
  if (CropState != csPresent) return false;
  DragHandle = CropHitTest(ScreenRect(), point);
  if (DragHandle <= 2) return false;
  DragStart = image;
  DragRect = tool->CropRect;
  InvalidateOverlay();
  CropState = csDragging;
  return true;
}

void TWKCrop2PlusToolControl::SetRect(const TRect& rect) {
  TWKCrop2PlusTool& tool = *CropTool();
  if (rect == tool.CropRect) return;
  const TRect old = ScreenRect();
  tool.CropRect = rect;
  // The handles reach past the rectangle on both sides.
  View().InvalidateRect(Inflate(UnionRect(old, ScreenRect()), kHandleInflate));
}

bool TWKCrop2PlusToolControl::MouseMove(TWKShiftState shift, TPoint point) {
  TWKCrop2PlusTool* tool = CropTool();
  if (tool == nullptr || (CropState != csDrawing && CropState != csDragging)) return false;
  const TPoint image = ClientToImage(point);
  const std::optional<TRect> r =
      CropState == csDrawing
          ? DrawnCropRect(DragStart, image, tool->Ratio, ImageArea())
          : DraggedCropRect(DragHandle, DragRect, {image.X - DragStart.X, image.Y - DragStart.Y},
                            tool->Ratio, ImageArea());
  if (r) SetRect(*r);
  if (!tool->CropRect.IsEmpty()) tool->ShowRectSize();
  return true;
}

bool TWKCrop2PlusToolControl::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  TWKCrop2PlusTool* tool = CropTool();
  if (tool == nullptr) return false;
  if (CropState == csPresent) {
    if (tool->CropRect.Contains(ClientToImage(point))) return false;
    if (button == mbLeft || button == mbRight) Finish(button == mbLeft);
    return true;
  }
  if (CropState != csDrawing && CropState != csDragging) return false;
  // A drag that enclosed no pixel leaves nothing to crop.
  if (tool->CropRect.IsEmpty()) {
    Reset();
    return true;
  }
  CropState = csPresent;
  InvalidateOverlay();
  return true;
}

bool TWKCrop2PlusToolControl::KeyDown(uint16_t key, TWKShiftState shift) {
  if (!Active() || CropState == csIdle) return false;
  if (key == VK_ESCAPE || key == VK_RETURN) Finish(key == VK_RETURN);
  return true;
}

void TWKCrop2PlusToolControl::Finish(bool perform) {
  TWKCrop2PlusTool* tool = CropTool();
  if (tool == nullptr) return;
  if (perform)
    tool->Perform();
  else
    tool->CancelEdit();
  const std::string_view command = perform ? CropNames::PerformCommand : CropNames::CancelCommand;
  tool->RecordMove(command);
  tool->Record(tool->ScriptNamed(command));
  CropState = csIdle;
  InvalidateOverlay();
}

void TWKCrop2PlusToolControl::Reset() {
  InvalidateOverlay();
  CropState = csIdle;
  if (TWKCrop2PlusTool* tool = CropTool())
    if (TWKGraphicsEditor* editor = tool->Editor()) editor->UnlockTools();
}

// ---------------------------------------------------------------------------------------------
// The tool

TWKCrop2PlusTool::TWKCrop2PlusTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "Crop2PlusTool";
  ScriptName = std::string(CropNames::ScriptName);
  ExclusiveEditFlag = true;
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKCrop2PlusToolControl>(tool, view);
  };
}

TWKCrop2PlusTool::~TWKCrop2PlusTool() = default;

void TWKCrop2PlusTool::AfterConstruction() {
  AddPanelButton(CropNames::ButtonCaption, kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  Localize();
}

void TWKCrop2PlusTool::Localize() {
  using namespace CropNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ == nullptr) return;
  Frame_->SetTexts({title, LanguageString(DescriptionText), LanguageString(SidesRatioText),
                    LanguageString(FreeText), LanguageString(PrintText), LanguageString(ScreenText),
                    LanguageString(WidthText) + ":", LanguageString(HeightText) + ":",
                    LanguageString(ResolutionText)});
}

void TWKCrop2PlusTool::SaveSettings(TWKSDFWriter& writer) {
  // The ratio is chosen afresh every time; only the section marker is written.
  writer.BeginNode(1, kSettingsGuid);
  writer.EndNode();
}

void TWKCrop2PlusTool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr || editor->CurrentTool() != this) return;
  // A shown rectangle belongs to the image as it is: no undo or redo under it.
  const TWKCrop2PlusToolControl* control = CurrentControl();
  const bool shown = control != nullptr && control->CropState == csPresent;
  const bool undo = !shown && editor->UndoEnabled && editor->CanUndo();
  const bool redo = !shown && editor->UndoEnabled && editor->CanRedo();
  for (IWKUIItem* item : {editor->UndoMenuItem, editor->UndoAllMenuItem, editor->UndoToolButton})
    if (item != nullptr) item->SetEnabled(undo);
  for (IWKUIItem* item : {editor->RedoMenuItem, editor->RedoAllMenuItem, editor->RedoToolButton})
    if (item != nullptr) item->SetEnabled(redo);
}

void TWKCrop2PlusTool::RegisterDemoObjects() {
  RegisterButtonAndFrameControls({});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterProcedure(ScriptNamed(CropNames::PerformCommand), [this] { Perform(); });
    registry->RegisterProcedure(ScriptNamed(CropNames::CancelCommand), [this] { CancelEdit(); });
  }
}

bool TWKCrop2PlusTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  const TWKVariant name = params.GetVariant(0);
  const std::string* text = std::get_if<std::string>(&name);
  if (text == nullptr || DemoName(*text) != DemoName(ScriptName)) return false;
  return ShownCenter(Button, point);
}

TWKCrop2PlusToolControl* TWKCrop2PlusTool::CurrentControl() const {
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsView* view = editor != nullptr ? editor->CurrentView() : nullptr;
  for (int32_t i = 0; i < ControlCount(); ++i)
    if (&Controls(i)->View() == view) return static_cast<TWKCrop2PlusToolControl*>(Controls(i));
  return nullptr;
}

void TWKCrop2PlusTool::CancelEdit() {
  if (TWKCrop2PlusToolControl* control = CurrentControl()) control->Reset();
  TWKGraphicsTool::CancelEdit();
}

void TWKCrop2PlusTool::DocumentClosing(TWKGraphicsDocument& document) {
  if (const TWKCrop2PlusToolControl* control = CurrentControl();
      control != nullptr && control->CropState != csIdle)
    CancelEdit();
}

bool TWKCrop2PlusTool::Perform() {
  TWKCrop2PlusToolControl* control = CurrentControl();
  // Only the rectangle on screen is cropped to: one kept from an earlier use may not fit the image.
  if (control == nullptr || control->CropState == csIdle) return false;
  TWKGraphicsDocument& doc = control->View().Document();
  const TRect rect = IntersectRect(CropRect, doc.ImageRect());
  if (rect.IsEmpty() || !BeginEdit(control->View())) return false;
  auto before = TWKGeometrySnapshot::Take(doc);
  const bool cropped = doc.Crop(rect);
  if (cropped)
    doc.History().Add(
        std::make_unique<TWKCrop2PlusCommandState>(this, doc, std::move(before), rect));
  EndEdit();
  control->Reset();
  return cropped;
}

void TWKCrop2PlusTool::SetRatio(int32_t kind, std::string_view item) {
  if (kind == rkFree) {
    Ratio = {};
    return;
  }
  TSideRatio ratio;
  if (ParseSideRatio(item, ratio)) Ratio = ratio;
}

void TWKCrop2PlusTool::ShowRectSize() {
  if (TWKGraphicsEditor* editor = Editor())
    editor->ShowImageSize(CropRect.Width(), CropRect.Height());
  if (Frame_ != nullptr) Frame_->SetSizeEdits(CropRect.Width(), CropRect.Height());
}

void TWKCrop2PlusTool::SideEditChange(int32_t value, bool vertical) {
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsDocument* doc = editor != nullptr ? editor->CurrentImageDocument() : nullptr;
  if (doc == nullptr || value < 1) return;
  const int32_t extent = vertical ? doc->ImageRect().Height() : doc->ImageRect().Width();
  const std::optional<TRect> r = CropRectWithSide(CropRect, value, extent, vertical);
  if (!r) {
    if (Frame_ != nullptr) Frame_->SetSizeEdits(CropRect.Width(), CropRect.Height());
    return;
  }
  CropRect = *r;
  if (TWKGraphicsView* view = editor->CurrentView()) view->InvalidateAll();
}

void TWKCrop2PlusTool::WidthEditChange(int32_t value) { SideEditChange(value, false); }

void TWKCrop2PlusTool::HeightEditChange(int32_t value) { SideEditChange(value, true); }
