// Vectorised inner loops of ResamplePixels; compiled once per instruction set, chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/WKResampleHwy.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "imaging/WKResampleKernels.h"

HWY_BEFORE_NAMESPACE();
namespace qm_resample {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void VerticalPass(int32_t* sums, const uint8_t* const* rows, const int32_t* weights,
                  int32_t taps, int32_t count) {
  const hn::ScalableTag<int32_t> d32;
  const hn::Rebind<uint8_t, decltype(d32)> d8;
  const int32_t n = static_cast<int32_t>(hn::Lanes(d32));
  int32_t k = 0;
  for (; k + 2 * n <= count; k += 2 * n) {
    auto a = hn::Zero(d32);
    auto b = hn::Zero(d32);
    for (int32_t t = 0; t < taps; ++t) {
      const auto w = hn::Set(d32, weights[t]);
      a = hn::Add(a, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, rows[t] + k)), w));
      b = hn::Add(b, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, rows[t] + k + n)), w));
    }
    hn::StoreU(a, d32, sums + k);
    hn::StoreU(b, d32, sums + k + n);
  }
  for (; k < count; ++k) {
    int32_t sum = 0;
    for (int32_t t = 0; t < taps; ++t) sum += rows[t][k] * weights[t];
    sums[k] = sum;
  }
}

inline uint8_t Clamped(int32_t acc) {
  return static_cast<uint8_t>((acc < 0 ? 0 : (acc > 0xFF0000 ? 0xFF0000 : acc)) >> 16);
}

#if HWY_TARGET == HWY_SCALAR
void HorizontalPass(uint8_t* dest, const int32_t* sums, const int32_t* starts,
                    const int32_t* pixels, const int32_t* weights, int32_t columns) {
  for (int32_t i = 0; i < columns; ++i, dest += 3) {
    int32_t acc[3] = {0, 0, 0};
    for (int32_t t = starts[i]; t < starts[i + 1]; ++t)
      for (int32_t c = 0; c < 3; ++c) acc[c] += sums[3 * pixels[t] + c] * weights[t];
    for (int32_t c = 0; c < 3; ++c) dest[c] = Clamped(acc[c]);
  }
}
#else
void HorizontalPass(uint8_t* dest, const int32_t* sums, const int32_t* starts,
                    const int32_t* pixels, const int32_t* weights, int32_t columns) {
  const hn::FixedTag<int32_t, 4> d4;
  const auto low = hn::Zero(d4);
  const auto high = hn::Set(d4, 0xFF0000);
  HWY_ALIGN int32_t out[4];
  for (int32_t i = 0; i < columns; ++i, dest += 3) {
    auto acc = hn::Zero(d4);
    for (int32_t t = starts[i]; t < starts[i + 1]; ++t)
      acc = hn::Add(acc, hn::Mul(hn::LoadU(d4, sums + 3 * pixels[t]), hn::Set(d4, weights[t])));
    acc = hn::ShiftRight<16>(hn::Min(hn::Max(acc, low), high));
    hn::Store(acc, d4, out);
    dest[0] = static_cast<uint8_t>(out[0]);
    dest[1] = static_cast<uint8_t>(out[1]);
    dest[2] = static_cast<uint8_t>(out[2]);
  }
}
#endif

}  // namespace HWY_NAMESPACE
}  // namespace qm_resample
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace qm_resample {
HWY_EXPORT(VerticalPass);
HWY_EXPORT(HorizontalPass);
}  // namespace qm_resample

void ResampleVerticalPass(int32_t* sums, const uint8_t* const* rows, const int32_t* weights,
                          int32_t taps, int32_t count) {
  HWY_DYNAMIC_DISPATCH(qm_resample::VerticalPass)(sums, rows, weights, taps, count);
}

void ResampleHorizontalPass(uint8_t* dest, const int32_t* sums, const int32_t* starts,
                            const int32_t* pixels, const int32_t* weights, int32_t columns) {
  HWY_DYNAMIC_DISPATCH(qm_resample::HorizontalPass)(dest, sums, starts, pixels, weights, columns);
}
#endif
