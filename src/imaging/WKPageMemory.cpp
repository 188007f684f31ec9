#include "imaging/WKPageMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>


namespace {
constexpr size_t PageThreshold = 4096;
// Blocks from this size on may be advised as huge pages, and are kept for reuse when freed.
constexpr size_t HugePageThreshold = size_t{4} << 20;

// Blocks from this size on are kept when freed: a document's three images and the lossless
// form's arrays, with room for one geometry change.
constexpr size_t KeptBlocksMax = 8;
constexpr size_t KeptBytesMax = size_t{1} << 30;

// Off: on fresh starts huge pages made the open and the turns about a fifth faster in the median
// but their worst case (zeroing and compacting huge pages) three to four times slower.
std::atomic<bool> HugePages{false};

struct TKeptBlock {
  void* Block;
  size_t Bytes;
};

// Never destroyed: blocks are freed by static destructors after any exit-time teardown.
struct TKeptBlocks {
  std::mutex Lock;
  std::vector<TKeptBlock> Blocks;  // oldest first
  size_t Bytes = 0;
};
TKeptBlocks& Kept() {
  static auto* kept = new TKeptBlocks;
  return *kept;
}

void* TakeKeptBlock(size_t bytes) {
  TKeptBlocks& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.Lock);
  for (size_t i = kept.Blocks.size(); i-- > 0;)
    if (kept.Blocks[i].Bytes == bytes) {
      void* block = kept.Blocks[i].Block;
      kept.Blocks.erase(kept.Blocks.begin() + static_cast<ptrdiff_t>(i));
      kept.Bytes -= bytes;
      return block;
    }
  return nullptr;
}

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

void* AllocatePixelMemory(size_t bytes, TPixelFill fill) {
  if (bytes == 0 || bytes > MaxPixelStorageBytes) return nullptr;
  if (bytes < PageThreshold) return std::calloc(bytes, 1);
  if (bytes >= HugePageThreshold)
    if (void* kept = TakeKeptBlock(bytes)) {
      // Dropped pages read as zero again and fault in only where touched, as fresh ones do.
      if (fill == TPixelFill::Zero) madvise(kept, bytes, MADV_DONTNEED);
      return kept;
    }
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  if (bytes >= HugePageThreshold && HugePages.load(std::memory_order_relaxed)) madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}

void SetHugePagesForTest(bool enabled) { HugePages = enabled; }

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
  if (bytes >= HugePageThreshold && bytes <= KeptBytesMax) {
    std::vector<TKeptBlock> released;
    {
      TKeptBlocks& kept = Kept();
      std::lock_guard<std::mutex> lock(kept.Lock);
      kept.Blocks.push_back({block, bytes});
      kept.Bytes += bytes;
      while (kept.Blocks.size() > KeptBlocksMax || kept.Bytes > KeptBytesMax) {
        released.push_back(kept.Blocks.front());
        kept.Bytes -= kept.Blocks.front().Bytes;
        kept.Blocks.erase(kept.Blocks.begin());
      }
    }
    for (const TKeptBlock& old : released) munmap(old.Block, old.Bytes);
    return;
  }
  munmap(block, bytes);
}

void ReleaseKeptPixelMemory() {
  std::vector<TKeptBlock> released;
  {
    TKeptBlocks& kept = Kept();
    std::lock_guard<std::mutex> lock(kept.Lock);
    released.swap(kept.Blocks);
    kept.Bytes = 0;
  }
  for (const TKeptBlock& old : released) munmap(old.Block, old.Bytes);
}

size_t KeptPixelMemory() {
  TKeptBlocks& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.Lock);
  return kept.Bytes;
}

bool TPixelMemory::Allocate(size_t bytes, TPixelFill fill) {
  Free();
  void* block = AllocatePixelMemory(bytes, fill);
  if (!block) return false;
  Data_ = static_cast<uint8_t*>(block);
  Size_ = bytes;
  return true;
}

void TPixelMemory::Free() {
  FreePixelMemory(Data_, Size_);
  Data_ = nullptr;
  Size_ = 0;
}
