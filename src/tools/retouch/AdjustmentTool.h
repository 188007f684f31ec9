// The colour adjustment tool: brightness, contrast, gamma or saturation of the whole image, per
// channel or for all three, in a Start / Ok / Cancel cycle with a live preview. Large images are
// previewed on a reduced copy made through the resize tool; Ok applies the adjustment to the
// full image as one undoable step.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/WKGraphicsEditor.h"
#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/retouch/AdjustmentPixels.h"

class TWKCommandState;
class TWKResizeTool;

enum : int32_t {
  AdjustBrightness = 0,
  AdjustContrast = 1,
  AdjustGamma = 2,
  AdjustSaturation = 3,
};

namespace AdjustmentNames {
inline constexpr std::string_view ScriptName = "Adjustment";
inline constexpr std::string_view ButtonCaption = "Lighting";
inline constexpr std::array<std::string_view, 3> ChannelControls = {"Red", "Green", "Blue"};
inline constexpr std::array<std::string_view, 4> TypeControls = {"Brightness", "Contrast", "Gamma", "Saturation"};
inline constexpr std::string_view AllControl = "All";
inline constexpr std::string_view ExplanationControl = "Explanation";
inline constexpr std::string_view ResetControl = "Reset";
inline constexpr std::string_view StartControl = "Start";
inline constexpr std::string_view FinishingControl = "Finishing";
inline constexpr std::string_view CancelControl = "Cancel";
inline constexpr TWKLanguageText TitleText{2459, "Adjustment"};
inline constexpr std::array<TWKLanguageText, 4> TypeTexts = {
    {{550, "Brightness"}, {558, "Contrast"}, {559, "Gamma"}, {552, "Saturation"}}};
inline constexpr std::array<TWKLanguageText, 3> ChannelTexts = {{{540, "Red"}, {541, "Green"}, {542, "Blue"}}};
inline constexpr TWKLanguageText SettingsText{2924, "Settings"};
inline constexpr TWKLanguageText AllText{2018, "All"};
inline constexpr TWKLanguageText ActionsText{2810, "Actions"};
inline constexpr TWKLanguageText StartText{75, "Start"};
inline constexpr TWKLanguageText FinishingText{2905, "Finish"};
inline constexpr TWKLanguageText CancelText{2, "Cancel"};
inline constexpr TWKLanguageText ExplanationText{2914, "Show Explanation"};
inline constexpr TWKLanguageText ReducedText{
    2915, "This large image is shown reduced so that the preview stays fast; Finish applies the change to the full-size image."};
inline constexpr TWKLanguageText IdleText{2916, "Choose the kind of adjustment with the buttons above."};
inline constexpr TWKLanguageText ClickText{2917, "Click"};
inline constexpr TWKLanguageText PreviewText{2918, "to preview it on the image."};
inline constexpr TWKLanguageText SlidersText{2919, "Move the sliders to change the image."};
inline constexpr TWKLanguageText FinishText{2920, "Click Finish to apply the change or Cancel to discard it."};
}  // namespace AdjustmentNames

struct TAdjustmentFrameTexts {
  std::string Title, Settings, All, Actions, Start, Finishing, Cancel, Explanation;
  std::array<std::string, 4> TypeHints;
};

// What UpdateControls shows in the frame on every idle pass.
struct TAdjustmentFrameState {
  std::string TypeCaption;
  std::array<std::string, 3> ChannelLabels;  // red, green, blue
  bool GreenBlueVisible = true;
  bool StartEnabled = false, FinishingEnabled = false, CancelEnabled = false;
  bool ExplanationVisible = false;
  std::array<bool, 4> TypeEnabled{};
};

// What the tool asks of its option frame; the user interface implements it.
class IWKAdjustmentFrame : public virtual IWKToolFrame {
 public:
  virtual void SetTexts(const TAdjustmentFrameTexts& texts) = 0;
  virtual void ShowState(const TAdjustmentFrameState& state) = 0;
  // These move controls without reporting a user change. Channels: 0 red, 1 green, 2 blue.
  virtual void SetChannelPosition(int channel, int32_t value) = 0;
  virtual void SetAllChecked(bool value) = 0;
  virtual void SetExplanationChecked(bool value) = 0;
  virtual void PressTypeButton(int32_t type) = 0;
  // The explanation memo's lines (none: cleared), shown from their beginning.
  virtual void SetExplanation(const std::vector<std::string>& lines) = 0;
};

class TWKAdjustmentTool : public TWKGraphicsTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{6FB556F2-CEDA-4A73-965C-E8E251CD702C}");
  static constexpr int32_t kFrameWidth = 184;
  static constexpr int32_t MinValue = -50, MaxValue = 50;
  // Images above about this many pixels are previewed reduced.
  static constexpr int64_t PreviewPixels = 1048576;
  using TFrameFactory = std::function<IWKAdjustmentFrame*(TWKAdjustmentTool&)>;

  // resizeTool reduces large images for the preview; none: the application's first resize tool.
  TWKAdjustmentTool(TWKComponent* owner, TWKResizeTool* resizeTool = nullptr,
                    TFrameFactory frameFactory = nullptr);
  ~TWKAdjustmentTool() override;

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  // A cycle of that document ends before it is closed or saved, so that the full-size photo,
  // never the reduced preview, is what is asked about and written.
  void DocumentClosing(TWKGraphicsDocument& document) override;
  void DocumentSaving(TWKGraphicsDocument& document) override;
  void RegisterDemoObjects() override;

  // Values outside -50..50 are clamped; the sliders follow.
  void SetRed(int32_t value) { SetChannel(0, value); }
  void SetGreen(int32_t value) { SetChannel(1, value); }
  void SetBlue(int32_t value) { SetChannel(2, value); }
  void SetShowExplanation(bool value);
  void SetAllChannels(bool value);
  // Values outside 0..3 are only stored.
  void SetAdjustmentType(int32_t value);

  void StartAdjustment();
  void FinishAdjustment();
  void CancelAdjustment();
  void ResetValues();
  // From the backup into the image being edited, over the whole image; repaints it.
  void ApplyAdjustment();
  // True when the values equal those of the last application; otherwise stores them there.
  bool ParametersUnchanged();
  void ShowExplanationText();

  // Frame handlers (each records for demonstrations).
  void RedTrackBarChange(int32_t position);
  void GreenTrackBarChange(int32_t position) { ChannelTrackBarChange(1, position); }
  void BlueTrackBarChange(int32_t position) { ChannelTrackBarChange(2, position); }
  void AllTntCheckBoxClick(bool checked);
  void ExplanationTntCheckBoxClick(bool checked);
  void TypeButtonClick(int32_t type);
  void StartTBXButtonClick();
  void FinishingTBXButtonClick();
  void CancelTBXButtonClick();
  void ResetTBXButtonClick();

  const TChannelValues& Values() const { return Values_; }
  bool ShowExplanation() const { return ShowExplanation_; }
  bool AllChannels() const { return AllChannels_; }
  int32_t AdjustmentType() const { return AdjustmentType_; }
  bool Started() const { return Started_; }
  bool Downscaled() const { return Downscaled_; }
  const TMeanColor& Mean() const { return MeanColor_; }
  IWKAdjustmentFrame* Frame() const { return Frame_; }
  // The view's zoom in front of the reduction.
  const TWKZoomRatio& SavedZoom() const { return SavedZoom_; }

  // round(100 × √(pixels / 1048576)): above 100 the image is previewed reduced by 100 / c.
  static int32_t ReductionPercent(int32_t width, int32_t height);

 private:
  void SetChannel(int channel, int32_t value);
  // The three tables of the type from the values (contrast: with the backup's mean colour).
  void BuildLookupTables(const TWKPixels& backup);
  // Steps the progress meter over rows while the final pass runs; none during the preview.
  std::function<void(int32_t)> SaturationProgress(int32_t rows) const;
  void ChannelTrackBarChange(int channel, int32_t position);
  TWKResizeTool* ResizeTool() const;
  // The reduction step is taken back for good and the view's zoom restored.
  void UndoReduction();
  void EndCycle(TWKGraphicsDocument& document);

  TWKResizeTool* ResizeTool_;
  TFrameFactory FrameFactory_;
  IWKAdjustmentFrame* Frame_ = nullptr;
  TChannelValues Values_;
  TChannelValues AppliedValues_;
  bool ShowExplanation_ = true;
  bool AllChannels_ = false;
  int32_t AdjustmentType_ = AdjustBrightness;
  bool Started_ = false;
  bool Downscaled_ = false;
  bool ShowProgress_ = false;
  TWKZoomRatio SavedZoom_;
  std::array<TLookupTable, 3> LookupTables_{};  // red, green, blue
  bool MeanStale_ = true;
  TMeanColor MeanColor_;
  // The document of the open cycle and its reduction step.
  TWKGraphicsDocument* CycleDocument_ = nullptr;
  const TWKCommandState* Reduction_ = nullptr;
};
