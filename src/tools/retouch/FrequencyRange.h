// The band of spatial frequencies the emphasis brush strengthens: a copy of the image and two box
// blurs of it, a fine and a coarse one. The filtered image is image + fine − coarse (the band
// boosted) or image − fine + coarse (the band removed). The three planes are stored row-major,
// three bytes a pixel each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "imaging/WKBitmap.h"
#include "imaging/WKPageMemory.h"

// The box blur of one plane of 24-bit rows: a window of rows max(0, y − r) .. min(H − 1, y + r)
// averaged as a single-precision real per column, then the same along the row over those reals
// with double-precision sums, the average rounded with ClampRound. Windows clipped at the border
// are averaged over the pixels inside. A radius of 0 reproduces the source.
//
// The plain version, column by column as the arithmetic is stated, with the whole first pass in
// a matrix of reals.
void BoxBlurPlain(const uint8_t* source, ptrdiff_t sourceStride, int32_t width, int32_t height,
                  int32_t radius, uint8_t* target, ptrdiff_t targetStride);
// The same result, rows [y0, y1) of it, a row at a time without the whole matrix of reals:
// compiled once per instruction set, chosen at run time.
void BoxBlurRows(const uint8_t* source, ptrdiff_t sourceStride, int32_t width, int32_t height,
                 int32_t radius, uint8_t* target, ptrdiff_t targetStride, int32_t y0, int32_t y1);

class TFrequencyRange {
 public:
  // Done and total steps of a computation, reported on the calling thread.
  using TProgress = std::function<void(int32_t done, int32_t total)>;

  // 0: up to date; 2: the source is copied again before the next computation.
  uint8_t Staleness = 0;

  int32_t Width() const { return W_; }
  int32_t Height() const { return H_; }
  // Bytes a computation needs for an image of that size; 0 when it cannot be had at all.
  static size_t BytesFor(int32_t width, int32_t height);
  // Tests: allocations above this many bytes fail (0: no limit).
  static void SetAllocationLimitForTest(size_t bytes);

  // Staleness := max(Staleness, level).
  void MarkStale(uint8_t level);
  // Rebuilds the decomposition of a 24-bit image: the planes follow its size, the source is
  // copied when stale, both blurs are recomputed; the work is shared by every core. False when
  // the memory cannot be had: the range is then empty (0 × 0) and stays stale.
  bool Compute(const TWKPixels& image, int32_t fineRadius, int32_t coarseRadius,
               const TProgress& progress = nullptr);
  // The filtered colour at (x, y), inside the planes.
  TBGRPixel FilteredPixel(int32_t x, int32_t y, bool removeBand) const;
  // count filtered pixels of row y from x on, as 24-bit bytes, inside the planes.
  void FilteredRow(int32_t x, int32_t y, int32_t count, bool removeBand, uint8_t* out) const;

  const uint8_t* SourceRow(int32_t y) const { return Row(Source_, y); }
  const uint8_t* FineRow(int32_t y) const { return Row(BlurFine_, y); }
  const uint8_t* CoarseRow(int32_t y) const { return Row(BlurCoarse_, y); }

 private:
  const uint8_t* Row(const TPixelMemory& plane, int32_t y) const {
    return plane.Data() + static_cast<ptrdiff_t>(y) * W_ * 3;
  }
  bool Allocate(int32_t width, int32_t height);

  int32_t W_ = 0;
  int32_t H_ = 0;
  TPixelMemory Source_;
  TPixelMemory BlurFine_;
  TPixelMemory BlurCoarse_;
};
