// The crop tool: a rectangle dragged over the image and adjusted with eight handles or moved,
// free or in the side ratio of a print or screen format; a click outside it or Enter cuts the
// image to it as one undoable step, a right click outside or Esc cancels. While the rectangle
// exists the other tools are locked.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "documents/WKGeometryCommandState.h"
#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/geometry/CropRectangle.h"

namespace CropNames {
inline constexpr std::string_view ScriptName = "Crop";
inline constexpr std::string_view ButtonCaption = "Crop";
// Suffixes of the commands ("Crop" + suffix).
inline constexpr std::string_view PerformCommand = "Perform";
inline constexpr std::string_view CancelCommand = "Cancel";

inline constexpr TWKLanguageText TitleText{135, "Crop"};
inline constexpr TWKLanguageText DescriptionText{2900, "Description"};
inline constexpr TWKLanguageText SidesRatioText{2901, "Sides Ratio"};
inline constexpr TWKLanguageText FreeText{2902, "Loose"};
inline constexpr TWKLanguageText PrintText{2903, "Print Formats"};
inline constexpr TWKLanguageText ScreenText{2904, "Screen Formats"};
inline constexpr TWKLanguageText WidthText{505, "Width"};
inline constexpr TWKLanguageText HeightText{506, "Height"};
inline constexpr TWKLanguageText ResolutionText{2890, "Screen Resolution"};
}  // namespace CropNames

// The control's states.
enum : int32_t {
  csIdle = 0,      // no rectangle shown
  csDrawing = 1,   // a new rectangle is being drawn
  csPresent = 2,   // the rectangle is shown with its handles
  csDragging = 3,  // a handle is dragged or the rectangle moved
};

// Ratio kinds of the frame's radio buttons.
enum : int32_t { rkFree = 0, rkPrint = 1, rkScreen = 2 };

struct TCropFrameTexts {
  std::string Title, Description, SidesRatio, Free, Print, Screen, Width, Height, Resolution;
};

// What the tool asks of its option frame; the user interface implements it.
class IWKCropFrame : public virtual IWKToolFrame {
 public:
  virtual void SetTexts(const TCropFrameTexts& texts) = 0;
  // Shows the rectangle's size in the width and height edits without reporting a change.
  virtual void SetSizeEdits(int32_t width, int32_t height) = 0;
};

class TWKCrop2PlusTool;

// The undo step: both images before the crop and the rectangle; redo crops again.
class TWKCrop2PlusCommandState : public TWKGeometryCommandState {
 public:
  TWKCrop2PlusCommandState(IWKGraphicsTool* tool, TWKGraphicsDocument& document,
                           std::unique_ptr<TWKGeometrySnapshot> before, const TRect& rect);
  void Redo() override;
  const TRect& CropRect() const { return CropRect_; }

 private:
  TRect CropRect_;
};

class TWKCrop2PlusToolControl : public TWKGraphicsToolControl {
 public:
  TWKCrop2PlusToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  int32_t CropState = csIdle;
  TPoint DragStart;  // image point
  TRect DragRect;    // the rectangle when the drag began
  int32_t DragHandle = chOutside;

  void Activate() override;
  void Deactivate() override;
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  void PaintForeground(TWKViewCanvas& canvas) override;
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  bool KeyDown(uint16_t key, TWKShiftState shift) override;

  // The crop (perform) or the cancel as the user asked for it: the tool's, recorded, then idle.
  void Finish(bool perform);
  // Idle again: repainted, and the other tools available.
  void Reset();

 private:
  TWKCrop2PlusTool* CropTool() const;
  // The crop rectangle on screen.
  TRect ScreenRect() const;
  TRect ImageArea() const;
  void SetRect(const TRect& rect);
};

class TWKCrop2PlusTool : public TWKGraphicsTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{FA533C1A-B74B-486B-BB5E-7AEA47608D79}");
  static constexpr int32_t kFrameWidth = 184;
  using TFrameFactory = std::function<IWKCropFrame*(TWKCrop2PlusTool&)>;

  explicit TWKCrop2PlusTool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKCrop2PlusTool() override;

  // Image coordinates; kept between uses of the tool, replaced by a new drag.
  TRect CropRect;
  TSideRatio Ratio;

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override {}
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void RegisterDemoObjects() override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  // The crop stores its own step.
  void StoreUndoState() override {}
  // Resets the control, then abandons any open transaction.
  void CancelEdit() override;
  void DocumentClosing(TWKGraphicsDocument& document) override;

  // Cuts the document to the shown rectangle, clipped to the image, as one undoable step, and
  // makes the control idle. Nothing without a shown rectangle or when the clip is empty; true
  // when the image was cut.
  bool Perform();

  // The frame's handlers: the ratio kind with the selected item of its list; a width or height
  // typed into the edits.
  void SetRatio(int32_t kind, std::string_view item);
  void WidthEditChange(int32_t value);
  void HeightEditChange(int32_t value);

  // The control on the current view.
  TWKCrop2PlusToolControl* CurrentControl() const;
  IWKCropFrame* Frame() const { return Frame_; }
  // Shows the rectangle's size in the status bar and the frame.
  void ShowRectSize();

 private:
  void SideEditChange(int32_t value, bool vertical);

  TFrameFactory FrameFactory_;
  IWKCropFrame* Frame_ = nullptr;
};
