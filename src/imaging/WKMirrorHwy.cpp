// Mirrored rows of 24-bit pixels, five pixels per byte shuffle; compiled once per instruction
// set, chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/WKMirrorHwy.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstring>

#include "imaging/WKGeometry.h"

HWY_BEFORE_NAMESPACE();
namespace qm_mirror {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void MirrorRow(uint8_t* dest, const uint8_t* source, int32_t width, const uint8_t* sourceEnd) {
  int32_t x = 0;
#if HWY_TARGET != HWY_SCALAR
  const hn::FixedTag<uint8_t, 16> d8;
  alignas(16) static constexpr uint8_t kReverse[16] = {12, 13, 14, 9, 10, 11, 6, 7,
                                                       8,  3,  4,  5, 0, 1,  2, 15};
  const auto reverse = hn::Load(d8, kReverse);
  for (; x + 5 <= width; x += 5) {
    // Source pixels width - 5 - x .. width - 1 - x, in reverse order.
    const uint8_t* s = source + static_cast<ptrdiff_t>(width - 5 - x) * 3;
    if (s + 16 > sourceEnd) break;
    const auto v = hn::TableLookupBytes(hn::LoadU(d8, s), reverse);
    uint8_t* d = dest + static_cast<ptrdiff_t>(x) * 3;
    // The 16th byte lands on pixel x + 5, written later; without it, store 15 bytes.
    if (x + 6 <= width) {
      hn::StoreU(v, d8, d);
    } else {
      alignas(16) uint8_t bytes[16];
      hn::Store(v, d8, bytes);
      std::memcpy(d, bytes, 15);
    }
  }
#endif
  for (; x < width; ++x) {
    const uint8_t* s = source + static_cast<ptrdiff_t>(width - 1 - x) * 3;
    uint8_t* d = dest + static_cast<ptrdiff_t>(x) * 3;
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace qm_mirror
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace qm_mirror {
HWY_EXPORT(MirrorRow);
}  // namespace qm_mirror

void MirrorPixelRow(uint8_t* dest, const uint8_t* source, int32_t width,
                    const uint8_t* sourceEnd) {
  HWY_DYNAMIC_DISPATCH(qm_mirror::MirrorRow)(dest, source, width, sourceEnd);
}
#endif
