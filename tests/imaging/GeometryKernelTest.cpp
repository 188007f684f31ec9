// The vectorised quarter turn and mirror against their plain versions, byte for byte, on every
// instruction set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKGeometry.h"
#include "support/KernelTargets.h"

namespace {

constexpr uint8_t Sentinel = 0xA5;

void RandomPixels(TWKPixelBuffer& p, int32_t w, int32_t h, std::mt19937& random) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, w, h)));
  FillRandom(p, random);
}

// A turned-size destination with every byte, padding included, set to Sentinel.
void SentinelTarget(TWKPixelBuffer& p, const TWKPixels& source) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, source.Height, source.Width)));
  std::memset(p.Bits, Sentinel, static_cast<size_t>(p.RowBytes) * p.Height);
}

bool SameBytes(const TWKPixels& a, const TWKPixels& b) {
  return a.RowBytes == b.RowBytes && a.Height == b.Height &&
         std::memcmp(a.Bits, b.Bits, static_cast<size_t>(a.RowBytes) * a.Height) == 0;
}

// Sizes around the kernel's 4-, 8- and 16-pixel units, its 64-column bands and its rule of two
// spare pixels at a row's end; 1-pixel sides; and sizes big enough to be split across cores.
const int32_t TurnSizes[][2] = {
    {1, 1},    {1, 16},   {16, 1},  {1, 33},  {33, 1},   {2, 16},   {3, 16},    {4, 16},
    {5, 16},   {6, 16},   {7, 15},  {9, 16},  {10, 16},  {10, 17},  {11, 31},   {18, 32},
    {19, 48},  {20, 16},  {63, 16}, {64, 64}, {65, 47},  {66, 64},  {67, 65},   {130, 33},
    {127, 129}, {200, 3}, {3, 200}, {250, 17}, {1027, 341}, {341, 1027}, {1030, 1030}};

}  // namespace

QM_KERNEL_TEST_SUITE(TurnKernel);

// Every byte of the destination, row padding included, equals the plain turn's.
TEST_P(TurnKernel, EqualsPlainTurnOnEverySize) {
  std::mt19937 random(23);
  for (const auto& size : TurnSizes) {
    TWKPixelBuffer source, fast, plain;
    RandomPixels(source, size[0], size[1], random);
    for (const bool left : {true, false}) {
      SentinelTarget(fast, source);
      SentinelTarget(plain, source);
      if (left)
        RotateLeftPixels(source, fast);
      else
        RotateRightPixels(source, fast);
      ReferenceTurn(source, plain, left, 0, source.Width);
      ASSERT_TRUE(SameBytes(fast, plain))
          << CurrentKernelTarget() << (left ? " left " : " right ") << size[0] << "x" << size[1];
    }
  }
}

// A share of the columns writes exactly its own destination rows: the cores never overlap.
TEST_P(TurnKernel, ColumnShareTouchesOnlyItsRows) {
  std::mt19937 random(29);
  TWKPixelBuffer source, fast, plain;
  RandomPixels(source, 150, 37, random);
  const int32_t shares[][2] = {{0, 64}, {64, 128}, {128, 150}, {3, 70}, {149, 150}, {0, 1}};
  for (const auto& share : shares)
    for (const bool left : {true, false}) {
      SentinelTarget(fast, source);
      SentinelTarget(plain, source);
      TurnPixelColumns(source, fast, left, share[0], share[1]);
      ReferenceTurn(source, plain, left, share[0], share[1]);
      ASSERT_TRUE(SameBytes(fast, plain))
          << CurrentKernelTarget() << (left ? " left " : " right ") << share[0] << ".." << share[1];
    }
}

QM_KERNEL_TEST_SUITE(MirrorKernel);

// One row against the plain mirror, the source ending exactly after its last pixel (so a read
// past it is caught under the address sanitizer) and the destination's bytes past the row kept.
TEST_P(MirrorKernel, RowEqualsPlainMirrorAndStaysInsideBothRows) {
  std::mt19937 random(41);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int32_t width = 1; width <= 70; ++width) {
    const size_t bytes = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> source(bytes);
    for (uint8_t& b : source) b = static_cast<uint8_t>(byte(random));
    std::vector<uint8_t> dest(bytes + 16, Sentinel);
    MirrorPixelRow(dest.data(), source.data(), width, source.data() + bytes);
    for (int32_t x = 0; x < width; ++x)
      ASSERT_EQ(0, std::memcmp(&dest[size_t(x) * 3], &source[size_t(width - 1 - x) * 3], 3))
          << CurrentKernelTarget() << " width " << width << " pixel " << x;
    for (size_t i = bytes; i < dest.size(); ++i)
      ASSERT_EQ(dest[i], Sentinel) << CurrentKernelTarget() << " width " << width;
  }
}

// Whole surfaces, large enough to be split across cores, against pixel-by-pixel mirroring.
TEST_P(MirrorKernel, SurfaceEqualsPlainMirror) {
  std::mt19937 random(43);
  for (const auto& size : {std::pair{1, 1}, std::pair{17, 9}, std::pair{1283, 611}}) {
    TWKPixelBuffer source, fast;
    RandomPixels(source, size.first, size.second, random);
    ASSERT_TRUE(fast.Allocate(FormatBGR24, source.BoundsRect()));
    MirrorPixels(source, fast);
    for (int32_t y = 0; y < source.Height; ++y)
      for (int32_t x = 0; x < source.Width; ++x)
        ASSERT_EQ(0, std::memcmp(fast.PixelAddress(x, y),
                                 source.PixelAddress(source.Width - 1 - x, y), 3))
            << CurrentKernelTarget() << " " << size.first << "x" << size.second << " at " << x
            << "," << y;
  }
}
