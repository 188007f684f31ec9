// The names under which a painting tool finds its frame's controls (and registers them for
// demonstrations after its script name).
#pragma once

#include <string_view>

#include "framework/WKLocalizer.h"

namespace BrushNames {
inline constexpr std::string_view SizeControl = "Size";
inline constexpr std::string_view OpacityControl = "Opacity";
inline constexpr std::string_view HardnessControl = "Hardness";
inline constexpr std::string_view SmoothingControl = "Smoothing";
inline constexpr std::string_view PreviewControl = "Preview";

inline constexpr TWKLanguageText SizeText{154, "Size"};
inline constexpr TWKLanguageText OpacityText{2008, "Opacity"};
inline constexpr TWKLanguageText HardnessText{2009, "Hardness"};
}  // namespace BrushNames
