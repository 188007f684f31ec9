// Stand-ins for the default handlers and the download of the help module.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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

// A fresh folder as the system's temporary folder ($TMPDIR) for the life of the object.
class TTemporaryFolderInUse {
 public:
  TTemporaryFolderInUse() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm-help-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) Path = pattern;
    if (const char* old = std::getenv("TMPDIR")) Previous_ = old;
    ::setenv("TMPDIR", Path.c_str(), 1);
  }
  ~TTemporaryFolderInUse() {
    if (Previous_)
      ::setenv("TMPDIR", Previous_->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    std::error_code error;
    if (!Path.empty()) std::filesystem::remove_all(Path, error);
  }
  TTemporaryFolderInUse(const TTemporaryFolderInUse&) = delete;
  TTemporaryFolderInUse& operator=(const TTemporaryFolderInUse&) = delete;

  bool IsEmpty() const { return std::filesystem::is_empty(Path); }

  std::string Path;

 private:
  std::optional<std::string> Previous_;
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
