#include "tools/retouch/EyeColorTool.h"

#include <algorithm>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"
#include "view/WKGraphicsView.h"

namespace {

constexpr uint16_t kKeyP = 'P';

}  // namespace

TWKMakeUpSurfaceToolControl::TWKMakeUpSurfaceToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view)
    : TWKBrushToolControl(tool, view) {
  WheelDuringStroke = true;
}

TWKMakeUpSurfaceTool* TWKMakeUpSurfaceToolControl::MakeUpTool() const {
  return static_cast<TWKMakeUpSurfaceTool*>(Tool());
}

bool TWKMakeUpSurfaceToolControl::PointerInImage() const {
  const TWKPixels* image = View().Document().CurrentPixels();
  return image != nullptr && image->BoundsRect().Contains(LastPoint.X, LastPoint.Y);
}

bool TWKMakeUpSurfaceToolControl::GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) {
  TWKMakeUpSurfaceTool* tool = MakeUpTool();
  if (!Active() || tool == nullptr) return false;
  cursor = tool->ColorSelector() ? crEyedropper : crNone;
  return true;
}

bool TWKMakeUpSurfaceToolControl::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  TWKMakeUpSurfaceTool* tool = MakeUpTool();
  if (!Active() || tool == nullptr || button == mbRight) return false;
  if (tool->ColorSelector()) {
    const TWKPixels* image = View().Document().CurrentPixels();
    const TPoint at = ClientToImage(point);
    if (image == nullptr || !image->BoundsRect().Contains(at.X, at.Y)) return false;
  }
  return TWKBrushToolControl::MouseDown(button, shift, point);
}

bool TWKMakeUpSurfaceToolControl::MouseMove(TWKShiftState shift, TPoint point) {
  const bool handled = TWKBrushToolControl::MouseMove(shift, point);
  TWKMakeUpSurfaceTool* tool = MakeUpTool();
  if (!handled || tool == nullptr || !Stroking || !PointerInImage()) return handled;
  if (tool->ColorSelector())
    tool->PickColor();
  else if (tool->Palette.Tint())
    tool->FollowBrightness();
  return handled;
}

bool TWKMakeUpSurfaceToolControl::KeyDown(uint16_t key, TWKShiftState shift) {
  TWKMakeUpSurfaceTool* tool = MakeUpTool();
  if (Active() && tool != nullptr && key == kKeyP && (shift & (ssShift | ssAlt | ssCtrl)) == ssAlt) {
    tool->SetColorSelector(!tool->ColorSelector());
    tool->RecordValue(EyeColorNames::ColorSelectorControl, tool->ColorSelector() ? 1 : 0);
    return true;
  }
  return TWKBrushToolControl::KeyDown(key, shift);
}

TWKMakeUpSurfaceTool::TWKMakeUpSurfaceTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKCustomBlurBrushTool(owner), FrameFactory_(std::move(frameFactory)) {
  Accumulate = true;
  MaxSize = 100;
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKMakeUpSurfaceToolControl>(tool, view);
  };
}

TWKMakeUpSurfaceTool::~TWKMakeUpSurfaceTool() {
  Palette.OnChange = nullptr;
  if (Frame_ == nullptr) return;
  for (std::string_view name : {EyeColorNames::PaletteControl, EyeColorNames::ColorControl})
    if (IWKPaintBox* box = Frame_->PaintBox(name)) {
      box->SetPaintHandler(nullptr);
      box->SetMouseHandler(nullptr);
    }
}

void TWKMakeUpSurfaceTool::CreateFrame() { MakeButtonAndFrame("MakeUpSurface"); }

void TWKEyeColorTool::CreateFrame() { MakeButtonAndFrame("EyeColor"); }

void TWKMakeUpSurfaceTool::MakeButtonAndFrame(std::string_view scriptName) {
  ScriptName = std::string(scriptName);
  AddPanelButton(LanguageString(EyeColorNames::EyeColorTitle), kFrameWidth);
  Frame_ = FrameFactory_ ? FrameFactory_(*this) : nullptr;
  SetToolFrame(Frame_);
}

IWKCheckBox* TWKMakeUpSurfaceTool::FrameCheckBox(std::string_view name) const {
  return Frame_ != nullptr ? Frame_->CheckBox(name) : nullptr;
}

IWKTrackBar* TWKMakeUpSurfaceTool::BrightnessBar() const {
  return Frame_ != nullptr ? Frame_->TrackBar(EyeColorNames::BrightnessControl) : nullptr;
}

void TWKMakeUpSurfaceTool::AfterConstruction() {
  TWKCustomBlurBrushTool::AfterConstruction();
  CreateFrame();
  if (Frame_ != nullptr) {
    BindFrame(*Frame_);
    if (IWKTrackBar* bar = SizeTrackBar()) bar->SetTickFrequency(10);
    if (IWKTrackBar* bar = OpacityTrackBar()) bar->SetVisible(false);
    if (IWKTrackBar* bar = HardnessTrackBar()) bar->SetVisible(false);
    BindPaletteControls();
  }
  Palette.OnChange = [this] {
    if (Frame_ != nullptr)
      for (std::string_view name : {EyeColorNames::PaletteControl, EyeColorNames::ColorControl})
        if (IWKPaintBox* box = Frame_->PaintBox(name)) box->Repaint();
    // The read-out belongs to the view while another tool is current.
    if (Active()) ShowColorValues();
  };
  ShowPaletteState();
  Localize();
}

void TWKMakeUpSurfaceTool::BindPaletteControls() {
  using namespace EyeColorNames;
  BindTrackBar(BrightnessBar(), 0, 255, 16, Palette.Brightness(), [this](int32_t v) { BrightnessTrackBarChange(v); });
  if (IWKTrackBar* bar = BrightnessBar()) bar->SetOnEnter([this] { RecordMove(BrightnessControl); });
  if (IWKPaintBox* box = Frame_->PaintBox(PaletteControl)) {
    box->SetPaintHandler([this](TWKPixels& image, bool) { Palette.DrawPalette(image); });
    box->SetMouseHandler([this](IWKPaintBox::TMouseEvent e, uint32_t shift, TPoint p) { PaletteMouse(e, shift, p); });
  }
  if (IWKPaintBox* box = Frame_->PaintBox(ColorControl)) {
    box->SetPaintHandler([this](TWKPixels& image, bool) {
      Palette.DrawSwatch(image);
      ShowColorValues();
    });
    box->SetMouseHandler([this](IWKPaintBox::TMouseEvent e, uint32_t, TPoint) {
      if (e == IWKPaintBox::TMouseEvent::Down) ColorTntPaintBoxClick();
    });
  }
  if (IWKCheckBox* box = FrameCheckBox(ColorSelectorControl))
    box->SetOnChange([this](bool down) { ColorSelectorTntSpeedButtonClick(down); });
  if (IWKCheckBox* box = FrameCheckBox(TintControl))
    box->SetOnChange([this](bool checked) { TintTBXCheckBoxChange(checked); });
  for (int32_t tag = 1; tag <= 3; ++tag)
    if (IWKCheckBox* box = FrameCheckBox(PlaneControls[tag - 1]))
      box->SetOnChange([this, tag](bool down) {
        if (down) RedTntSpeedButtonClick(tag);
      });
}

void TWKEyeColorTool::AfterConstruction() {
  TWKMakeUpSurfaceTool::AfterConstruction();
  SetHardness(191);
  SetOpacity(127);
  if (IWKCheckBox* box = Frame() != nullptr ? Frame()->CheckBox(EyeColorNames::TintControl) : nullptr)
    box->SetChecked(true);
  BlendMode = kLuminosityMode;
  Palette.SetTint(true);
  SetBrightnessPosition(255);
}

void TWKMakeUpSurfaceTool::PaletteMouse(IWKPaintBox::TMouseEvent event, uint32_t shift, TPoint point) {
  if ((shift & ssLeft) == 0) return;
  if (event == IWKPaintBox::TMouseEvent::Down && (shift & (ssRight | ssMiddle)) != 0) return;
  ChoosePalettePoint(point.X, point.Y);
}

void TWKMakeUpSurfaceTool::ShowPaletteState() {
  if (IWKTrackBar* bar = BrightnessBar()) bar->SetPosition(Palette.Brightness());
  for (int32_t tag = 1; tag <= 3; ++tag)
    if (IWKCheckBox* box = FrameCheckBox(EyeColorNames::PlaneControls[tag - 1])) box->SetChecked(tag == Palette.Plane());
}

void TWKMakeUpSurfaceTool::SetBrightnessPosition(int32_t value) {
  if (IWKTrackBar* bar = BrightnessBar()) bar->SetPosition(value);
  Palette.SetBrightness(value);
}

void TWKMakeUpSurfaceTool::Localize() {
  using namespace EyeColorNames;
  const std::string title = LanguageString(EyeColorTitle);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ == nullptr) return;
  Frame_->SetTitle(title);
  if (IWKCheckBox* box = FrameCheckBox(TintControl)) box->SetCaption(LanguageString(TintText));
  for (int32_t i = 0; i < 3; ++i)
    if (IWKCheckBox* box = FrameCheckBox(PlaneControls[i])) box->SetCaption(LanguageString(PlaneTexts[i]));
  UpdateBrushCaptions();
  CaptionTrackBar(BrightnessBar(), BrightnessText);
}

void TWKMakeUpSurfaceTool::UpdateControls() {
  TWKCustomBlurBrushTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  const bool enabled = editor != nullptr && editor->CurrentTool() == this && editor->CanToolEdit(this);
  if (Frame_ != nullptr) Frame_->SetBrightnessEnabled(enabled && BlendMode != kLuminosityMode);
  UpdateBrushCaptions();
  CaptionTrackBar(BrightnessBar(), EyeColorNames::BrightnessText);
}

void TWKMakeUpSurfaceTool::LoadSettings(TWKSDFReader& reader) {
  LoadToolSettings(reader, GetSettingsId(),
                   {{1, [this](int32_t v) { SetSize(v); }},
                    {4, [this](int32_t v) {
                       const auto colour = static_cast<uint32_t>(v);
                       Palette.SetColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
                     }}});
  ShowPaletteState();
}

void TWKMakeUpSurfaceTool::SaveSettings(TWKSDFWriter& writer) {
  const TBGRPixel c = Palette.Color();
  const int32_t colour = c.Red | (c.Green << 8) | (c.Blue << 16);
  SaveToolSettings(writer, GetSettingsId(), {{1, Size()}, {4, colour}});
}

void TWKMakeUpSurfaceTool::RegisterDemoObjects() {
  using namespace EyeColorNames;
  RegisterButtonAndFrameControls({ColorSelectorControl, ColorControl, BrightnessControl, PlaneControls[0],
                                  PlaneControls[1], PlaneControls[2], PaletteControl, EllipseControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterBoolean(ScriptNamed(ColorSelectorControl), ColorSelector_, [this](bool v) { SetColorSelector(v); });
    registry->RegisterInteger(ScriptNamed(BrightnessControl), Palette.Brightness(),
                              [this](int32_t v) { SetBrightnessPosition(v); });
    for (int32_t tag = 1; tag <= 3; ++tag)
      registry->RegisterClick(ScriptNamed(PlaneControls[tag - 1]), FrameCheckBox(PlaneControls[tag - 1]),
                              [this, tag](const void*) { RedTntSpeedButtonClick(tag); });
    registry->RegisterPoint(ScriptNamed(PaletteControl), Palette.Point(),
                            [this](TPoint p) { ChoosePalettePoint(p.X, p.Y); });
  }
  TWKCustomBlurBrushTool::RegisterDemoObjects();
}

TPoint TWKMakeUpSurfaceTool::PointerPoint() const {
  const TWKGraphicsToolControl* control = ActiveControl != nullptr ? ActiveControl : Controls(0);
  const auto* brush = dynamic_cast<const TWKMaskDrawToolControl*>(control);
  return brush != nullptr ? brush->LastPoint : TPoint{};
}

void TWKMakeUpSurfaceTool::PickColor() {
  const TPoint p = PointerPoint();
  const TBGRPixel mean = AveragePixel(p.X, p.Y);
  Palette.SetColor(mean.Red, mean.Green, mean.Blue);
  ShowPaletteState();
}

void TWKMakeUpSurfaceTool::FollowBrightness() {
  const TPoint p = PointerPoint();
  const TBGRPixel mean = AveragePixel(p.X, p.Y);
  Palette.SetBrightness(std::max({mean.Red, mean.Green, mean.Blue}));
  ShowPaletteState();
}

void TWKMakeUpSurfaceTool::RefreshPointers() {
  for (int32_t i = 0; i < ControlCount(); ++i) Controls(i)->RefreshCursor();
}

void TWKMakeUpSurfaceTool::SetColorSelector(bool value) {
  ColorSelector_ = value;
  if (IWKCheckBox* box = FrameCheckBox(EyeColorNames::ColorSelectorControl)) box->SetChecked(value);
  RefreshPointers();
}

void TWKMakeUpSurfaceTool::ChoosePalettePoint(int32_t x, int32_t y) {
  Palette.SetPoint(x, y);
  ShowColorValues();
  RecordMove(EyeColorNames::PaletteControl);
  Record(ScriptNamed(EyeColorNames::PaletteControl) + ' ' + std::to_string(x) + " ," + std::to_string(y));
}

void TWKMakeUpSurfaceTool::ShowColorValues() {
  TWKGraphicsEditor* editor = Editor();
  if (editor == nullptr) return;
  const TBGRPixel c = Palette.ShownColor();
  if (editor->RStatusPanel != nullptr) editor->RStatusPanel->SetCaption(std::to_string(c.Red));
  if (editor->GStatusPanel != nullptr) editor->GStatusPanel->SetCaption(std::to_string(c.Green));
  if (editor->BStatusPanel != nullptr) editor->BStatusPanel->SetCaption(std::to_string(c.Blue));
}

void TWKMakeUpSurfaceTool::ColorSelectorTntSpeedButtonClick(bool down) {
  SetColorSelector(down);
  RecordMove(EyeColorNames::ColorSelectorControl);
  RecordValue(EyeColorNames::ColorSelectorControl, down ? 1 : 0);
}

void TWKMakeUpSurfaceTool::ColorTntPaintBoxClick() { RecordMove(EyeColorNames::EllipseControl); }

void TWKMakeUpSurfaceTool::RedTntSpeedButtonClick(int32_t tag) {
  if (tag < 1 || tag > 3) return;
  Palette.SetPlane(tag);
  ShowPaletteState();
  const std::string_view name = EyeColorNames::PlaneControls[tag - 1];
  RecordMove(name);
  Record(ScriptNamed(name));
}

void TWKMakeUpSurfaceTool::TintTBXCheckBoxChange(bool checked) { BlendMode = checked ? kLuminosityMode : 0; }

void TWKMakeUpSurfaceTool::BrightnessTrackBarChange(int32_t position) {
  Palette.SetBrightness(position);
  CaptionTrackBar(BrightnessBar(), EyeColorNames::BrightnessText);
  RecordValue(EyeColorNames::BrightnessControl, position);
}

bool TWKMakeUpSurfaceTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  if (!TWKCustomBlurBrushTool::BeginStroke(control, button, shift)) return false;
  const TPoint p = PointerPoint();
  if (ColorSelector_ && Backup() != nullptr && Backup()->BoundsRect().Contains(p.X, p.Y)) PickColor();
  return true;
}

void TWKMakeUpSurfaceTool::DrawRect(const TRect& rect) {
  if (!ColorSelector_) TWKCustomBlurBrushTool::DrawRect(rect);
}

void TWKMakeUpSurfaceTool::ApplyToRect(const TRect& rect) {
  if (ColorSelector_) return;
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  if (current == nullptr || backup == nullptr || current->PixelFormat != FormatBGR24 ||
      backup->PixelFormat != FormatBGR24)
    return;
  const TWKPixelMask& mask = CurrentMask();
  const TBGRPixel colour = Palette.Color();
  for (int32_t y = rect.Top; y < rect.Bottom; ++y)
    if (const uint8_t* m = mask.ByteAddress(rect.Left, y))
      RecolourRow(current->PixelAddress(rect.Left, y), backup->PixelAddress(rect.Left, y), m, rect.Width(), colour);
}

void TWKMakeUpSurfaceTool::EndStroke() {
  RefreshPointers();
  TWKCustomBlurBrushTool::EndStroke();
  SetColorSelector(false);
}

void TWKMakeUpSurfaceTool::StoreUndoState() {
  if (!ColorSelector_) TWKCustomBlurBrushTool::StoreUndoState();
}
