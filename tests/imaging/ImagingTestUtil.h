// Test images and plain reference versions of the imaging core's fast paths.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>

#include "imaging/WKBitmap.h"

inline void FillRandom(const TWKPixels& pixels, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  for (int32_t y = 0; y < pixels.Height; ++y) {
    uint8_t* row = pixels.Bits + static_cast<ptrdiff_t>(y) * pixels.RowBytes;
    for (int32_t x = 0; x < pixels.Width * pixels.BytesPerPixel; ++x)
      row[x] = static_cast<uint8_t>(byte(random));
  }
}

// Compares the pixel bytes (not the row padding) of two surfaces of equal geometry.
inline bool SamePixels(const TWKPixels& a, const TWKPixels& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.PixelFormat != b.PixelFormat) return false;
  for (int32_t y = 0; y < a.Height; ++y)
    if (std::memcmp(a.Bits + static_cast<ptrdiff_t>(y) * a.RowBytes,
                    b.Bits + static_cast<ptrdiff_t>(y) * b.RowBytes,
                    static_cast<size_t>(a.Width) * a.BytesPerPixel) != 0)
      return false;
  return true;
}

inline TBGRPixel At(const TWKPixels& p, int32_t x, int32_t y) { return *p.Pixel(x, y); }

// The resampling arithmetic exactly as stated: vertical pass into 32-bit sums for every needed
// column, horizontal pass, clamp, shift.
void ReferenceResample(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                       const TPixelResampler& resampler, const TRect& sourceRect,
                       const TWKPixels& source);

// Nearest-neighbour stretch, pixel by pixel.
void ReferenceStretchDraw(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                          const TWKPixels& source, const TRect& sourceRect);

// Quarter turn of source columns [x0, x1), pixel by pixel: left moves old (x, y) to
// (y, W - 1 - x), right to (H - 1 - y, x).
void ReferenceTurn(const TWKPixels& source, TWKPixels& dest, bool left, int32_t x0, int32_t x1);
