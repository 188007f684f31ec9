#include "tools/brush/WKExpertBrushTool.h"

#include "tools/brush/BrushNames.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"
#include "tools/framework/WKToolSettings.h"

template <class TBase>
TWKExpertBrushTool<TBase>::TWKExpertBrushTool(TWKComponent* owner, TFrameFactory frameFactory,
                                              const TWKLanguageText& title, std::string_view scriptName,
                                              const TWKGUID& settingsId)
    : TBase(owner), FrameFactory_(std::move(frameFactory)), Title_(title), SettingsId_(settingsId) {
  this->ScriptName = std::string(scriptName);
  this->MaxSize = 64;
  this->Accumulate = true;
}

template <class TBase>
void TWKExpertBrushTool<TBase>::AfterConstruction() {
  TBase::AfterConstruction();
  this->AddPanelButton(LanguageString(Title_), kFrameWidth);
  IWKToolFrame* frame = FrameFactory_ ? FrameFactory_(*this) : nullptr;
  this->SetToolFrame(frame);
  if (frame != nullptr) {
    this->BindFrame(*frame);
    if (IWKTrackBar* bar = this->SizeTrackBar()) bar->SetTickFrequency(8);
    // The averaging disc always follows the size: its bar is never shown.
    if (IWKTrackBar* bar = frame->TrackBar(BrushNames::SmoothingControl)) bar->SetVisible(false);
    if (IWKCheckBox* box = frame->CheckBox(ExpertBrushNames::ExpertModeControl))
      box->SetOnChange([this](bool v) { ExpertModeCheckBoxChange(v); });
  }
  SetExpertMode(false);
  Localize();
}

template <class TBase>
void TWKExpertBrushTool<TBase>::SetExpertMode(bool value) {
  ExpertMode_ = value;
  if (IWKToolFrame* frame = this->ToolFrame())
    if (IWKCheckBox* box = frame->CheckBox(ExpertBrushNames::ExpertModeControl)) box->SetChecked(value);
  LayoutFrame();
}

template <class TBase>
void TWKExpertBrushTool<TBase>::LayoutFrame() {
  if (IWKTrackBar* bar = this->OpacityTrackBar()) bar->SetVisible(ExpertMode_);
  if (IWKTrackBar* bar = this->HardnessTrackBar()) bar->SetVisible(ExpertMode_);
  if (ExpertMode_) return;
  this->SetOpacity(kSimpleOpacity);
  this->SetHardness(kSimpleHardness);
}

template <class TBase>
void TWKExpertBrushTool<TBase>::ExpertModeCheckBoxChange(bool checked) {
  ExpertMode_ = checked;
  LayoutFrame();
  this->RecordMove(ExpertBrushNames::ExpertModeControl);
  this->RecordValue(ExpertBrushNames::ExpertModeControl, checked ? 1 : 0);
}

template <class TBase>
void TWKExpertBrushTool<TBase>::Localize() {
  const std::string title = LanguageString(Title_);
  if (this->Button != nullptr) this->Button->SetHint(title);
  IWKToolFrame* frame = this->ToolFrame();
  if (frame == nullptr) return;
  frame->SetTitle(title);
  if (IWKCheckBox* box = frame->CheckBox(ExpertBrushNames::ExpertModeControl))
    box->SetCaption(LanguageString(ExpertBrushNames::ExpertModeText));
  this->UpdateBrushCaptions();
}

template <class TBase>
void TWKExpertBrushTool<TBase>::UpdateControls() {
  TBase::UpdateControls();
  this->UpdateBrushCaptions();
}

template <class TBase>
void TWKExpertBrushTool<TBase>::LoadSettings(TWKSDFReader& reader) {
  LoadToolSettings(reader, SettingsId_,
                   {{1, [this](int32_t v) { this->SetSize(v); }},
                    {2, [this](int32_t v) { this->SetOpacity(v); }},
                    {3, [this](int32_t v) { this->SetHardness(v); }},
                    {4, [this](int32_t v) { SetExpertMode(v != 0); }}});
}

template <class TBase>
void TWKExpertBrushTool<TBase>::SaveSettings(TWKSDFWriter& writer) {
  SaveToolSettings(writer, SettingsId_,
                   {{1, this->Size()}, {2, this->Opacity()}, {3, this->Hardness()}, {4, ExpertMode_ ? 1 : 0}});
}

template <class TBase>
void TWKExpertBrushTool<TBase>::RegisterDemoObjects() {
  TBase::RegisterDemoObjects();
  this->RegisterButtonAndFrameControls({ExpertBrushNames::ExpertModeControl});
  if (TWKDemoRegistry* registry = DemoRegistry())
    registry->RegisterBoolean(this->ScriptNamed(ExpertBrushNames::ExpertModeControl), ExpertMode_,
                              [this](bool v) { SetExpertMode(v); });
}

template class TWKExpertBrushTool<TWKBrushTool>;
template class TWKExpertBrushTool<TWKCustomBlurBrushTool>;
