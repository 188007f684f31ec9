// Rows of a free rotation, a vector of result pixels at a time: source positions in double
// precision, the Hermite weights of the 2 × 2 source pixels nearest to each position in single
// precision (the farther pixels of the filter's reach weigh 0), pixels gathered with 32-bit
// loads. Gives the bytes of the plain rows. Compiled once per instruction set, chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/WKFreeRotateHwy.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstring>

#include "imaging/WKFreeRotateKernels.h"

HWY_BEFORE_NAMESPACE();
namespace qm_free_rotate {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR

void RotateRows(const TRotationJob& job, int32_t y0, int32_t y1) { RotateRowsPlain(job, y0, y1); }

#else

using DD = hn::ScalableTag<double>;
using DF = hn::Rebind<float, DD>;
using DI = hn::Rebind<int32_t, DD>;
using DU = hn::Rebind<uint32_t, DD>;
using D8 = hn::Rebind<uint8_t, DD>;
using VD = hn::Vec<DD>;
using VF = hn::Vec<DF>;
using VI = hn::Vec<DI>;
using VU = hn::Vec<DU>;

// What every vector of a job reads.
struct TSource {
  const uint8_t* Bits;
  VI RowBytes, LastX, LastY, Width, Height;
  // The last offset a 4-byte load may start at.
  VI Limit;
};

HWY_INLINE hn::Mask<DI> Within(VI v, VI end) {
  const DI di;
  return hn::And(hn::Gt(v, hn::Set(di, -1)), hn::Lt(v, end));
}

// B, G, R of the pixels at (x, y), clamped into the source, in the low 24 bits. A load that
// would end past the memory starts one byte earlier and is shifted down.
HWY_INLINE VU GatherPixels(const TSource& s, VI x, VI y) {
  const DI di;
  const DU du;
  x = hn::Min(hn::Max(x, hn::Zero(di)), s.LastX);
  y = hn::Min(hn::Max(y, hn::Zero(di)), s.LastY);
  const VI offsets = hn::Add(hn::Mul(y, s.RowBytes), hn::Mul(x, hn::Set(di, 3)));
  const VI safe = hn::Min(offsets, s.Limit);
  const VU shift = hn::BitCast(du, hn::ShiftLeft<3>(hn::Sub(offsets, safe)));
  const VU loaded =
      hn::BitCast(du, hn::GatherOffset(di, reinterpret_cast<const int32_t*>(s.Bits), safe));
  return hn::And(loaded >> shift, hn::Set(du, 0xFFFFFFu));
}

HWY_INLINE VF Channel(VU pixels, int shift) {
  const DI di;
  const DF df;
  const DU du;
  return hn::ConvertTo(
      df, hn::BitCast(di, hn::And(hn::ShiftRightSame(pixels, shift), hn::Set(du, 0xFFu))));
}

// sum / weights rounded to nearest (halves to even) and clamped, 0 without weight.
HWY_INLINE VU Rounded(VF sum, VF weights) {
  const DF df;
  const DI di;
  const DU du;
  const auto any = hn::Gt(weights, hn::Zero(df));
  const VF value = hn::IfThenElseZero(any, hn::Round(hn::Div(sum, weights)));
  const VI clamped = hn::Min(hn::Max(hn::ConvertTo(di, value), hn::Zero(di)), hn::Set(di, 255));
  return hn::BitCast(du, clamped);
}

// The Hermite-weighted sample at (sx, sy).
HWY_INLINE VU HermitePixels(const TSource& s, VD sx, VD sy) {
  const DD dd;
  const DF df;
  const DI di;
  const VD one = hn::Set(dd, 1.0);
  const VD fx = hn::Floor(sx), fy = hn::Floor(sy);
  const VI ix = hn::DemoteTo(di, fx), iy = hn::DemoteTo(di, fy);
  const VF dx[2] = {hn::DemoteTo(df, hn::Sub(sx, fx)),
                    hn::DemoteTo(df, hn::Sub(sx, hn::Add(fx, one)))};
  const VF dy[2] = {hn::DemoteTo(df, hn::Sub(sy, fy)),
                    hn::DemoteTo(df, hn::Sub(sy, hn::Add(fy, one)))};
  const VI xs[2] = {ix, hn::Add(ix, hn::Set(di, 1))};
  const VI ys[2] = {iy, hn::Add(iy, hn::Set(di, 1))};
  const VF two = hn::Set(df, 2.0f), three = hn::Set(df, 3.0f), onef = hn::Set(df, 1.0f);
  VF b = hn::Zero(df), g = hn::Zero(df), r = hn::Zero(df), weights = hn::Zero(df);
  for (int v = 0; v < 2; ++v) {
    const auto rowInside = Within(ys[v], s.Height);
    for (int u = 0; u < 2; ++u) {
      const auto inside = hn::And(rowInside, Within(xs[u], s.Width));
      const VF d2 = hn::Add(hn::Mul(dx[u], dx[u]), hn::Mul(dy[v], dy[v]));
      const VF d = hn::Sqrt(d2);
      const VF f = hn::Add(hn::Mul(hn::Sub(hn::Mul(two, d), three), d2), onef);
      const VF w = hn::IfThenElseZero(hn::And(hn::RebindMask(df, inside), hn::Lt(d, onef)), f);
      const VU p = GatherPixels(s, xs[u], ys[v]);
      b = hn::Add(b, hn::Mul(w, Channel(p, 0)));
      g = hn::Add(g, hn::Mul(w, Channel(p, 8)));
      r = hn::Add(r, hn::Mul(w, Channel(p, 16)));
      weights = hn::Add(weights, w);
    }
  }
  return hn::Or(Rounded(b, weights), hn::Or(hn::ShiftLeft<8>(Rounded(g, weights)),
                                            hn::ShiftLeft<16>(Rounded(r, weights))));
}

// The low 24 bits of each lane as 3 bytes each.
HWY_INLINE void StorePixels(VU pixels, uint8_t* out) {
  const D8 d8;
  const DU du;
  const VU mask = hn::Set(du, 0xFFu);
  hn::StoreInterleaved3(hn::TruncateTo(d8, hn::And(pixels, mask)),
                        hn::TruncateTo(d8, hn::And(hn::ShiftRight<8>(pixels), mask)),
                        hn::TruncateTo(d8, hn::ShiftRight<16>(pixels)), d8, out);
}

void RotateRows(const TRotationJob& job, int32_t y0, int32_t y1) {
  const DD dd;
  const DI di;
  const DU du;
  const TRotationMap& m = *job.Map;
  const TWKPixels& src = *job.Source;
  TWKPixels& dest = *job.Dest;
  const int32_t n = static_cast<int32_t>(hn::Lanes(dd));
  const TSource s{
      src.Bits,
      hn::Set(di, src.RowBytes),
      hn::Set(di, src.Width - 1),
      hn::Set(di, src.Height - 1),
      hn::Set(di, src.Width),
      hn::Set(di, src.Height),
      hn::Set(di, static_cast<int32_t>(static_cast<int64_t>(src.RowBytes) * src.Height - 4))};
  const VU white = hn::Set(du, 0xFFFFFFu);
  const bool nearest = job.Filter == TRotationFilter::Nearest;
  for (int32_t y = y0; y < y1; ++y) {
    uint8_t* out = dest.Bits + static_cast<ptrdiff_t>(y) * dest.RowBytes;
    const VD row = hn::Set(dd, static_cast<double>(y));
    TRotatedRow stats;
    int32_t x = 0;
    for (; x + n <= dest.Width; x += n) {
      const VD sx = hn::Add(hn::LoadU(dd, m.TopX.data() + x),
                            hn::Mul(row, hn::LoadU(dd, m.StepX.data() + x)));
      const VD sy = hn::Add(hn::LoadU(dd, m.TopY.data() + x),
                            hn::Mul(row, hn::LoadU(dd, m.StepY.data() + x)));
      // Whole numbers well inside 32 bits: the coordinates are bounded by the image sizes.
      const VI rx = hn::DemoteTo(di, hn::Round(sx)), ry = hn::DemoteTo(di, hn::Round(sy));
      const auto inside = hn::And(Within(rx, s.Width), Within(ry, s.Height));
      if (hn::AllFalse(di, inside)) {
        StorePixels(white, out + 3 * x);
        continue;
      }
      const VU pixels = nearest ? GatherPixels(s, rx, ry) : HermitePixels(s, sx, sy);
      StorePixels(hn::IfThenElse(hn::RebindMask(du, inside), pixels, white), out + 3 * x);
      uint8_t bytes[8] = {};
      hn::StoreMaskBits(di, inside, bytes);
      uint64_t bits = 0;
      std::memcpy(&bits, bytes, sizeof bits);
      if (stats.Count == 0) stats.First = x + __builtin_ctzll(bits);
      stats.End = x + 64 - __builtin_clzll(bits);
      stats.Count += static_cast<int32_t>(hn::CountTrue(di, inside));
    }
    for (; x < dest.Width; ++x)
      if (free_rotate::RotatedPixel(job, x, y, out + 3 * x)) free_rotate::CountInside(stats, x);
    if (job.Rows != nullptr) job.Rows[y] = stats;
  }
}

#endif

}  // namespace HWY_NAMESPACE
}  // namespace qm_free_rotate
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace qm_free_rotate {
HWY_EXPORT(RotateRows);
}  // namespace qm_free_rotate

void RotateRowsFast(const TRotationJob& job, int32_t y0, int32_t y1) {
  HWY_DYNAMIC_DISPATCH(qm_free_rotate::RotateRows)(job, y0, y1);
}
#endif
