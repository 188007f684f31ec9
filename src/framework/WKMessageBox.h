// Modal message boxes with the standard flag values and button results.
#pragma once

#include <string>

enum : int {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON2 = 0x100,
  MB_BUTTONMASK = 0x0F,
  MB_ICONMASK = 0xF0,
};

enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDYES = 6,
  IDNO = 7,
};

class IWKMessageBoxService {
 public:
  virtual ~IWKMessageBoxService() = default;
  // Shows the box and returns the button result (IDOK, IDCANCEL, IDYES, IDNO).
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
};
