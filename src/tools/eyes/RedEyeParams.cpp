#include "tools/eyes/RedEyeParams.h"

#include "tools/eyes/RedEyeCorrection.h"

bool TRedEyeParams::ChangeAreaSize(int32_t value) {
  value = ClampAreaSize(value);
  if (value == AreaSize) return false;
  AreaSize = value;
  return true;
}

bool TRedEyeParams::ChangeBrightness(int32_t value) {
  value = ClampBrightness(value);
  if (value == Brightness) return false;
  Brightness = value;
  return true;
}

bool TRedEyeParams::ChangeBorder(int32_t value) {
  if (!IsValidBorder(value) || value == Border) return false;
  Border = value;
  return true;
}

TRect ApplyRedEyeCorrection(const TWKPixels& backup, TWKPixels& current,
                            const TRedEyeParams& params, TRedEyeSelection& selection) {
  if (!selection.Select(backup, params.ClickPoint, params.ToleranceBase(), params.Border))
    return TRect{};
  return CorrectRedEye(current, selection, params.Brightness);
}

TRect RedEyeUndoRect(const TRect& dirty, TPoint click) {
  return dirty.IsEmpty() ? Bounds(click.X, click.Y, 1, 1) : dirty;
}
