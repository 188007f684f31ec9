#include "framework/WKAtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "framework/WKRegularFile.h"

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

// The system's reason; the caller names the file.
bool Fail(std::string& error) {
  error = std::strerror(errno);
  return false;
}

// A temporary of ours: "." + the target's name + "." + six letters or digits (mkostemp's).
bool IsTemporaryOf(const char* entry, const std::string& target) {
  const size_t length = std::strlen(entry);
  if (length != target.size() + 8 || entry[0] != '.' || entry[length - 7] != '.') return false;
  if (std::memcmp(entry + 1, target.data(), target.size()) != 0) return false;
  for (size_t i = length - 6; i < length; ++i)
    if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return false;
  return true;
}

// Temporaries of the target left by a save that never finished (the program ended during it).
// A save under way holds a lock on its temporary, and a file written within the last minute may
// belong to another program's transfer; both are left alone, as is anything not the user's own.
void RemoveStaleTemporaries(const std::string& folder, const std::string& target) {
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (dir == nullptr) {
    ::close(dirFd);
    return;
  }
  const time_t recent = std::time(nullptr) - 60;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryOf(entry->d_name, target)) continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                       st.st_mtime < recent && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (stale) ::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
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
    error = TWKFileFailure{.NotRegular = true}.Text();
    return false;
  }
  // Renaming over a file the user may not write would replace it all the same.
  if (exists && ::access(targetName.c_str(), W_OK) != 0) return Fail(error);
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

  RemoveStaleTemporaries(folder.string(), target.filename().string());
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Fail(error);
  ::flock(fd, LOCK_EX);  // held until closed: another save does not take this for a stale one
  const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  bool ok = ::fchmod(fd, mode) == 0 || Fail(error);
  ok = ok && ((WriteAll(fd, data, size) && ::fsync(fd) == 0) || Fail(error));
  ok = (::close(fd) == 0 || Fail(error)) && ok;
  ok = ok && (::rename(name.data(), targetName.c_str()) == 0 || Fail(error));
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
