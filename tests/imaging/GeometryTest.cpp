#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKGeometry.h"
#include "imaging/WKParallel.h"

namespace {

constexpr uint8_t Sentinel = 0xA5;

// Runs body once per instruction set compiled in and supported here, then restores the best.
void ForEachTarget(const std::function<void(const std::string&)>& body) {
  for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
    hwy::SetSupportedTargetsForTest(target);
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
    body(hwy::TargetName(target));
  }
  hwy::SetSupportedTargetsForTest(0);
  hwy::GetChosenTarget().Update(hwy::SupportedTargets());
}

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

// Every byte of the destination, row padding included, equals the plain turn's.
TEST(Turn, EqualsPlainTurnOnEveryTargetAndSize) {
  std::mt19937 random(23);
  ForEachTarget([&](const std::string& target) {
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
            << target << (left ? " left " : " right ") << size[0] << "x" << size[1];
      }
    }
  });
}

// A share of the columns writes exactly its own destination rows: the cores never overlap.
TEST(Turn, ColumnShareTouchesOnlyItsRows) {
  std::mt19937 random(29);
  ForEachTarget([&](const std::string& target) {
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
            << target << (left ? " left " : " right ") << share[0] << ".." << share[1];
      }
  });
}

// The container's turns: four left turns, or a left and a right one, give back the original;
// two right turns equal mirror plus flip.
TEST(Turn, RoundTripsThroughTheContainer) {
  std::mt19937 random(31);
  for (const auto& size : {std::pair{1031, 517}, std::pair{17, 1}, std::pair{66, 35}}) {
    TWKLTBitmap bitmap;
    ASSERT_TRUE(bitmap.SetSize(size.first, size.second, FormatBGR24));
    FillRandom(*bitmap.Pixels(), random);
    const auto original = bitmap.Clone();
    ASSERT_TRUE(bitmap.RotateLeft());
    ASSERT_TRUE(bitmap.RotateRight());
    EXPECT_TRUE(SamePixels(*bitmap.Pixels(), *original->Pixels()));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(bitmap.RotateLeft());
    EXPECT_TRUE(SamePixels(*bitmap.Pixels(), *original->Pixels()));
    ASSERT_TRUE(bitmap.RotateRight());
    ASSERT_TRUE(bitmap.RotateRight());
    auto mirrored = original->Clone();
    ASSERT_TRUE(mirrored->MirrorHorizontal());
    ASSERT_TRUE(mirrored->FlipVertical());
    EXPECT_TRUE(SamePixels(*bitmap.Pixels(), *mirrored->Pixels()));
  }
}

// Chunks shared between two threads: each one exactly once, small work on the calling thread.
TEST(ParallelChunks, EveryChunkExactlyOnce) {
  for (const int32_t count : {0, 1, 2, 3, 97, 1000}) {
    std::vector<std::atomic<int>> calls(static_cast<size_t>(count));
    ParallelChunks(count, ParallelWorkThreshold, [&](int32_t chunk) { calls[chunk]++; });
    for (int32_t i = 0; i < count; ++i) ASSERT_EQ(calls[i].load(), 1) << count << " " << i;
  }
  const auto caller = std::this_thread::get_id();
  bool elsewhere = false;
  ParallelChunks(50, ParallelWorkThreshold - 1,
                 [&](int32_t) { elsewhere |= std::this_thread::get_id() != caller; });
  EXPECT_FALSE(elsewhere);
}
