#include "imaging/WKPageMemory.h"

#include <fcntl.h>
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
  int File;  // the memory file of a shareable block; -1 for anonymous pages
};

// Memory files open at once (kept blocks included). Each holds a file descriptor, so beyond this
// blocks are ordinary ones: a long undo history must not take the descriptors a save needs.
constexpr int MemoryFilesMax = 32;
std::atomic<int> MemoryFiles{0};

void CloseMemoryFile(int file) {
  close(file);
  MemoryFiles.fetch_sub(1, std::memory_order_relaxed);
}

void Unmap(const TKeptBlock& block) {
  munmap(block.Block, block.Bytes);
  if (block.File >= 0) CloseMemoryFile(block.File);
}

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

// A kept block of the size and kind asked for; Block none when there is none.
TKeptBlock TakeKeptBlock(size_t bytes, bool shareable) {
  TKeptBlocks& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.Lock);
  for (size_t i = kept.Blocks.size(); i-- > 0;)
    if (kept.Blocks[i].Bytes == bytes && (kept.Blocks[i].File >= 0) == shareable) {
      const TKeptBlock block = kept.Blocks[i];
      kept.Blocks.erase(kept.Blocks.begin() + static_cast<ptrdiff_t>(i));
      kept.Bytes -= bytes;
      return block;
    }
  return {nullptr, 0, -1};
}

// Keeps a large block for the next request of its size and kind, or lets it go.
void KeepOrUnmap(const TKeptBlock& block) {
  if (block.Bytes < HugePageThreshold || block.Bytes > KeptBytesMax) {
    Unmap(block);
    return;
  }
  std::vector<TKeptBlock> released;
  {
    TKeptBlocks& kept = Kept();
    std::lock_guard<std::mutex> lock(kept.Lock);
    kept.Blocks.push_back(block);
    kept.Bytes += block.Bytes;
    while (kept.Blocks.size() > KeptBlocksMax || kept.Bytes > KeptBytesMax) {
      released.push_back(kept.Blocks.front());
      kept.Bytes -= kept.Blocks.front().Bytes;
      kept.Blocks.erase(kept.Blocks.begin());
    }
  }
  for (const TKeptBlock& old : released) Unmap(old);
}

// A block of a memory file of its own, mapped writable and shared; Block none on failure.
TKeptBlock AllocateSharedBlock(size_t bytes, TPixelFill fill) {
  TKeptBlock block = TakeKeptBlock(bytes, true);
  if (block.Block != nullptr) {
    // Punched pages read as zero again, as fresh ones do.
    if (fill == TPixelFill::Zero)
      fallocate(block.File, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes));
    return block;
  }
  if (MemoryFiles.fetch_add(1, std::memory_order_relaxed) >= MemoryFilesMax) {
    MemoryFiles.fetch_sub(1, std::memory_order_relaxed);
    return {nullptr, 0, -1};
  }
  block = {nullptr, bytes, memfd_create("quillmoor-image", MFD_CLOEXEC)};
  if (block.File < 0) {
    MemoryFiles.fetch_sub(1, std::memory_order_relaxed);
    return {nullptr, 0, -1};
  }
  void* view = MAP_FAILED;
  if (ftruncate(block.File, static_cast<off_t>(bytes)) == 0)
    view = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, block.File, 0);
  if (view == MAP_FAILED) {
    CloseMemoryFile(block.File);
    return {nullptr, 0, -1};
  }
  block.Block = view;
  return block;
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
    if (void* kept = TakeKeptBlock(bytes, false).Block) {
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
  KeepOrUnmap({block, bytes, -1});
}

void ReleaseKeptPixelMemory() {
  std::vector<TKeptBlock> released;
  {
    TKeptBlocks& kept = Kept();
    std::lock_guard<std::mutex> lock(kept.Lock);
    released.swap(kept.Blocks);
    kept.Bytes = 0;
  }
  for (const TKeptBlock& old : released) Unmap(old);
}

size_t KeptPixelMemory() {
  TKeptBlocks& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.Lock);
  return kept.Bytes;
}

bool TPixelMemory::Allocate(size_t bytes, TPixelFill fill, TPixelSharing sharing) {
  Free();
  if (sharing == TPixelSharing::Shareable && bytes >= HugePageThreshold && bytes <= MaxPixelStorageBytes) {
    const TKeptBlock block = AllocateSharedBlock(bytes, fill);
    if (block.Block != nullptr) {
      Data_ = static_cast<uint8_t*>(block.Block);
      Size_ = bytes;
      File_ = block.File;
      Kind_ = TKind::Shared;
      return true;
    }
    // Without memory files: an ordinary block, copied whole when copies are wanted.
  }
  void* block = AllocatePixelMemory(bytes, fill);
  if (!block) return false;
  Data_ = static_cast<uint8_t*>(block);
  Size_ = bytes;
  return true;
}

void TPixelMemory::Free() {
  switch (Kind_) {
    case TKind::Plain: FreePixelMemory(Data_, Size_); break;
    case TKind::Shared: KeepOrUnmap({Data_, Size_, File_}); break;
    case TKind::CopyOnWrite: munmap(Data_, Size_); break;
  }
  Data_ = nullptr;
  Size_ = 0;
  File_ = -1;
  Kind_ = TKind::Plain;
}

bool TPixelMemory::ShareCopies(std::span<TPixelMemory* const> copies) {
  if (Kind_ != TKind::Shared || Data_ == nullptr) return false;
  std::vector<void*> views;
  // One private view per copy and one that takes this block's place.
  for (size_t i = 0; i <= copies.size(); ++i) {
    void* view = mmap(nullptr, Size_, PROT_READ | PROT_WRITE, MAP_PRIVATE, File_, 0);
    if (view == MAP_FAILED) break;
    views.push_back(view);
  }
  // The move replaces the shared view at its own address in one step: readers see no gap.
  if (views.size() != copies.size() + 1 ||
      mremap(views.back(), Size_, Size_, MREMAP_MAYMOVE | MREMAP_FIXED, Data_) == MAP_FAILED) {
    for (void* view : views) munmap(view, Size_);
    return false;
  }
  views.pop_back();
  // The views hold the file; no writable shared view of it is left.
  CloseMemoryFile(File_);
  File_ = -1;
  Kind_ = TKind::CopyOnWrite;
  for (size_t i = 0; i < copies.size(); ++i) {
    copies[i]->Free();
    copies[i]->Data_ = static_cast<uint8_t*>(views[i]);
    copies[i]->Size_ = Size_;
    copies[i]->Kind_ = TKind::CopyOnWrite;
  }
  return true;
}
