// The mean colour around a pixel: the disc stays centred on the pixel also at the image's edges
// (only the part inside the image is counted, the pixel itself never), the row-sum batch gives
// the same means as the pixel-by-pixel sum, and the cache makes its tiles only when used.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tools/brush/BrushMasks.h"
#include "tools/brush/NeighbourhoodAverage.h"

namespace {

// A noisy image at an offset, so that image coordinates do not start at 0.
void Noise(TWKPixelBuffer& image, const TRect& bounds, uint32_t seed) {
  ASSERT_TRUE(image.Allocate(FormatBGR24, bounds));
  std::mt19937 random(seed);
  for (int32_t y = bounds.Top; y < bounds.Bottom; ++y)
    for (int32_t x = bounds.Left; x < bounds.Right; ++x)
      *image.Pixel(x, y) = TBGRPixel{uint8_t(random()), uint8_t(random()), uint8_t(random())};
}

// The disc of diameter size without its centre.
std::vector<TMaskRun> Disc(int32_t size) {
  TWKPixelMask mask;
  BuildDiscMask(mask, size, 255);
  *mask.ByteAddress(0, 0) = 0;
  return MaskRuns(mask);
}

// The mean written out from the definition: the disc dx² + dy² ≤ round((size/2 + 0.1)²) (the
// centre row whole) around (x, y), without (x, y), only pixels of the image; halves to even.
bool Expected(const TWKPixels& image, int32_t size, int32_t x, int32_t y, TBGRPixel& out) {
  const int32_t r = size / 2;
  const double half = size / 2.0 + 0.1;
  const long limit = std::lrint(half * half);
  double sum[3] = {0, 0, 0};
  int n = 0;
  for (int32_t dy = -r; dy <= r; ++dy)
    for (int32_t dx = -r; dx <= r; ++dx) {
      if ((dx == 0 && dy == 0) || (dy != 0 && dx * dx + dy * dy > limit)) continue;
      if (!image.BoundsRect().Contains(x + dx, y + dy)) continue;
      const TBGRPixel p = *image.Pixel(x + dx, y + dy);
      sum[0] += p.Blue;
      sum[1] += p.Green;
      sum[2] += p.Red;
      ++n;
    }
  if (n == 0) return false;
  out = TBGRPixel{uint8_t(std::nearbyint(sum[0] / n)), uint8_t(std::nearbyint(sum[1] / n)),
                  uint8_t(std::nearbyint(sum[2] / n))};
  return true;
}

TEST(NeighbourhoodAverage, DiscStaysCentredAtTheEdgesAndLeavesThePixelOut) {
  TWKPixelBuffer image;
  const TRect bounds = Bounds(-7, 3, 40, 30);
  Noise(image, bounds, 1);
  for (int32_t size : {2, 3, 6, 9, 16}) {
    const std::vector<TMaskRun> runs = Disc(size);
    // Every pixel near the four edges and corners, and some inside.
    for (int32_t y = bounds.Top; y < bounds.Bottom; ++y)
      for (int32_t x = bounds.Left; x < bounds.Right; ++x) {
        const bool nearEdge = x < bounds.Left + 9 || y < bounds.Top + 9 || x >= bounds.Right - 9 || y >= bounds.Bottom - 9;
        if (!nearEdge && (x + y) % 7 != 0) continue;
        TBGRPixel got, want;
        ASSERT_EQ(DiscAverage(image, runs, x, y, got), Expected(image, size, x, y, want));
        ASSERT_EQ(got, want) << "size " << size << " at " << x << "," << y;
      }
  }
}

TEST(NeighbourhoodAverage, AnEdgePixelDoesNotAverageItself) {
  // A bright left column on black: the mean at (0, y) must come from its neighbours alone.
  TWKPixelBuffer image;
  ASSERT_TRUE(image.Allocate(FormatBGR24, Rect(0, 0, 10, 10)));
  for (int32_t y = 0; y < 10; ++y) *image.Pixel(0, y) = TBGRPixel{0, 0, 240};
  TBGRPixel mean;
  ASSERT_TRUE(DiscAverage(image, Disc(3), 0, 5, mean));
  // Inside the image the 3 × 3 disc holds (0, 4), (0, 6) at 240 and (1, 4..6) at 0: 480 / 5 = 96.
  EXPECT_EQ(mean.Red, 96);
}

TEST(NeighbourhoodAverage, DiscOfTheCentreAloneHasNoMean) {
  TWKPixelBuffer image;
  Noise(image, Rect(0, 0, 5, 5), 2);
  TBGRPixel mean{1, 2, 3};
  EXPECT_FALSE(DiscAverage(image, Disc(1), 2, 2, mean));
  EXPECT_EQ(mean, (TBGRPixel{1, 2, 3}));
  EXPECT_FALSE(DiscAverage(image, Disc(5), 40, 40, mean));  // far off the image
}

TEST(NeighbourhoodAverage, BatchMeansEqualTheSinglePixelOnes) {
  TWKPixelBuffer image;
  const TRect bounds = Bounds(5, -4, 90, 70);
  Noise(image, bounds, 3);
  for (int32_t size : {2, 7, 31}) {
    const std::vector<TMaskRun> runs = Disc(size);
    TWKAverageCache cache;
    ASSERT_TRUE(cache.SetBounds(bounds));
    // Stamps that overlap each other and the image's edges.
    for (const TRect& stamp : {Bounds(0, -10, 30, 30), Bounds(20, 10, 33, 33), Bounds(80, 50, 20, 20)})
      CacheDiscAverages(image, runs, stamp, cache);
    for (int32_t y = bounds.Top; y < bounds.Bottom; ++y)
      for (int32_t x = bounds.Left; x < bounds.Right; ++x) {
        const uint8_t* cached = cache.Find(x, y);
        const bool stamped = Bounds(0, -10, 30, 30).Contains(x, y) || Bounds(20, 10, 33, 33).Contains(x, y) ||
                             Bounds(80, 50, 20, 20).Contains(x, y);
        ASSERT_EQ(cached != nullptr, stamped) << x << "," << y;
        if (cached == nullptr) continue;
        TBGRPixel want;
        ASSERT_TRUE(DiscAverage(image, runs, x, y, want));
        ASSERT_EQ((TBGRPixel{cached[0], cached[1], cached[2]}), want) << "size " << size << " at " << x << "," << y;
        ASSERT_EQ(cached[3], 255);
      }
  }
}

TEST(NeighbourhoodAverage, CacheMakesTilesOnlyWhereMeansAreStored) {
  TWKAverageCache cache;
  ASSERT_TRUE(cache.SetBounds(Rect(0, 0, 6000, 4000)));  // a 24-megapixel photo
  EXPECT_EQ(cache.TilesHeld(), 0);
  EXPECT_EQ(cache.Find(100, 100), nullptr);
  cache.Store(100, 100, TBGRPixel{1, 2, 3});
  cache.Store(120, 90, TBGRPixel{4, 5, 6});  // the same 64 × 64 tile
  EXPECT_EQ(cache.TilesHeld(), 1);
  ASSERT_NE(cache.Find(100, 100), nullptr);
  EXPECT_EQ(cache.Find(100, 100)[2], 3);
  EXPECT_EQ(cache.Find(101, 100), nullptr);  // the rest of the tile is zero: not computed
  cache.Store(5999, 3999, TBGRPixel{7, 8, 9});
  EXPECT_EQ(cache.TilesHeld(), 2);
  cache.Store(6000, 0, TBGRPixel{7, 8, 9});  // outside: ignored
  cache.Store(-1, 0, TBGRPixel{7, 8, 9});
  EXPECT_EQ(cache.TilesHeld(), 2);
  EXPECT_EQ(cache.Find(6000, 0), nullptr);
  // New bounds forget everything.
  cache.SetBounds(Rect(0, 0, 6000, 4000));
  EXPECT_EQ(cache.TilesHeld(), 0);
  EXPECT_EQ(cache.Find(100, 100), nullptr);
  cache.Clear();
  EXPECT_TRUE(cache.BoundsRect().IsEmpty());
}

}  // namespace
