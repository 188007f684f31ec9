// The retouching brushes' shared layer: a simple mode that offers only the size (full opacity,
// three quarters of the radius solid) and an expert mode that also shows opacity and hardness,
// the settings section, the captions and the demonstration names. TBase is the brush layer the
// concrete tool paints with.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/brush/WKBrushTool.h"
#include "tools/brush/WKCustomBlurBrushTool.h"

namespace ExpertBrushNames {
inline constexpr std::string_view ExpertModeControl = "ExpertMode";
inline constexpr TWKLanguageText ExpertModeText{2650, "Expert Mode"};
}  // namespace ExpertBrushNames

template <class TBase>
class TWKExpertBrushTool : public TBase {
 public:
  using TFrameFactory = std::function<IWKToolFrame*(TWKExpertBrushTool&)>;

  static constexpr int32_t kFrameWidth = 184;
  static constexpr int32_t kSimpleOpacity = 255;
  static constexpr int32_t kSimpleHardness = 191;

  TWKExpertBrushTool(TWKComponent* owner, TFrameFactory frameFactory, const TWKLanguageText& title,
                     std::string_view scriptName, const TWKGUID& settingsId);

  bool ExpertMode() const { return ExpertMode_; }
  // The check box follows; the opacity and hardness bars show only in expert mode.
  void SetExpertMode(bool value);
  // Shows or hides the expert controls; simple mode resets opacity and hardness.
  void LayoutFrame();
  // The user's click on the check box: the mode, the layout and the recorded lines.
  void ExpertModeCheckBoxChange(bool checked);

  const TWKLanguageText& Title() const { return Title_; }

  void AfterConstruction() override;
  void Localize() override;
  void UpdateControls() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void RegisterDemoObjects() override;

 private:
  TFrameFactory FrameFactory_;
  TWKLanguageText Title_;
  TWKGUID SettingsId_;
  bool ExpertMode_ = false;
};

extern template class TWKExpertBrushTool<TWKBrushTool>;
extern template class TWKExpertBrushTool<TWKCustomBlurBrushTool>;
