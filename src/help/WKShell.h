// Opening documents and addresses with the system's default handler.
#pragma once

#include <string>

class IWKShell {
 public:
  virtual ~IWKShell() = default;
  // A web or mail address; false, opening nothing, unless IsOpenableLink (WKLinks.h) holds.
  virtual bool OpenUrl(const std::string& url) = 0;
  // A local file, such as a help page.
  virtual bool OpenFile(const std::string& fileName) = 0;
};
