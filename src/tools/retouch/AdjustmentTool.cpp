#include "tools/retouch/AdjustmentTool.h"

#include <cmath>
#include <utility>

#include "documents/WKBusyCursor.h"
#include "documents/WKGraphicsDocument.h"
#include "framework/WKApplication.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKProgressMeter.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/geometry/ResizeTool.h"
#include "view/WKGraphicsView.h"

namespace {

bool ValidType(int32_t type) { return type >= AdjustBrightness && type <= AdjustSaturation; }

// Draft resampling for the reduction of the preview copy.
class TQuickDraft {
 public:
  TQuickDraft() : Saved_(QuickDraftResampling) { QuickDraftResampling = true; }
  ~TQuickDraft() { QuickDraftResampling = Saved_; }

 private:
  bool Saved_;
};

}  // namespace

TWKAdjustmentTool::TWKAdjustmentTool(TWKComponent* owner, TWKResizeTool* resizeTool,
                                     TFrameFactory frameFactory)
    : TWKGraphicsTool(owner), ResizeTool_(resizeTool), FrameFactory_(std::move(frameFactory)) {
  Name = "AdjustmentTool";
  ScriptName = std::string(AdjustmentNames::ScriptName);
  ExclusiveEditFlag = true;
  PluginAvailable = true;
}

TWKAdjustmentTool::~TWKAdjustmentTool() = default;

int32_t TWKAdjustmentTool::ReductionPercent(int32_t width, int32_t height) {
  const double pixels = static_cast<double>(static_cast<int64_t>(width) * height);
  return static_cast<int32_t>(std::nearbyint(100 * std::sqrt(pixels / PreviewPixels)));
}

void TWKAdjustmentTool::AfterConstruction() {
  AddPanelButton(AdjustmentNames::ButtonCaption, kFrameWidth);
  if (FrameFactory_) Frame_ = FrameFactory_(*this);
  SetToolFrame(Frame_);
  if (Frame_ != nullptr) {
    for (int channel = 0; channel < 3; ++channel) Frame_->SetChannelPosition(channel, 0);
    Frame_->SetExplanationChecked(ShowExplanation_);
    Frame_->SetAllChecked(AllChannels_);
    Frame_->PressTypeButton(AdjustmentType_);
  }
  Localize();
}

void TWKAdjustmentTool::Localize() {
  using namespace AdjustmentNames;
  const std::string title = LanguageString(TitleText);
  if (Button != nullptr) Button->SetHint(title);
  if (Frame_ != nullptr) {
    TAdjustmentFrameTexts texts;
    texts.Title = title;
    texts.Settings = LanguageString(SettingsText);
    texts.All = LanguageString(AllText);
    texts.Actions = LanguageString(ActionsText);
    texts.Start = LanguageString(StartText);
    texts.Finishing = LanguageString(FinishingText);
    texts.Cancel = LanguageString(CancelText);
    texts.Explanation = LanguageString(ExplanationText);
    for (size_t i = 0; i < texts.TypeHints.size(); ++i) texts.TypeHints[i] = LanguageString(TypeTexts[i]);
    Frame_->SetTexts(texts);
  }
  ShowExplanationText();
}

void TWKAdjustmentTool::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, kSettingsGuid)) return;
  int32_t value = 0;
  if (reader.ReadInteger(1, value = Values_.Red)) SetRed(value);
  if (reader.ReadInteger(2, value = Values_.Green)) SetGreen(value);
  if (reader.ReadInteger(3, value = Values_.Blue)) SetBlue(value);
  if (reader.ReadInteger(4, value = ShowExplanation_ ? 1 : 0)) SetShowExplanation(value != 0);
  if (reader.ReadInteger(5, value = AllChannels_ ? 1 : 0)) SetAllChannels(value != 0);
  if (reader.ReadInteger(6, value = AdjustmentType_)) SetAdjustmentType(value);
  reader.CloseNode();
}

void TWKAdjustmentTool::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, kSettingsGuid);
  writer.WriteInteger(1, Values_.Red);
  writer.WriteInteger(2, Values_.Green);
  writer.WriteInteger(3, Values_.Blue);
  writer.WriteInteger(4, ShowExplanation_ ? 1 : 0);
  writer.WriteInteger(5, AllChannels_ ? 1 : 0);
  writer.WriteInteger(6, AdjustmentType_);
  writer.EndNode();
}

void TWKAdjustmentTool::UpdateControls() {
  using namespace AdjustmentNames;
  TWKGraphicsTool::UpdateControls();
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsDocument* doc = editor != nullptr ? editor->CurrentImageDocument() : nullptr;
  const bool usable = editor != nullptr && editor->CurrentTool() == this && editor->CanToolEdit(this);
  if (Frame_ != nullptr) {
    TAdjustmentFrameState state;
    const std::string typeName =
        ValidType(AdjustmentType_) ? LanguageString(TypeTexts[static_cast<size_t>(AdjustmentType_)]) : std::string();
    state.TypeCaption = typeName;
    const int32_t values[3] = {Values_.Red, Values_.Green, Values_.Blue};
    for (size_t c = 0; c < 3; ++c) {
      const std::string name = AllChannels_ ? typeName : LanguageString(ChannelTexts[c]);
      state.ChannelLabels[c] = name + ": " + (values[c] > 0 ? "+" : "") + std::to_string(values[c]);
    }
    state.GreenBlueVisible = usable && !AllChannels_;
    state.StartEnabled = usable && !Started_;
    const bool open = Started_ && doc != nullptr && doc->EditActive();
    state.FinishingEnabled = usable && open;
    state.CancelEnabled = usable && open;
    state.ExplanationVisible = ShowExplanation_ && doc != nullptr;
    for (int32_t t = 0; t < 4; ++t) state.TypeEnabled[static_cast<size_t>(t)] = usable && (!Started_ || t == AdjustmentType_);
    Frame_->ShowState(state);
  }
  // Slider changes reach the preview here, once per idle pass.
  if (Started_ && !ParametersUnchanged()) ApplyAdjustment();
}

void TWKAdjustmentTool::DocumentClosing(TWKGraphicsDocument& document) { EndCycle(document); }

void TWKAdjustmentTool::DocumentSaving(TWKGraphicsDocument& document) { EndCycle(document); }

void TWKAdjustmentTool::EndCycle(TWKGraphicsDocument& document) {
  if (Started_ && CycleDocument_ == &document) CancelAdjustment();
}

void TWKAdjustmentTool::RegisterDemoObjects() {
  using namespace AdjustmentNames;
  RegisterButtonAndFrameControls({ChannelControls[0], ChannelControls[1], ChannelControls[2], ExplanationControl,
                                  AllControl, TypeControls[0], TypeControls[1], TypeControls[2], TypeControls[3],
                                  ResetControl, StartControl, CancelControl, FinishingControl});
  if (TWKDemoRegistry* registry = DemoRegistry()) {
    registry->RegisterInteger(ScriptNamed(ChannelControls[0]), Values_.Red, [this](int32_t v) { SetRed(v); });
    registry->RegisterInteger(ScriptNamed(ChannelControls[1]), Values_.Green, [this](int32_t v) { SetGreen(v); });
    registry->RegisterInteger(ScriptNamed(ChannelControls[2]), Values_.Blue, [this](int32_t v) { SetBlue(v); });
    registry->RegisterBoolean(ScriptNamed(ExplanationControl), ShowExplanation_,
                              [this](bool v) { SetShowExplanation(v); });
    registry->RegisterBoolean(ScriptNamed(AllControl), AllChannels_, [this](bool v) { SetAllChannels(v); });
    for (int32_t t = 0; t < 4; ++t) {
      const std::string_view name = TypeControls[static_cast<size_t>(t)];
      const void* button = Frame_ != nullptr ? Frame_->Control(name) : nullptr;
      registry->RegisterClick(ScriptNamed(name), button, [this, t](const void*) { TypeButtonClick(t); });
    }
    registry->RegisterProcedure(ScriptNamed(ResetControl), [this] { ResetValues(); });
    registry->RegisterProcedure(ScriptNamed(StartControl), [this] { StartAdjustment(); });
    registry->RegisterProcedure(ScriptNamed(CancelControl), [this] { CancelAdjustment(); });
    registry->RegisterProcedure(ScriptNamed(FinishingControl), [this] { FinishAdjustment(); });
  }
  TWKGraphicsTool::RegisterDemoObjects();
}

void TWKAdjustmentTool::SetChannel(int channel, int32_t value) {
  // Outside -50..50 the gamma exponent turns negative and the saturation overshoots: clamped.
  value = ClampInt(value, MinValue, MaxValue);
  int32_t* values[3] = {&Values_.Red, &Values_.Green, &Values_.Blue};
  *values[channel] = value;
  if (Frame_ != nullptr) Frame_->SetChannelPosition(channel, value);
}

void TWKAdjustmentTool::SetShowExplanation(bool value) {
  ShowExplanation_ = value;
  if (Frame_ != nullptr) Frame_->SetExplanationChecked(value);
}

void TWKAdjustmentTool::SetAllChannels(bool value) {
  AllChannels_ = value;
  if (Frame_ != nullptr) Frame_->SetAllChecked(value);
}

void TWKAdjustmentTool::SetAdjustmentType(int32_t value) {
  AdjustmentType_ = value;
  if (ValidType(value) && Frame_ != nullptr) Frame_->PressTypeButton(value);
}

void TWKAdjustmentTool::ResetValues() {
  SetRed(0);
  SetGreen(0);
  SetBlue(0);
}

bool TWKAdjustmentTool::ParametersUnchanged() {
  if (Values_ == AppliedValues_) return true;
  AppliedValues_ = Values_;
  return false;
}

TWKResizeTool* TWKAdjustmentTool::ResizeTool() const {
  if (ResizeTool_ != nullptr) return ResizeTool_;
  TWKApplication* app = Application();
  for (int i = 0; app != nullptr && i < app->ComponentCount(); ++i)
    if (auto* tool = dynamic_cast<TWKResizeTool*>(app->Components(i))) return tool;
  return nullptr;
}

void TWKAdjustmentTool::StartAdjustment() {
  TWKGraphicsEditor* editor = Editor();
  TWKGraphicsView* view = editor != nullptr ? editor->CurrentView() : nullptr;
  if (Started_ || view == nullptr || !editor->CanToolEdit(this)) return;
  TWKGraphicsDocument& doc = view->Document();
  if (Frame_ != nullptr) Frame_->SetExplanation({});
  const int32_t width = doc.CurrentImage.Width(), height = doc.CurrentImage.Height();
  const int32_t c = ReductionPercent(width, height);
  Downscaled_ = false;
  Reduction_ = nullptr;
  TWKResizeTool* resize = ResizeTool();
  if (c > 100 && resize != nullptr) {
    resize->SetNewWidth(static_cast<int32_t>(std::nearbyint(width * 100.0 / c)));
    resize->SetNewHeight(static_cast<int32_t>(std::nearbyint(height * 100.0 / c)));
    bool reduced = false;
    {
      const TQuickDraft draft;
      reduced = resize->Perform();
    }
    // A reduction that could not be made previews the full image.
    if (reduced) {
      Downscaled_ = true;
      Reduction_ = doc.History().LastDone();
      SavedZoom_ = {view->ZoomNumerator(), view->ZoomDenominator()};
      view->SetZoom(SavedZoom_.Numerator * c, SavedZoom_.Denominator * 100);
      Activate();
    }
  }
  if (!BeginEdit(*view)) return;
  CycleDocument_ = &doc;
  MeanStale_ = true;
  ParametersUnchanged();
  ApplyAdjustment();
  Started_ = true;
  ShowExplanationText();
}

void TWKAdjustmentTool::UndoReduction() {
  TWKGraphicsDocument* doc = CycleDocument_;
  const TWKCommandState* reduction = std::exchange(Reduction_, nullptr);
  if (doc == nullptr || reduction == nullptr) return;
  if (TWKGraphicsView* view = doc->ExistingView()) view->SetZoom(SavedZoom_.Numerator, SavedZoom_.Denominator);
  if (doc->History().LastDone() != reduction) return;
  TWKGraphicsEditor* editor = Editor();
  if (editor != nullptr && editor->CurrentImageDocument() == doc)
    editor->Undo();
  else
    doc->History().Undo();
  doc->History().DiscardRedo();
}

void TWKAdjustmentTool::FinishAdjustment() {
  if (!Started_) return;
  TWKGraphicsDocument* doc = CycleDocument_;
  if (Frame_ != nullptr) Frame_->SetExplanation({});
  Started_ = false;
  if (Downscaled_) {
    CancelEdit();
    UndoReduction();
    TWKGraphicsView* view = doc != nullptr ? doc->ExistingView() : nullptr;
    TWKBusyCursor busy;
    if (view != nullptr && BeginEdit(*view)) {
      ShowProgress_ = true;
      ParametersUnchanged();
      ApplyAdjustment();
      ShowProgress_ = false;
    }
  } else if (!ParametersUnchanged()) {
    // Values changed since the last idle pass: the step stores what they give.
    ApplyAdjustment();
  }
  if (TWKGraphicsDocument* edited = EditDocument()) {
    MarkDirty(edited->ImageRect(), true);
    EndEdit();
  }
  CycleDocument_ = nullptr;
  ResetValues();
  ShowExplanationText();
}

void TWKAdjustmentTool::CancelAdjustment() {
  if (!Started_) return;
  if (Frame_ != nullptr) Frame_->SetExplanation({});
  Started_ = false;
  CancelEdit();
  if (Downscaled_) UndoReduction();
  CycleDocument_ = nullptr;
  ShowExplanationText();
}

void TWKAdjustmentTool::BuildLookupTables(const TWKPixels& backup) {
  if (AdjustmentType_ == AdjustContrast && MeanStale_) {
    MeanColor_ = MeanColor(backup);
    MeanStale_ = false;
  }
  const int32_t values[3] = {Values_.Red, Values_.Green, Values_.Blue};
  const double means[3] = {MeanColor_.Red, MeanColor_.Green, MeanColor_.Blue};
  for (size_t c = 0; c < 3; ++c) {
    if (AdjustmentType_ == AdjustBrightness) BuildBrightnessTable(values[c], LookupTables_[c]);
    if (AdjustmentType_ == AdjustContrast) BuildContrastTable(values[c], means[c], LookupTables_[c]);
    if (AdjustmentType_ == AdjustGamma) BuildGammaTable(values[c], LookupTables_[c]);
  }
}

std::function<void(int32_t)> TWKAdjustmentTool::SaturationProgress(int32_t rows) const {
  TProgressMeter* meter = ProgressMeter();
  if (!ShowProgress_ || meter == nullptr) return nullptr;
  meter->Reset(rows);
  return [meter](int32_t done) {
    for (int32_t i = 0; i < done; ++i) meter->Step();
  };
}

void TWKAdjustmentTool::ApplyAdjustment() {
  TWKGraphicsDocument* doc = EditDocument();
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  if (doc == nullptr || current == nullptr || backup == nullptr || backup->Bits == nullptr ||
      backup->BoundsRect() != current->BoundsRect() || !ValidType(AdjustmentType_))
    return;
  if (AdjustmentType_ == AdjustSaturation) {
    ApplySaturation(*backup, *current, Values_, SaturationProgress(current->Height));
  } else {
    BuildLookupTables(*backup);
    ApplyLookupTables(*backup, *current, LookupTables_[0], LookupTables_[1], LookupTables_[2]);
  }
  if (TProgressMeter* meter = ProgressMeter()) meter->Reset(0);
  MarkDirty(doc->ImageRect(), true);
}

void TWKAdjustmentTool::ShowExplanationText() {
  using namespace AdjustmentNames;
  if (Frame_ == nullptr) return;
  std::vector<std::string> lines;
  if (Started_ && Downscaled_) lines.push_back(LanguageString(ReducedText));
  if (Started_) {
    lines.push_back(LanguageString(SlidersText));
    lines.push_back(LanguageString(FinishText));
  } else {
    lines.push_back(LanguageString(IdleText));
    lines.push_back(LanguageString(ClickText) + " " + LanguageString(StartText) + " " + LanguageString(PreviewText));
  }
  Frame_->SetExplanation(lines);
}

void TWKAdjustmentTool::ChannelTrackBarChange(int channel, int32_t position) {
  SetChannel(channel, position);
  const std::string_view name = AdjustmentNames::ChannelControls[static_cast<size_t>(channel)];
  const int32_t values[3] = {Values_.Red, Values_.Green, Values_.Blue};
  RecordMove(name);
  RecordValue(name, values[channel]);
}

void TWKAdjustmentTool::RedTrackBarChange(int32_t position) {
  ChannelTrackBarChange(0, position);
  if (!AllChannels_) return;
  GreenTrackBarChange(Values_.Red);
  BlueTrackBarChange(Values_.Red);
}

void TWKAdjustmentTool::AllTntCheckBoxClick(bool checked) {
  AllChannels_ = checked;
  RecordMove(AdjustmentNames::AllControl);
  RecordValue(AdjustmentNames::AllControl, checked ? 1 : 0);
  if (!checked) return;
  GreenTrackBarChange(Values_.Red);
  BlueTrackBarChange(Values_.Red);
}

void TWKAdjustmentTool::ExplanationTntCheckBoxClick(bool checked) {
  ShowExplanation_ = checked;
  RecordMove(AdjustmentNames::ExplanationControl);
  RecordValue(AdjustmentNames::ExplanationControl, checked ? 1 : 0);
}

void TWKAdjustmentTool::TypeButtonClick(int32_t type) {
  // The type stays fixed while a cycle is open (its buttons are disabled then).
  if (!ValidType(type) || (Started_ && type != AdjustmentType_)) return;
  if (Frame_ != nullptr) Frame_->PressTypeButton(type);
  AdjustmentType_ = type;
  MeanStale_ = true;
  RecordControl(AdjustmentNames::TypeControls[static_cast<size_t>(type)]);
}

void TWKAdjustmentTool::StartTBXButtonClick() {
  StartAdjustment();
  RecordControl(AdjustmentNames::StartControl);
}

void TWKAdjustmentTool::FinishingTBXButtonClick() {
  FinishAdjustment();
  RecordControl(AdjustmentNames::FinishingControl);
}

void TWKAdjustmentTool::CancelTBXButtonClick() {
  CancelAdjustment();
  RecordControl(AdjustmentNames::CancelControl);
}

void TWKAdjustmentTool::ResetTBXButtonClick() {
  ResetValues();
  RecordControl(AdjustmentNames::ResetControl);
}
