// What an image view offers its tool controls: mouse, key, wheel and cursor events in client
// coordinates, with the platform's shift state and virtual key codes (framework/WKInputCodes.h).
#pragma once

#include <cstdint>

#include "framework/WKInputCodes.h"
#include "framework/WKProgramCursors.h"
#include "imaging/WKTypes.h"

// A view object that takes input (the tool controls). Every handler that returns a Boolean
// reports whether it handled the event; the base handles nothing.
class IWKViewInputHandler {
 public:
  virtual ~IWKViewInputHandler() = default;
  virtual bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) { return false; }
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) { return false; }
  virtual bool MouseMove(TWKShiftState shift, TPoint point) { return false; }
  virtual bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) { return false; }
  virtual bool MouseWheel(TWKShiftState shift, int32_t direction, TPoint point) { return false; }
  virtual bool KeyDown(uint16_t key, TWKShiftState shift) { return false; }
  virtual bool KeyUp(uint16_t key, TWKShiftState shift) { return false; }
};
