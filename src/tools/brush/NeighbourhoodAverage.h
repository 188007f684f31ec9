// The mean colour of the image around a pixel, over a disc centred on it, and the per-stroke
// cache of those means. The cache is kept in tiles that are made, zeroed, only when a mean is
// first stored in them, so sizing it for a whole photo costs nothing until the brush moves.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"

// One row of a disc's non-zero bytes: columns [X0, X1) at row offset Dy from the centre.
struct TMaskRun {
  int32_t Dy = 0;
  int32_t X0 = 0;
  int32_t X1 = 0;
  friend bool operator==(const TMaskRun&, const TMaskRun&) = default;
};

// The runs of the mask's non-zero bytes, as offsets from the mask's centre pixel (its width and
// height are odd, as BrushRect makes them).
std::vector<TMaskRun> MaskRuns(const TWKPixelMask& mask);

// The mean of source's pixels under the runs placed on (x, y), counting only pixels inside
// source, each channel rounded to the nearest integer (halves to even). False when no pixel
// counts: out is then untouched.
bool DiscAverage(const TWKPixels& source, const std::vector<TMaskRun>& runs, int32_t x, int32_t y,
                 TBGRPixel& out);

// Blue, green, red of each computed mean, the fourth byte 255; all zero: not yet computed.
class TWKAverageCache {
 public:
  static constexpr int32_t kTileSide = 64;

  TWKAverageCache() = default;
  TWKAverageCache(const TWKAverageCache&) = delete;
  TWKAverageCache& operator=(const TWKAverageCache&) = delete;

  // Forgets every mean and covers rect; no pixel storage is made yet. False for a rectangle too
  // large to index (the cache is then empty).
  bool SetBounds(const TRect& rect);
  // Forgets every mean and releases the tiles; the bounds become empty.
  void Clear();
  TRect BoundsRect() const { return Bounds_; }

  // The stored mean at (x, y); none when not computed or outside the bounds.
  const uint8_t* Find(int32_t x, int32_t y) const;
  // Stores a mean; nothing outside the bounds or when the tile's memory cannot be had.
  void Store(int32_t x, int32_t y, TBGRPixel mean);
  // Tiles made since the last SetBounds or Clear.
  int32_t TilesHeld() const { return TilesHeld_; }

 private:
  uint8_t* Tile(int32_t x, int32_t y, bool make);

  TRect Bounds_;
  int32_t TilesAcross_ = 0;
  int32_t TilesHeld_ = 0;
  std::vector<std::unique_ptr<uint8_t[]>> Tiles_;
};

// Computes and stores the mean of every pixel of rect (within the cache) that has none yet,
// with row sums over source so that each mean costs one step per disc row. Pixels whose disc
// holds no counted pixel stay uncomputed.
void CacheDiscAverages(const TWKPixels& source, const std::vector<TMaskRun>& runs, const TRect& rect,
                       TWKAverageCache& cache);
