// The system's default handlers through QDesktopServices.
#pragma once

#include "help/WKShell.h"

class TQtShell : public IWKShell {
 public:
  bool OpenUrl(const std::string& url) override;
  bool OpenFile(const std::string& fileName) override;
};
