#include "imaging/WKResample.h"

#include <cmath>
#include <numbers>
#include <new>
#include <stdexcept>

#include "imaging/WKBitmap.h"
#include "imaging/WKParallel.h"
#include "imaging/WKResampleKernels.h"

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

double TWindowedSincResampler::Filter(double x) const {
  x = std::fabs(x);
  if (x >= Radius) return 0.0;
  return Sinc(x) * Window(x);
}

namespace {

inline int32_t RoundEven(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

TCluster BuildCluster(double c, double scale, double radius, int32_t sourceLo, int32_t sourceHi,
                      const TPixelResampler& resampler) {
  TCluster cluster;
  const bool enlarging = scale >= 1.0;
  const double reach = enlarging ? radius : radius / scale;
  const int64_t first = static_cast<int64_t>(std::floor(c - reach));
  const int64_t last = static_cast<int64_t>(std::ceil(c + reach));
  for (int64_t j = first; j <= last; ++j) {
    const double d = c - static_cast<double>(j);
    const int32_t w = enlarging ? RoundEven(resampler.Filter(d) * 256)
                                : RoundEven(resampler.Filter(d * scale) * 256 * scale);
    if (w == 0) continue;
    const int32_t pixel = static_cast<int32_t>(std::clamp<int64_t>(j, sourceLo, sourceHi - 1));
    cluster.push_back({pixel, w});
  }
  if (cluster.empty()) {
    // The pixel under the centre; kept inside the source for enlarging kernels of zero width.
    const int64_t under = static_cast<int64_t>(std::floor(c));
    cluster.push_back({static_cast<int32_t>(std::clamp<int64_t>(under, sourceLo, sourceHi - 1)),
                       256});
    return cluster;
  }
  int32_t sum = 0;
  for (const TContribution& entry : cluster) sum += entry.Weight;
  cluster[(cluster.size() - 1) / 2].Weight -= sum - 256;
  return cluster;
}

}  // namespace

TMappingTable BuildMappingTable(int32_t destLo, int32_t destHi, int32_t clipLo, int32_t clipHi,
                                int32_t sourceLo, int32_t sourceHi,
                                const TPixelResampler& resampler) {
  const int64_t sourceW = int64_t{sourceHi} - sourceLo;
  const int64_t destW = int64_t{destHi} - destLo;
  const int64_t clipW = int64_t{clipHi} - clipLo;
  if (sourceW <= 0 || clipW <= 0) return {};
  if (sourceW == 1) return TMappingTable(static_cast<size_t>(clipW), TCluster{{sourceLo, 256}});
  if (destW == 0) throw std::logic_error("Assertion failure");
  if (destW < 0) return {};
  const double scale = static_cast<double>(destW) / static_cast<double>(sourceW);
  const double radius = resampler.GetWidth();
  TMappingTable table;
  table.reserve(static_cast<size_t>(clipW));
  for (int64_t i = 0; i < clipW; ++i) {
    const double c = sourceLo - 0.5 + (static_cast<double>(i + clipLo - destLo) + 0.5) / scale;
    table.push_back(BuildCluster(c, scale, radius, sourceLo, sourceHi, resampler));
  }
  return table;
}

namespace {

// A mapping table laid out flat for the kernels.
struct TFlatTable {
  std::vector<int32_t> Starts;
  std::vector<int32_t> Pixels;
  std::vector<int32_t> Weights;

  explicit TFlatTable(const TMappingTable& table, int32_t base = 0) {
    Starts.reserve(table.size() + 1);
    Starts.push_back(0);
    for (const TCluster& cluster : table) {
      for (const TContribution& entry : cluster) {
        Pixels.push_back(entry.Pixel - base);
        Weights.push_back(entry.Weight);
      }
      Starts.push_back(static_cast<int32_t>(Pixels.size()));
    }
  }
};

bool Fits(const TRect& inner, int32_t width, int32_t height) {
  return inner.Left >= 0 && inner.Top >= 0 && inner.Right <= width && inner.Bottom <= height;
}

bool Resample(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
              const TPixelResampler& resampler, const TRect& sourceRect, const TWKPixels& source) {
  if (dest.PixelFormat != FormatBGR24 || source.PixelFormat != FormatBGR24) return false;
  if (!dest.Bits || !source.Bits) return false;
  const TRect r = IntersectRect(dest.BoundsRect(), clipRect);
  if (r.IsEmpty() || destRect.IsEmpty()) return true;
  if (sourceRect.IsEmpty() || !Fits(sourceRect, source.Width, source.Height)) return false;

  const TMappingTable columnTable = BuildMappingTable(destRect.Left, destRect.Right, r.Left, r.Right,
                                                      sourceRect.Left, sourceRect.Right, resampler);
  const TMappingTable rowTable = BuildMappingTable(destRect.Top, destRect.Bottom, r.Top, r.Bottom,
                                                   sourceRect.Top, sourceRect.Bottom, resampler);
  if (columnTable.empty() || rowTable.empty()) return true;

  // Every column any cluster reads: a cluster centred on a whole source column holds that
  // column alone, so the outer clusters do not always reach furthest.
  int32_t first = INT32_MAX, last = INT32_MIN;
  for (const TCluster& cluster : columnTable) {
    first = std::min(first, cluster.front().Pixel);
    last = std::max(last, cluster.back().Pixel);
  }
  const int32_t needed = last - first + 1;
  const TFlatTable columns(columnTable, first);
  const TFlatTable rows(rowTable);
  const int32_t sumCount = needed * 3;
  const int32_t outRows = static_cast<int32_t>(rowTable.size());
  const int64_t work = (int64_t{sumCount} * static_cast<int64_t>(rows.Pixels.size()) +
                        int64_t{3} * static_cast<int64_t>(columns.Pixels.size()) * outRows);
  const int32_t parts = ParallelRowParts(outRows, work);
  std::vector<std::vector<int32_t>> sums(static_cast<size_t>(parts));
  std::vector<std::vector<const uint8_t*>> rowPointers(static_cast<size_t>(parts));
  size_t maxTaps = 0;
  for (const TCluster& cluster : rowTable) maxTaps = std::max(maxTaps, cluster.size());
  for (int32_t part = 0; part < parts; ++part) {
    sums[part].assign(static_cast<size_t>(sumCount) + 4, 0);
    rowPointers[part].resize(maxTaps);
  }

  ParallelRowsIn(parts, outRows, [&](int32_t part, int32_t begin, int32_t end) {
    int32_t* rowSums = sums[part].data();
    const uint8_t** pointers = rowPointers[part].data();
    for (int32_t i = begin; i < end; ++i) {
      const int32_t start = rows.Starts[i];
      const int32_t taps = rows.Starts[i + 1] - start;
      for (int32_t t = 0; t < taps; ++t)
        pointers[t] = source.Bits + static_cast<ptrdiff_t>(rows.Pixels[start + t]) * source.RowBytes +
                      static_cast<ptrdiff_t>(first) * 3;
      ResampleVerticalPass(rowSums, pointers, rows.Weights.data() + start, taps, sumCount);
      ResampleHorizontalPass(dest.PixelAddress(r.Left, r.Top + i), rowSums, columns.Starts.data(),
                             columns.Pixels.data(), columns.Weights.data(), r.Width());
    }
  });
  return true;
}

}  // namespace

bool ResamplePixels(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                    const TPixelResampler& resampler, const TRect& sourceRect,
                    const TWKPixels& source) {
  try {
    return Resample(dest, destRect, clipRect, resampler, sourceRect, source);
  } catch (const std::bad_alloc&) {
    return false;
  }
}
