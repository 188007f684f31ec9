// Pixel memory for whole images and large buffers: anonymous pages, zero-filled unless the caller
// overwrites every byte itself. Large blocks freed are kept for the next request of their size
// (the next photo of a folder, the next turn): a caller that writes it whole takes its pages as
// they are, without the faults and zeroing of fresh ones.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Owns one block from AllocatePixelMemory.
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

  bool Allocate(size_t bytes, TPixelFill fill = TPixelFill::Zero);  // frees any previous block first
  void Free();
  void Swap(TPixelMemory& other) noexcept {
    std::swap(Data_, other.Data_);
    std::swap(Size_, other.Size_);
  }
  uint8_t* Data() const { return Data_; }
  size_t Size() const { return Size_; }

 private:
  uint8_t* Data_ = nullptr;
  size_t Size_ = 0;
};
