#include "imaging/WKGeometry.h"

#include <cstring>

#include "imaging/WKParallel.h"

namespace {

// Source columns per share of a turn: whole bands of the turn kernel.
constexpr int32_t TurnColumnChunk = 64;

// The first byte after the last pixel of p: a 16-byte read must start 16 below it.
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

// The cores take bands of source columns, i.e. of destination rows, in turn.
void Turn(const TWKPixels& source, TWKPixels& dest, bool left) {
  const int32_t chunks = (source.Width + TurnColumnChunk - 1) / TurnColumnChunk;
  ParallelChunks(chunks, Bytes(dest), [&](int32_t chunk) {
    const int32_t x = chunk * TurnColumnChunk;
    TurnPixelColumns(source, dest, left, x, std::min(x + TurnColumnChunk, source.Width));
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

void RotateLeftPixels(const TWKPixels& source, TWKPixels& dest) { Turn(source, dest, true); }
void RotateRightPixels(const TWKPixels& source, TWKPixels& dest) { Turn(source, dest, false); }
