// The box blur a row at a time: planar column sums of the row window, their single-precision
// averages, then the window sums along the row. Every sum of the second pass is exact in double
// precision (multiples of 2^-29 well below 2^24), so it may be formed in any order; the average
// is the window sum times the count's reciprocal, divided exactly only where that product lies
// near a half, so the rounding is the one of a true division. Compiled once per instruction set,
// chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "tools/retouch/FrequencyRangeHwy.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tools/retouch/FrequencyRange.h"

HWY_BEFORE_NAMESPACE();
namespace qm_band {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D8 = hn::ScalableTag<uint8_t>;
using D32 = hn::ScalableTag<int32_t>;
using DF = hn::Rebind<float, D32>;
using DD = hn::ScalableTag<double>;
using DF2 = hn::Rebind<float, DD>;
using D32Of8 = hn::Rebind<uint8_t, D32>;
using D32OfD = hn::Rebind<int32_t, DD>;
using D8OfD = hn::Rebind<uint8_t, DD>;

// Spare lanes after every scratch row, so that whole vectors may run past the end.
constexpr size_t kSlack = 64;

// The scratch of one call: three planes of each.
struct TScratch {
  TScratch(int32_t width, int32_t pad)
      : Width(width), Pad(pad), FloatStride(static_cast<size_t>(width) + 2 * pad + kSlack),
        Sums(3 * (width + kSlack)), Bytes(3 * (width + kSlack)), Floats(3 * FloatStride),
        Window(width + kSlack), Reciprocal(width + kSlack), Count(width + kSlack) {}
  int32_t* Sum(int p) { return Sums.data() + p * (Width + kSlack); }
  uint8_t* Byte(int p) { return Bytes.data() + p * (Width + kSlack); }
  float* Float(int p) { return Floats.data() + p * FloatStride; }

  int32_t Width;
  int32_t Pad;
  size_t FloatStride;
  std::vector<int32_t> Sums;
  std::vector<uint8_t> Bytes;
  std::vector<float> Floats;  // zero outside [Pad, Pad + Width)
  std::vector<double> Window;
  std::vector<double> Reciprocal;
  std::vector<double> Count;
};

// A row of 24-bit pixels into the three byte planes.
void Deinterleave(const uint8_t* row, int32_t width, TScratch& s) {
  const D8 d8;
  const int32_t n = static_cast<int32_t>(hn::Lanes(d8));
  uint8_t *b = s.Byte(0), *g = s.Byte(1), *r = s.Byte(2);
  int32_t x = 0;
  for (; x + n <= width; x += n) {
    hn::Vec<D8> vb, vg, vr;
    hn::LoadInterleaved3(d8, row + 3 * x, vb, vg, vr);
    hn::StoreU(vb, d8, b + x);
    hn::StoreU(vg, d8, g + x);
    hn::StoreU(vr, d8, r + x);
  }
  for (; x < width; ++x) {
    b[x] = row[3 * x];
    g[x] = row[3 * x + 1];
    r[x] = row[3 * x + 2];
  }
}

// The column sums gain (or lose) a row.
template <bool Add>
void AccumulateRow(const uint8_t* row, int32_t width, TScratch& s) {
  Deinterleave(row, width, s);
  const D32 d32;
  const D32Of8 d8;
  const int32_t n = static_cast<int32_t>(hn::Lanes(d32));
  for (int p = 0; p < 3; ++p) {
    int32_t* sum = s.Sum(p);
    const uint8_t* bytes = s.Byte(p);
    for (int32_t x = 0; x < width; x += n) {
      const auto v = hn::PromoteTo(d32, hn::LoadU(d8, bytes + x));
      const auto old = hn::LoadU(d32, sum + x);
      hn::StoreU(Add ? hn::Add(old, v) : hn::Sub(old, v), d32, sum + x);
    }
  }
}

// The single-precision averages of the column sums over count rows.
void ColumnAverages(int32_t width, int32_t count, TScratch& s) {
  const D32 d32;
  const DF df;
  const int32_t n = static_cast<int32_t>(hn::Lanes(d32));
  const auto divisor = hn::Set(df, static_cast<float>(count));
  for (int p = 0; p < 3; ++p) {
    const int32_t* sum = s.Sum(p);
    float* out = s.Float(p) + s.Pad;
    int32_t x = 0;
    for (; x + n <= width; x += n)
      hn::StoreU(hn::Div(hn::ConvertTo(df, hn::LoadU(d32, sum + x)), divisor), df, out + x);
    for (; x < width; ++x) out[x] = static_cast<float>(sum[x]) / static_cast<float>(count);
  }
}

// Window sums of a padded plane: Window[x] = Σ plane[x + 1 .. x + 2r + 1]. Four steps share one
// dependent addition: the partial sums beside it do not wait for each other.
void WindowSums(const float* plane, int32_t width, int32_t r, double* window) {
  double sum = 0;
  for (int32_t i = 0; i <= 2 * r; ++i) sum += plane[i];  // the window of x = -1
  const float* enter = plane + 2 * r + 1;
  const float* leave = plane;
  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    const double d0 = double{enter[x]} - leave[x], d1 = double{enter[x + 1]} - leave[x + 1];
    const double d2 = double{enter[x + 2]} - leave[x + 2], d3 = double{enter[x + 3]} - leave[x + 3];
    const double d01 = d0 + d1, d23 = d2 + d3;
    window[x] = sum + d0;
    window[x + 1] = sum + d01;
    window[x + 2] = sum + (d01 + d2);
    sum += d01 + d23;
    window[x + 3] = sum;
  }
  for (; x < width; ++x) {
    sum += double{enter[x]} - leave[x];
    window[x] = sum;
  }
}

// ClampRound of the window averages into a byte plane.
void RoundAverages(int32_t width, TScratch& s, uint8_t* out) {
  const DD dd;
  const D32OfD d32;
  const D8OfD d8;
  const int32_t n = static_cast<int32_t>(hn::Lanes(dd));
  const auto half = hn::Set(dd, 0.5), nearHalf = hn::Set(dd, 1e-6);
  const double* window = s.Window.data();
  int32_t x = 0;
  for (; x + n <= width; x += n) {
    const auto sum = hn::LoadU(dd, window + x);
    auto q = hn::Mul(sum, hn::LoadU(dd, s.Reciprocal.data() + x));
    // Only a quotient within reach of a half may round differently from the true one.
    const auto fraction = hn::Sub(q, hn::Floor(q));
    if (!hn::AllFalse(dd, hn::Lt(hn::Abs(hn::Sub(fraction, half)), nearHalf)))
      q = hn::Div(sum, hn::LoadU(dd, s.Count.data() + x));
    const auto rounded = hn::DemoteTo(d32, hn::Round(q));
    hn::StoreU(hn::DemoteTo(d8, rounded), d8, out + x);
  }
  for (; x < width; ++x) out[x] = ClampRound(window[x] / s.Count[x]);
}

// The three byte planes into a row of 24-bit pixels.
void Interleave(TScratch& s, int32_t width, uint8_t* row) {
  const D8 d8;
  const int32_t n = static_cast<int32_t>(hn::Lanes(d8));
  const uint8_t *b = s.Byte(0), *g = s.Byte(1), *r = s.Byte(2);
  int32_t x = 0;
  for (; x + n <= width; x += n)
    hn::StoreInterleaved3(hn::LoadU(d8, b + x), hn::LoadU(d8, g + x), hn::LoadU(d8, r + x), d8, row + 3 * x);
  for (; x < width; ++x) {
    row[3 * x] = b[x];
    row[3 * x + 1] = g[x];
    row[3 * x + 2] = r[x];
  }
}

void BoxBlurRows(const uint8_t* source, ptrdiff_t sourceStride, int32_t width, int32_t height,
                 int32_t radius, uint8_t* target, ptrdiff_t targetStride, int32_t y0, int32_t y1) {
  // Windows wider than the image cover all of it, as windows of its size do.
  const int32_t rv = std::clamp(radius, 0, height), rh = std::clamp(radius, 0, width);
  TScratch s(width, rh + 1);
  for (int32_t x = 0; x < width; ++x) {
    const int32_t count = std::min(width - 1, x + rh) - std::max(0, x - rh) + 1;
    s.Count[x] = count;
    s.Reciprocal[x] = 1.0 / count;
  }
  auto row = [&](int32_t y) { return source + y * sourceStride; };
  for (int32_t y = std::max(0, y0 - rv); y <= std::min(height - 1, y0 + rv); ++y)
    AccumulateRow<true>(row(y), width, s);
  for (int32_t y = y0; y < y1; ++y) {
    if (y > y0) {
      if (y - rv - 1 >= 0) AccumulateRow<false>(row(y - rv - 1), width, s);
      if (y + rv < height) AccumulateRow<true>(row(y + rv), width, s);
    }
    ColumnAverages(width, std::min(height - 1, y + rv) - std::max(0, y - rv) + 1, s);
    for (int p = 0; p < 3; ++p) {
      WindowSums(s.Float(p), width, rh, s.Window.data());
      RoundAverages(width, s, s.Byte(p));
    }
    Interleave(s, width, target + y * targetStride);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace qm_band
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace qm_band {
HWY_EXPORT(BoxBlurRows);
}  // namespace qm_band

void BoxBlurRows(const uint8_t* source, ptrdiff_t sourceStride, int32_t width, int32_t height,
                 int32_t radius, uint8_t* target, ptrdiff_t targetStride, int32_t y0, int32_t y1) {
  if (width <= 0 || height <= 0) return;
  y0 = std::max(y0, 0);
  y1 = std::min(y1, height);
  if (y0 >= y1) return;
  HWY_DYNAMIC_DISPATCH(qm_band::BoxBlurRows)(source, sourceStride, width, height, radius, target,
                                             targetStride, y0, y1);
}
#endif
