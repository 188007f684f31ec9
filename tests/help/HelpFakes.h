// Stand-ins for the default handlers and the download of the help module.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "help/WKInetUpdater.h"
#include "help/WKShell.h"

class TFakeShell : public IWKShell {
 public:
  std::vector<std::string> Urls, Files;
  bool OpenUrl(const std::string& url) override {
    Urls.push_back(url);
    return true;
  }
  bool OpenFile(const std::string& fileName) override {
    Files.push_back(fileName);
    return true;
  }
};

// Writes a fixed answer into the file it is given and remembers what it was asked.
class TFakeDownloader : public IWKDownloader {
 public:
  std::string Answer;
  bool Succeeds = true;
  std::string Url, FileName;
  bool FileExisted = false;
  bool DownloadToFile(const std::string& url, const std::string& fileName) override {
    Url = url;
    FileName = fileName;
    FileExisted = std::ifstream(fileName).good();
    std::ofstream(fileName, std::ios::binary) << Answer;
    return Succeeds;
  }
};
