#include "platform/codec/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

std::string ErrorText(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The process's umask without changing it (umask() would race with other threads).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

}  // namespace

TAtomicFileWriter::TAtomicFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

TAtomicFileWriter::~TAtomicFileWriter() { Abandon(); }

bool TAtomicFileWriter::Open(std::string& error) {
  Abandon();
  char resolved[PATH_MAX];
  struct stat st {};
  bool exists = lstat(target_.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode) && realpath(target_.c_str(), resolved)) {
    target_ = resolved;
    exists = stat(target_.c_str(), &st) == 0;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    error = "\"" + target_ + "\" is not a regular file.";
    return false;
  }
  std::string pattern = target_ + ".XXXXXX";
  fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) {
    error = ErrorText("Cannot create a file in the folder of", target_);
    return false;
  }
  temp_ = pattern;
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (fchmod(fd_, mode) != 0) {
    error = ErrorText("Cannot set the permissions of", temp_);
    Abandon();
    return false;
  }
  return true;
}

bool TAtomicFileWriter::Write(const void* data, size_t size, std::string& error) {
  if (fd_ < 0) {
    error = "The file \"" + target_ + "\" is not open for writing.";
    return false;
  }
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      error = ErrorText("Cannot write", target_);
      Abandon();
      return false;
    }
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool TAtomicFileWriter::Commit(std::string& error) {
  if (fd_ < 0) {
    error = "The file \"" + target_ + "\" is not open for writing.";
    return false;
  }
  if (fsync(fd_) != 0) {
    error = ErrorText("Cannot write", target_);
    Abandon();
    return false;
  }
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) {
    error = ErrorText("Cannot write", target_);
    Abandon();
    return false;
  }
  if (rename(temp_.c_str(), target_.c_str()) != 0) {
    error = ErrorText("Cannot replace", target_);
    Abandon();
    return false;
  }
  temp_.clear();
  int dir = open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

void TAtomicFileWriter::Abandon() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    unlink(temp_.c_str());
    temp_.clear();
  }
}

bool TAtomicFileWriter::WriteFile(const std::string& path, std::span<const uint8_t> bytes,
                                  std::string& error) {
  TAtomicFileWriter writer(path);
  return writer.Open(error) && writer.Write(bytes.data(), bytes.size(), error) && writer.Commit(error);
}
