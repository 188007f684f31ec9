#include "imaging/WKFreeRotate.h"

#include <atomic>
#include <cmath>
#include <thread>

#include "imaging/WKFreeRotateKernels.h"
#include "imaging/WKParallel.h"

namespace {

constexpr int32_t kChunkRows = 16;

bool Usable(const TWKPixels& p) {
  return p.Bits != nullptr && p.PixelFormat == FormatBGR24 && p.Width > 0 && p.Height > 0;
}

bool Prepare(const TWKPixels& source, const TWKPixels& dest, double angle,
             std::vector<TRotatedRow>* rows) {
  if (!Usable(source) || !Usable(dest) || !std::isfinite(angle)) return false;
  if (rows != nullptr) rows->assign(static_cast<size_t>(dest.Height), TRotatedRow{});
  return true;
}

}  // namespace

TSize RotatedCanvasSize(int32_t width, int32_t height, double angle) {
  if (width <= 0 || height <= 0 || !std::isfinite(angle)) return {};
  const double w = width, h = height;
  const double diagonal = std::sqrt(w * w + h * h);
  const double alpha = std::atan(h / std::max(w, 1.0));
  const double across =
      diagonal * std::max(std::fabs(std::cos(angle + alpha)), std::fabs(std::cos(angle - alpha)));
  const double down =
      diagonal * std::max(std::fabs(std::sin(angle + alpha)), std::fabs(std::sin(angle - alpha)));
  return {std::max(1, static_cast<int32_t>(std::nearbyint(across))),
          std::max(1, static_cast<int32_t>(std::nearbyint(down)))};
}

TRotationMap::TRotationMap(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height,
                           double angle)
    : SourceWidth(sourceWidth), SourceHeight(sourceHeight), Width(width), Height(height) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double cxd = (width - 1) / 2.0, cyd = (height - 1) / 2.0;
  const double cxs = (sourceWidth - 1) / 2.0, cys = (sourceHeight - 1) / 2.0;
  const double top = 0 - cyd, bottom = (height - 1) - cyd;
  const double rows = std::max(height - 1, 1);
  const size_t n = static_cast<size_t>(std::max(width, 0));
  TopX.resize(n);
  TopY.resize(n);
  StepX.resize(n);
  StepY.resize(n);
  for (int32_t x = 0; x < width; ++x) {
    const double dx = x - cxd;
    const double topX = dx * c - top * s + cxs, topY = dx * s + top * c + cys;
    const double bottomX = dx * c - bottom * s + cxs, bottomY = dx * s + bottom * c + cys;
    TopX[x] = topX;
    TopY[x] = topY;
    StepX[x] = (bottomX - topX) / rows;
    StepY[x] = (bottomY - topY) / rows;
  }
}

void RotateRowsPlain(const TRotationJob& job, int32_t y0, int32_t y1) {
  TWKPixels& dest = *job.Dest;
  for (int32_t y = y0; y < y1; ++y) {
    uint8_t* out = dest.Bits + static_cast<ptrdiff_t>(y) * dest.RowBytes;
    TRotatedRow row;
    for (int32_t x = 0; x < dest.Width; ++x, out += 3)
      if (free_rotate::RotatedPixel(job, x, y, out)) free_rotate::CountInside(row, x);
    if (job.Rows != nullptr) job.Rows[y] = row;
  }
}

bool RotatePixelsPlain(const TWKPixels& source, TWKPixels& dest, double angle,
                       TRotationFilter filter, std::vector<TRotatedRow>* rows) {
  if (!Prepare(source, dest, angle, rows)) return false;
  const TRotationMap map(source.Width, source.Height, dest.Width, dest.Height, angle);
  const TRotationJob job{&source, &dest, &map, filter, rows != nullptr ? rows->data() : nullptr};
  RotateRowsPlain(job, 0, dest.Height);
  return true;
}

bool RotatePixels(const TWKPixels& source, TWKPixels& dest, double angle, TRotationFilter filter,
                  std::vector<TRotatedRow>* rows, const TRotationProgress& progress) {
  if (!Prepare(source, dest, angle, rows)) return false;
  const TRotationMap map(source.Width, source.Height, dest.Width, dest.Height, angle);
  const TRotationJob job{&source, &dest, &map, filter, rows != nullptr ? rows->data() : nullptr};
  // The vectorised rows gather with 32-bit byte offsets.
  const bool fast = static_cast<int64_t>(source.RowBytes) * source.Height < (int64_t{1} << 31);
  const int32_t chunks = (dest.Height + kChunkRows - 1) / kChunkRows;
  const int64_t work = static_cast<int64_t>(dest.Width) * dest.Height *
                       (filter == TRotationFilter::Nearest ? 4 : 32);
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int32_t> done{0};
  ParallelChunks(chunks, work, [&](int32_t chunk) {
    const int32_t y0 = chunk * kChunkRows, y1 = std::min(dest.Height, y0 + kChunkRows);
    if (fast)
      RotateRowsFast(job, y0, y1);
    else
      RotateRowsPlain(job, y0, y1);
    const int32_t rowsDone = done.fetch_add(y1 - y0, std::memory_order_relaxed) + (y1 - y0);
    if (progress && std::this_thread::get_id() == caller) progress(rowsDone, dest.Height);
  });
  if (progress) progress(dest.Height, dest.Height);
  return true;
}
