// The first layer of the painting tools: a pointer drag becomes a sequence of stamp rectangles
// inside one edit transaction; the brush size and opacity with their track bars and script
// commands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "view/WKViewInput.h"

class IWKToolFrame;
class IWKTrackBar;
class TWKDrawTool;
struct TWKLanguageText;

class TWKDrawToolControl : public TWKGraphicsToolControl {
 public:
  TWKDrawToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  bool Stroking = false;

  // Repaints the old and the new foreground rectangle.
  void SetBounds(const TRect& rect) override;
  void Activate() override;
  void Deactivate() override;

  // Begins the tool's stroke unless one is running; true while stroking.
  bool Begin(int32_t button, TWKShiftState shift);
  virtual void EndStroke();
  // One stamp over the control's bounds.
  virtual void Draw();

 protected:
  TWKDrawTool* DrawTool() const;
};

class TWKDrawTool : public TWKGraphicsTool {
 public:
  explicit TWKDrawTool(TWKComponent* owner);
  ~TWKDrawTool() override;

  // The control whose stroke is in progress; none while idle.
  TWKDrawToolControl* ActiveControl = nullptr;
  // 0: every draw tool paints while the button is held.
  uint8_t StrokeMode = 0;
  int32_t MinSize = 1;
  int32_t MaxSize = 50;

  int32_t Size() const { return Size_; }
  int32_t Opacity() const { return Opacity_; }
  int32_t StrokeButton() const { return Button_; }
  TWKShiftState StrokeShift() const { return Shift_; }

  virtual void SizeChanged() {}
  // Ignored unless the value differs and lies in MinSize..MaxSize.
  virtual void SetSize(int32_t value);
  virtual void OpacityChanged() {}
  // Ignored unless the value differs and lies in 0..255.
  virtual void SetOpacity(int32_t value);
  // Opens the edit transaction on the control's view; false without an image.
  virtual bool BeginStroke(TWKDrawToolControl& control, int32_t button, TWKShiftState shift);
  // One stamp: the part of rect inside the image goes to ApplyToRect and is marked dirty.
  virtual void DrawRect(const TRect& rect);
  // The tool's pixel rule: CurrentPixels inside rect (within the image) from Backup.
  virtual void ApplyToRect(const TRect& rect) {}
  // Ends the transaction, which stores the stroke's one undo step.
  virtual void EndStroke();

  void ResetControls() override;
  void DocumentClosing(TWKGraphicsDocument& document) override;

  // The bar takes the range MinSize..MaxSize, ticks every MaxSize div 10 and the position Size;
  // the user's changes go to SetSize.
  void BindSizeTrackBar(IWKTrackBar* trackBar);
  void BindOpacityTrackBar(IWKTrackBar* trackBar);
  IWKTrackBar* SizeTrackBar() const { return SizeTrackBar_; }
  IWKTrackBar* OpacityTrackBar() const { return OpacityTrackBar_; }
  // Binds those of the frame's brush controls (BrushNames) that the frame has.
  virtual void BindFrame(IWKToolFrame& frame);
  // The bound brush track bars' labels: their text, ": " and the position.
  virtual void UpdateBrushCaptions();
  // "<text>: <position>" over the bar; nothing without one.
  static void CaptionTrackBar(IWKTrackBar* trackBar, const TWKLanguageText& text);

  // <script name>SIZE and <script name>OPACITY with an integer.
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  // The thumb of the bound bar the first parameter names (<script name>SIZE, …).
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;

 protected:
  // A script command <script name><suffix> with an integer: suffix in upper case.
  bool RunIntegerCommand(const std::string& command, std::string_view suffix,
                         const TWKCustomProperties& params, const std::function<void(int32_t)>& setter);
  bool ThumbPoint(const TWKCustomProperties& params, std::string_view suffix, const IWKTrackBar* bar,
                  TPoint& point) const;

 private:
  int32_t Size_ = 10;
  int32_t Opacity_ = 255;
  int32_t Button_ = 0;
  TWKShiftState Shift_ = 0;
  IWKTrackBar* SizeTrackBar_ = nullptr;
  IWKTrackBar* OpacityTrackBar_ = nullptr;
};
