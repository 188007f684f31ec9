// The filter that hands the image to a separate application: the host's rectangle goes into
// a temporary exchange file, the application runs on it, and when it ends with exit code 0
// the returned pixels go back into the host's image.
#pragma once

#include <memory>
#include <string>

#include "plugin/PhotoshopFilter.h"

class TExternalPhotoshopFilter : public TPhotoshopFilter {
 public:
  static std::unique_ptr<TExternalPhotoshopFilter> Create(const std::string& applicationPath,
                                                          const std::string& aboutText,
                                                          const std::string& aboutCaption);

  int16_t Start(filter::TFilterRecord* block) override;

  // Stores the path and, when WorkingDirectory is empty, sets it to the path's folder.
  void SetApplicationPath(const std::string& path);

  std::string WorkingDirectory;
  std::string ApplicationPath;

 protected:
  TExternalPhotoshopFilter() = default;

 private:
  // Creates the temporary exchange file holding the host's rows; "" after a failure, which
  // leaves no file behind.
  std::string WriteTemporaryFile(const TWKExchangeHeader& header, const uint8_t* inData);
  // kResultNoError when the application ran and ended with exit code 0.
  int16_t RunApplication(intptr_t window, const std::string& fileName);
  int16_t TakeOutput(filter::TFilterRecord* block, intptr_t window, const std::string& fileName);
};
