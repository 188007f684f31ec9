// Small owned 24-bit images for the eye tool tests.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKBitmap.h"

struct TTestImage {
  std::vector<uint8_t> Memory;
  TWKPixels Pixels;

  TTestImage(int32_t width, int32_t height, TBGRPixel fill = {}) {
    const int32_t rowBytes = ((width * 24 + 31) / 32) * 4;
    Memory.assign(static_cast<size_t>(rowBytes) * height, 0);
    Pixels.Bits = Memory.data();
    Pixels.Width = width;
    Pixels.Height = height;
    Pixels.RowBytes = rowBytes;
    Pixels.PixelFormat = FormatBGR24;
    Pixels.BytesPerPixel = 3;
    Fill(Pixels.BoundsRect(), fill);
  }
  TTestImage(const TTestImage& other) : Memory(other.Memory), Pixels(other.Pixels) {
    Pixels.Bits = Memory.data();
  }
  TTestImage& operator=(const TTestImage&) = delete;

  TBGRPixel At(int32_t x, int32_t y) const { return *Pixels.Pixel(x, y); }
  void Set(int32_t x, int32_t y, TBGRPixel p) { *Pixels.Pixel(x, y) = p; }
  void Fill(const TRect& r, TBGRPixel p) {
    for (int32_t y = r.Top; y < r.Bottom; ++y)
      for (int32_t x = r.Left; x < r.Right; ++x) Set(x, y, p);
  }
  // A disc of colour p around (cx, cy): every pixel whose centre lies within radius.
  void Disc(int32_t cx, int32_t cy, int32_t radius, TBGRPixel p) {
    for (int32_t y = cy - radius; y <= cy + radius; ++y)
      for (int32_t x = cx - radius; x <= cx + radius; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius &&
            Pixels.BoundsRect().Contains(x, y))
          Set(x, y, p);
  }
};

inline TBGRPixel BGR(int r, int g, int b) {
  return TBGRPixel{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r)};
}
