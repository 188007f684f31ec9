// The free-rotation tool: straightens a photo along a drawn line that should be horizontal or
// vertical. Each line adds its angle and shows a nearest-neighbour preview computed afresh from
// a copy of the image; Finishing computes the final image with the Hermite filter (and cuts it
// to the largest upright rectangle without blank corners when auto crop is on) as one undoable
// step; Cancel puts the image back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "documents/WKGeometryCommandState.h"
#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "imaging/WKFreeRotate.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "tools/framework/WKToolFrame.h"

namespace FreeRotationNames {
inline constexpr std::string_view ScriptName = "Rotation3";
inline constexpr std::string_view ButtonCaption = "Rotation";
// Suffixes of the registered controls and commands ("Rotation3" + suffix).
inline constexpr std::string_view AutoCropControl = "AutoCrop";
inline constexpr std::string_view FinishingControl = "Finishing";
inline constexpr std::string_view CancelControl = "Cancel";

inline constexpr TWKLanguageText TitleText{2822, "Rotation"};
inline constexpr TWKLanguageText AutoCropText{2906, "Auto Crop When Finishing"};
inline constexpr TWKLanguageText ActionsText{2810, "Actions"};
inline constexpr TWKLanguageText FinishingText{2905, "Finishing"};
inline constexpr TWKLanguageText CancelText{2, "Cancel"};
}  // namespace FreeRotationNames

struct TRotationFrameTexts {
  std::string Title, AutoCrop, Actions, Finishing, Cancel;
};

// What the tool asks of its option frame; the user interface implements it.
class IWKRotationFrame : public virtual IWKToolFrame {
 public:
  virtual void SetTexts(const TRotationFrameTexts& texts) = 0;
  // Ticks the check box without reporting a change.
  virtual void SetAutoCropChecked(bool value) = 0;
  // Finishing and Cancel, which need an open straightening.
  virtual void SetActionsEnabled(bool value) = 0;
};

class TWKRotation3Tool;

// The undo step: the image before and after (the original image is not turned), and the tool's
// angle and auto-crop rectangle on each side.
class TWKRotation3CommandState : public TWKGeometryCommandState {
 public:
  struct TAngles {
    double Angle = 0;
    TRect CropRect;
  };
  TWKRotation3CommandState(TWKRotation3Tool& tool, TWKGraphicsDocument& document,
                           std::unique_ptr<TWKGeometrySnapshot> before, TAngles anglesBefore,
                           TAngles anglesAfter);
  void Undo() override;
  void Redo() override;

 private:
  TAngles Before_, After_;
};

class TWKRotation3ToolControl : public TWKGraphicsToolControl {
 public:
  TWKRotation3ToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  // The line being drawn, in view coordinates.
  TPoint LineStart, LineEnd;
  bool Drawing = false;

  void Init() override;
  void InitFlags() override;
  // The original image's and the current image's areas: a repaint covers both when the
  // canvas changes size.
  void GetBackgroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  void PaintForeground(TWKViewCanvas& canvas) override;

 private:
  TWKRotation3Tool* RotationTool() const;
  void InvalidateLine();
};

// The angle a line drawn on screen from start to end asks for: the line becomes horizontal when
// it is closer to that, else vertical. Zero for a line that is already either.
double StraighteningAngle(TPoint start, TPoint end);

class TWKRotation3Tool : public TWKGraphicsTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{FF89E438-3F5B-4DE3-B4C3-7F198D62F6C5}");
  static constexpr int32_t kPanelWidth = 272;
  // Lines shorter than this (in image pixels) are taken for slips.
  static constexpr double kShortestLine = 7.0;
  using TFrameFactory = std::function<IWKRotationFrame*(TWKRotation3Tool&)>;

  explicit TWKRotation3Tool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKRotation3Tool() override;

  // Radians: of the last stored step, of the open straightening, and added by the last line.
  double CommittedAngle = 0;
  double Angle = 0;
  double AngleStep = 0;
  // The auto-crop rectangle of the last stored step and of the current preview.
  TRect CommittedCropRect;
  TRect CropRect;
  bool Busy = false;
  // The image when the straightening began, and the turned canvas.
  int32_t SourceWidth = 0, SourceHeight = 0;
  int32_t ResultWidth = 0, ResultHeight = 0;
  TWKPixelBuffer Source;
  // Which pixels of the turned canvas have a source pixel, per row.
  std::vector<TRotatedRow> InsideRows;

  bool AutoCrop() const { return AutoCrop_; }
  void SetAutoCrop(bool value);

  // Adds AngleStep for the line between two image points and shows the preview; the first line
  // opens the straightening. False for a short line or without an image.
  bool AddAngle(TPoint start, TPoint end);
  // The canvas for Angle, turned from Source (nearest for the preview, Hermite for the final
  // image), and the auto-crop rectangle for it.
  bool Render(TRotationFilter filter);
  void FindAutoCropRect();
  // Cuts the image to CropRect.
  void ApplyAutoCrop();
  // Both do nothing unless a straightening is open.
  void FinishRotation();
  void CancelRotation();
  // A straightening is open: this tool holds the document's edit transaction.
  bool Straightening() const { return HoldsTransaction(); }

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void RegisterDemoObjects() override;
  void StoreUndoState() override;
  void EndEdit() override;
  void DocumentOpened(TWKGraphicsDocument& document) override;
  void DocumentClosing(TWKGraphicsDocument& document) override;

  // The option frame's handlers.
  void AutoCropTBXCheckBoxChange(bool checked);
  void FinishingTBXButtonClick();
  void CancelTBXButtonClick();

  IWKRotationFrame* Frame() const { return Frame_; }

 private:
  friend class TWKRotation3CommandState;
  void RestoreAngles(const TWKRotation3CommandState::TAngles& angles);
  // The end of a straightening: the copy let go, the other tools free again.
  void CloseStraightening();
  void Repaint();

  TFrameFactory FrameFactory_;
  IWKRotationFrame* Frame_ = nullptr;
  bool AutoCrop_ = false;
};
