// The pupil tools: brushes whose stamp is a generated pupil instead of a soft disc, darkening the
// image through it, one stamp per stroke: while the button is held the pupil follows the
// pointer, and it stays where the button is released.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/brush/WKBrushTool.h"

namespace SpotNames {
inline constexpr std::string_view ThicknessControl = "Thickness";
inline constexpr std::string_view RotationControl = "Rotation";
inline constexpr std::string_view ShapeControl = "Shape";

inline constexpr TWKLanguageText ThicknessText{2653, "Thickness"};
inline constexpr TWKLanguageText RotationText{2822, "Rotation"};
inline constexpr TWKLanguageText ShapeText{2824, "Shape"};
inline constexpr TWKLanguageText PupilTitle{2821, "Pupil"};
inline constexpr TWKLanguageText CatPupilTitle{2823, "Cat Pupil"};
}  // namespace SpotNames

class TWKSpotTool : public TWKBrushTool {
 public:
  // Makes the option frame in the tool panel (none: the tool has no frame). The frame has the
  // preview and the Size, Thickness, Rotation and Shape track bars.
  using TFrameFactory = std::function<IWKToolFrame*(TWKSpotTool&)>;

  static constexpr int32_t kFrameWidth = 184;
  static constexpr int32_t kMinThickness = 0, kMaxThickness = 100, kDefaultThickness = 50;
  static constexpr int32_t kMinRotation = 0, kMaxRotation = 180;
  static constexpr int32_t kMinShape = -50, kMaxShape = 50;

  TWKSpotTool(TWKComponent* owner, TFrameFactory frameFactory);
  ~TWKSpotTool() override;

  // The previous stamp of the current stroke.
  TRect LastStampRect;
  // Every stamp first erases the previous one.
  bool SingleStamp = true;
  bool HasStamp = false;
  int32_t TitleStringId = 0;

  int32_t Thickness() const { return Thickness_; }
  int32_t Rotation() const { return Rotation_; }
  // Stored and restored, used by neither pupil tool.
  int32_t Shape() const { return Shape_; }
  IWKToolFrame* Frame() const { return Frame_; }

  virtual TWKGUID GetSettingsId() const = 0;
  // The button and the frame; sets the script name and the title string.
  virtual void CreateFrame() = 0;
  // The grey level painted where the mask is full.
  virtual uint8_t GetSpotValue() const = 0;

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void RegisterDemoObjects() override;
  bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) override;
  void DrawRect(const TRect& rect) override;
  void ApplyToRect(const TRect& rect) override;
  // The preview only; the pupil tools rebuild their mask first.
  void BrushChanged() override;

  // Values from the settings file or a demonstration are clamped to their ranges; the track bar
  // follows and the mask is rebuilt.
  void SetThickness(int32_t value);
  void SetRotation(int32_t value);
  void SetShape(int32_t value);

  // The track bars' change handlers: the value, the mask and the recorded lines.
  void ThicknessTrackBarChange(int32_t position);
  void RotationTrackBarChange(int32_t position);
  void ShapeTrackBarChange(int32_t position);

 protected:
  // The construction CreateFrame does for either pupil tool: the button with the title's text,
  // the frame, the script name; the frame's track bars named in hidden are hidden.
  void MakeButtonAndFrame(const TWKLanguageText& title, std::string_view scriptName,
                          std::initializer_list<std::string_view> hidden);

 private:
  // Stores the clamped value and moves the bar; false when it did not change.
  bool ChangeValue(int32_t& field, int32_t value, int32_t low, int32_t high, std::string_view control);
  void TrackBarChange(int32_t& field, int32_t value, int32_t low, int32_t high, std::string_view control);
  void UpdateCaptions();

  TFrameFactory FrameFactory_;
  IWKToolFrame* Frame_ = nullptr;
  TWKLanguageText Title_{0, ""};
  int32_t Thickness_ = kDefaultThickness;
  int32_t Rotation_ = 0;
  int32_t Shape_ = 0;
};

// A round dark pupil.
class TWKPupilTool : public TWKSpotTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{50C0BEA2-D4B9-462D-83FE-9CBE225F54D8}");
  using TWKSpotTool::TWKSpotTool;
  TWKGUID GetSettingsId() const override { return kSettingsGuid; }
  void CreateFrame() override;
  uint8_t GetSpotValue() const override { return 0; }
  void BrushChanged() override;
};

// A cat's slit of adjustable thickness and angle.
class TWKCatPupilTool : public TWKSpotTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{88FB2444-4AFB-4F4E-8A49-3B1EA766FD05}");
  using TWKSpotTool::TWKSpotTool;
  TWKGUID GetSettingsId() const override { return kSettingsGuid; }
  void CreateFrame() override;
  uint8_t GetSpotValue() const override { return 0; }
  void BrushChanged() override;
};
