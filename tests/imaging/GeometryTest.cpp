#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/ForcedParts.h"
#include "ImagingTestUtil.h"
#include "imaging/WKGeometry.h"
#include "framework/WKThreadPool.h"
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

namespace {

// Every whole-image operation split across cores, once per part count.
std::vector<std::unique_ptr<TWKPixelBuffer>> SplitResults(const TWKPixels& source, int32_t parts) {
  TForcedParts forced(parts);
  std::vector<std::unique_ptr<TWKPixelBuffer>> out;
  const auto make = [&out](const TRect& bounds) {
    out.push_back(std::make_unique<TWKPixelBuffer>());
    EXPECT_TRUE(out.back()->Allocate(FormatBGR24, bounds));
    return out.back().get();
  };
  const TRect turned = Rect(0, 0, source.Height, source.Width);
  MirrorPixels(source, *make(source.BoundsRect()));
  FlipPixels(source, *make(source.BoundsRect()));
  RotateLeftPixels(source, *make(turned));
  RotateRightPixels(source, *make(turned));
  for (const TRect size : {Rect(0, 0, 517, 211), Rect(0, 0, 1503, 961)}) {
    TWKPixelBuffer* resized = make(size);
    EXPECT_TRUE(ResamplePixels(*resized, size, size, TLanczosResampler(), source.BoundsRect(), source));
  }
  TWKLTBitmap bitmap;
  EXPECT_TRUE(bitmap.SetSize(source.Width, source.Height, FormatBGR24));
  bitmap.Pixels()->Assign(source);
  out.push_back(std::make_unique<TWKPixelBuffer>());
  EXPECT_TRUE(CopyToBuffer(bitmap, *out.back()));
  return out;
}

}  // namespace

// Split into 1, 2, 3 or 8 parts, every operation gives the same bytes.
TEST(Parallel, ResultsDoNotDependOnThePartCount) {
  std::mt19937 random(37);
  TWKPixelBuffer source;
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 1001, 397)));
  FillRandom(source, random);
  const auto single = SplitResults(source, 1);
  for (const int32_t parts : {2, 3, 8}) {
    const auto split = SplitResults(source, parts);
    ASSERT_EQ(split.size(), single.size());
    for (size_t i = 0; i < split.size(); ++i)
      EXPECT_TRUE(SamePixels(*split[i], *single[i])) << parts << " parts, operation " << i;
  }
}

// Rows: the parts cover [0, count) without overlap, in order, as many as asked for (at most
// one per row); chunks: each exactly once; small work stays on the calling thread.
TEST(Parallel, PartsCoverEveryRowAndChunkOnce) {
  for (const int32_t parts : {1, 2, 3, 8}) {
    TForcedParts forced(parts);
    for (const int32_t count : {0, 1, 2, 3, 7, 97, 1000}) {
      std::vector<std::atomic<int>> rows(static_cast<size_t>(count));
      std::atomic<int32_t> calls{0};
      ParallelRows(count, 0, [&](int32_t part, int32_t begin, int32_t end) {
        ++calls;
        EXPECT_EQ(begin, int64_t{count} * part / std::max(1, std::min(parts, count)));
        for (int32_t y = begin; y < end; ++y) rows[y]++;
      });
      EXPECT_EQ(calls, count < 2 ? 1 : std::min(parts, count)) << parts << " " << count;
      std::vector<std::atomic<int>> chunks(static_cast<size_t>(count));
      ParallelChunks(count, 0, [&](int32_t chunk) { chunks[chunk]++; });
      for (int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(rows[i].load(), 1) << parts << " " << count << " " << i;
        ASSERT_EQ(chunks[i].load(), 1) << parts << " " << count << " " << i;
      }
    }
  }
  const auto caller = std::this_thread::get_id();
  bool elsewhere = false;
  ParallelChunks(50, ParallelWorkThreshold - 1,
                 [&](int32_t) { elsewhere |= std::this_thread::get_id() != caller; });
  EXPECT_FALSE(elsewhere);
  EXPECT_EQ(ParallelRowParts(1000, ParallelWorkThreshold), std::min(1000, MachineCores()));
}

// A part that throws: the others end first, then the exception reaches the caller.
TEST(Parallel, ExceptionOfAPartReachesTheCaller) {
  TForcedParts forced(8);
  std::atomic<int> ended{0};
  EXPECT_THROW(ParallelRows(64, 0,
                            [&](int32_t part, int32_t, int32_t) {
                              if (part == 3) throw std::runtime_error("part failure");
                              ++ended;
                            }),
               std::runtime_error);
  EXPECT_LE(ended.load(), 7);
}
