#include "framework/WKAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::atomic<long long> SpaceLimit{-1};

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  long long limit = SpaceLimit.exchange(-1);
  while (size > 0) {
    size_t chunk = size;
    if (limit >= 0) {
      if (limit == 0) {
        errno = ENOSPC;
        return false;
      }
      chunk = std::min<size_t>(chunk, static_cast<size_t>(limit));
    }
    const ssize_t n = ::write(fd, p, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    if (limit >= 0) limit -= n;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The process's umask without changing it (umask() would race with other threads).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

bool Fail(std::string& error, const std::string& what, const std::string& path) {
  error = what + " \"" + path + "\": " + std::strerror(errno);
  return false;
}

}  // namespace

void SetAtomicWriteSpaceLimitForTesting(long long bytes) { SpaceLimit = bytes; }

bool WriteFileAtomically(const std::string& fileName, const void* data, size_t size,
                         std::string& error, const TWKAtomicWriteOptions& options) {
  std::string targetName = fileName;
  struct stat st {};
  bool exists = ::lstat(targetName.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(targetName.c_str(), resolved)) targetName = resolved;
    exists = ::stat(targetName.c_str(), &st) == 0;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    error = "\"" + targetName + "\" is not a regular file.";
    return false;
  }
  const std::filesystem::path target(targetName);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  if (options.CreateFolders) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
      error = "Cannot create the folder \"" + folder.string() + "\": " + ec.message();
      return false;
    }
  }

  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Fail(error, "Cannot create a file in the folder of", targetName);
  const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  bool ok = ::fchmod(fd, mode) == 0 || Fail(error, "Cannot set the permissions of", name.data());
  ok = ok && ((WriteAll(fd, data, size) && ::fsync(fd) == 0) || Fail(error, "Cannot write", targetName));
  ok = (::close(fd) == 0 || Fail(error, "Cannot write", targetName)) && ok;
  ok = ok && (::rename(name.data(), targetName.c_str()) == 0 || Fail(error, "Cannot replace", targetName));
  if (!ok) {
    ::unlink(name.data());
    return false;
  }
  SyncFolder(folder.string());
  return true;
}

bool WriteFileAtomically(const std::string& fileName, const void* data, size_t size) {
  std::string error;
  return WriteFileAtomically(fileName, data, size, error);
}
