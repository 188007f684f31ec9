#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKGeometry.h"
#include "imaging/WKParallel.h"

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
