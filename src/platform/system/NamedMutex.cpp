#include "platform/system/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// A folder (not a link to one) of the user's own that no one else may write.
bool IsPrivateFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The lock file, opened without following a link; only a regular file of the user's own counts.
int OpenLockFile(const std::string& path, int flags) {
  if (path.empty()) return -1;
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string TNamedMutex::LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/' && IsPrivateFolder(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  if (temporary == nullptr || *temporary != '/') temporary = "/tmp";
  const std::string folder = std::string(temporary) + "/quillmoor-" + std::to_string(::geteuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateFolder(folder) ? folder : std::string();
}

std::string TNamedMutex::PathFor(const std::string& name) {
  const std::string folder = LockFolder();
  return folder.empty() ? std::string() : folder + "/" + name + ".lock";
}

std::unique_ptr<TNamedMutex> TNamedMutex::Create(const std::string& name) {
  const int fd = OpenLockFile(PathFor(name), O_RDWR | O_CREAT);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TNamedMutex>(new TNamedMutex(fd));
}

bool TNamedMutex::IsHeld(const std::string& name) {
  const int fd = OpenLockFile(PathFor(name), O_RDWR);
  if (fd < 0) return false;
  // An exclusive lock can be had only when nobody holds a shared one.
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (free) ::flock(fd, LOCK_UN);
  ::close(fd);
  return !free;
}

TNamedMutex::~TNamedMutex() { ::close(Fd_); }
