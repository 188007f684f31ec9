// The program's cursor numbers: 1-12 its own cursors, 100 the hand; 0 the default arrow,
// negative numbers the platform's standard cursors.
#pragma once

#include <cstdint>
#include <string_view>

enum : int32_t {
  crDefaultArrow = 0,
  crHandCursor = 100,
  crNone = -1,  // no pointer shown: a tool draws its own outline
  crCross = -3,
  crIBeam = -4,
  crSizeAll = -22,
  crSizeNESW = -5,
  crSizeNS = -6,
  crSizeNWSE = -7,
  crSizeWE = -8,
  crHourGlass = -11,
  crEyedropper = 1,
  crPlus = 2,
  crMinus = 3,
  crFill = 4,
  crFillEmpty = 5,
  crFillObject = 6,
  crFillBG = 7,
  crFillUnknown = 8,
  crEmpty = 9,
  crObject = 10,
  crBG = 11,
  crUnknown = 12,
};

// The resource name of a program cursor ("Eyedropper" ... "Unknown", "Hand"); empty for any
// other number.
std::string_view ProgramCursorName(int32_t number);
