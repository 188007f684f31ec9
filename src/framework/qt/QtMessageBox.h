// Message boxes with the standard flags (buttons, icon, default button) as Qt dialogs.
#pragma once

#include "framework/WKMessageBox.h"

class TQtMessageBoxService : public IWKMessageBoxService {
 public:
  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
};
