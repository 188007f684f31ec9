// Temporary folders, environment settings and captured messages for the plug-in tests.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/PluginMessages.h"

// A fresh folder under the system's temporary folder, removed with its files afterwards.
class TTempFolder {
 public:
  TTempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/qm-plugin-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) Path = buffer.data();
  }
  ~TTempFolder() {
    if (!Path.empty()) std::system(("rm -rf '" + Path + "'").c_str());
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(Path.c_str())) {
      while (dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      ::closedir(d);
    }
    return names;
  }
  std::string Path;
};

// Sets (or with nullopt, removes) an environment variable for the object's life.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, std::optional<std::string> value) : Name_(name) {
    if (const char* old = std::getenv(name)) Old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~TScopedEnv() {
    if (Old_) ::setenv(Name_.c_str(), Old_->c_str(), 1);
    else ::unsetenv(Name_.c_str());
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  std::string Name_;
  std::optional<std::string> Old_;
};

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Messages the plug-in objects linked into the test show, through the message hook.
struct TCapturedMessage {
  intptr_t Window;
  std::string Text, Caption;
  TPluginMessageIcon Icon;
};

class TMessageCapture {
 public:
  TMessageCapture() {
    Messages().clear();
    SetPluginMessageHook(&Hook);
  }
  ~TMessageCapture() { SetPluginMessageHook(nullptr); }
  static std::vector<TCapturedMessage>& Messages() {
    static std::vector<TCapturedMessage> list;
    return list;
  }

 private:
  static void Hook(intptr_t window, const std::string& text, const std::string& caption, TPluginMessageIcon icon) {
    Messages().push_back({window, text, caption, icon});
  }
};

// Standard error of this process, redirected into a file while the object lives; the
// loaded plug-in library writes its messages there.
class TStderrCapture {
 public:
  TStderrCapture() : File_(Folder_.Path + "/stderr.txt") {
    std::fflush(stderr);
    Saved_ = ::dup(2);
    const int fd = ::open(File_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    ::close(fd);
  }
  std::string Text() {
    Restore();
    return ReadTextFile(File_);
  }
  ~TStderrCapture() { Restore(); }

 private:
  void Restore() {
    if (Saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(Saved_, 2);
    ::close(Saved_);
    Saved_ = -1;
  }
  TTempFolder Folder_;
  std::string File_;
  int Saved_ = -1;
};
