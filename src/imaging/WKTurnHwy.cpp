// Quarter turns of 24-bit pixels in blocks of 16 source rows by 4 source columns per 128-bit
// block: pixels widened to 32 bits, 4 × 4 transposes, packed back to 48-byte runs of a
// destination row, gathered in a tile in L1 and written out as whole cache lines. Compiled once
// per instruction set, chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/WKTurnHwy.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/cache_control.h>
#include <hwy/highway.h>

#include <algorithm>
#include <cstring>

#include "imaging/WKGeometry.h"

HWY_BEFORE_NAMESPACE();
namespace qm_turn {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Where source (x, y) lands: left turn (y, W - 1 - x), right turn (H - 1 - y, x).
template <bool Left>
inline uint8_t* DestAddress(const TWKPixels& source, TWKPixels& dest, int32_t x, int32_t y) {
  const int32_t nx = Left ? y : source.Height - 1 - y;
  const int32_t ny = Left ? source.Width - 1 - x : x;
  return dest.Bits + static_cast<ptrdiff_t>(ny) * dest.RowBytes + static_cast<ptrdiff_t>(nx) * 3;
}

// Source columns [x0, x1) of rows [y0, y1), one pixel at a time.
template <bool Left>
void TurnPlain(const TWKPixels& source, TWKPixels& dest, int32_t x0, int32_t x1, int32_t y0,
               int32_t y1) {
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* s = source.Bits + static_cast<ptrdiff_t>(y) * source.RowBytes +
                       static_cast<ptrdiff_t>(x0) * 3;
    for (int32_t x = x0; x < x1; ++x, s += 3) std::memcpy(DestAddress<Left>(source, dest, x, y), s, 3);
  }
}

#if HWY_TARGET != HWY_SCALAR

// Two 128-bit blocks where the target has them: on wider vectors the extra block inserts cost
// more than they save.
using D8 = hn::CappedTag<uint8_t, 32>;
constexpr int32_t kBlocks = static_cast<int32_t>(hn::MaxLanes(D8()) / 16);
// Source columns per unit: four pixels per block.
constexpr int32_t kUnitColumns = 4 * kBlocks;
// Columns per band: the destination rows one pass writes.
constexpr int32_t kBandColumns = 64;
// How many 16-row steps ahead the source is fetched, into L2: fetching into L1 holds its few
// fill buffers for the whole trip to memory, and the streaming stores need them too.
constexpr int32_t kSourceAhead = 2;
// 16-row steps per staged block, and a staging tile row: a carried line part, then the block.
constexpr int32_t kStagedSteps = 4;
constexpr ptrdiff_t kTileCarry = 64;
constexpr ptrdiff_t kTileRowBytes = kTileCarry + kStagedSteps * 48;
// Destinations from this size on are written with streaming stores: they would not stay in
// the caches anyway.
constexpr int64_t kStreamingBytes = int64_t{2} << 20;

constexpr uint8_t Z = 0x80;  // table entry that gives a zero byte
alignas(16) constexpr uint8_t kWiden[16] = {0, 1, 2, Z, 3, 4, 5, Z, 6, 7, 8, Z, 9, 10, 11, Z};
// Packing four vectors of four 32-bit pixels p0..p3 into three 16-byte runs: run 0 = the 12
// bytes of p0 and the first 4 of p1, run 1 = the other 8 of p1 and the first 8 of p2, run 2 = the
// last 4 of p2 and the 12 of p3.
alignas(16) constexpr uint8_t kPack0[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, Z, Z, Z, Z};
alignas(16) constexpr uint8_t kPack1a[16] = {Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, 0, 1, 2, 4};
alignas(16) constexpr uint8_t kPack1b[16] = {5, 6, 8, 9, 10, 12, 13, 14, Z, Z, Z, Z, Z, Z, Z, Z};
alignas(16) constexpr uint8_t kPack2a[16] = {Z, Z, Z, Z, Z, Z, Z, Z, 0, 1, 2, 4, 5, 6, 8, 9};
alignas(16) constexpr uint8_t kPack2b[16] = {10, 12, 13, 14, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z};
alignas(16) constexpr uint8_t kPack3[16] = {Z, Z, Z, Z, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14};

// Block b of the result holds the 16 bytes at p + 12 b (pixels 4 b .. 4 b + 3 and 4 more bytes).
template <class D>
HWY_INLINE hn::Vec<D> LoadBlocks(D d, const uint8_t* p) {
  if constexpr (hn::MaxLanes(D()) == 16) {
    return hn::LoadU(d, p);
  } else {
    const hn::Half<D> dh;
    constexpr size_t kHalfBlocks = hn::MaxLanes(D()) / 32;
    return hn::Combine(d, LoadBlocks(dh, p + kHalfBlocks * 12), LoadBlocks(dh, p));
  }
}

// Block b of v goes to q + b × step.
template <class D>
HWY_INLINE void StoreBlocks(D d, hn::Vec<D> v, uint8_t* q, ptrdiff_t step) {
  if constexpr (hn::MaxLanes(D()) == 16) {
    hn::StoreU(v, d, q);
  } else {
    const hn::Half<D> dh;
    constexpr size_t kHalfBlocks = hn::MaxLanes(D()) / 32;
    StoreBlocks(dh, hn::LowerHalf(dh, v), q, step);
    StoreBlocks(dh, hn::UpperHalf(dh, v), q + static_cast<ptrdiff_t>(kHalfBlocks) * step, step);
  }
}

// Source rows y0 .. y0 + 15 from column x0 on (base = that column in row 0), kUnitColumns
// columns: column x0 lands at q in destination order, each further column rowStep on. Each load
// reads 4 bytes past its pixels; the caller keeps them inside the source.
template <bool Left>
HWY_INLINE void TurnUnit(const uint8_t* base, ptrdiff_t sourceRowBytes, int32_t y0, uint8_t* q,
                         ptrdiff_t rowStep) {
  const D8 d8;
  const hn::Repartition<uint32_t, D8> d32;
  const hn::Repartition<uint64_t, D8> d64;
  using V32 = hn::Vec<decltype(d32)>;
  const auto widen = hn::LoadDup128(d8, kWiden);
  // columns[g][c]: column x0 + c (per block) of rows 4 g .. 4 g + 3, in destination order.
  V32 columns[4][4];
  for (int g = 0; g < 4; ++g) {
    V32 r[4];
    for (int i = 0; i < 4; ++i) {
      const int32_t row = 4 * g + i;
      const int32_t y = Left ? y0 + row : y0 + 15 - row;
      const uint8_t* p = base + static_cast<ptrdiff_t>(y) * sourceRowBytes;
      r[i] = hn::BitCast(d32, hn::TableLookupBytesOr0(LoadBlocks(d8, p), widen));
    }
    const auto t0 = hn::BitCast(d64, hn::InterleaveLower(d32, r[0], r[1]));
    const auto t1 = hn::BitCast(d64, hn::InterleaveUpper(d32, r[0], r[1]));
    const auto t2 = hn::BitCast(d64, hn::InterleaveLower(d32, r[2], r[3]));
    const auto t3 = hn::BitCast(d64, hn::InterleaveUpper(d32, r[2], r[3]));
    columns[g][0] = hn::BitCast(d32, hn::InterleaveLower(d64, t0, t2));
    columns[g][1] = hn::BitCast(d32, hn::InterleaveUpper(d64, t0, t2));
    columns[g][2] = hn::BitCast(d32, hn::InterleaveLower(d64, t1, t3));
    columns[g][3] = hn::BitCast(d32, hn::InterleaveUpper(d64, t1, t3));
  }
  const auto k0 = hn::LoadDup128(d8, kPack0), k1a = hn::LoadDup128(d8, kPack1a),
             k1b = hn::LoadDup128(d8, kPack1b), k2a = hn::LoadDup128(d8, kPack2a),
             k2b = hn::LoadDup128(d8, kPack2b), k3 = hn::LoadDup128(d8, kPack3);
  const ptrdiff_t blockStep = 4 * rowStep;
  for (int c = 0; c < 4; ++c, q += rowStep) {
    const auto p0 = hn::BitCast(d8, columns[0][c]), p1 = hn::BitCast(d8, columns[1][c]);
    const auto p2 = hn::BitCast(d8, columns[2][c]), p3 = hn::BitCast(d8, columns[3][c]);
    StoreBlocks(d8, hn::Or(hn::TableLookupBytesOr0(p0, k0), hn::TableLookupBytesOr0(p1, k1a)), q,
                blockStep);
    StoreBlocks(d8, hn::Or(hn::TableLookupBytesOr0(p1, k1b), hn::TableLookupBytesOr0(p2, k2a)),
                q + 16, blockStep);
    StoreBlocks(d8, hn::Or(hn::TableLookupBytesOr0(p2, k2b), hn::TableLookupBytesOr0(p3, k3)),
                q + 32, blockStep);
  }
}

// Fetches the band's 16 source rows from y0 into L2 (when they lie inside the source).
HWY_INLINE void PrefetchRows(const TWKPixels& source, int32_t xa, ptrdiff_t bandBytes, int32_t y0) {
  if (y0 < 0 || y0 + 16 > source.Height) return;
  const uint8_t* p = source.Bits + y0 * static_cast<ptrdiff_t>(source.RowBytes) + static_cast<ptrdiff_t>(xa) * 3;
  for (int32_t r = 0; r < 16; ++r, p += source.RowBytes)
    for (ptrdiff_t off = 0; off < bandBytes + 63; off += 64) __builtin_prefetch(p + off, 0, 2);
}

// Turns `steps` 16-row steps of band [xa, xb) from destination column `block` on into the
// staging tile, each step 48 bytes further along every tile row.
template <bool Left>
HWY_INLINE void StageSteps(const TWKPixels& source, int32_t xa, int32_t xb, int32_t block,
                           int32_t steps, uint8_t* tile) {
  const ptrdiff_t bandBytes = static_cast<ptrdiff_t>(xb - xa) * 3;
  for (int32_t k = 0; k < steps; ++k) {
    const int32_t nx = block + 16 * k;
    const int32_t y0 = Left ? nx : source.Height - 16 - nx;
    PrefetchRows(source, xa, bandBytes, Left ? y0 + kSourceAhead * 16 : y0 - kSourceAhead * 16);
    for (int32_t x0 = xa; x0 < xb; x0 += kUnitColumns) {
      const int32_t j = Left ? xb - 1 - x0 : x0 - xa;
      TurnUnit<Left>(source.Bits + static_cast<ptrdiff_t>(x0) * 3, source.RowBytes, y0,
                     tile + j * kTileRowBytes + kTileCarry + 48 * k,
                     Left ? -kTileRowBytes : kTileRowBytes);
    }
  }
}

// Where one destination row of a band stands: bytes held back in its tile row before
// kTileCarry, and bytes of the destination row already written.
struct TRowProgress {
  int32_t Waiting = 0;
  ptrdiff_t Flushed = 0;
};

// Writes a tile row's finished bytes to its destination row: ordinary stores up to a cache
// line boundary, then whole lines (streaming when asked); the rest of an incomplete line moves
// before kTileCarry to wait for the next block, or is written when this was the last block.
template <bool Streaming>
HWY_INLINE void FlushTileRow(uint8_t* row, uint8_t* tileRow, int32_t steps, bool last,
                             TRowProgress& progress) {
  const D8 dl;  // lines move in pieces of the kernel's vector width (aligned: lines are)
  constexpr int kPiece = static_cast<int>(hn::MaxLanes(D8()));
  const uint8_t* from = tileRow + kTileCarry - progress.Waiting;
  ptrdiff_t length = progress.Waiting + 48 * steps;
  uint8_t* to = row + progress.Flushed;
  const ptrdiff_t head = std::min<ptrdiff_t>(
      length, (64 - static_cast<ptrdiff_t>(reinterpret_cast<uintptr_t>(to) & 63)) & 63);
  std::memcpy(to, from, static_cast<size_t>(head));
  to += head;
  from += head;
  length -= head;
  for (; length >= 64; length -= 64, from += 64, to += 64)
    for (int i = 0; i < 64; i += kPiece) {
      if constexpr (Streaming)
        hn::Stream(hn::LoadU(dl, from + i), dl, to + i);
      else
        hn::Store(hn::LoadU(dl, from + i), dl, to + i);
    }
  if (last) {
    std::memcpy(to, from, static_cast<size_t>(length));
  } else {
    alignas(16) uint8_t rest[64];
    std::memcpy(rest, from, static_cast<size_t>(length));
    std::memcpy(tileRow + kTileCarry - length, rest, static_cast<size_t>(length));
  }
  progress.Waiting = static_cast<int32_t>(length);
  progress.Flushed = to - row;
}

// One band of source columns [xa, xb) (at most kBandColumns, whole units) over the first `span`
// destination columns, span a multiple of 16. The left turn walks source rows 0 .. span - 1
// downwards, the right turn rows H - 1 .. H - span upwards, so that both fill their destination
// rows from the left. Blocks of kStagedSteps × 16 rows are turned into a staging tile in L1,
// then each destination row takes whole cache lines from it (streaming stores for large images,
// which spare reading the destination in first); the part of a line not yet complete waits in
// the tile for the next block. Line parts at a row's two ends take ordinary stores.
template <bool Left, bool Streaming>
void TurnBand(const TWKPixels& source, TWKPixels& dest, int32_t xa, int32_t xb, int32_t span) {
  const int32_t count = xb - xa;
  // Tile row j belongs to destination row firstRow + j.
  const int32_t firstRow = Left ? source.Width - xb : xa;
  alignas(64) uint8_t tile[kBandColumns * kTileRowBytes];
  TRowProgress progress[kBandColumns];
  for (int32_t block = 0; block < span; block += kStagedSteps * 16) {
    const int32_t steps = std::min(kStagedSteps, (span - block) / 16);
    StageSteps<Left>(source, xa, xb, block, steps, tile);
    const bool last = block + kStagedSteps * 16 >= span;
    for (int32_t j = 0; j < count; ++j)
      FlushTileRow<Streaming>(dest.Bits + static_cast<ptrdiff_t>(firstRow + j) * dest.RowBytes,
                              tile + j * kTileRowBytes, steps, last, progress[j]);
  }
  if constexpr (Streaming) hwy::FlushStream();
}

template <bool Left>
void TurnColumnsT(const TWKPixels& source, TWKPixels& dest, int32_t xBegin, int32_t xEnd) {
  // The first `span` destination columns come from the kernel, the rest pixel by pixel: left,
  // source rows [0, span); right, rows [H - span, H).
  const int32_t span = source.Height / 16 * 16;
  const int32_t restBegin = Left ? span : 0;
  const int32_t restEnd = Left ? source.Height : source.Height - span;
  // Loads read 4 bytes past a unit's last pixel: two more pixels of the row keep them inside it.
  const int32_t fastEnd = std::max(xBegin, std::min(xEnd, source.Width - 2));
  const bool streaming =
      static_cast<int64_t>(dest.RowBytes) * dest.Height >= kStreamingBytes;
  int32_t x = xBegin;
  if (span > 0) {
    for (; x + kUnitColumns <= fastEnd;) {
      const int32_t xb = x + std::min(kBandColumns, (fastEnd - x) / kUnitColumns * kUnitColumns);
      if (streaming)
        TurnBand<Left, true>(source, dest, x, xb, span);
      else
        TurnBand<Left, false>(source, dest, x, xb, span);
      x = xb;
    }
    TurnPlain<Left>(source, dest, xBegin, x, restBegin, restEnd);
  }
  TurnPlain<Left>(source, dest, x, xEnd, 0, source.Height);
}

#else

template <bool Left>
void TurnColumnsT(const TWKPixels& source, TWKPixels& dest, int32_t xBegin, int32_t xEnd) {
  TurnPlain<Left>(source, dest, xBegin, xEnd, 0, source.Height);
}

#endif

void TurnColumns(const TWKPixels& source, TWKPixels& dest, bool left, int32_t xBegin,
                 int32_t xEnd) {
  if (left)
    TurnColumnsT<true>(source, dest, xBegin, xEnd);
  else
    TurnColumnsT<false>(source, dest, xBegin, xEnd);
}

}  // namespace HWY_NAMESPACE
}  // namespace qm_turn
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace qm_turn {
HWY_EXPORT(TurnColumns);
}  // namespace qm_turn

void TurnPixelColumns(const TWKPixels& source, TWKPixels& dest, bool left, int32_t xBegin,
                      int32_t xEnd) {
  HWY_DYNAMIC_DISPATCH(qm_turn::TurnColumns)(source, dest, left, xBegin, xEnd);
}
#endif
