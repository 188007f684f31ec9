// The second layer of the painting tools: the mask of one stamp, the per-pixel maximum of a
// stroke's stamps, the brush preview in the option frame, and the control that follows the
// pointer with the brush and routes its buttons, wheel and keys to the tool.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "tools/brush/WKDrawTool.h"

class IWKPaintBox;

class TWKMaskDrawToolControl : public TWKDrawToolControl {
 public:
  TWKMaskDrawToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  // The pointer in image coordinates; the control's bounds are BrushRect(LastPoint, Size).
  TPoint LastPoint;
  // The wheel changes the size also during a stroke.
  bool WheelDuringStroke = false;

  void Init() override;
  // Moves to the pointer's current position first.
  void Activate() override;
  // No pointer while active: the outline replaces it.
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseWheel(TWKShiftState shift, int32_t direction, TPoint point) override;
  // Page Up, Up, Right grow the brush by one; Page Down, Left, Down shrink it.
  bool KeyDown(uint16_t key, TWKShiftState shift) override;

  // LastPoint := point (image coordinates); the bounds follow.
  void MoveTo(TPoint point);
};

class TWKMaskDrawTool : public TWKDrawTool {
 public:
  explicit TWKMaskDrawTool(TWKComponent* owner);
  ~TWKMaskDrawTool() override;

  // The mask of one stamp; rests around (0, 0) and lies on a stamp's square only while the
  // stamp is applied.
  TWKPixelMask BrushMask;
  // With Accumulate on: the per-pixel maximum of the stroke's stamps, over the image.
  TWKPixelMask StrokeMask;
  bool Accumulate = false;
  // The shift state of the last pointer event.
  TWKShiftState LastShift = 0;

  // What ApplyToRect blends through: StrokeMask with Accumulate on, else BrushMask.
  const TWKPixelMask& CurrentMask() const { return Accumulate ? StrokeMask : BrushMask; }

  void SizeChanged() override;
  void OpacityChanged() override;
  // Subclasses rebuild BrushMask first; here the preview is repainted.
  virtual void BrushChanged();
  bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift) override;
  void DrawRect(const TRect& rect) override;
  void EndStroke() override;

  // The paint box shows BrushMask (black on white, silver while disabled).
  void SetPreviewPaintBox(IWKPaintBox* paintBox);
  void BindFrame(IWKToolFrame& frame) override;
  IWKPaintBox* PreviewPaintBox() const { return PreviewPaintBox_; }
  void RepaintPreview();

 private:
  IWKPaintBox* PreviewPaintBox_ = nullptr;
};
