#include "tools/retouch/FrequencyRange.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <new>
#include <thread>
#include <vector>

#include "imaging/WKParallel.h"

namespace {

size_t AllocationLimit = 0;

// Rows of one share of the computation: small enough for every core to get several, large
// enough that starting a share's window sums costs little.
constexpr int32_t kChunkRows = 128;

uint8_t ClampByte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

namespace {

// The running sums of a window of radius r clipped to count entries: before entry 0 the entries
// 0 .. min(r − 1, count − 1) are added; at i, entry i − r − 1 leaves (when i − r > 0) and entry
// i + r enters (when i + r < count); out(i, sums, size) receives each window.
template <class TSum, class TAt, class TOut>
void RunningWindowSums(int32_t count, int32_t r, TAt at, TOut out) {
  TSum sum[3] = {0, 0, 0};
  int32_t n = 0;
  auto add = [&](int32_t i, int sign) {
    const auto* e = at(i);
    for (int c = 0; c < 3; ++c) sum[c] += sign * static_cast<TSum>(e[c]);
    n += sign;
  };
  for (int32_t i = 0; i <= std::min(r - 1, count - 1); ++i) add(i, 1);
  for (int32_t i = 0; i < count; ++i) {
    if (i - r > 0) add(i - r - 1, -1);
    if (i + r < count) add(i + r, 1);
    out(i, sum, n);
  }
}

}  // namespace

void BoxBlurPlain(const uint8_t* source, ptrdiff_t sourceStride, int32_t width, int32_t height,
                  int32_t radius, uint8_t* target, ptrdiff_t targetStride) {
  if (width <= 0 || height <= 0) return;
  const int32_t r = std::max(radius, 0);
  // First pass, per column: the window's sums as single-precision averages.
  std::vector<float> intermediate(static_cast<size_t>(width) * height * 3);
  auto inter = [&](int32_t x, int32_t y) { return &intermediate[(static_cast<size_t>(y) * width + x) * 3]; };
  for (int32_t x = 0; x < width; ++x)
    RunningWindowSums<int64_t>(
        height, r, [&](int32_t y) { return source + y * sourceStride + x * 3; },
        [&](int32_t y, const int64_t* sum, int32_t n) {
          for (int c = 0; c < 3; ++c) inter(x, y)[c] = static_cast<float>(sum[c]) / static_cast<float>(n);
        });
  // Second pass, per row, over the reals.
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = target + y * targetStride;
    RunningWindowSums<double>(
        width, r, [&](int32_t x) { return inter(x, y); },
        [&](int32_t x, const double* sum, int32_t n) {
          for (int c = 0; c < 3; ++c) out[x * 3 + c] = ClampRound(sum[c] / n);
        });
  }
}

size_t TFrequencyRange::BytesFor(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  const uint64_t bytes = uint64_t{3} * 3 * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (bytes > std::numeric_limits<size_t>::max() / 2) return 0;
  return static_cast<size_t>(bytes);
}

void TFrequencyRange::SetAllocationLimitForTest(size_t bytes) { AllocationLimit = bytes; }

void TFrequencyRange::MarkStale(uint8_t level) { Staleness = std::max(Staleness, level); }

bool TFrequencyRange::Allocate(int32_t width, int32_t height) {
  W_ = H_ = 0;
  Source_.Free();
  BlurFine_.Free();
  BlurCoarse_.Free();
  const size_t total = BytesFor(width, height);
  if (total == 0 || (AllocationLimit != 0 && total > AllocationLimit)) return false;
  const size_t plane = total / 3;
  if (!Source_.Allocate(plane, TPixelFill::Any) || !BlurFine_.Allocate(plane, TPixelFill::Any) ||
      !BlurCoarse_.Allocate(plane, TPixelFill::Any)) {
    Source_.Free();
    BlurFine_.Free();
    return false;
  }
  W_ = width;
  H_ = height;
  return true;
}

bool TFrequencyRange::Compute(const TWKPixels& image, int32_t fineRadius, int32_t coarseRadius,
                              const TProgress& progress) {
  if (image.Bits == nullptr || image.PixelFormat != FormatBGR24) return false;
  if (image.Width != W_ || image.Height != H_) {
    MarkStale(2);
    if (!Allocate(image.Width, image.Height)) return false;
  }
  const bool copy = Staleness >= 2;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(W_) * 3;
  // Blurs read the image itself while its copy is being made: no share waits for another's rows.
  const uint8_t* from = copy ? image.PixelAddress(image.Left, image.Top) : Source_.Data();
  const ptrdiff_t fromStride = copy ? image.RowBytes : stride;
  const int32_t chunks = (H_ + kChunkRows - 1) / kChunkRows;
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int32_t> done{0};
  auto computeChunk = [&](int32_t chunk) {
    const int32_t y0 = chunk * kChunkRows, y1 = std::min(H_, y0 + kChunkRows);
    if (copy)
      for (int32_t y = y0; y < y1; ++y)
        std::memcpy(Source_.Data() + y * stride, from + y * fromStride, static_cast<size_t>(stride));
    BoxBlurRows(from, fromStride, W_, H_, fineRadius, BlurFine_.Data(), stride, y0, y1);
    BoxBlurRows(from, fromStride, W_, H_, coarseRadius, BlurCoarse_.Data(), stride, y0, y1);
    const int32_t now = ++done;
    if (progress && std::this_thread::get_id() == caller) progress(now, chunks);
  };
  try {
    ParallelChunks(chunks, int64_t{W_} * H_ * 3 * 8, computeChunk);
  } catch (const std::bad_alloc&) {
    // A share's row scratch could not be had: nothing half-computed is kept.
    Allocate(0, 0);
    MarkStale(2);
    return false;
  }
  Staleness = 0;
  return true;
}

TBGRPixel TFrequencyRange::FilteredPixel(int32_t x, int32_t y, bool removeBand) const {
  uint8_t bytes[3];
  FilteredRow(x, y, 1, removeBand, bytes);
  return TBGRPixel{bytes[0], bytes[1], bytes[2]};
}

void TFrequencyRange::FilteredRow(int32_t x, int32_t y, int32_t count, bool removeBand, uint8_t* out) const {
  const ptrdiff_t at = static_cast<ptrdiff_t>(x) * 3;
  const uint8_t* s = SourceRow(y) + at;
  const uint8_t* f = FineRow(y) + at;
  const uint8_t* c = CoarseRow(y) + at;
  const int32_t n = count * 3;
  if (removeBand)
    for (int32_t i = 0; i < n; ++i) out[i] = ClampByte(int32_t{s[i]} - f[i] + c[i]);
  else
    for (int32_t i = 0; i < n; ++i) out[i] = ClampByte(int32_t{s[i]} + f[i] - c[i]);
}
