#include "tools/retouch/EmphasisTool.h"

#include <algorithm>
#include <vector>

#include "documents/WKBusyCursor.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "tools/brush/BrushMasks.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKProgressMeter.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"

bool TWKAntiAgingToolControl::MouseMove(TWKShiftState shift, TPoint point) {
  const bool handled = TWKBrushToolControl::MouseMove(shift, point);
  auto* tool = static_cast<TWKAntiAgingTool*>(Tool());
  if (tool != nullptr && tool->Active() && tool->FrequencyRange.Staleness != 0) tool->RefreshFrequencyRange();
  return handled;
}

TWKAntiAgingTool::TWKAntiAgingTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKBrushTool(owner), FrameFactory_(std::move(frameFactory)) {
  Accumulate = true;
  MaxSize = 64;
  ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
    return std::make_unique<TWKAntiAgingToolControl>(tool, view);
  };
}

TWKAntiAgingTool::~TWKAntiAgingTool() = default;

void TWKAntiAgingTool::AfterConstruction() {
  TWKBrushTool::AfterConstruction();
  CreateFrame();
  if (IWKToolFrame* frame = ToolFrame()) {
    BindFrame(*frame);
    if (IWKTrackBar* bar = SizeTrackBar()) bar->SetTickFrequency(8);
    BindTrackBar(FrameTrackBar(EmphasisNames::NaturalnessControl), kMinNaturalness, kMaxNaturalness, 1, Naturalness_,
                 [this](int32_t v) { NaturalnessTrackBarChange(v); });
    BindTrackBar(FrameTrackBar(EmphasisNames::SmoothingControl), kMinSmoothing, kMaxSmoothing, 1, Smoothing_,
                 [this](int32_t v) { SmoothingTrackBarChange(v); });
    if (IWKCheckBox* box = frame->CheckBox(EmphasisNames::ExpertModeControl))
      box->SetOnChange([this](bool v) { ExpertModeTBXCheckBoxChange(v); });
  }
  SetExpertMode(false);
  Localize();
}

void TWKAntiAgingTool::CreateFrame() {
  MakeButtonAndFrame(EmphasisNames::AntiAgingTitle, EmphasisNames::AntiAgingSmoothingText, "AntiAging", true);
}

void TWKAntiAgingTool::MakeButtonAndFrame(const TWKLanguageText& title, const TWKLanguageText& smoothingText,
                                          std::string_view scriptName, bool removeBand) {
  Title_ = title;
  SmoothingText_ = smoothingText;
  ScriptName = std::string(scriptName);
  RemoveBand = removeBand;
  AddPanelButton(LanguageString(title), kFrameWidth);
  SetToolFrame(FrameFactory_ ? FrameFactory_(*this) : nullptr);
}

void TWKEmphasisTool::CreateFrame() {
  MakeButtonAndFrame(EmphasisNames::EmphasisTitle, EmphasisNames::EmphasisSmoothingText, "Emphasis", false);
}

IWKTrackBar* TWKAntiAgingTool::FrameTrackBar(std::string_view name) const {
  return ToolFrame() != nullptr ? ToolFrame()->TrackBar(name) : nullptr;
}

void TWKAntiAgingTool::SetExpertMode(bool value) {
  ExpertMode_ = value;
  if (IWKToolFrame* frame = ToolFrame())
    if (IWKCheckBox* box = frame->CheckBox(EmphasisNames::ExpertModeControl)) box->SetChecked(value);
  LayoutFrame();
}

void TWKAntiAgingTool::LayoutFrame() {
  if (IWKTrackBar* bar = OpacityTrackBar()) bar->SetVisible(ExpertMode_);
  if (IWKTrackBar* bar = HardnessTrackBar()) bar->SetVisible(ExpertMode_);
  if (ExpertMode_) return;
  SetOpacity(kSimpleOpacity);
  SetHardness(kSimpleHardness);
}

bool TWKAntiAgingTool::ChangeRadius(int32_t& field, int32_t value, int32_t low, int32_t high,
                                    std::string_view control) {
  value = std::clamp(value, low, high);
  if (IWKTrackBar* bar = FrameTrackBar(control)) bar->SetPosition(value);
  if (value == field) return false;
  field = value;
  // The decomposition was made with the other radius.
  FrequencyRange.MarkStale(2);
  return true;
}

void TWKAntiAgingTool::SetNaturalness(int32_t value) {
  ChangeRadius(Naturalness_, value, kMinNaturalness, kMaxNaturalness, EmphasisNames::NaturalnessControl);
}

void TWKAntiAgingTool::SetSmoothing(int32_t value) {
  ChangeRadius(Smoothing_, value, kMinSmoothing, kMaxSmoothing, EmphasisNames::SmoothingControl);
}

void TWKAntiAgingTool::ExpertModeTBXCheckBoxChange(bool checked) {
  ExpertMode_ = checked;
  LayoutFrame();
  RecordMove(EmphasisNames::ExpertModeControl);
  RecordValue(EmphasisNames::ExpertModeControl, checked ? 1 : 0);
}

void TWKAntiAgingTool::NaturalnessTrackBarChange(int32_t position) {
  FrequencyRange.MarkStale(2);
  SetNaturalness(position);
  UpdateCaptions();
  RecordMove(EmphasisNames::NaturalnessControl);
  RecordValue(EmphasisNames::NaturalnessControl, Naturalness_);
}

void TWKAntiAgingTool::SmoothingTrackBarChange(int32_t position) {
  FrequencyRange.MarkStale(2);
  SetSmoothing(position);
  UpdateCaptions();
  RecordMove(EmphasisNames::SmoothingControl);
  RecordValue(EmphasisNames::SmoothingControl, Smoothing_);
}

void TWKAntiAgingTool::Localize() {
  const std::string title = LanguageString(Title_);
  if (Button != nullptr) Button->SetHint(title);
  IWKToolFrame* frame = ToolFrame();
  if (frame == nullptr) return;
  frame->SetTitle(title);
  if (IWKCheckBox* box = frame->CheckBox(EmphasisNames::ExpertModeControl))
    box->SetCaption(LanguageString(EmphasisNames::ExpertModeText));
  UpdateCaptions();
}

void TWKAntiAgingTool::UpdateCaptions() {
  UpdateBrushCaptions();
  CaptionTrackBar(FrameTrackBar(EmphasisNames::NaturalnessControl), EmphasisNames::NaturalnessText);
  CaptionTrackBar(FrameTrackBar(EmphasisNames::SmoothingControl), SmoothingText_);
}

void TWKAntiAgingTool::UpdateControls() {
  TWKBrushTool::UpdateControls();
  UpdateCaptions();
}

void TWKAntiAgingTool::LoadSettings(TWKSDFReader& reader) {
  LoadToolSettings(reader, GetSettingsId(),
                   {{1, [this](int32_t v) { SetSize(v); }},
                    {2, [this](int32_t v) { SetOpacity(v); }},
                    {3, [this](int32_t v) { SetHardness(v); }},
                    {4, [this](int32_t v) { SetExpertMode(v != 0); }},
                    {5, [this](int32_t v) { SetNaturalness(v); }},
                    {6, [this](int32_t v) { SetSmoothing(v); }}});
}

void TWKAntiAgingTool::SaveSettings(TWKSDFWriter& writer) {
  SaveToolSettings(writer, GetSettingsId(),
                   {{1, Size()}, {2, Opacity()}, {3, Hardness()}, {4, ExpertMode_ ? 1 : 0}, {5, Naturalness_},
                    {6, Smoothing_}});
}

void TWKAntiAgingTool::RegisterDemoObjects() {
  using namespace EmphasisNames;
  RegisterButtonAndFrameControls({ExpertModeControl, NaturalnessControl, SmoothingControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterBoolean(ScriptNamed(ExpertModeControl), ExpertMode_, [this](bool v) { SetExpertMode(v); });
    registry->RegisterInteger(ScriptNamed(NaturalnessControl), Naturalness_, [this](int32_t v) { SetNaturalness(v); });
    registry->RegisterInteger(ScriptNamed(SmoothingControl), Smoothing_, [this](int32_t v) { SetSmoothing(v); });
  }
  TWKBrushTool::RegisterDemoObjects();
}

void TWKAntiAgingTool::DocumentOpened(TWKGraphicsDocument& document) {
  TWKBrushTool::DocumentOpened(document);
  FrequencyRange.MarkStale(2);
}

void TWKAntiAgingTool::ImageRegionChanged(TWKGraphicsDocument& document, IWKGraphicsTool* tool,
                                          const TRect& rect) {
  // The tool's own strokes, done or undone, leave the decomposition of the image they started
  // from: painting again moves toward the same target.
  if (tool != this) FrequencyRange.MarkStale(2);
}

const TWKPixels* TWKAntiAgingTool::RangeSource() const {
  if (Backup() != nullptr) return Backup();
  TWKGraphicsDocument* doc = CurrentDocument();
  return doc != nullptr && doc->Backup.Bits != nullptr ? &doc->Backup : nullptr;
}

bool TWKAntiAgingTool::RecomputeFrequencyRange() {
  const TWKPixels* image = RangeSource();
  if (image == nullptr) return false;
  TProgressMeter* meter = ProgressMeter();
  int32_t stepped = 0;
  const bool done = FrequencyRange.Compute(*image, Naturalness_, Smoothing_, [&](int32_t now, int32_t total) {
    if (meter == nullptr) return;
    if (stepped == 0) meter->Reset(total);
    for (; stepped < now; ++stepped) meter->Step();
  });
  if (meter != nullptr) meter->Reset(0);
  return done;
}

bool TWKAntiAgingTool::RefreshFrequencyRange() {
  const TWKPixels* image = RangeSource();
  if (image == nullptr) return false;
  if (image->Width != FrequencyRange.Width() || image->Height != FrequencyRange.Height())
    FrequencyRange.MarkStale(2);
  if (FrequencyRange.Staleness == 0) return true;
  bool done = false;
  {
    TWKBusyCursor busy;
    done = RecomputeFrequencyRange();
  }
  if (done) return true;
  if (TWKApplication* app = Application())
    app->MessageBox(LanguageString(EmphasisNames::NoMemoryText), MB_OK | MB_ICONERROR);
  if (TWKGraphicsEditor* editor = Editor(); editor != nullptr && editor->CurrentTool() == this)
    editor->SetCurrentTool(editor->PreviousTool() != this ? editor->PreviousTool() : nullptr);
  return false;
}

bool TWKAntiAgingTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  if (!TWKBrushTool::BeginStroke(control, button, shift)) return false;
  if (RefreshFrequencyRange()) return true;
  CancelEdit();
  ActiveControl = nullptr;
  StrokeMask.Clear();
  return false;
}

void TWKAntiAgingTool::ApplyToRect(const TRect& rect) {
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  if (current == nullptr || backup == nullptr || current->PixelFormat != FormatBGR24 ||
      backup->PixelFormat != FormatBGR24)
    return;
  if (FrequencyRange.Width() != backup->Width || FrequencyRange.Height() != backup->Height) return;
  const int32_t width = rect.Width();
  std::vector<uint8_t> target(static_cast<size_t>(width) * 3);
  const TWKPixelMask& mask = CurrentMask();
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    const uint8_t* m = mask.ByteAddress(rect.Left, y);
    if (m == nullptr) continue;
    FrequencyRange.FilteredRow(rect.Left - backup->Left, y - backup->Top, width, RemoveBand, target.data());
    BlendRowTowardRow(current->PixelAddress(rect.Left, y), backup->PixelAddress(rect.Left, y), target.data(), m,
                      width);
  }
}
