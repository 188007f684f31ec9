#include "framework/WKStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/WKRegularFile.h"

TWKMemoryStream::TWKMemoryStream(const void* bytes, size_t count)
    : Data_(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count) {}

size_t TWKMemoryStream::Read(void* buffer, size_t count) {
  const size_t available = Data_.size() - Position_;
  const size_t n = count < available ? count : available;
  if (n == 0) return 0;
  std::memcpy(buffer, Data_.data() + Position_, n);
  Position_ += n;
  return n;
}

size_t TWKMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (Position_ + count > Data_.size()) Data_.resize(Position_ + count);
  std::memcpy(Data_.data() + Position_, buffer, count);
  Position_ += count;
  return count;
}

bool TWKMemoryStream::Seek(int64_t position) {
  if (position < 0 || position > Size()) return false;
  Position_ = static_cast<size_t>(position);
  return true;
}

TWKFileStream::TWKFileStream(const std::string& fileName, TMode mode) {
  if (mode == TMode::Read) {
    TWKFileFailure failure;
    Fd_ = OpenRegularFile(fileName, failure);
    return;
  }
  // Not blocking: a pipe without a reader fails here instead of waiting for one.
  Fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
  if (Fd_ < 0) return;
  struct stat st {};
  if (::fstat(Fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return;
  }
  ::fcntl(Fd_, F_SETFL, ::fcntl(Fd_, F_GETFL) & ~O_NONBLOCK);
}

TWKFileStream::~TWKFileStream() { Close(); }

size_t TWKFileStream::Read(void* buffer, size_t count) {
  if (Fd_ < 0) return 0;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(Fd_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  Position_ += static_cast<int64_t>(done);
  return done;
}

size_t TWKFileStream::Write(const void* buffer, size_t count) {
  if (Fd_ < 0) return 0;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(Fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  Position_ += static_cast<int64_t>(done);
  return done;
}

bool TWKFileStream::Seek(int64_t position) {
  if (Fd_ < 0 || position < 0 || position > Size()) return false;
  if (::lseek(Fd_, static_cast<off_t>(position), SEEK_SET) < 0) return false;
  Position_ = position;
  return true;
}

int64_t TWKFileStream::Size() const {
  if (Fd_ < 0) return 0;
  struct stat st {};
  if (::fstat(Fd_, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool TWKFileStream::Sync() { return Fd_ >= 0 && ::fsync(Fd_) == 0; }

bool TWKFileStream::Close() {
  if (Fd_ < 0) return true;
  const bool ok = ::close(Fd_) == 0;
  Fd_ = -1;
  return ok;
}
