// The gleam tool: the user drags an ellipse on an eye and on release the pixels inside it are
// brightened toward white, fully at the centre and fading toward the rim; changing the
// brightness while that step is the last one re-does it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "documents/WKGraphicsCommandState.h"
#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/eyes/GlareSelection.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"

class TWKGlareTool;

namespace GleamNames {
inline constexpr std::string_view ScriptName = "Gleam";
inline constexpr std::string_view ButtonCaption = "Gleam";
// Suffixes of the registered controls and commands ("Gleam" + suffix).
inline constexpr std::string_view BrightnessControl = "Brightness";
inline constexpr std::string_view AreaSizeControl = "AreaSize";
inline constexpr std::string_view SizeCommand = "Size";
inline constexpr std::string_view BrightnessCommand = "Brightness";
// Recorded messages; "Brighness" is spelt as recorded scripts have it.
inline constexpr std::string_view BrightnessMessage = "Change Gleam Brighness";
inline constexpr std::string_view AreaSizeMessage = "Change Gleam Area Size";

inline constexpr TWKLanguageText TitleText{2602, "Gleam"};
inline constexpr TWKLanguageText SizeText{154, "Size"};
inline constexpr TWKLanguageText BrightnessText{550, "Brightness"};
}  // namespace GleamNames

struct TGleamParams {
  static constexpr int32_t DefaultBrightness = 204, MaxBrightness = 320;
  static constexpr int32_t DefaultSize = 128, MaxSize = 255;
  int32_t Brightness = DefaultBrightness;
  int32_t Size = DefaultSize;
  TPoint StartPoint;
  TPoint EndPoint;
};

// The undo step: the rectangle's pixels before and after, the values and the ellipse.
class TWKGlareCommandState : public TWKGraphicsCommandState {
 public:
  TWKGlareCommandState(IWKGraphicsTool* tool, const TRect& rect, TWKGraphicsDocument& document,
                       const TGleamParams& params, const TWKPixelSet& selection);
  int32_t GleamBrightness, GleamSize;
  TPoint StartPoint, EndPoint;
  TWKPixelSet SelectionRegion;
};

class TWKGlareControl : public TWKGraphicsToolControl {
 public:
  TWKGlareControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  // A press on this control started the drag.
  bool Dragging = false;

  void Activate() override;
  void Deactivate() override;
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  // Applies the gleam only after a press on this control.
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  // The whole image: the drag's outline may lie anywhere on it.
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  void PaintForeground(TWKViewCanvas& canvas) override;
  // The outline's rectangle on the view while dragging.
  TRect OutlineRect(const TWKMapMode& mapMode) const;

 private:
  TWKGlareTool* GlareTool() const;
};

class TWKGlareTool : public TWKGraphicsTool {
 public:
  // The settings section is the red-eye tool's; the tool keeps no value in it.
  static constexpr TWKGUID kSettingsGuid = WKGuid("{0D2C6322-B31A-4FCD-A7E4-71D628A95439}");
  static constexpr int32_t kFrameWidth = 184;
  // Makes the option frame (none: no frame); it has the track bars "Brightness" and "AreaSize".
  using TFrameFactory = std::function<IWKToolFrame*(TWKGlareTool&)>;

  TWKGlareTool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKGlareTool() override;

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override {}
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void StoreUndoState() override;
  void DocumentClosing(TWKGraphicsDocument& document) override { EndEditOnClosing(document); }
  void BeforeRedo(TWKCommandState* state) override { RestoreFrom(state); }
  void AfterUndo(TWKCommandState* state) override { RestoreFrom(state); }
  void RegisterDemoObjects() override;

  int32_t GleamBrightness() const { return Params_.Brightness; }
  int32_t GleamSize() const { return Params_.Size; }
  TPoint StartPoint() const { return Params_.StartPoint; }
  TPoint EndPoint() const { return Params_.EndPoint; }
  const TGlareSelection& Selection() const { return Selection_; }
  bool Restoring() const { return Restoring_; }
  IWKToolFrame* Frame() const { return Frame_; }

  // Clamped to 0..320; re-does the last gleam.
  void SetGleamBrightness(int32_t value);
  // Clamped to 0..255; re-does the last gleam.
  void SetGleamSize(int32_t value);
  void SetStartPoint(TPoint point) { Params_.StartPoint = point; }
  void SetEndPoint(TPoint point) { Params_.EndPoint = point; }
  // Back to 128 without re-doing anything (every mouse release starts a new gleam at 128).
  void ResetGleamSize();
  // The gleam of the current points and values as one undoable step; false when none can be
  // made now (no image, an open transaction).
  bool ApplyGleam();
  // Re-does the last step when it is a gleam that can be applied again.
  void Reapply();

  // The option frame's handlers.
  void BrightnessTrackBarChange(int32_t position);
  void AreaSizeTrackBarChange(int32_t position);
  void BrightnessTrackBarEnter();
  void AreaSizeTrackBarEnter();

 private:
  void RestoreFrom(TWKCommandState* state);
  void MoveTrackBar(std::string_view name, int32_t value);
  void UpdateCaptions();

  TFrameFactory FrameFactory_;
  IWKToolFrame* Frame_ = nullptr;
  TGlareSelection Selection_;
  TGleamParams Params_;
  bool Restoring_ = false;
};
