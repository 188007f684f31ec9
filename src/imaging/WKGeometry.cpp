#include "imaging/WKGeometry.h"

#include <cstring>

#include "imaging/WKParallel.h"

namespace {

constexpr int32_t TileX = 64;
constexpr int32_t TileY = 64;

inline void Put(uint8_t* d, const uint8_t* s) {
  d[0] = s[0];
  d[1] = s[1];
  d[2] = s[2];
}

// One 4-byte move for a 3-byte pixel: the extra byte lands on the next destination pixel, which
// is written afterwards. Callers keep both ends inside memory that is theirs.
inline void Put4(uint8_t* d, const uint8_t* s) {
  uint32_t v;
  std::memcpy(&v, s, 4);
  std::memcpy(d, &v, 4);
}

// The first byte after the last pixel of p: a 4-byte read must start below it minus 3.
inline const uint8_t* PixelEnd(const TWKPixels& p) {
  return p.Bits + static_cast<ptrdiff_t>(p.Height - 1) * p.RowBytes +
         static_cast<ptrdiff_t>(p.Width) * 3;
}

inline const uint8_t* Row(const TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

inline uint8_t* MutableRow(TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

int64_t Bytes(const TWKPixels& p) { return static_cast<int64_t>(p.RowBytes) * p.Height; }

// The source pixel that lands on dest (nx, ny). Left: old (W - 1 - ny, nx); right:
// old (ny, H - 1 - nx).
template <bool Left>
inline const uint8_t* TurnSource(const TWKPixels& source, int32_t nx, int32_t ny) {
  const int32_t x = Left ? source.Width - 1 - ny : ny;
  const int32_t y = Left ? nx : source.Height - 1 - nx;
  return source.Bits + static_cast<ptrdiff_t>(x) * 3 + static_cast<ptrdiff_t>(y) * source.RowBytes;
}

// One destination row segment [tx, xEnd), one pixel at a time.
template <bool Left>
void TurnRow(const TWKPixels& source, TWKPixels& dest, int32_t ny, int32_t tx, int32_t xEnd,
             const uint8_t* sourceEnd) {
  uint8_t* d = MutableRow(dest, ny) + static_cast<ptrdiff_t>(tx) * 3;
  const uint8_t* s = TurnSource<Left>(source, tx, ny);
  const ptrdiff_t step = Left ? source.RowBytes : -source.RowBytes;
  for (int32_t nx = tx; nx < xEnd - 1; ++nx, d += 3, s += step)
    if (s + 4 <= sourceEnd) Put4(d, s); else Put(d, s);
  Put(d, s);
}

// Walks the destination in square tiles so that the source columns stay in cache.
template <bool Left>
void Turn(const TWKPixels& source, TWKPixels& dest) {
  const uint8_t* sourceEnd = PixelEnd(source);
  const int32_t tileRows = (dest.Height + TileY - 1) / TileY;
  ParallelRows(tileRows, Bytes(dest), [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t ty = begin * TileY; ty < std::min(end * TileY, dest.Height); ty += TileY) {
      const int32_t yEnd = std::min(ty + TileY, dest.Height);
      for (int32_t tx = 0; tx < dest.Width; tx += TileX) {
        const int32_t xEnd = std::min(tx + TileX, dest.Width);
        for (int32_t ny = ty; ny < yEnd; ++ny) TurnRow<Left>(source, dest, ny, tx, xEnd, sourceEnd);
      }
    }
  });
}

}  // namespace

void MirrorPixels(const TWKPixels& source, TWKPixels& dest) {
  const int32_t w = source.Width;
  ParallelRows(source.Height, Bytes(source), [&](int32_t, int32_t begin, int32_t end) {
    const uint8_t* sourceEnd = PixelEnd(source);
    for (int32_t y = begin; y < end; ++y) MirrorPixelRow(MutableRow(dest, y), Row(source, y), w, sourceEnd);
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
