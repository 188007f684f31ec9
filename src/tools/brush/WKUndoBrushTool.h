// The undo brush: paints the image as it was opened back over the current one.
#pragma once

#include "tools/brush/WKExpertBrushTool.h"

class TWKUndoBrushTool : public TWKExpertBrushTool<TWKBrushTool> {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{85DCD701-37DB-4D73-91B0-D4B42DC388BA}");
  static constexpr TWKLanguageText kTitle{2002, "Undo Brush"};

  TWKUndoBrushTool(TWKComponent* owner, TFrameFactory frameFactory);

  // Each channel toward the original image at the same place, through the stroke's mask. Where
  // the current image reaches past the original (a canvas grown by a free rotation) the pixels
  // stay as they are.
  void ApplyToRect(const TRect& rect) override;
};
