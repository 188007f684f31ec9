#include "imaging/WKGeometry.h"

#include <cstring>

#include "imaging/WKParallel.h"

namespace {

constexpr int32_t Tile = 64;

inline void Put(uint8_t* d, const uint8_t* s) {
  d[0] = s[0];
  d[1] = s[1];
  d[2] = s[2];
}

inline const uint8_t* Row(const TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

inline uint8_t* MutableRow(TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

int64_t Bytes(const TWKPixels& p) { return static_cast<int64_t>(p.RowBytes) * p.Height; }

// dest(nx, ny) = source(column(ny), row(nx)) walked in square tiles of the destination.
template <bool Left>
void Turn(const TWKPixels& source, TWKPixels& dest) {
  const int32_t sw = source.Width;
  const int32_t sh = source.Height;
  const ptrdiff_t stride = source.RowBytes;
  ParallelRows((dest.Height + Tile - 1) / Tile, Bytes(dest), [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t ty = begin * Tile; ty < std::min(end * Tile, dest.Height); ty += Tile) {
      const int32_t yEnd = std::min(ty + Tile, dest.Height);
      for (int32_t tx = 0; tx < dest.Width; tx += Tile) {
        const int32_t xEnd = std::min(tx + Tile, dest.Width);
        for (int32_t ny = ty; ny < yEnd; ++ny) {
          uint8_t* d = MutableRow(dest, ny) + static_cast<ptrdiff_t>(tx) * 3;
          // Left: new (nx, ny) = old (W - 1 - ny, nx); right: old (ny, H - 1 - nx).
          const uint8_t* s = Left ? source.Bits + static_cast<ptrdiff_t>(sw - 1 - ny) * 3 +
                                        tx * stride
                                  : source.Bits + static_cast<ptrdiff_t>(ny) * 3 +
                                        (sh - 1 - tx) * stride;
          const ptrdiff_t step = Left ? stride : -stride;
          for (int32_t nx = tx; nx < xEnd; ++nx, d += 3, s += step) Put(d, s);
        }
      }
    }
  });
}

}  // namespace

void MirrorPixels(const TWKPixels& source, TWKPixels& dest) {
  const int32_t w = source.Width;
  ParallelRows(source.Height, Bytes(source), [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      const uint8_t* s = Row(source, y) + static_cast<ptrdiff_t>(w - 1) * 3;
      uint8_t* d = MutableRow(dest, y);
      for (int32_t x = 0; x < w; ++x, d += 3, s -= 3) Put(d, s);
    }
  });
}

void FlipPixels(const TWKPixels& source, TWKPixels& dest) {
  const size_t length = static_cast<size_t>(source.Width) * 3;
  ParallelRows(source.Height, Bytes(source), [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y)
      std::memcpy(MutableRow(dest, y), Row(source, source.Height - 1 - y), length);
  });
}

void RotateLeftPixels(const TWKPixels& source, TWKPixels& dest) { Turn<true>(source, dest); }
void RotateRightPixels(const TWKPixels& source, TWKPixels& dest) { Turn<false>(source, dest); }
