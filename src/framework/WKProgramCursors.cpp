#include "framework/WKProgramCursors.h"

#include <array>

std::string_view ProgramCursorName(int32_t number) {
  static constexpr std::array<std::string_view, 12> Names = {
      "Eyedropper", "Plus", "Minus", "Fill", "FillEmpty", "FillObject",
      "FillBG", "FillUnknown", "Empty", "Object", "BG", "Unknown"};
  if (number >= 1 && number <= 12) return Names[static_cast<size_t>(number - 1)];
  if (number == crHandCursor) return "Hand";
  return {};
}
