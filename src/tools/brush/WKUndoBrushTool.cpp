#include "tools/brush/WKUndoBrushTool.h"

#include "tools/brush/BrushMasks.h"

TWKUndoBrushTool::TWKUndoBrushTool(TWKComponent* owner, TFrameFactory frameFactory)
    : TWKExpertBrushTool(owner, std::move(frameFactory), kTitle, "UndoBrush", kSettingsGuid) {}

void TWKUndoBrushTool::ApplyToRect(const TRect& rect) {
  TWKPixels* current = CurrentPixels();
  const TWKPixelBuffer* backup = Backup();
  const TWKPixels* original = OriginalPixels();
  if (current == nullptr || backup == nullptr || original == nullptr) return;
  BlendRectTowardImage(*current, *backup, *original, CurrentMask(), rect);
}
