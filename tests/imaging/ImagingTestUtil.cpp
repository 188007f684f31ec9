#include "ImagingTestUtil.h"

#include <cmath>
#include <vector>

void ReferenceResample(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                       const TPixelResampler& resampler, const TRect& sourceRect,
                       const TWKPixels& source) {
  const TRect r = IntersectRect(dest.BoundsRect(), clipRect);
  if (r.IsEmpty()) return;
  const TMappingTable columns = BuildMappingTable(destRect.Left, destRect.Right, r.Left, r.Right,
                                                  sourceRect.Left, sourceRect.Right, resampler);
  const TMappingTable rows = BuildMappingTable(destRect.Top, destRect.Bottom, r.Top, r.Bottom,
                                               sourceRect.Top, sourceRect.Bottom, resampler);
  if (columns.empty() || rows.empty()) return;
  int32_t first = INT32_MAX, last = INT32_MIN;
  for (const TCluster& cluster : columns)
    for (const TContribution& c : cluster) {
      first = std::min(first, c.Pixel);
      last = std::max(last, c.Pixel);
    }
  std::vector<int32_t> buffer(static_cast<size_t>(last - first + 1) * 3);
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    const TCluster& rowCluster = rows[y - r.Top];
    for (int32_t x = first; x <= last; ++x) {
      int32_t sum[3] = {0, 0, 0};
      for (const TContribution& c : rowCluster) {
        const uint8_t* p = source.Bits + c.Pixel * source.RowBytes + x * 3;
        for (int k = 0; k < 3; ++k) sum[k] += p[k] * c.Weight;
      }
      for (int k = 0; k < 3; ++k) buffer[(x - first) * 3 + k] = sum[k];
    }
    for (int32_t x = r.Left; x < r.Right; ++x) {
      uint8_t* d = dest.PixelAddress(x, y);
      for (int k = 0; k < 3; ++k) {
        int32_t acc = 0;
        for (const TContribution& c : columns[x - r.Left])
          acc += buffer[(c.Pixel - first) * 3 + k] * c.Weight;
        if (resampler.RangeCheck()) acc = std::clamp(acc, 0, 0xFF0000);
        d[k] = static_cast<uint8_t>(acc >> 16);
      }
    }
  }
}

void ReferenceStretchDraw(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                          const TWKPixels& source, const TRect& sourceRect) {
  const TRect area = IntersectRect(IntersectRect(dest.BoundsRect(), clipRect), destRect);
  const double sx = static_cast<double>(sourceRect.Width()) / destRect.Width();
  const double sy = static_cast<double>(sourceRect.Height()) / destRect.Height();
  for (int32_t y = area.Top; y < area.Bottom; ++y)
    for (int32_t x = area.Left; x < area.Right; ++x) {
      const int32_t u = static_cast<int32_t>(std::floor((x - destRect.Left) * sx)) + sourceRect.Left;
      const int32_t v = static_cast<int32_t>(std::floor((y - destRect.Top) * sy)) + sourceRect.Top;
      uint8_t* d = dest.PixelAddress(x, y);
      const uint8_t* s = source.PixelAddress(u, v);
      if (source.PixelFormat == FormatBGR24) {
        std::memcpy(d, s, 3);
        continue;
      }
      for (int k = 0; k < 3; ++k) d[k] = static_cast<uint8_t>(d[k] + (((s[k] - d[k]) * s[3]) >> 8));
    }
}

void ReferenceTurn(const TWKPixels& source, TWKPixels& dest, bool left, int32_t x0, int32_t x1) {
  for (int32_t y = 0; y < source.Height; ++y)
    for (int32_t x = x0; x < x1; ++x) {
      const int32_t nx = left ? y : source.Height - 1 - y;
      const int32_t ny = left ? source.Width - 1 - x : x;
      std::memcpy(dest.PixelAddress(nx, ny), source.PixelAddress(x, y), 3);
    }
}
