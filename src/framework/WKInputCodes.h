// The platform's shift state, mouse buttons and virtual key codes, as the core names them.
#pragma once

#include <cstdint>

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
