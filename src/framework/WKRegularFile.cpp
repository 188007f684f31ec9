#include "framework/WKRegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "framework/WKLocalizer.h"

namespace {

constexpr TWKLanguageText kNotRegularFile{3960, "not a regular file"};

template <typename TBytes>
bool ReadAll(const std::string& fileName, TBytes& bytes, TWKFileFailure& failure, uint64_t maxBytes) {
  bytes.clear();
  const int fd = OpenRegularFile(fileName, failure);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && uint64_t(st.st_size) > maxBytes) {
    failure.TooLarge = true;
    ok = false;
  }
  try {
    if (ok) bytes.resize(size_t(st.st_size));
  } catch (const std::bad_alloc&) {
    failure.Errno = ENOMEM;
    ok = false;
  }
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failure.Errno = errno;
    if (n <= 0) break;  // a file that shrank meanwhile is taken as it is now
    done += size_t(n);
  }
  ::close(fd);
  if (!ok || failure.Errno != 0) {
    bytes.clear();
    return false;
  }
  bytes.resize(done);
  return true;
}

}  // namespace

std::string TWKFileFailure::Text() const {
  if (NotRegular) return LanguageString(kNotRegularFile);
  return std::strerror(Errno != 0 ? Errno : EIO);
}

int OpenRegularFile(const std::string& fileName, TWKFileFailure& failure) {
  failure = {};
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    failure.Errno = errno;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    failure.NotRegular = true;
    ::close(fd);
    return -1;
  }
  // Reads of a regular file never wait for a writer; the flag only kept the open from waiting.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadRegularFile(const std::string& fileName, std::vector<uint8_t>& bytes, TWKFileFailure& failure,
                     uint64_t maxBytes) {
  return ReadAll(fileName, bytes, failure, maxBytes);
}

bool ReadRegularFile(const std::string& fileName, std::string& bytes, TWKFileFailure& failure,
                     uint64_t maxBytes) {
  return ReadAll(fileName, bytes, failure, maxBytes);
}
