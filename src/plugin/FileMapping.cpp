#include "plugin/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Growing reserves the blocks, so that writing through a view of a file on a full disk
// fails here instead of raising SIGBUS later.
bool Resize(int fd, off_t size) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  if (size > st.st_size) {
    const int rc = ::posix_fallocate(fd, 0, size);
    if (rc != 0 && rc != EINVAL && rc != EOPNOTSUPP) return false;
  }
  int rc;
  do {
    rc = ::ftruncate(fd, size);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

}  // namespace

TFileMapping::~TFileMapping() {
  CloseMapping();
  if (FileHandle_ >= 0) ::close(FileHandle_);
}

bool TFileMapping::Create(const std::string& fileName, bool createIfMissing) {
  if (FileHandle_ >= 0) return false;
  const int flags = O_RDWR | O_CLOEXEC | (createIfMissing ? O_CREAT : 0);
  int fd;
  do {
    fd = ::open(fileName.c_str(), flags | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  FileHandle_ = fd;
  CreateMapping();
  return true;
}

void TFileMapping::CreateMapping() { MappingSize_ = FileSize(); }

void TFileMapping::CloseMapping() {
  for (const TView& v : Views_) ::munmap(v.Address, v.Length);
  Views_.clear();
  MappingSize_ = 0;
}

uint64_t TFileMapping::FileSize() const {
  struct stat st;
  if (FileHandle_ < 0 || ::fstat(FileHandle_, &st) != 0) return 0;
  return uint64_t(st.st_size);
}

void* TFileMapping::Map(uint64_t offset, size_t size, TFileAccess access) {
  if (MappingSize_ == 0 || offset >= MappingSize_) return nullptr;
  const uint64_t available = MappingSize_ - offset;
  if (size == 0) size = size_t(std::min<uint64_t>(available, SIZE_MAX));
  if (size > available) return nullptr;
  const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
  const uint64_t start = offset - offset % page;
  const size_t length = size + size_t(offset - start);
  const int prot = access == TFileAccess::Write ? PROT_READ | PROT_WRITE : PROT_READ;
  void* base = ::mmap(nullptr, length, prot, MAP_SHARED, FileHandle_, off_t(start));
  if (base == MAP_FAILED) return nullptr;
  Views_.push_back({base, length});
  return static_cast<uint8_t*>(base) + (offset - start);
}

void TFileMapping::Unmap(void* address) {
  const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
  const auto at = reinterpret_cast<uintptr_t>(address);
  auto it = std::find_if(Views_.begin(), Views_.end(), [&](const TView& v) {
    return reinterpret_cast<uintptr_t>(v.Address) == at - at % page;
  });
  if (it == Views_.end()) return;
  ::munmap(it->Address, it->Length);
  Views_.erase(it);
}

bool TFileMapping::SetSize(uint64_t size) {
  if (FileHandle_ < 0) return false;
  CloseMapping();
  const bool ok = size <= uint64_t(INT64_MAX) && Resize(FileHandle_, off_t(size));
  CreateMapping();
  return ok && MappingSize_ == size;
}
