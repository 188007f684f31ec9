#include "tools/brush/WKSmudgeTool.h"

#include "tools/brush/BrushMasks.h"

TWKSmudgeTool::TWKSmudgeTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKExpertBrushTool(owner, std::move(frameFactory), kTitle, "Smudge", kSettingsGuid) {}

bool TWKSmudgeTool::BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) {
  if (!TWKExpertBrushTool::BeginStroke(control, button, shift)) return false;
  if (Backup() != nullptr) AverageCache.SetBounds(Backup()->BoundsRect());
  return true;
}

void TWKSmudgeTool::ApplyToRect(const TRect& rect) {
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  if (current == nullptr || backup == nullptr || !Means_.Allocate(FormatBGR24, rect)) return;
  PrepareAverages(rect);
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    TBGRPixel* mean = Means_.Pixel(rect.Left, y);
    for (int32_t x = rect.Left; x < rect.Right; ++x) *mean++ = AveragePixel(x, y);
  }
  BlendRectTowardImage(*current, *backup, Means_, CurrentMask(), rect);
}
