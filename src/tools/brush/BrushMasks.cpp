#include "tools/brush/BrushMasks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

bool ResetMask(TWKPixelMask& mask, int32_t size) {
  const TRect r = BrushRect(TPoint{0, 0}, std::max(size, 0));
  return mask.SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

bool BuildSoftMask(TWKPixelMask& mask, int32_t size, int32_t hardness, int32_t opacity) {
  if (!ResetMask(mask, size)) return false;
  const int32_t r = mask.Width / 2;
  uint8_t* centre = mask.ByteAddress(0, 0);
  if (r == 0) {
    *centre = 255;
    return true;
  }
  const double e = size / 2.0;
  const double f = e + 0.5;
  const double g = e * hardness / 255.0 - 0.5;
  const uint8_t full = static_cast<uint8_t>(ClampInt(opacity, 0, 255));
  // One quadrant, mirrored into the other three.
  for (int32_t h = 0; h <= r; ++h)
    for (int32_t l = 0; l <= r; ++l) {
      const double d = std::sqrt(static_cast<double>(h * h + l * l));
      if (d > f) break;
      const uint8_t v = d < g ? full : ClampRound((f - d) / (f - g) * full);
      for (const int32_t y : {h, -h})
        for (const int32_t x : {l, -l}) *mask.ByteAddress(x, y) = v;
    }
  return true;
}

bool BuildDiscMask(TWKPixelMask& mask, int32_t size, uint8_t value) {
  if (!ResetMask(mask, size)) return false;
  const int32_t r = mask.Width / 2;
  if (r == 0) {
    *mask.ByteAddress(0, 0) = value;
    return true;
  }
  const double half = size / 2.0 + 0.1;
  const int64_t limit = std::llrint(half * half);
  for (int32_t dy = -r; dy <= r; ++dy) {
    uint8_t* row = mask.ByteAddress(-r, dy);
    for (int32_t dx = -r; dx <= r; ++dx)
      if (dy == 0 || int64_t{dx} * dx + int64_t{dy} * dy <= limit) row[dx + r] = value;
  }
  return true;
}

void MergeMaskMaximum(TWKPixelMask& dest, const TWKPixelMask& source) {
  if (dest.Bits == nullptr || source.Bits == nullptr) return;
  const TRect overlap = IntersectRect(dest.BoundsRect(), source.BoundsRect());
  const int32_t width = overlap.Width();
  for (int32_t y = overlap.Top; y < overlap.Bottom; ++y) {
    uint8_t* d = dest.ByteAddress(overlap.Left, y);
    const uint8_t* s = source.ByteAddress(overlap.Left, y);
    for (int32_t x = 0; x < width; ++x) d[x] = std::max(d[x], s[x]);
  }
}

void BlendRowTowardGrey(uint8_t* dest, const uint8_t* source, const uint8_t* mask, int32_t count,
                        uint8_t grey) {
  for (int32_t x = 0; x < count; ++x) {
    const uint32_t m = mask[x];
    for (int32_t c = 0; c < 3; ++c) dest[3 * x + c] = MaskBlend(source[3 * x + c], grey, m);
  }
}

void BlendRowTowardRow(uint8_t* dest, const uint8_t* source, const uint8_t* target,
                       const uint8_t* mask, int32_t count) {
  for (int32_t x = 0; x < count; ++x) {
    const uint32_t m = mask[x];
    for (int32_t c = 0; c < 3; ++c)
      dest[3 * x + c] = MaskBlend(source[3 * x + c], target[3 * x + c], m);
  }
}

void BlendRectTowardImage(TWKPixels& current, const TWKPixels& source, const TWKPixels& target,
                          const TWKPixelMask& mask, const TRect& rect) {
  for (const TWKPixels* p : {static_cast<const TWKPixels*>(&current), &source, &target})
    if (p->Bits == nullptr || p->PixelFormat != FormatBGR24) return;
  if (mask.Bits == nullptr) return;
  TRect r = IntersectRect(rect, current.BoundsRect());
  r = IntersectRect(r, source.BoundsRect());
  r = IntersectRect(r, target.BoundsRect());
  r = IntersectRect(r, mask.BoundsRect());
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    BlendRowTowardRow(current.PixelAddress(r.Left, y), source.PixelAddress(r.Left, y),
                      target.PixelAddress(r.Left, y), mask.ByteAddress(r.Left, y), r.Width());
}
