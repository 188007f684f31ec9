// The eye colour brush: painted pixels take the hue and saturation of the palette's colour at
// their own brightness, so an iris keeps its texture, its dark pupil and its highlights. A
// colour selector picks the colour from the photo instead of the palette.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/brush/WKCustomBlurBrushTool.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/retouch/MakeUpPalette.h"

namespace EyeColorNames {
inline constexpr std::string_view ColorSelectorControl = "ColorSelector";
inline constexpr std::string_view ColorControl = "Color";
inline constexpr std::string_view EllipseControl = "Ellipse";
inline constexpr std::string_view TintControl = "Tint";
inline constexpr std::string_view BrightnessControl = "Brightness";
inline constexpr std::string_view PaletteControl = "Palette";
// The plane buttons, tags 1, 2 and 3.
inline constexpr std::string_view PlaneControls[3] = {"Red", "Green", "Blue"};

inline constexpr TWKLanguageText EyeColorTitle{2612, "Eye Color"};
inline constexpr TWKLanguageText BrightnessText{550, "Brightness"};
inline constexpr TWKLanguageText TintText{2610, "Tint"};
inline constexpr TWKLanguageText PlaneTexts[3] = {{540, "Red"}, {541, "Green"}, {542, "Blue"}};
}  // namespace EyeColorNames

// What the tool asks of its frame beyond the named controls.
class IWKMakeUpSurfaceFrame : public virtual IWKToolFrame {
 public:
  // The brightness bar and its label take input or not.
  virtual void SetBrightnessEnabled(bool value) = 0;
};

class TWKMakeUpSurfaceTool;

class TWKMakeUpSurfaceToolControl : public TWKBrushToolControl {
 public:
  // The wheel changes the size also during a stroke.
  TWKMakeUpSurfaceToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);
  // The eyedropper while the selector is on, else none (the outline shows the brush).
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  // Right presses, and presses off the image while the selector is on, are not taken.
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  // During a stroke over the image: picks with the selector on, else follows the brightness.
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  // Alt+P toggles the selector.
  bool KeyDown(uint16_t key, TWKShiftState shift) override;

 private:
  TWKMakeUpSurfaceTool* MakeUpTool() const;
  bool PointerInImage() const;
};

class TWKMakeUpSurfaceTool : public TWKCustomBlurBrushTool {
 public:
  using TFrameFactory = std::function<IWKMakeUpSurfaceFrame*(TWKMakeUpSurfaceTool&)>;

  static constexpr TWKGUID kSettingsGuid = WKGuid("{031714C4-FC12-4A22-8B32-3B7A3FB50200}");
  static constexpr int32_t kFrameWidth = 264;
  static constexpr int32_t kLuminosityMode = 2;

  TWKMakeUpSurfaceTool(TWKComponent* owner, TFrameFactory frameFactory);
  ~TWKMakeUpSurfaceTool() override;

  int32_t BlendMode = 0;
  TMakeUpPalette Palette{TPoint{128, 128}, 128, TMakeUpPalette::PlaneRed};

  bool ColorSelector() const { return ColorSelector_; }
  IWKMakeUpSurfaceFrame* Frame() const { return Frame_; }

  virtual TWKGUID GetSettingsId() const { return kSettingsGuid; }
  // The button, the frame and the tool name.
  virtual void CreateFrame();

  // The local average colour under the pointer becomes the palette's colour.
  void PickColor();
  // The palette's brightness follows the largest channel of the local average colour.
  void FollowBrightness();
  // The selector button follows; the pointer shows the new shape at once.
  void SetColorSelector(bool value);
  // A point of the palette box (clamped), shown and recorded.
  void ChoosePalettePoint(int32_t x, int32_t y);
  // The shown colour in the status bar's R, G and B panels.
  void ShowColorValues();
  // The brightness bar moves and the palette follows (the bar's own change, without a record).
  void SetBrightnessPosition(int32_t value);

  // The frame's handlers.
  void ColorSelectorTntSpeedButtonClick(bool down);
  void ColorTntPaintBoxClick();
  void RedTntSpeedButtonClick(int32_t tag);
  void TintTBXCheckBoxChange(bool checked);
  void BrightnessTrackBarChange(int32_t position);

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void RegisterDemoObjects() override;
  bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) override;
  // The selector stamps nothing: the image stays as it is and the stroke marks nothing.
  void DrawRect(const TRect& rect) override;
  void ApplyToRect(const TRect& rect) override;
  void EndStroke() override;
  void StoreUndoState() override;

  // The image point under the brush (the active control's, else the first control's).
  TPoint PointerPoint() const;

 protected:
  void MakeButtonAndFrame(std::string_view scriptName);

 private:
  IWKCheckBox* FrameCheckBox(std::string_view name) const;
  IWKTrackBar* BrightnessBar() const;
  // The brightness bar and the plane buttons show the palette's values.
  void ShowPaletteState();
  void RefreshPointers();
  void PaletteMouse(IWKPaintBox::TMouseEvent event, uint32_t shift, TPoint point);
  void BindPaletteControls();

  TFrameFactory FrameFactory_;
  IWKMakeUpSurfaceFrame* Frame_ = nullptr;
  bool ColorSelector_ = false;
};

class TWKEyeColorTool : public TWKMakeUpSurfaceTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{FE93CBD7-F887-4BF6-B765-5D5AF619F0DD}");
  using TWKMakeUpSurfaceTool::TWKMakeUpSurfaceTool;
  TWKGUID GetSettingsId() const override { return kSettingsGuid; }
  void CreateFrame() override;
  // Hardness 191, opacity 127, the luminosity mode and the palette at full brightness.
  void AfterConstruction() override;
};
