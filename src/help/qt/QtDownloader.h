// Downloads over HTTP(S) with QNetworkAccessManager, waiting for the answer in a local event
// loop that takes no user input, for at most a given time.
#pragma once

#include <cstdint>

#include "help/WKInetUpdater.h"

class TQtDownloader : public IWKDownloader {
 public:
  static constexpr int DefaultTimeoutMs = 15000;

  // The whole download, from the request to the last byte.
  int TimeoutMs = DefaultTimeoutMs;
  // More than this is not the file asked for.
  int64_t MaxBytes = 1 << 20;

  // Only http and https addresses; a status other than 2xx fails.
  bool DownloadToFile(const std::string& url, const std::string& fileName) override;
};
