// The red-eye tool: one click on a pupil grows a selection from the clicked pixel and darkens
// it as one undoable step; changing a value while that step is the last one re-does it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "documents/WKGraphicsCommandState.h"
#include "framework/WKGuid.h"
#include "framework/WKLog.h"
#include "tools/eyes/RedEyeParams.h"
#include "tools/eyes/RedEyeSelection.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "tools/framework/WKToolFrame.h"

class IWKUIItem;
class TWKRedEyeTool;

// The undo step: the rectangle's pixels before and after, the values and the selection.
class TWKRedEyeCommandState : public TWKGraphicsCommandState {
 public:
  TWKRedEyeCommandState(IWKGraphicsTool* tool, const TRect& rect, TWKGraphicsDocument& document,
                        const TRedEyeParams& params, const TWKPixelSet& selection);
  int32_t Border, Brightness, AreaSize;
  TPoint ClickPoint;
  TWKPixelSet SelectionRegion;
};

// The undo step of "repair all eyes": the red-eye step's values and the union of the eyes'
// selections, the area searched and how many eyes were repaired.
class TWKEyeRepairCommandState : public TWKRedEyeCommandState {
 public:
  TWKEyeRepairCommandState(IWKGraphicsTool* tool, const TRect& rect, TWKGraphicsDocument& document,
                           const TRedEyeParams& params, const TWKPixelSet& selection,
                           const TRect& area, int32_t eyes);
  TRect Area;
  int32_t Eyes;
};

struct TRedEyeFrameTexts {
  std::string Title, AreaSize, Border, Brightness, RepairAll;
};

// What the tool asks of its option frame; the user interface implements it. The frame names
// its controls by the suffixes of RedEyeNames.
class IWKRedEyeFrame : public virtual IWKToolFrame {
 public:
  virtual void SetAreaSizePosition(int32_t value) = 0;
  virtual void SetBrightnessPosition(int32_t value) = 0;
  virtual void SetTexts(const TRedEyeFrameTexts& texts) = 0;
  virtual void InvalidatePreviews() = 0;
  // The selection preview's inner area (client less padding and border).
  virtual TSize PreviewArea() const = 0;
};

// A click corrects the clicked pupil; a drag with the left button repairs every eye inside the
// dragged rectangle instead.
class TWKRedEyeControl : public TWKGraphicsToolControl {
 public:
  // Pointer travel (view pixels) after which a press becomes a drag.
  static constexpr int32_t kDragDistance = 5;

  TWKRedEyeControl(TWKGraphicsTool& tool, TWKGraphicsView& view);
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  void PaintForeground(TWKViewCanvas& canvas) override;
  bool Dragging() const { return Dragging_; }
  // The dragged rectangle in image coordinates, within the image.
  TRect DragRect() const;

 private:
  TRect DragViewRect(const TWKMapMode& mapMode) const;

  bool Pressed_ = false;
  bool Dragging_ = false;
  TPoint PressPoint_, DragPoint_;  // client coordinates
};

class TWKRedEyeTool : public TWKGraphicsTool {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{0D2C6322-B31A-4FCD-A7E4-71D628A95439}");
  static constexpr int32_t kFrameWidth = 184;
  using TFrameFactory = std::function<IWKRedEyeFrame*(TWKRedEyeTool&)>;

  // The frame factory makes the option frame in the tool panel (none: the tool has no frame).
  TWKRedEyeTool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKRedEyeTool() override;

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override {}
  void SaveSettings(TWKSDFWriter& writer) override;
  void StoreUndoState() override;
  void DocumentOpened(TWKGraphicsDocument& document) override;
  void DocumentClosing(TWKGraphicsDocument& document) override { EndEditOnClosing(document); }
  void BeforeRedo(TWKCommandState* state) override { RestoreFrom(state); }
  void AfterUndo(TWKCommandState* state) override { RestoreFrom(state); }
  void RegisterDemoObjects() override;
  void UpdateControls() override;

  // AreaSize and Brightness are clamped to 0..255; a border outside -5..5 is ignored.
  void SetAreaSize(int32_t value);
  void SetBrightness(int32_t value);
  void SetBorder(int32_t value);
  void SetClickPoint(TPoint point) { Params_.ClickPoint = point; }
  void InvalidatePreviews();
  // The correction at ClickPoint as one undoable step; false when nothing was done.
  bool ApplyCorrection();
  // Re-does the last step when it is a red-eye correction that can be applied again.
  void Reapply();
  // Finds the red and shining pupils inside area (image coordinates) and darkens each as one
  // undoable step, with the border and brightness chosen per eye and adjusted by Border and
  // Brightness; the status bar tells how many. Returns the number repaired; none found changes
  // nothing.
  int32_t RepairAllEyes(const TRect& area);
  // The command of the menu, the option frame and scripts: every eye of the image.
  void RepairAllEyesClick();
  // A drag on the image: the click that began it is taken back, then every eye inside rect.
  void RepairEyesInDrag(const TRect& rect);

  // The option frame's handlers.
  void AreaSizeTrackBarChange(int32_t position);
  void BrightnessTrackBarChange(int32_t position);
  void IncSizeButtonClick();
  void DecSizeButtonClick();
  void AreaSizeTrackBarEnter();
  void BrightnessTrackBarEnter();
  void SelectionPreviewClick();
  void CorrectionPreviewClick();
  // Left button only: re-aims the last correction at the pointed pixel of the preview.
  void SelectionPreviewMouseDown(int32_t button, TPoint panelPoint);

  int32_t AreaSize() const { return Params_.AreaSize; }
  int32_t Border() const { return Params_.Border; }
  int32_t Brightness() const { return Params_.Brightness; }
  TPoint ClickPoint() const { return Params_.ClickPoint; }
  const TRedEyeParams& Params() const { return Params_; }
  bool Restoring() const { return Restoring_; }
  const TRedEyeSelection& Selection() const { return *Selection_; }
  double PreviewZoom() const { return PreviewZoom_; }
  IWKRedEyeFrame* Frame() const { return Frame_; }

  // The category of the fill's diagnostic line, "quillmoor.redeye" (off by default).
  static constexpr TWKLogCategory DiagnosticLog{"quillmoor.redeye"};

  // The current document's last done step when that is a red-eye correction.
  const TWKRedEyeCommandState* LastRedEyeState() const { return LastDoneState<TWKRedEyeCommandState>(); }

 private:
  void RestoreFrom(TWKCommandState* state);
  // Whether ApplyCorrection can run now: a step can start and the click is on the image.
  bool CanApply() const;
  void ShowStatus(const std::string& text) const;
  void UpdatePreviewZoom(const TRect& bounds);
  void AddRepairMenuItem();

  // The eyes' repair while its step is being stored.
  struct TPendingRepair {
    TWKPixelSet Selection;
    TRect Area;
    int32_t Eyes = 0;
  };
  std::optional<TPendingRepair> PendingRepair_;
  IWKUIItem* RepairAllMenuItem_ = nullptr;

  TFrameFactory FrameFactory_;
  IWKRedEyeFrame* Frame_ = nullptr;
  std::unique_ptr<TRedEyeSelection> Selection_;
  TRedEyeParams Params_;
  bool Restoring_ = false;
  double PreviewZoom_ = 1.0;
};
