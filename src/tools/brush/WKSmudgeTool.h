// The smudge brush: pulls each painted pixel toward the mean colour of its surroundings.
#pragma once

#include "tools/brush/WKExpertBrushTool.h"

class TWKSmudgeTool : public TWKExpertBrushTool<TWKCustomBlurBrushTool> {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{FBAEF374-D256-4EB1-9C57-55F87212654F}");
  static constexpr TWKLanguageText kTitle{2651, "Smudge"};

  TWKSmudgeTool(TWKComponent* owner, TFrameFactory frameFactory);

  // The averages are cached over the whole image for the stroke.
  bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) override;
  // Each channel toward the mean of the disc around the pixel, through the stroke's mask.
  void ApplyToRect(const TRect& rect) override;

 private:
  TWKPixelBuffer Means_;
};
