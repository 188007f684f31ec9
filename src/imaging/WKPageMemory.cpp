#include "imaging/WKPageMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {
constexpr size_t PageThreshold = 4096;
// Whole images fault in far faster in huge pages than in 4 KiB ones.
constexpr size_t HugePageThreshold = size_t{4} << 20;
}

bool PixelStorageSize(int32_t width, int32_t height, int32_t bits, int32_t& rowBytes,
                      size_t& bytes) {
  if (width < 1 || height < 1 || bits < 1) return false;
  const int64_t row = (static_cast<int64_t>(width) * bits + 31) / 32 * 4;
  if (row > INT32_MAX) return false;
  const uint64_t total = static_cast<uint64_t>(row) * static_cast<uint64_t>(height);
  if (total > MaxPixelStorageBytes) return false;
  rowBytes = static_cast<int32_t>(row);
  bytes = static_cast<size_t>(total);
  return true;
}

void* AllocatePixelMemory(size_t bytes) {
  if (bytes == 0 || bytes > MaxPixelStorageBytes) return nullptr;
  if (bytes < PageThreshold) return std::calloc(bytes, 1);
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  if (bytes >= HugePageThreshold) madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}

void PrefaultPixelMemory(void* bytes, size_t size) {
#ifdef MADV_POPULATE_WRITE
  if (bytes == nullptr || size == 0) return;
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = reinterpret_cast<uintptr_t>(bytes) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(bytes) + size;
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)bytes;
  (void)size;
#endif
}

void FreePixelMemory(void* block, size_t bytes) {
  if (!block) return;
  if (bytes < PageThreshold) {
    std::free(block);
    return;
  }
  munmap(block, bytes);
}

bool TPixelMemory::Allocate(size_t bytes) {
  Free();
  void* block = AllocatePixelMemory(bytes);
  if (!block) return false;
  FData = static_cast<uint8_t*>(block);
  FSize = bytes;
  return true;
}

void TPixelMemory::Free() {
  FreePixelMemory(FData, FSize);
  FData = nullptr;
  FSize = 0;
}
