// The brush family's stamp shapes and the arithmetic every painting tool shares: the square a
// stamp covers, the soft round brush, the averaging disc, the per-pixel maximum of a stroke
// and the blend through a mask.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"

// The stamp square of a brush of that size centred on point: odd side 2h + 1, h = size div 2.
constexpr TRect BrushRect(TPoint point, int32_t size) {
  const int32_t h = size / 2;
  return TRect{point.X - h, point.Y - h, point.X + h + 1, point.Y + h + 1};
}

// The soft round brush: opacity out to the inner radius e × hardness / 255 − 0.5 (e = size / 2),
// falling linearly to 0 at e + 0.5. Size 0 or 1 gives one byte of 255 whatever the opacity.
// The mask gets the bounds BrushRect((0, 0), size). False when its memory cannot be had.
bool BuildSoftMask(TWKPixelMask& mask, int32_t size, int32_t hardness, int32_t opacity);

// value where dx² + dy² ≤ round((size / 2 + 0.1)²), the centre row always full; bounds
// BrushRect((0, 0), size).
bool BuildDiscMask(TWKPixelMask& mask, int32_t size, uint8_t value);

// dest := max(dest, source) where the two overlap; dest keeps its bounds. Touches only the
// overlap, so a stroke mask sized once for the image costs each stamp only its own square.
void MergeMaskMaximum(TWKPixelMask& dest, const TWKPixelMask& source);

// ClampRound(((255 − m) × source + m × target) / 255) in integers: the division by the odd 255
// never meets a half, so adding 127 rounds exactly.
constexpr uint8_t MaskBlend(uint32_t source, uint32_t target, uint32_t m) {
  return static_cast<uint8_t>(((255 - m) * source + m * target + 127) / 255);
}

// count pixels of 24-bit rows: dest := MaskBlend(source, grey, mask) per channel.
void BlendRowTowardGrey(uint8_t* dest, const uint8_t* source, const uint8_t* mask, int32_t count,
                        uint8_t grey);
// count pixels of 24-bit rows: dest := MaskBlend(source, target, mask) per channel.
void BlendRowTowardRow(uint8_t* dest, const uint8_t* source, const uint8_t* target,
                       const uint8_t* mask, int32_t count);

// The painting tools' stamp through a mask over image surfaces: every pixel of rect that lies in
// current, source, target and the mask becomes BlendRowTowardRow(source, target, mask); pixels
// of rect that target does not cover keep their current value. All three images 24-bit.
void BlendRectTowardImage(TWKPixels& current, const TWKPixels& source, const TWKPixels& target,
                          const TWKPixelMask& mask, const TRect& rect);
