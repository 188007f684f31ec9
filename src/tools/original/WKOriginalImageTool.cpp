#include "tools/original/WKOriginalImageTool.h"

#include "documents/WKEditorUI.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsEditorUI.h"
#include "documents/WKScriptRecorder.h"
#include "tools/framework/WKDemoRegistry.h"
#include "view/WKGraphicsView.h"
#include "view/WKViewCanvas.h"

TWKOriginalImageToolControl::TWKOriginalImageToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {
  TWKOriginalImageToolControl::InitFlags();
}

void TWKOriginalImageToolControl::InitFlags() { Flags = kIdleFlags; }

TRect TWKOriginalImageToolControl::OriginalBounds() const {
  const TWKLTBitmap& original = View().Document().OriginalImage;
  return Rect(0, 0, original.Width(), original.Height());
}

void TWKOriginalImageToolControl::Init() { Bounds = OriginalBounds(); }

void TWKOriginalImageToolControl::Activate() {
  if (TWKGraphicDocumentView* image = View().DocumentView()) {
    image->Flags = kIdleFlags;
    View().InvalidateImageRect(View().Document().ImageRect());
  }
  // Opaque like the image object it stands in for.
  Flags = vofBackground | vofPainted;
  Bounds = OriginalBounds();
  SetVisible(true);
  View().UpdateScrollRange();
  TWKGraphicsToolControl::Activate();
}

void TWKOriginalImageToolControl::Deactivate() {
  Flags = kIdleFlags;
  if (TWKGraphicsTool* tool = Tool())
    for (int32_t i = 0; i < tool->ControlCount(); ++i) tool->Controls(i)->SetVisible(false);
  if (TWKGraphicDocumentView* image = View().DocumentView()) image->InitFlags();
  View().UpdateScrollRange();
  View().InvalidateImageRect(UnionRect(Bounds, View().Document().ImageRect()));
  TWKGraphicsToolControl::Deactivate();
}

void TWKOriginalImageToolControl::PaintBackground(TWKViewCanvas& canvas) {
  const TRect device = canvas.MapMode.DocToDevRect(Bounds);
  if (const TWKPixels* original = View().Document().OriginalPixels()) {
    TWKPixels target = canvas.Pixels();
    for (const TRect& r : canvas.ClipRegion().Rects())
      PaintImagePixels(*original, canvas.MapMode, target, IntersectRect(r, device));
  }
  canvas.ExcludeClipRect(device);
}

bool TWKOriginalImageToolControl::KeyDown(uint16_t key, TWKShiftState shift) {
  if (Active() || key != kShowKey) return false;
  if (auto* tool = dynamic_cast<TWKOriginalImageTool*>(Tool())) tool->ShowOriginal();
  return true;
}

bool TWKOriginalImageToolControl::KeyUp(uint16_t key, TWKShiftState shift) {
  if (!Active() || key != kShowKey) return false;
  if (auto* tool = dynamic_cast<TWKOriginalImageTool*>(Tool())) tool->RestoreTool();
  return true;
}

TWKOriginalImageTool::TWKOriginalImageTool(TWKComponent* owner, IWKGraphicsMainWindow* window,
                                           IWKUIItem* toolbar)
    : TWKGraphicsTool(owner) {
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKOriginalImageToolControl>(tool, view);
  };
  if (window != nullptr && toolbar != nullptr)
    OriginalImageToolButton =
        window->AddHoldButton(toolbar, LanguageString(kCaption), [this](bool down) { ButtonHeld(down); });
  Localize();
}

bool TWKOriginalImageTool::IsActive() const {
  const TWKGraphicsEditor* editor = Editor();
  return editor != nullptr && editor->CurrentTool() == this;
}

void TWKOriginalImageTool::ShowOriginal() {
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr || IsActive() || editor->CurrentImageDocument() == nullptr) return;
  PreviousTool = editor->CurrentTool();
  editor->SetCurrentTool(this);
}

void TWKOriginalImageTool::RestoreTool() {
  if (TWKGraphicsEditor* editor = Editor(); editor != nullptr && IsActive()) editor->SetCurrentTool(PreviousTool);
}

void TWKOriginalImageTool::ButtonHeld(bool down) {
  if (down)
    ShowOriginal();
  else
    RestoreTool();
}

void TWKOriginalImageTool::Localize() {
  if (OriginalImageToolButton == nullptr) return;
  OriginalImageToolButton->SetCaption(LanguageString(kCaption));
  OriginalImageToolButton->SetHint(LanguageString(kHint));
}

void TWKOriginalImageTool::UpdateControls() {
  if (OriginalImageToolButton == nullptr) return;
  const TWKGraphicsEditor* editor = Editor();
  OriginalImageToolButton->SetEnabled(editor != nullptr && editor->CurrentImageDocument() != nullptr);
  // Drawn pressed whether the button or the O key holds the original.
  OriginalImageToolButton->SetChecked(IsActive());
}

bool TWKOriginalImageTool::ExecuteScriptCommand(const std::string&, const TWKCustomProperties&) { return false; }

bool TWKOriginalImageTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  const std::string name = DemoName(ScriptTextArg(params, 0));
  if (name != "ORIGINALIMAGEBUTTON" && name != "ORIGINALIMAGE") return false;
  return ShownCenter(OriginalImageToolButton, point);
}

void TWKOriginalImageTool::Activate() {
  TWKGraphicsTool::Activate();
  IWKScriptRecorder* recorder = Recorder();
  if (recorder == nullptr) return;
  recorder->AddLine("MouseCurvedMove OriginalImage");
  recorder->AddLine("MouseDown");
  recorder->AddLine(MessageLine("Original Image"));
  recorder->AddLine("MouseUp");
  recorder->AddLine(MessageLine("Corrected Image"));
}
