#include "tools/eyes/SpotTool.h"

#include "tools/brush/BrushMasks.h"
#include "tools/brush/BrushNames.h"
#include "tools/eyes/PupilMasks.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"

TWKSpotTool::TWKSpotTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKBrushTool(owner), FrameFactory_(std::move(frameFactory)) {}

TWKSpotTool::~TWKSpotTool() = default;

void TWKSpotTool::AfterConstruction() {
  TWKBrushTool::AfterConstruction();
  MinSize = 1;
  MaxSize = 100;
  CreateFrame();
  SetSize(25);
  if (Frame_ != nullptr) {
    BindFrame(*Frame_);
    if (IWKTrackBar* bar = SizeTrackBar()) bar->SetTickFrequency(10);
    auto bind = [this](std::string_view name, int32_t low, int32_t high, int32_t value,
                       void (TWKSpotTool::*handler)(int32_t)) {
      BindTrackBar(Frame_->TrackBar(name), low, high, 10, value,
                   [this, handler](int32_t v) { (this->*handler)(v); });
    };
    bind(SpotNames::ThicknessControl, kMinThickness, kMaxThickness, Thickness_, &TWKSpotTool::ThicknessTrackBarChange);
    bind(SpotNames::RotationControl, kMinRotation, kMaxRotation, Rotation_, &TWKSpotTool::RotationTrackBarChange);
    bind(SpotNames::ShapeControl, kMinShape, kMaxShape, Shape_, &TWKSpotTool::ShapeTrackBarChange);
  }
  Localize();
}

void TWKSpotTool::MakeButtonAndFrame(const TWKLanguageText& title, std::string_view scriptName,
                                     std::initializer_list<std::string_view> hidden) {
  Title_ = title;
  TitleStringId = title.Id;
  ScriptName = std::string(scriptName);
  AddPanelButton(LanguageString(title), kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  if (Frame_ == nullptr) return;
  for (std::string_view name : hidden)
    if (IWKTrackBar* bar = Frame_->TrackBar(name)) bar->SetVisible(false);
}

void TWKSpotTool::Localize() {
  const std::string title = LanguageString(Title_);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ != nullptr) Frame_->SetTitle(title);
  UpdateCaptions();
}

void TWKSpotTool::UpdateCaptions() {
  if (Frame_ == nullptr) return;
  UpdateBrushCaptions();
  CaptionTrackBar(Frame_->TrackBar(SpotNames::ThicknessControl), SpotNames::ThicknessText);
  CaptionTrackBar(Frame_->TrackBar(SpotNames::RotationControl), SpotNames::RotationText);
  CaptionTrackBar(Frame_->TrackBar(SpotNames::ShapeControl), SpotNames::ShapeText);
}

void TWKSpotTool::UpdateControls() {
  TWKBrushTool::UpdateControls();
  UpdateCaptions();
}

void TWKSpotTool::LoadSettings(TWKSDFReader& reader) {
  LoadToolSettings(reader, GetSettingsId(),
                   {{1, [this](int32_t v) { SetSize(v); }},
                    {2, [this](int32_t v) { SetThickness(v); }},
                    {3, [this](int32_t v) { SetRotation(v); }},
                    {4, [this](int32_t v) { SetShape(v); }}});
}

void TWKSpotTool::SaveSettings(TWKSDFWriter& writer) {
  SaveToolSettings(writer, GetSettingsId(), {{1, Size()}, {2, Thickness_}, {3, Rotation_}, {4, Shape_}});
}

void TWKSpotTool::RegisterDemoObjects() {
  using namespace SpotNames;
  RegisterButtonAndFrameControls({ThicknessControl, RotationControl, ShapeControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(ThicknessControl), Thickness_, [this](int32_t v) { SetThickness(v); });
    registry->RegisterInteger(ScriptNamed(RotationControl), Rotation_, [this](int32_t v) { SetRotation(v); });
    registry->RegisterInteger(ScriptNamed(ShapeControl), Shape_, [this](int32_t v) { SetShape(v); });
  }
  TWKBrushTool::RegisterDemoObjects();
}

bool TWKSpotTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  HasStamp = false;
  return TWKBrushTool::BeginStroke(control, button, shift);
}

void TWKSpotTool::DrawRect(const TRect& rect) {
  if (SingleStamp && Backup() != nullptr && CurrentPixels() != nullptr) {
    if (HasStamp) {
      // The previous stamp may have reached past the image: only its part inside is restored.
      const TRect last = IntersectRect(LastStampRect, Backup()->BoundsRect());
      if (!last.IsEmpty()) {
        CurrentPixels()->CopyRect(last.Left, last.Top, last, *Backup());
        MarkDirty(last, false);
      }
    } else {
      HasStamp = true;
    }
    LastStampRect = rect;
  }
  TWKBrushTool::DrawRect(rect);
}

void TWKSpotTool::ApplyToRect(const TRect& rect) {
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  if (current == nullptr || backup == nullptr || current->PixelFormat != FormatBGR24 ||
      backup->PixelFormat != FormatBGR24)
    return;
  const TWKPixelMask& mask = CurrentMask();
  const uint8_t grey = GetSpotValue();
  for (int32_t y = rect.Top; y < rect.Bottom; ++y)
    if (const uint8_t* m = mask.ByteAddress(rect.Left, y))
      BlendRowTowardGrey(current->PixelAddress(rect.Left, y), backup->PixelAddress(rect.Left, y), m,
                         rect.Width(), grey);
}

void TWKSpotTool::BrushChanged() { TWKMaskDrawTool::BrushChanged(); }

bool TWKSpotTool::ChangeValue(int32_t& field, int32_t value, int32_t low, int32_t high,
                              std::string_view control) {
  value = ClampInt(value, low, high);
  if (value == field) return false;
  field = value;
  if (Frame_ != nullptr)
    if (IWKTrackBar* bar = Frame_->TrackBar(control)) bar->SetPosition(value);
  return true;
}

void TWKSpotTool::SetThickness(int32_t value) {
  if (ChangeValue(Thickness_, value, kMinThickness, kMaxThickness, SpotNames::ThicknessControl)) BrushChanged();
}

void TWKSpotTool::SetRotation(int32_t value) {
  if (ChangeValue(Rotation_, value, kMinRotation, kMaxRotation, SpotNames::RotationControl)) BrushChanged();
}

void TWKSpotTool::SetShape(int32_t value) {
  if (ChangeValue(Shape_, value, kMinShape, kMaxShape, SpotNames::ShapeControl)) BrushChanged();
}

void TWKSpotTool::TrackBarChange(int32_t& field, int32_t value, int32_t low, int32_t high,
                                 std::string_view control) {
  ChangeValue(field, value, low, high, control);
  BrushChanged();
  UpdateCaptions();
  RecordMove(control);
  RecordValue(control, field);
}

void TWKSpotTool::ThicknessTrackBarChange(int32_t position) {
  TrackBarChange(Thickness_, position, kMinThickness, kMaxThickness, SpotNames::ThicknessControl);
}

void TWKSpotTool::RotationTrackBarChange(int32_t position) {
  TrackBarChange(Rotation_, position, kMinRotation, kMaxRotation, SpotNames::RotationControl);
}

void TWKSpotTool::ShapeTrackBarChange(int32_t position) {
  TrackBarChange(Shape_, position, kMinShape, kMaxShape, SpotNames::ShapeControl);
}

void TWKPupilTool::CreateFrame() {
  using namespace SpotNames;
  MakeButtonAndFrame(PupilTitle, "Pupil", {ThicknessControl, RotationControl, ShapeControl});
}

void TWKPupilTool::BrushChanged() {
  BuildRoundPupilMask(BrushMask, Size());
  TWKSpotTool::BrushChanged();
}

void TWKCatPupilTool::CreateFrame() {
  MakeButtonAndFrame(SpotNames::CatPupilTitle, "CatPupil", {SpotNames::ShapeControl});
}

void TWKCatPupilTool::BrushChanged() {
  BuildSlitPupilMask(BrushMask, Size(), Thickness(), Rotation());
  TWKSpotTool::BrushChanged();
}
