#include "platform/codec/PixelConvert.h"

#include <vector>

namespace {

// Adds the channel sums of source columns [x0[dx], x1[dx]) of one row to acc, per dx.
void AddRowSums(const uint8_t* row, const std::vector<int32_t>& x0, const std::vector<int32_t>& x1,
                std::vector<uint64_t>& acc) {
  for (size_t dx = 0; dx < x0.size(); ++dx) {
    uint64_t b = 0, g = 0, r = 0;
    for (const uint8_t* p = row + x0[dx] * 3; p < row + x1[dx] * 3; p += 3) {
      b += p[0];
      g += p[1];
      r += p[2];
    }
    acc[dx * 3] += b;
    acc[dx * 3 + 1] += g;
    acc[dx * 3 + 2] += r;
  }
}

}  // namespace

void ReduceBGR24(const TConstPixelRows& src, const TPixelRows& dst) {
  if (src.Width <= 0 || src.Height <= 0 || dst.Width <= 0 || dst.Height <= 0) return;
  std::vector<int32_t> x0(dst.Width), x1(dst.Width);
  for (int32_t dx = 0; dx < dst.Width; ++dx) {
    x0[dx] = static_cast<int32_t>(int64_t{dx} * src.Width / dst.Width);
    int32_t end = static_cast<int32_t>(int64_t{dx + 1} * src.Width / dst.Width);
    x1[dx] = end > x0[dx] ? end : x0[dx] + 1;
  }
  std::vector<uint64_t> acc(static_cast<size_t>(dst.Width) * 3);
  for (int32_t dy = 0; dy < dst.Height; ++dy) {
    int32_t y0 = static_cast<int32_t>(int64_t{dy} * src.Height / dst.Height);
    int32_t y1 = static_cast<int32_t>(int64_t{dy + 1} * src.Height / dst.Height);
    if (y1 <= y0) y1 = y0 + 1;
    std::fill(acc.begin(), acc.end(), 0);
    for (int32_t sy = y0; sy < y1; ++sy) AddRowSums(src.Row(sy), x0, x1, acc);
    uint8_t* out = dst.Row(dy);
    for (int32_t dx = 0; dx < dst.Width; ++dx) {
      uint64_t n = uint64_t(x1[dx] - x0[dx]) * uint64_t(y1 - y0);
      for (int c = 0; c < 3; ++c) out[dx * 3 + c] = static_cast<uint8_t>((acc[dx * 3 + c] + n / 2) / n);
    }
  }
}

void ComposeBGRAOverWhite(const uint8_t* bgra, uint8_t* bgr, int32_t count) {
  for (int32_t i = 0; i < count; ++i, bgra += 4, bgr += 3) {
    uint32_t a = bgra[3];
    uint32_t white = 255 * (255 - a);
    bgr[0] = static_cast<uint8_t>((bgra[0] * a + white + 127) / 255);
    bgr[1] = static_cast<uint8_t>((bgra[1] * a + white + 127) / 255);
    bgr[2] = static_cast<uint8_t>((bgra[2] * a + white + 127) / 255);
  }
}

void RGBToBGR(const uint8_t* rgb, int32_t stride, uint8_t* bgr, int32_t count) {
  for (int32_t i = 0; i < count; ++i, rgb += stride, bgr += 3) {
    bgr[0] = rgb[2];
    bgr[1] = rgb[1];
    bgr[2] = rgb[0];
  }
}

namespace {

// a * b / 255, rounded to nearest, for a, b in 0..255.
inline uint8_t Times255th(uint32_t a, uint32_t b) {
  const uint32_t t = a * b + 128;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

}  // namespace

void CMYKToBGR(const uint8_t* cmyk, uint8_t* bgr, int32_t count, bool inverted) {
  const uint8_t flip = inverted ? 0 : 255;  // 255 - v == v ^ 255 for a byte
  for (int32_t i = 0; i < count; ++i, cmyk += 4, bgr += 3) {
    const uint32_t k = uint8_t(cmyk[3] ^ flip);
    bgr[0] = Times255th(uint8_t(cmyk[2] ^ flip), k);
    bgr[1] = Times255th(uint8_t(cmyk[1] ^ flip), k);
    bgr[2] = Times255th(uint8_t(cmyk[0] ^ flip), k);
  }
}
