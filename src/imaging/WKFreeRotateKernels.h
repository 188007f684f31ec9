// The per-pixel arithmetic of RotatePixels, shared by the plain rows and the vectorised rows
// (WKFreeRotateHwy.cpp) so that both give the same bytes. Both files are compiled without
// floating-point contraction: a fused multiply-add would round differently.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/WKFreeRotate.h"

struct TRotationJob {
  const TWKPixels* Source = nullptr;
  TWKPixels* Dest = nullptr;
  const TRotationMap* Map = nullptr;
  TRotationFilter Filter = TRotationFilter::Nearest;
  TRotatedRow* Rows = nullptr;  // one per dest row, or none
};

namespace free_rotate {

inline uint8_t RoundedChannel(float sum, float weights) {
  if (!(weights > 0.0f)) return 0;
  const float v = std::nearbyint(sum / weights);
  return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f));
}

// The Hermite-weighted sample at (sx, sy), every source pixel of the clamped ranges visited.
inline void HermiteSample(const TWKPixels& s, double sx, double sy, uint8_t* out) {
  const int32_t i0 = std::max(0, static_cast<int32_t>(std::floor(sx - 1.0)));
  const int32_t i1 = std::min(s.Width - 1, static_cast<int32_t>(std::ceil(sx + 1.0)));
  const int32_t u0 = std::max(0, static_cast<int32_t>(std::floor(sy - 1.0)));
  const int32_t u1 = std::min(s.Height - 1, static_cast<int32_t>(std::ceil(sy + 1.0)));
  float acc[3] = {0.0f, 0.0f, 0.0f};
  float weights = 0.0f;
  for (int32_t u = u0; u <= u1; ++u) {
    const float dy = static_cast<float>(sy - u);
    const uint8_t* row = s.Bits + static_cast<ptrdiff_t>(u) * s.RowBytes;
    for (int32_t i = i0; i <= i1; ++i) {
      const float dx = static_cast<float>(sx - i);
      const float d2 = dx * dx + dy * dy;
      const float d = std::sqrt(d2);
      if (!(d < 1.0f)) continue;  // weight 0
      const float w = (2.0f * d - 3.0f) * d2 + 1.0f;
      const uint8_t* p = row + static_cast<ptrdiff_t>(i) * 3;
      for (int c = 0; c < 3; ++c) acc[c] += w * static_cast<float>(p[c]);
      weights += w;
    }
  }
  for (int c = 0; c < 3; ++c) out[c] = RoundedChannel(acc[c], weights);
}

// Result pixel (x, y) into out (B, G, R); false (out white) when it has no source pixel.
inline bool RotatedPixel(const TRotationJob& job, int32_t x, int32_t y, uint8_t* out) {
  const TRotationMap& m = *job.Map;
  const TWKPixels& s = *job.Source;
  const double sx = m.TopX[x] + y * m.StepX[x];
  const double sy = m.TopY[x] + y * m.StepY[x];
  const double rx = std::nearbyint(sx), ry = std::nearbyint(sy);
  if (!(rx >= 0.0 && rx <= s.Width - 1.0 && ry >= 0.0 && ry <= s.Height - 1.0)) {
    out[0] = out[1] = out[2] = 255;
    return false;
  }
  if (job.Filter == TRotationFilter::Nearest) {
    const uint8_t* p =
        s.Bits + static_cast<ptrdiff_t>(ry) * s.RowBytes + static_cast<ptrdiff_t>(rx) * 3;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
  } else {
    HermiteSample(s, sx, sy, out);
  }
  return true;
}

// Adds pixel x of a row to its record.
inline void CountInside(TRotatedRow& row, int32_t x) {
  if (row.Count == 0) row.First = x;
  row.End = x + 1;
  ++row.Count;
}

}  // namespace free_rotate

// Rows [y0, y1) one pixel at a time.
void RotateRowsPlain(const TRotationJob& job, int32_t y0, int32_t y1);
// Rows [y0, y1) vectorised; the source's bytes must be addressable with 32-bit offsets.
void RotateRowsFast(const TRotationJob& job, int32_t y0, int32_t y1);
