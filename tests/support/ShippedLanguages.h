// The program's own language files as the program-wide localiser for the life of the object,
// starting in the given language; the previous localiser comes back afterwards.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "framework/WKLocalizer.h"

class TShippedLanguages {
 public:
  explicit TShippedLanguages(uint16_t languageId = 1033)
      : Previous_(SetGlobalLocalizer(std::make_unique<TWKLocalizer>(DataFolder() + "/Languages", languageId))) {}
  ~TShippedLanguages() { SetGlobalLocalizer(std::move(Previous_)); }
  TShippedLanguages(const TShippedLanguages&) = delete;
  TShippedLanguages& operator=(const TShippedLanguages&) = delete;

  // The program's data folder of the source tree ($QM_DATA, set by CTest).
  static std::string DataFolder() {
    const char* data = std::getenv("QM_DATA");
    return data ? data : "data";
  }

 private:
  std::unique_ptr<TWKLocalizer> Previous_;
};
