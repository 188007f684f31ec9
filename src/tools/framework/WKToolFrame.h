// What a tool asks of its option frame in the tool panel; the user interface implements it.
// Concrete frames add their own operations in an interface that derives virtually from this.
#pragma once

#include <optional>
#include <string_view>

#include "imaging/WKTypes.h"

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
};
