// What an image view offers its tool controls: mouse, key, wheel and cursor events in client
// coordinates, with the platform's shift state and virtual key codes.
#pragma once

#include <cstdint>

#include "framework/WKProgramCursors.h"
#include "imaging/WKTypes.h"

using TWKShiftState = uint32_t;
enum : TWKShiftState {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
};

// Mouse buttons as the tool controls see them.
enum : int32_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Virtual key codes the view and its tools name.
enum : uint16_t {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 33,
  VK_NEXT = 34,
  VK_END = 35,
  VK_HOME = 36,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_DELETE = 46,
  VK_ADD = 107,
  VK_SUBTRACT = 109,
  VK_OEM_PLUS = 187,
  VK_OEM_MINUS = 189,
};

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
