// Pixel memory for whole images and large buffers: anonymous pages, zero-filled unless the caller
// overwrites every byte itself. Large blocks freed are kept for the next request of their size
// (the next photo of a folder, the next turn): a caller that writes it whole takes its pages as
// they are, without the faults and zeroing of fresh ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

// Largest block the imaging core will ask for (absurd sizes are refused, not attempted).
inline constexpr uint64_t MaxPixelStorageBytes = uint64_t{1} << 32;

// Row bytes and total size of a width × height surface of `bits` per pixel, computed in 64 bits.
// False when a side is below 1, the format is unknown, or the total exceeds MaxPixelStorageBytes.
bool PixelStorageSize(int32_t width, int32_t height, int32_t bits, int32_t& rowBytes,
                      size_t& bytes);

enum class TPixelFill {
  Zero,
  Any,  // the caller writes every byte before reading any
};

// A block; nullptr on failure or for 0 bytes. Blocks of at least a page come from anonymous
// mappings, smaller ones from the heap.
void* AllocatePixelMemory(size_t bytes, TPixelFill fill = TPixelFill::Zero);
void FreePixelMemory(void* block, size_t bytes);
// Unmaps the kept blocks.
void ReleaseKeptPixelMemory();
// Bytes kept for reuse.
size_t KeptPixelMemory();
// Maps the pages under [bytes, bytes + size) writable ahead of their first write, without
// changing their contents, so that another thread may be writing them at the same time. Does
// nothing where the system cannot.
void PrefaultPixelMemory(void* bytes, size_t size);

// Whether blocks of whole images are advised as huge pages (off by default: slower in the worst
// case of a fresh start); for the comparison in bench/imaging.
void SetHugePagesForTest(bool enabled);

enum class TPixelSharing {
  None,
  // A block of image size comes from a memory file, so that copies can share its pages
  // (TPixelMemory::ShareCopies); smaller blocks are ordinary ones.
  Shareable,
};

// Owns one block from AllocatePixelMemory, or a block of a memory file.
class TPixelMemory {
 public:
  TPixelMemory() = default;
  TPixelMemory(const TPixelMemory&) = delete;
  TPixelMemory& operator=(const TPixelMemory&) = delete;
  TPixelMemory(TPixelMemory&& other) noexcept { Swap(other); }
  TPixelMemory& operator=(TPixelMemory&& other) noexcept {
    TPixelMemory(std::move(other)).Swap(*this);
    return *this;
  }
  ~TPixelMemory() { Free(); }

  // Frees any previous block first.
  bool Allocate(size_t bytes, TPixelFill fill = TPixelFill::Zero,
                TPixelSharing sharing = TPixelSharing::None);
  void Free();
  void Swap(TPixelMemory& other) noexcept {
    std::swap(Data_, other.Data_);
    std::swap(Size_, other.Size_);
    std::swap(File_, other.File_);
    std::swap(Kind_, other.Kind_);
  }
  uint8_t* Data() const { return Data_; }
  size_t Size() const { return Size_; }
  bool Shareable() const { return Kind_ == TKind::Shared; }

  // Gives each of copies this block's contents without copying them: all share the pages until
  // one of them writes a page, which the system then copies for that one alone (4 KB at a time).
  // This block keeps its address and contents but shares no more. False, and nothing changed,
  // when the block is not shareable or the system refuses.
  bool ShareCopies(std::span<TPixelMemory* const> copies);

 private:
  enum class TKind : uint8_t {
    Plain,       // from AllocatePixelMemory
    Shared,      // a writable view of its memory file File_
    CopyOnWrite  // a private view of a memory file: pages of its own once written
  };
  uint8_t* Data_ = nullptr;
  size_t Size_ = 0;
  int File_ = -1;
  TKind Kind_ = TKind::Plain;
};
