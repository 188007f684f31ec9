// The emphasis brush: painted pixels move toward the image with a middle band of spatial
// frequencies strengthened (image + fine blur − coarse blur). The base can also remove the band
// (a smoothing brush); only the emphasis leaf is made. The decomposition is rebuilt lazily, when
// the pointer moves over the image or a stroke begins after something made it stale.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/brush/WKBrushTool.h"
#include "tools/retouch/FrequencyRange.h"

namespace EmphasisNames {
inline constexpr std::string_view ExpertModeControl = "ExpertMode";
inline constexpr std::string_view NaturalnessControl = "Naturalness";
inline constexpr std::string_view SmoothingControl = "Smoothing";

inline constexpr TWKLanguageText EmphasisTitle{2819, "Emphasis"};
inline constexpr TWKLanguageText AntiAgingTitle{2654, "Anti-Aging"};
inline constexpr TWKLanguageText ExpertModeText{2650, "Expert Mode"};
inline constexpr TWKLanguageText NaturalnessText{2659, "Naturalness"};
inline constexpr TWKLanguageText EmphasisSmoothingText{2820, "Smoothing"};
inline constexpr TWKLanguageText AntiAgingSmoothingText{536, "Smoothing"};
inline constexpr TWKLanguageText NoMemoryText{2828, "There is not enough memory to prepare this image for the brush."};
}  // namespace EmphasisNames

class TWKAntiAgingTool;

// The brush control that, after the pointer moved, brings a stale decomposition up to date.
class TWKAntiAgingToolControl : public TWKBrushToolControl {
 public:
  using TWKBrushToolControl::TWKBrushToolControl;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
};

class TWKAntiAgingTool : public TWKBrushTool {
 public:
  // Makes the option frame (none: the tool has no frame). The frame has the brush preview, the
  // ExpertMode check box and the Size, Naturalness, Smoothing, Opacity and Hardness bars.
  using TFrameFactory = std::function<IWKToolFrame*(TWKAntiAgingTool&)>;

  static constexpr TWKGUID kSettingsGuid = WKGuid("{3142CA0D-F215-4C09-9E1A-D2EC5EC45439}");
  static constexpr int32_t kFrameWidth = 272;
  static constexpr int32_t kMinNaturalness = 0, kMaxNaturalness = 5, kDefaultNaturalness = 1;
  static constexpr int32_t kMinSmoothing = 1, kMaxSmoothing = 25, kDefaultSmoothing = 5;
  // Opacity and hardness outside expert mode.
  static constexpr int32_t kSimpleOpacity = 255, kSimpleHardness = 127;

  TWKAntiAgingTool(TWKComponent* owner, TFrameFactory frameFactory);
  ~TWKAntiAgingTool() override;

  // True: the filtered image is image − fine + coarse (the band removed); false: boosted.
  bool RemoveBand = true;
  TFrequencyRange FrequencyRange;

  bool ExpertMode() const { return ExpertMode_; }
  int32_t Naturalness() const { return Naturalness_; }
  int32_t Smoothing() const { return Smoothing_; }
  IWKToolFrame* Frame() const { return ToolFrame(); }

  virtual TWKGUID GetSettingsId() const { return kSettingsGuid; }
  // The button and the frame; the tool name and RemoveBand.
  virtual void CreateFrame();
  // Compute on the current document's backup with the naturalness and smoothing radii.
  virtual bool RecomputeFrequencyRange();

  // When the decomposition is stale or of another size: the hourglass and the progress meter
  // while it is rebuilt. When its memory cannot be had the user is told and the tool leaves
  // the current tool (the next selection tries again). False when no up-to-date range exists.
  bool RefreshFrequencyRange();

  // The check box follows; outside expert mode opacity and hardness go back to 255 and 127 and
  // their bars are hidden.
  void SetExpertMode(bool value);
  // Clamped to their ranges; a change makes the decomposition stale and moves the bar.
  void SetNaturalness(int32_t value);
  void SetSmoothing(int32_t value);

  // The user's changes in the frame: the value, the layout and the recorded lines.
  void ExpertModeTBXCheckBoxChange(bool checked);
  void NaturalnessTrackBarChange(int32_t position);
  void SmoothingTrackBarChange(int32_t position);

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void RegisterDemoObjects() override;
  void DocumentOpened(TWKGraphicsDocument& document) override;
  void ImageRegionChanged(TWKGraphicsDocument& document, IWKGraphicsTool* tool, const TRect& rect) override;
  // Brings the decomposition up to date first: a press without a move after another tool's
  // change paints from the image as it is.
  bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) override;
  // Backup toward the filtered image through the stroke's maximum mask; nothing while the
  // decomposition does not match the image.
  void ApplyToRect(const TRect& rect) override;

 protected:
  // The construction CreateFrame does: title, tool name and direction of the band.
  void MakeButtonAndFrame(const TWKLanguageText& title, const TWKLanguageText& smoothingText,
                          std::string_view scriptName, bool removeBand);

 private:
  // The image the decomposition is made of: the stroke's backup, else the current document's.
  const TWKPixels* RangeSource() const;
  void LayoutFrame();
  void UpdateCaptions();
  IWKTrackBar* FrameTrackBar(std::string_view name) const;
  // Stores the clamped value, moves the bar and makes the range stale; false when unchanged.
  bool ChangeRadius(int32_t& field, int32_t value, int32_t low, int32_t high, std::string_view control);

  TFrameFactory FrameFactory_;
  TWKLanguageText Title_{0, ""};
  TWKLanguageText SmoothingText_{0, ""};
  bool ExpertMode_ = false;
  int32_t Naturalness_ = kDefaultNaturalness;
  int32_t Smoothing_ = kDefaultSmoothing;
};

class TWKEmphasisTool : public TWKAntiAgingTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{180846F1-572F-4E24-92E1-8AFB4A36A1FB}");
  using TWKAntiAgingTool::TWKAntiAgingTool;
  TWKGUID GetSettingsId() const override { return kSettingsGuid; }
  void CreateFrame() override;
};
