// What a tool asks of its option frame in the tool panel; the user interface implements it.
// Concrete frames add their own operations in an interface that derives virtually from this.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "imaging/WKTypes.h"

class TWKPixels;

// A labelled track bar of an option frame, as a tool binds it: range, ticks, a position the
// tool moves without it counting as a user change, and the handler of the user's changes.
class IWKTrackBar {
 public:
  virtual ~IWKTrackBar() = default;
  virtual void SetRange(int32_t minimum, int32_t maximum) = 0;
  virtual void SetTickFrequency(int32_t frequency) = 0;
  virtual void SetPosition(int32_t value) = 0;
  virtual int32_t Position() const = 0;
  virtual void SetOnChange(std::function<void(int32_t)> handler) = 0;
  // The user enters the bar (demonstration recording).
  virtual void SetOnEnter(std::function<void()> handler) = 0;
  // The text of the label over the bar.
  virtual void SetCaption(const std::string& text) = 0;
  // Shows or hides the bar together with its label.
  virtual void SetVisible(bool value) = 0;
  virtual bool Visible() const = 0;
  // The screen centre of the thumb; none while the bar is not shown.
  virtual std::optional<TPoint> ThumbScreenPoint() const = 0;
};

// Range, ticks, position and the handler of the user's changes in one step; nothing for no bar.
inline void BindTrackBar(IWKTrackBar* bar, int32_t minimum, int32_t maximum, int32_t tick,
                         int32_t position, std::function<void(int32_t)> onChange) {
  if (bar == nullptr) return;
  bar->SetRange(minimum, maximum);
  bar->SetTickFrequency(tick);
  bar->SetPosition(position);
  bar->SetOnChange(std::move(onChange));
}

// A paint box of an option frame: the tool paints it as a 24-bit image of its client size.
class IWKPaintBox {
 public:
  virtual ~IWKPaintBox() = default;
  using TPaintHandler = std::function<void(TWKPixels& image, bool enabled)>;
  virtual void SetPaintHandler(TPaintHandler handler) = 0;
  virtual void Repaint() = 0;
  virtual bool Visible() const = 0;
  // A press of a mouse button over the box, or a move over it; buttons held are in shift
  // (ssLeft, ssRight, ssMiddle), the point is in the box.
  enum class TMouseEvent { Down, Move };
  using TMouseHandler = std::function<void(TMouseEvent event, uint32_t shift, TPoint point)>;
  // Boxes that take no input ignore it.
  virtual void SetMouseHandler(TMouseHandler handler) {}
};

// A check box of an option frame: the tool sets it without that counting as a user change.
class IWKCheckBox {
 public:
  virtual ~IWKCheckBox() = default;
  virtual void SetChecked(bool value) = 0;
  virtual bool Checked() const = 0;
  virtual void SetOnChange(std::function<void(bool)> handler) = 0;
  virtual void SetCaption(const std::string& text) = 0;
};

class IWKToolFrame {
 public:
  virtual ~IWKToolFrame() = default;
  virtual void SetControlsEnabled(bool value) = 0;
  virtual void SetFrameVisible(bool value) = 0;
  virtual void BringToFront() = 0;
  // Identity and screen centre of the control a tool names by its demonstration suffix
  // ("AreaSize" of "RedEyeAreaSize"); none for an unknown name or a control not shown.
  virtual const void* Control(std::string_view name) const = 0;
  virtual std::optional<TPoint> ControlCenter(std::string_view name) const = 0;
  // The title over the frame's controls.
  virtual void SetTitle(const std::string& text) {}
  // The frame's track bar, paint box and check box of that name; none when it has none.
  virtual IWKTrackBar* TrackBar(std::string_view name) { return nullptr; }
  virtual IWKPaintBox* PaintBox(std::string_view name) { return nullptr; }
  virtual IWKCheckBox* CheckBox(std::string_view name) { return nullptr; }
};
