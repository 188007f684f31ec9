#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/WKBitmap.h"

namespace {

// width × height zero bytes; nullptr for an empty or absurd size. Large masks (a stroke's, over
// a whole photo) come from page memory, whose pages are zeroed only where first touched.
uint8_t* NewMaskBytes(int32_t width, int32_t height) {
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (width <= 0 || height <= 0 || bytes > MaxPixelStorageBytes) return nullptr;
  return static_cast<uint8_t*>(AllocatePixelMemory(static_cast<size_t>(bytes), TPixelFill::Zero));
}

void FreeMaskBytes(uint8_t* bits, int32_t width, int32_t height) {
  FreePixelMemory(bits, static_cast<size_t>(width) * static_cast<size_t>(height));
}

}  // namespace

bool TWKPixelMask::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  Clear();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == 0 || height == 0) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    return true;
  }
  Bits = NewMaskBytes(width, height);
  if (!Bits) return false;
  Left = left;
  Top = top;
  Width = width;
  Height = height;
  return true;
}

uint8_t* TWKPixelMask::ByteAddress(int32_t x, int32_t y) const {
  if (!Bits || !BoundsRect().Contains(x, y)) return nullptr;
  return Bits + static_cast<ptrdiff_t>(y - Top) * Width + (x - Left);
}

bool TWKPixelMask::Extend(const TRect& rect) {
  const TRect current = BoundsRect();
  const TRect target = Bits ? UnionRect(current, rect) : rect;
  if (target.IsEmpty() || (Bits && target == current)) return true;
  uint8_t* bytes = NewMaskBytes(target.Width(), target.Height());
  if (!bytes) return false;
  for (int32_t y = 0; Bits && y < Height; ++y)
    std::memcpy(bytes + static_cast<ptrdiff_t>(Top - target.Top + y) * target.Width() +
                    (Left - target.Left),
                Bits + static_cast<ptrdiff_t>(y) * Width, static_cast<size_t>(Width));
  FreeMaskBytes(Bits, Width, Height);
  Bits = bytes;
  Left = target.Left;
  Top = target.Top;
  Width = target.Width();
  Height = target.Height();
  return true;
}

bool TWKPixelMask::Merge(const TWKPixelMask& other) {
  if (!other.Bits || &other == this) return true;
  if (!Extend(other.BoundsRect())) return false;
  for (int32_t y = 0; y < other.Height; ++y) {
    uint8_t* d = ByteAddress(other.Left, other.Top + y);
    const uint8_t* s = other.Bits + static_cast<ptrdiff_t>(y) * other.Width;
    for (int32_t x = 0; x < other.Width; ++x) d[x] = std::max(d[x], s[x]);
  }
  return true;
}

void TWKPixelMask::Clear() {
  FreeMaskBytes(Bits, Width, Height);
  Bits = nullptr;
  Left = Top = Width = Height = 0;
}
