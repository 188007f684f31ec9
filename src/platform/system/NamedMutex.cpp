#include "platform/system/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

std::string TNamedMutex::PathFor(const std::string& name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir == nullptr || *dir == '\0') dir = std::getenv("TMPDIR");
  if (dir == nullptr || *dir == '\0') dir = "/tmp";
  return std::string(dir) + "/" + name + ".lock";
}

std::unique_ptr<TNamedMutex> TNamedMutex::Create(const std::string& name) {
  const int fd = ::open(PathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TNamedMutex>(new TNamedMutex(fd));
}

bool TNamedMutex::IsHeld(const std::string& name) {
  const int fd = ::open(PathFor(name).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  // An exclusive lock can be had only when nobody holds a shared one.
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (free) ::flock(fd, LOCK_UN);
  ::close(fd);
  return !free;
}

TNamedMutex::~TNamedMutex() { ::close(Fd_); }
