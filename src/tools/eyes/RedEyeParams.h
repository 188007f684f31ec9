// The red-eye tool's values, their ranges, and the fixed names and texts the tool uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/WKLocalizer.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "tools/eyes/RedEyeSelection.h"
#include "tools/eyes/WKPixelSet.h"

struct TRedEyeParams {
  static constexpr int32_t DefaultAreaSize = 176;
  static constexpr int32_t DefaultBorder = 0;
  static constexpr int32_t DefaultBrightness = 50;
  static constexpr int32_t MinBorder = -TRedEyeSelection::MaxBorder;
  static constexpr int32_t MaxBorder = TRedEyeSelection::MaxBorder;

  int32_t Border = DefaultBorder;
  int32_t Brightness = DefaultBrightness;
  int32_t AreaSize = DefaultAreaSize;
  TPoint ClickPoint;

  int32_t ToleranceBase() const { return 255 - AreaSize; }

  // The tool's setters: true when the stored value changed, i.e. the tool moves its control
  // and re-applies. AreaSize and Brightness are clamped to 0..255; a border outside -5..5 is
  // ignored, so the buttons stop at the ends.
  bool ChangeAreaSize(int32_t value);
  bool ChangeBrightness(int32_t value);
  bool ChangeBorder(int32_t value);

  friend bool operator==(const TRedEyeParams&, const TRedEyeParams&) = default;
};

constexpr int32_t ClampAreaSize(int32_t value) { return ClampInt(value, 0, 255); }
constexpr int32_t ClampBrightness(int32_t value) { return ClampInt(value, 0, 255); }
constexpr bool IsValidBorder(int32_t value) {
  return value >= TRedEyeParams::MinBorder && value <= TRedEyeParams::MaxBorder;
}

// One correction: the selection is grown on backup (the image before this step) at
// params.ClickPoint and current is darkened. Returns the changed rectangle (SelectionBounds);
// empty when nothing was selected, e.g. for a click that is not on the image.
TRect ApplyRedEyeCorrection(const TWKPixels& backup, TWKPixels& current,
                            const TRedEyeParams& params, TRedEyeSelection& selection);

// The rectangle a red-eye undo step stores: the dirty rectangle, or the clicked pixel when
// nothing changed.
TRect RedEyeUndoRect(const TRect& dirty, TPoint click);

namespace RedEyeNames {
inline constexpr std::string_view ScriptName = "RedEye";
inline constexpr std::string_view SettingsSection = "{0D2C6322-B31A-4FCD-A7E4-71D628A95439}";
inline constexpr std::string_view ButtonCaption = "Red Eye Correction";
inline constexpr std::string_view ButtonImage = "RedEye";

// Suffixes of the registered controls and commands ("RedEye" + suffix).
inline constexpr std::string_view SelectionControl = "Selection";
inline constexpr std::string_view AreaSizeControl = "AreaSize";
inline constexpr std::string_view IncAreaControl = "IncArea";
inline constexpr std::string_view DecAreaControl = "DecArea";
inline constexpr std::string_view BrightnessControl = "Brightness";
inline constexpr std::string_view PreviewControl = "Preview";
inline constexpr std::string_view AreaSizeCommand = "AreaSize";
inline constexpr std::string_view BorderSizeCommand = "BorderSize";
inline constexpr std::string_view BrightnessCommand = "Brightness";
// "Repair All Eyes": the option frame's button and the script command without argument.
inline constexpr std::string_view RepairAllControl = "RepairAll";
inline constexpr std::string_view RepairAllCommand = "RepairAll";
inline constexpr std::string_view RepairAllMessage = "Repair All Eyes";

// Recorded messages; "Brighness" is spelt as recorded scripts have it.
inline constexpr std::string_view IncreaseAreaMessage = "Increase Correction Area";
inline constexpr std::string_view DecreaseAreaMessage = "Decrease Correction Area";
inline constexpr std::string_view AreaSizeMessage = "Change Red Eye Area Size";
inline constexpr std::string_view BrightnessMessage = "Change Red Eye Brighness";
inline constexpr std::string_view SelectionPreviewMessage = "Selection Preview";
inline constexpr std::string_view CorrectionPreviewMessage = "Correction Preview";

// Language strings with their built-in texts.
inline constexpr TWKLanguageText TitleText{2826, "Shading"};
inline constexpr TWKLanguageText AreaSizeText{901, "Area Size"};
inline constexpr TWKLanguageText BorderText{2827, "Border"};
inline constexpr TWKLanguageText PixelUnitText{2600, "px"};
inline constexpr TWKLanguageText BrightnessText{550, "Brightness"};
inline constexpr TWKLanguageText SourceImageText{902, "Source Image"};
inline constexpr TWKLanguageText ProcessedImageText{903, "Processed Image"};
inline constexpr TWKLanguageText RepairAllText{2840, "Repair All Eyes"};
inline constexpr TWKLanguageText EyesRepairedText{2841, "Eyes repaired"};
inline constexpr TWKLanguageText NoEyesText{2842, "No red or shining eyes found"};
}  // namespace RedEyeNames
