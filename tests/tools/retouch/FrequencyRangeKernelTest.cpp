// The row-at-a-time box blur against the plain column-then-row blur, byte for byte, on every
// instruction set.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/KernelTargets.h"
#include "tools/retouch/FrequencyRange.h"

namespace {

struct TPlane {
  int32_t Width, Height;
  ptrdiff_t Stride;
  std::vector<uint8_t> Bytes;
  TPlane(int32_t w, int32_t h, ptrdiff_t padding = 0)
      : Width(w), Height(h), Stride(3 * w + padding), Bytes(static_cast<size_t>(Stride) * h, 0xA5) {}
};

TPlane Random(int32_t w, int32_t h, std::mt19937& random, int low = 0, int high = 255) {
  TPlane p(w, h, 5);  // rows padded: the stride is not 3 × width
  std::uniform_int_distribution<int> byte(low, high);
  for (uint8_t& b : p.Bytes) b = static_cast<uint8_t>(byte(random));
  return p;
}

std::vector<uint8_t> Plain(const TPlane& source, int32_t radius) {
  TPlane out(source.Width, source.Height);
  BoxBlurPlain(source.Bytes.data(), source.Stride, source.Width, source.Height, radius, out.Bytes.data(), out.Stride);
  return out.Bytes;
}

std::vector<uint8_t> Rows(const TPlane& source, int32_t radius, int32_t step) {
  TPlane out(source.Width, source.Height);
  for (int32_t y = 0; y < source.Height; y += step)
    BoxBlurRows(source.Bytes.data(), source.Stride, source.Width, source.Height, radius, out.Bytes.data(),
                out.Stride, y, y + step);
  return out.Bytes;
}

}  // namespace

QM_KERNEL_TEST_SUITE(BoxBlurKernel);

// Sizes around the vector widths (1, 2, 4, 8, 16, 32, 64 lanes) and the four-step window loop,
// single rows and columns, radii from 0 to past the image; rows computed in shares of several
// sizes, as the cores take them.
TEST_P(BoxBlurKernel, EqualsPlainBlurOnEverySizeAndRadius) {
  std::mt19937 random(41);
  const int32_t sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {3, 2}, {5, 7}, {15, 4}, {16, 16}, {17, 5},
                              {31, 3}, {33, 33}, {63, 2}, {64, 9}, {65, 12}, {130, 40}};
  for (const auto& size : sizes) {
    const TPlane source = Random(size[0], size[1], random);
    for (const int32_t radius : {0, 1, 2, 3, 5, 25, 200}) {
      const std::vector<uint8_t> expected = Plain(source, radius);
      for (const int32_t step : {1, 7, size[1]})
        ASSERT_EQ(Rows(source, radius, step), expected)
            << CurrentKernelTarget() << " " << size[0] << "x" << size[1] << " r " << radius << " rows of " << step;
    }
  }
}

// Dark, nearly flat images make the smallest averages (1/51) and many quotients close to a
// half: the rounding must stay that of a true division.
TEST_P(BoxBlurKernel, EqualsPlainBlurOnNearlyFlatDarkImages) {
  std::mt19937 random(43);
  for (const int high : {1, 2, 3}) {
    const TPlane source = Random(97, 61, random, 0, high);
    for (const int32_t radius : {1, 2, 4, 5, 12, 25})
      ASSERT_EQ(Rows(source, radius, 61), Plain(source, radius)) << CurrentKernelTarget() << " r " << radius;
  }
}
