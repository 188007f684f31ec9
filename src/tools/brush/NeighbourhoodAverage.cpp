#include "tools/brush/NeighbourhoodAverage.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

// sum / n rounded to the nearest integer, halves to even.
uint8_t RoundedMean(uint64_t sum, uint64_t n) {
  uint64_t q = sum / n;
  const uint64_t twice = 2 * (sum % n);
  if (twice > n || (twice == n && (q & 1) != 0)) ++q;
  return static_cast<uint8_t>(std::min<uint64_t>(q, 255));
}

bool Readable(const TWKPixels& source) {
  return source.Bits != nullptr && (source.PixelFormat == FormatBGR24 || source.PixelFormat == FormatBGRA32);
}

// Row sums of the three channels over [Left, Right) of a band of rows; entry c of a row is the
// sum of the columns before Left + c.
class TRowSums {
 public:
  TRowSums(const TWKPixels& source, const TRect& area) : Area_(area), Stride_(3 * (area.Width() + 1)) {
    Sums_.resize(static_cast<size_t>(Stride_) * static_cast<size_t>(area.Height()));
    const int32_t bpp = source.BytesPerPixel;
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
      uint32_t* s = Row(y);
      const uint8_t* p = source.PixelAddress(area.Left, y);
      s[0] = s[1] = s[2] = 0;
      for (int32_t x = 0; x < area.Width(); ++x, p += bpp) {
        s[3 * x + 3] = s[3 * x] + p[0];
        s[3 * x + 4] = s[3 * x + 1] + p[1];
        s[3 * x + 5] = s[3 * x + 2] + p[2];
      }
    }
  }
  // Adds the sums of columns [x0, x1) of row y.
  void Add(int32_t y, int32_t x0, int32_t x1, uint64_t sum[3]) const {
    const uint32_t* s = Row(y);
    const int32_t a = 3 * (x0 - Area_.Left), b = 3 * (x1 - Area_.Left);
    for (int32_t c = 0; c < 3; ++c) sum[c] += s[b + c] - s[a + c];
  }

 private:
  uint32_t* Row(int32_t y) { return Sums_.data() + static_cast<size_t>(y - Area_.Top) * Stride_; }
  const uint32_t* Row(int32_t y) const { return Sums_.data() + static_cast<size_t>(y - Area_.Top) * Stride_; }

  TRect Area_;
  int32_t Stride_;
  std::vector<uint32_t> Sums_;
};

// The runs' extent around their centre.
TRect RunsReach(const std::vector<TMaskRun>& runs) {
  TRect reach;
  for (const TMaskRun& r : runs)
    reach = UnionRect(reach, Rect(r.X0, r.Dy, r.X1, r.Dy + 1));
  return reach;
}

}  // namespace

std::vector<TMaskRun> MaskRuns(const TWKPixelMask& mask) {
  std::vector<TMaskRun> runs;
  if (mask.Bits == nullptr) return runs;
  const int32_t cx = mask.Width / 2, cy = mask.Height / 2;
  for (int32_t y = 0; y < mask.Height; ++y) {
    const uint8_t* row = mask.Bits + static_cast<ptrdiff_t>(y) * mask.Width;
    for (int32_t x = 0; x < mask.Width;) {
      if (row[x] == 0) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < mask.Width && row[x] != 0) ++x;
      runs.push_back({y - cy, start - cx, x - cx});
    }
  }
  return runs;
}

bool DiscAverage(const TWKPixels& source, const std::vector<TMaskRun>& runs, int32_t x, int32_t y,
                 TBGRPixel& out) {
  if (!Readable(source)) return false;
  const TRect bounds = source.BoundsRect();
  uint64_t sum[3] = {0, 0, 0}, n = 0;
  for (const TMaskRun& r : runs) {
    const int32_t yy = y + r.Dy;
    if (yy < bounds.Top || yy >= bounds.Bottom) continue;
    const int32_t x0 = std::max(x + r.X0, bounds.Left), x1 = std::min(x + r.X1, bounds.Right);
    for (int32_t xx = x0; xx < x1; ++xx) {
      const uint8_t* p = source.PixelAddress(xx, yy);
      sum[0] += p[0];
      sum[1] += p[1];
      sum[2] += p[2];
    }
    n += static_cast<uint64_t>(std::max(0, x1 - x0));
  }
  if (n == 0) return false;
  out = TBGRPixel{RoundedMean(sum[0], n), RoundedMean(sum[1], n), RoundedMean(sum[2], n)};
  return true;
}

bool TWKAverageCache::SetBounds(const TRect& rect) {
  Clear();
  if (rect.IsEmpty()) return true;
  const int64_t across = (int64_t{rect.Width()} + kTileSide - 1) / kTileSide;
  const int64_t down = (int64_t{rect.Height()} + kTileSide - 1) / kTileSide;
  if (across * down > std::numeric_limits<int32_t>::max()) return false;
  Tiles_.resize(static_cast<size_t>(across * down));
  Bounds_ = rect;
  TilesAcross_ = static_cast<int32_t>(across);
  return true;
}

void TWKAverageCache::Clear() {
  Tiles_.clear();
  Tiles_.shrink_to_fit();
  Bounds_ = TRect{};
  TilesAcross_ = 0;
  TilesHeld_ = 0;
}

uint8_t* TWKAverageCache::Tile(int32_t x, int32_t y, bool make) {
  if (!Bounds_.Contains(x, y)) return nullptr;
  const int32_t tx = (x - Bounds_.Left) / kTileSide, ty = (y - Bounds_.Top) / kTileSide;
  std::unique_ptr<uint8_t[]>& tile = Tiles_[static_cast<size_t>(ty) * TilesAcross_ + tx];
  if (tile == nullptr && make) {
    tile.reset(new (std::nothrow) uint8_t[kTileSide * kTileSide * 4]());
    if (tile != nullptr) ++TilesHeld_;
  }
  if (tile == nullptr) return nullptr;
  const int32_t ox = (x - Bounds_.Left) % kTileSide, oy = (y - Bounds_.Top) % kTileSide;
  return tile.get() + (oy * kTileSide + ox) * 4;
}

const uint8_t* TWKAverageCache::Find(int32_t x, int32_t y) const {
  const uint8_t* p = const_cast<TWKAverageCache*>(this)->Tile(x, y, false);
  return p != nullptr && p[3] != 0 ? p : nullptr;
}

void TWKAverageCache::Store(int32_t x, int32_t y, TBGRPixel mean) {
  uint8_t* p = Tile(x, y, true);
  if (p == nullptr) return;
  p[0] = mean.Blue;
  p[1] = mean.Green;
  p[2] = mean.Red;
  p[3] = 255;
}

namespace {

bool AllCached(const TWKAverageCache& cache, const TRect& rect) {
  for (int32_t y = rect.Top; y < rect.Bottom; ++y)
    for (int32_t x = rect.Left; x < rect.Right; ++x)
      if (cache.Find(x, y) == nullptr) return false;
  return true;
}

// The mean of the runs placed on (x, y) from the row sums over area; false when none counts.
bool MeanFromSums(const TRowSums& sums, const TRect& area, const std::vector<TMaskRun>& runs, int32_t x,
                  int32_t y, TBGRPixel& mean) {
  uint64_t sum[3] = {0, 0, 0}, n = 0;
  for (const TMaskRun& r : runs) {
    const int32_t yy = y + r.Dy;
    if (yy < area.Top || yy >= area.Bottom) continue;
    const int32_t x0 = std::max(x + r.X0, area.Left), x1 = std::min(x + r.X1, area.Right);
    if (x0 >= x1) continue;
    sums.Add(yy, x0, x1, sum);
    n += static_cast<uint64_t>(x1 - x0);
  }
  if (n == 0) return false;
  mean = TBGRPixel{RoundedMean(sum[0], n), RoundedMean(sum[1], n), RoundedMean(sum[2], n)};
  return true;
}

}  // namespace

void CacheDiscAverages(const TWKPixels& source, const std::vector<TMaskRun>& runs, const TRect& rect,
                       TWKAverageCache& cache) {
  if (!Readable(source) || runs.empty()) return;
  const TRect todo = IntersectRect(rect, cache.BoundsRect());
  if (AllCached(cache, todo)) return;
  // Every source pixel a mean of todo can reach.
  const TRect reach = RunsReach(runs);
  const TRect area = IntersectRect(
      Rect(todo.Left + reach.Left, todo.Top + reach.Top, todo.Right + reach.Right - 1, todo.Bottom + reach.Bottom - 1),
      source.BoundsRect());
  if (area.IsEmpty()) return;
  const TRowSums sums(source, area);
  for (int32_t y = todo.Top; y < todo.Bottom; ++y)
    for (int32_t x = todo.Left; x < todo.Right; ++x) {
      TBGRPixel mean;
      if (cache.Find(x, y) == nullptr && MeanFromSums(sums, area, runs, x, y, mean)) cache.Store(x, y, mean);
    }
}
