#include "tools/geometry/FreeRotationTool.h"

#include <cmath>
#include <cstring>

#include "documents/WKBusyCursor.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKProgramCursors.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKProgressMeter.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/geometry/AutoCrop.h"
#include "view/WKGraphicsView.h"
#include "view/WKViewCanvas.h"

double StraighteningAngle(TPoint start, TPoint end) {
  const double dx = start.X - end.X, dy = start.Y - end.Y;
  if (dx == 0 || dy == 0) return 0;
  return std::fabs(dy) < std::fabs(dx) ? std::atan(dy / dx) : std::atan(-dx / dy);
}

// ---------------------------------------------------------------------------------------------
// The undo step

TWKRotation3CommandState::TWKRotation3CommandState(TWKRotation3Tool& tool,
                                                   TWKGraphicsDocument& document,
                                                   std::unique_ptr<TWKGeometrySnapshot> before,
                                                   TAngles anglesBefore, TAngles anglesAfter)
    : TWKGeometryCommandState(&tool, document, std::move(before),
                              TWKGeometrySnapshot::Take(document, false)),
      Before_(anglesBefore),
      After_(anglesAfter) {}

void TWKRotation3CommandState::Undo() {
  TWKGeometryCommandState::Undo();
  if (auto* tool = dynamic_cast<TWKRotation3Tool*>(Tool())) tool->RestoreAngles(Before_);
}

void TWKRotation3CommandState::Redo() {
  TWKGeometryCommandState::Redo();
  if (auto* tool = dynamic_cast<TWKRotation3Tool*>(Tool())) tool->RestoreAngles(After_);
}

// ---------------------------------------------------------------------------------------------
// The control

TWKRotation3ToolControl::TWKRotation3ToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKGraphicsToolControl(tool, view) {
  TWKRotation3ToolControl::InitFlags();
}

TWKRotation3Tool* TWKRotation3ToolControl::RotationTool() const {
  return static_cast<TWKRotation3Tool*>(Tool());
}

void TWKRotation3ToolControl::Init() {
  Drawing = false;
  SetVisible(true);
}

void TWKRotation3ToolControl::InitFlags() { Flags = kInitialFlags | vofBackground; }

void TWKRotation3ToolControl::GetBackgroundRect(const TWKMapMode& mapMode, TRect& rect) {
  const TWKGraphicsDocument& doc = View().Document();
  rect = mapMode.DocToDevRect(Rect(0, 0, doc.OriginalImage.Width(), doc.OriginalImage.Height()));
}

void TWKRotation3ToolControl::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = mapMode.DocToDevRect(View().Document().ImageRect());
}

bool TWKRotation3ToolControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  const TWKRotation3Tool* tool = RotationTool();
  if (!Active() || tool == nullptr) return false;
  if (tool->Busy)
    cursor = crHourGlass;
  else
    cursor = View().InsideImage(ClientToImage(point)) ? crCross : crDefaultArrow;
  return true;
}

void TWKRotation3ToolControl::InvalidateLine() {
  View().InvalidateRect({std::min(LineStart.X, LineEnd.X) - 1, std::min(LineStart.Y, LineEnd.Y) - 1,
                         std::max(LineStart.X, LineEnd.X) + 2,
                         std::max(LineStart.Y, LineEnd.Y) + 2});
}

bool TWKRotation3ToolControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  TWKRotation3Tool* tool = RotationTool();
  if (button != mbLeft || !Active() || tool == nullptr || tool->Busy) return false;
  if (!View().InsideImage(ClientToImage(point))) return false;
  const TWKGraphicsEditor* editor = tool->Editor();
  if (editor == nullptr || editor->CurrentTool() != tool) return false;
  LineStart = LineEnd = point;
  Drawing = true;
  InvalidateLine();
  return true;
}

bool TWKRotation3ToolControl::MouseMove(TWKShiftState shift, TPoint point) {
  if (!Drawing) return false;
  InvalidateLine();
  LineEnd = point;
  InvalidateLine();
  return true;
}

bool TWKRotation3ToolControl::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  TWKRotation3Tool* tool = RotationTool();
  if (button != mbLeft || !Drawing || tool == nullptr) return false;
  Drawing = false;
  InvalidateLine();
  if (LineStart.X != LineEnd.X && LineStart.Y != LineEnd.Y) {
    tool->AngleStep = StraighteningAngle(LineStart, LineEnd);
    tool->AddAngle(ClientToImage(LineStart), ClientToImage(LineEnd));
  }
  return true;
}

void TWKRotation3ToolControl::PaintForeground(TWKViewCanvas& canvas) {
  const TWKRotation3Tool* tool = RotationTool();
  if (tool == nullptr) return;
  if (Drawing) canvas.InvertLine(LineStart, LineEnd);
  if (!tool->AutoCrop() || tool->CropRect.IsEmpty()) return;
  const TRect image = canvas.MapMode.DocToDevRect(View().Document().ImageRect());
  const TRect crop = canvas.MapMode.DocToDevRect(tool->CropRect);
  canvas.DarkenRect({image.Left, image.Top, image.Right, crop.Top});
  canvas.DarkenRect({image.Left, crop.Bottom, image.Right, image.Bottom});
  canvas.DarkenRect({image.Left, crop.Top, crop.Left, crop.Bottom});
  canvas.DarkenRect({crop.Right, crop.Top, image.Right, crop.Bottom});
  canvas.DrawFocusRect(crop);
}

// ---------------------------------------------------------------------------------------------
// The tool

TWKRotation3Tool::TWKRotation3Tool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), FrameFactory_(std::move(frameFactory)) {
  Name = "Rotation3Tool";
  ScriptName = std::string(FreeRotationNames::ScriptName);
  PluginAvailable = false;
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKRotation3ToolControl>(tool, view);
  };
}

TWKRotation3Tool::~TWKRotation3Tool() = default;

void TWKRotation3Tool::AfterConstruction() {
  AddPanelButton(FreeRotationNames::ButtonCaption, kPanelWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  SetAutoCrop(false);
  Localize();
}

void TWKRotation3Tool::Localize() {
  using namespace FreeRotationNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ != nullptr)
    Frame_->SetTexts({title, LanguageString(AutoCropText), LanguageString(ActionsText),
                      LanguageString(FinishingText), LanguageString(CancelText)});
}

void TWKRotation3Tool::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, kSettingsGuid)) return;
  bool value = AutoCrop_;
  if (reader.ReadBoolean(1, value)) SetAutoCrop(value);
  reader.CloseNode();
}

void TWKRotation3Tool::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, kSettingsGuid);
  writer.WriteBoolean(1, AutoCrop_);
  writer.EndNode();
}

void TWKRotation3Tool::SetAutoCrop(bool value) {
  AutoCrop_ = value;
  if (Frame_ != nullptr) Frame_->SetAutoCropChecked(value);
}

void TWKRotation3Tool::UpdateControls() {
  TWKGraphicsTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  const bool checked = editor != nullptr && editor->CurrentTool() == this;
  const bool enabled = editor != nullptr && editor->CanToolEdit(this);
  if (Frame_ != nullptr) Frame_->SetActionsEnabled(checked && enabled && Straightening() && !Busy);
  if (editor == nullptr || !Active()) return;
  if (Straightening())
    editor->LockTools();
  else
    editor->UnlockTools();
}

void TWKRotation3Tool::RegisterDemoObjects() {
  using namespace FreeRotationNames;
  RegisterButtonAndFrameControls({AutoCropControl, FinishingControl, CancelControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterBoolean(ScriptNamed(AutoCropControl), AutoCrop_,
                              [this](bool v) { SetAutoCrop(v); });
    registry->RegisterProcedure(ScriptNamed(FinishingControl), [this] { FinishRotation(); });
    registry->RegisterProcedure(ScriptNamed(CancelControl), [this] { CancelRotation(); });
  }
}

void TWKRotation3Tool::Repaint() {
  if (TWKGraphicsView* view = EditView())
    view->InvalidateAll();
  else if (TWKGraphicsEditor* editor = Editor();
           editor != nullptr && editor->CurrentView() != nullptr)
    editor->CurrentView()->InvalidateAll();
}

bool TWKRotation3Tool::AddAngle(TPoint start, TPoint end) {
  if (std::hypot(double(end.X - start.X), double(end.Y - start.Y)) < kShortestLine) return false;
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsView* view = editor != nullptr ? editor->CurrentView() : nullptr;
  if (view == nullptr || view->Document().CurrentPixels() == nullptr) return false;
  Busy = true;
  SetFrameControlsEnabled(false);
  bool ok = true;
  if (!Straightening()) {
    // The first line: every preview is turned from this copy, never from an earlier preview.
    TWKGraphicsDocument& doc = view->Document();
    ok = BeginEdit(*view) &&
         Source.Allocate(doc.Backup.PixelFormat, doc.Backup.BoundsRect(), TPixelFill::Any);
    if (ok) {
      Source.Assign(doc.Backup);
      SourceWidth = Source.Width;
      SourceHeight = Source.Height;
      Angle = 0;
      editor->LockTools();
    } else if (Straightening()) {
      TWKGraphicsTool::CancelEdit();
    }
  }
  if (ok) {
    Angle += AngleStep;
    ok = Render(TRotationFilter::Nearest);
  }
  Busy = false;
  if (TProgressMeter* meter = ProgressMeter()) meter->Reset(0);
  UpdateControls();
  return ok;
}

bool TWKRotation3Tool::Render(TRotationFilter filter) {
  TWKGraphicsDocument* doc = EditDocument();
  if (doc == nullptr || Source.Bits == nullptr) return false;
  const TSize size = RotatedCanvasSize(SourceWidth, SourceHeight, Angle);
  if (size.Width < 1) return false;
  // The original image keeps its size; only the current image takes the turned canvas.
  if ((doc->CurrentImage.Width() != size.Width || doc->CurrentImage.Height() != size.Height) &&
      !doc->SetCanvasSize(size.Width, size.Height, false))
    return false;
  ResultWidth = size.Width;
  ResultHeight = size.Height;
  TProgressMeter* meter = ProgressMeter();
  if (meter != nullptr) meter->Reset(size.Height);
  const TWKBusyCursor busy;
  const bool ok = RotatePixels(Source, *doc->CurrentPixels(), Angle, filter, &InsideRows,
                               [meter](int32_t done, int32_t) {
                                 while (meter != nullptr && meter->Position() < done) meter->Step();
                               });
  FindAutoCropRect();
  MarkDirty(doc->ImageRect(), true);
  Repaint();
  return ok;
}

void TWKRotation3Tool::FindAutoCropRect() {
  CropRect = ::FindAutoCropRect(InsideRows, ResultWidth);
}

void TWKRotation3Tool::ApplyAutoCrop() {
  TWKGraphicsDocument* doc = EditDocument();
  TWKPixels* pixels = doc != nullptr ? doc->CurrentPixels() : nullptr;
  const TRect r = pixels != nullptr ? IntersectRect(CropRect, doc->ImageRect()) : TRect{};
  if (r.IsEmpty() || r == doc->ImageRect()) return;
  // Rows move up and left within the image: front to back never overwrites a row still to move.
  for (int32_t y = 0; y < r.Height(); ++y)
    std::memmove(pixels->PixelAddress(0, y), pixels->PixelAddress(r.Left, r.Top + y),
                 static_cast<size_t>(r.Width()) * 3);
  doc->SetCanvasSize(r.Width(), r.Height(), false);
  MarkDirty(doc->ImageRect(), true);
}

void TWKRotation3Tool::FinishRotation() {
  if (!Straightening() || Busy) return;
  Busy = true;
  SetFrameControlsEnabled(false);
  const bool rendered = Render(TRotationFilter::Hermite);
  if (rendered && AutoCrop_) ApplyAutoCrop();
  Angle = 0;
  CropRect = {};
  if (TProgressMeter* meter = ProgressMeter()) meter->Reset(0);
  if (rendered) {
    if (TWKGraphicsDocument* doc = EditDocument()) MarkDirty(doc->ImageRect(), true);
    EndEdit();
  }
  Busy = false;
  Repaint();
  UpdateControls();
}

void TWKRotation3Tool::CancelRotation() {
  if (!Straightening() || Busy) return;
  Angle = 0;
  CropRect = {};
  TWKGraphicsDocument& doc = *EditDocument();
  if (doc.CurrentImage.Width() != SourceWidth || doc.CurrentImage.Height() != SourceHeight)
    doc.SetCanvasSize(SourceWidth, SourceHeight, false);
  // The framework's cancel puts the backup back over the dirty rectangle: the whole image.
  if (doc.Backup.Allocate(Source.PixelFormat, Source.BoundsRect(), TPixelFill::Any)) {
    doc.Backup.Assign(Source);
    MarkDirty(doc.ImageRect(), true);
  }
  TWKGraphicsTool::CancelEdit();
  CloseStraightening();
  Repaint();
  UpdateControls();
}

void TWKRotation3Tool::StoreUndoState() {
  TWKGraphicsDocument* doc = EditDocument();
  if (doc == nullptr || Source.Bits == nullptr) return;
  auto before = std::make_unique<TWKGeometrySnapshot>();
  before->Current.Swap(Source);
  const TWKRotation3CommandState::TAngles anglesBefore{CommittedAngle, CommittedCropRect};
  const TWKRotation3CommandState::TAngles anglesAfter{Angle, CropRect};
  doc->History().Add(std::make_unique<TWKRotation3CommandState>(*this, *doc, std::move(before),
                                                                anglesBefore, anglesAfter));
  doc->RefreshBackup();
}

void TWKRotation3Tool::EndEdit() {
  TWKGraphicsTool::EndEdit();
  // Also when another tool's edit took the transaction over: the next line starts afresh.
  CloseStraightening();
}

void TWKRotation3Tool::CloseStraightening() {
  Angle = 0;
  CropRect = {};
  Source.Clear();
  InsideRows.clear();
  if (TWKGraphicsEditor* editor = Editor(); editor != nullptr && Active()) editor->UnlockTools();
}

void TWKRotation3Tool::RestoreAngles(const TWKRotation3CommandState::TAngles& angles) {
  Angle = CommittedAngle = angles.Angle;
  CropRect = CommittedCropRect = angles.CropRect;
}

void TWKRotation3Tool::DocumentOpened(TWKGraphicsDocument& document) {
  TWKGraphicsTool::DocumentOpened(document);
  Angle = 0;
  CropRect = {};
}

void TWKRotation3Tool::DocumentClosing(TWKGraphicsDocument& document) {
  if (Straightening() && EditDocument() == &document) CancelRotation();
}

void TWKRotation3Tool::AutoCropTBXCheckBoxChange(bool checked) {
  AutoCrop_ = checked;
  Repaint();
  RecordMove(FreeRotationNames::AutoCropControl);
  RecordValue(FreeRotationNames::AutoCropControl, checked ? 1 : 0);
}

void TWKRotation3Tool::FinishingTBXButtonClick() {
  FinishRotation();
  RecordMove(FreeRotationNames::FinishingControl);
  Record(ScriptNamed(FreeRotationNames::FinishingControl));
}

void TWKRotation3Tool::CancelTBXButtonClick() {
  CancelRotation();
  RecordMove(FreeRotationNames::CancelControl);
  Record(ScriptNamed(FreeRotationNames::CancelControl));
}
