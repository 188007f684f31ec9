#include "tools/eyes/RedEyeParams.h"

#include "tools/eyes/RedEyeCorrection.h"

TRect ApplyRedEyeCorrection(const TWKPixels& backup, TWKPixels& current,
                            const TRedEyeParams& params, TRedEyeSelection& selection) {
  if (!selection.Select(backup, params.ClickPoint, params.ToleranceBase(), params.Border))
    return TRect{};
  return CorrectRedEye(current, selection, params.Brightness);
}

TRect RedEyeUndoRect(const TRect& dirty, TPoint click) {
  return dirty.IsEmpty() ? Bounds(click.X, click.Y, 1, 1) : dirty;
}

std::string RedEyeCommandLine(std::string_view suffix, int32_t value) {
  std::string line(RedEyeNames::ScriptName);
  line += suffix;
  line += ' ';
  line += std::to_string(value);
  return line;
}
