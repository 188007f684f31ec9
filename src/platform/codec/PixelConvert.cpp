#include "platform/codec/PixelConvert.h"

#include <algorithm>
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

TAreaReducer::TAreaReducer(int32_t srcWidth, int32_t srcHeight, const TPixelRows& dst)
    : SrcHeight_(srcHeight), Dst_(dst) {
  if (srcWidth <= 0 || srcHeight <= 0 || dst.Width <= 0 || dst.Height <= 0) {
    Dy_ = dst.Height;  // takes nothing
    return;
  }
  X0_.resize(size_t(dst.Width));
  X1_.resize(size_t(dst.Width));
  for (int32_t dx = 0; dx < dst.Width; ++dx) {
    X0_[size_t(dx)] = static_cast<int32_t>(int64_t{dx} * srcWidth / dst.Width);
    const int32_t end = static_cast<int32_t>(int64_t{dx + 1} * srcWidth / dst.Width);
    X1_[size_t(dx)] = end > X0_[size_t(dx)] ? end : X0_[size_t(dx)] + 1;
  }
  Acc_.assign(size_t(dst.Width) * 3, 0);
}

void TAreaReducer::Rows(int32_t dy, int32_t& y0, int32_t& y1) const {
  y0 = static_cast<int32_t>(int64_t{dy} * SrcHeight_ / Dst_.Height);
  y1 = static_cast<int32_t>(int64_t{dy + 1} * SrcHeight_ / Dst_.Height);
  if (y1 <= y0) y1 = y0 + 1;
}

void TAreaReducer::AddRow(const uint8_t* row) {
  const int32_t sy = NextRow_++;
  while (Dy_ < Dst_.Height) {
    int32_t y0 = 0, y1 = 0;
    Rows(Dy_, y0, y1);
    if (sy < y0) return;
    AddRowSums(row, X0_, X1_, Acc_);
    if (sy + 1 < y1) return;  // more source rows belong to this one
    uint8_t* out = Dst_.Row(Dy_);
    for (int32_t dx = 0; dx < Dst_.Width; ++dx) {
      const uint64_t n = uint64_t(X1_[size_t(dx)] - X0_[size_t(dx)]) * uint64_t(y1 - y0);
      for (size_t c = 0; c < 3; ++c)
        out[dx * 3 + int32_t(c)] = static_cast<uint8_t>((Acc_[size_t(dx) * 3 + c] + n / 2) / n);
    }
    std::fill(Acc_.begin(), Acc_.end(), 0);
    ++Dy_;  // an enlarged picture repeats the row in the next one
  }
}

void ReduceBGR24(const TConstPixelRows& src, const TPixelRows& dst) {
  TAreaReducer reducer(src.Width, src.Height, dst);
  for (int32_t y = 0; y < src.Height && !reducer.Done(); ++y) reducer.AddRow(src.Row(y));
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
