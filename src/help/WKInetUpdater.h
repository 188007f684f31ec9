// The update check's download: the update file of the vendor's server, read for the newest
// version of the product.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Downloads an address into a file.
class IWKDownloader {
 public:
  virtual ~IWKDownloader() = default;
  // Writes what url answers into the existing file fileName; false when the download failed
  // (no answer in time, an error status, too much data).
  virtual bool DownloadToFile(const std::string& url, const std::string& fileName) = 0;
};

class TWKInetUpdater {
 public:
  // Downloads url, made unique by the local time, into a temporary file named "~…" in the
  // temporary folder, takes the "Version" of the first of sections that has one, and deletes
  // the file whatever happened.
  TWKInetUpdater(const std::string& url, const std::vector<std::string>& sections,
                 IWKDownloader& downloader, std::time_t now = std::time(nullptr));

  // Empty when nothing was found.
  std::string Version;
};

// url + "?" (or "&" when it has a query already) + the time as ddmmyyyyhhmmss, so that no
// cache answers for the server.
std::string UpdateRequestUrl(const std::string& url, const std::tm& localTime);
// The "Version" value, trimmed, of the first section in the order given that has a non-empty
// one; empty when none has.
std::string ReadUpdateVersion(std::string_view iniText, const std::vector<std::string>& sections);
