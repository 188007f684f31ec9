// The band decomposition: blurs clipped and averaged at the border, the filtered image for both
// directions of the band, uniform images unchanged, results independent of how the rows are
// shared among cores, reallocation and failure.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "imaging/WKParallel.h"
#include "tools/retouch/FrequencyRange.h"
#include "support/ForcedParts.h"

namespace {

using TImage = std::unique_ptr<TWKPixelBuffer>;

TImage Image(int32_t w, int32_t h, const std::function<TBGRPixel(int32_t, int32_t)>& paint) {
  auto image = std::make_unique<TWKPixelBuffer>();
  EXPECT_TRUE(image->Allocate(FormatBGR24, Rect(0, 0, w, h)));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *image->Pixel(x, y) = paint(x, y);
  return image;
}

TBGRPixel Grey(int v) { return TBGRPixel{uint8_t(v), uint8_t(v), uint8_t(v)}; }

TImage RandomImage(int32_t w, int32_t h, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  return Image(w, h, [&](int32_t, int32_t) {
    return TBGRPixel{uint8_t(byte(random)), uint8_t(byte(random)), uint8_t(byte(random))};
  });
}

// The plain blur of a whole image, for expected values.
std::vector<uint8_t> PlainBlur(const TWKPixels& image, int32_t radius) {
  std::vector<uint8_t> out(static_cast<size_t>(image.Width) * image.Height * 3);
  BoxBlurPlain(image.Bits, image.RowBytes, image.Width, image.Height, radius, out.data(), image.Width * 3);
  return out;
}

}  // namespace

// One row 10, 20, 60 (grey): radius 1 averages the two or three pixels present, so the border
// keeps its level: (10 + 20) / 2, (10 + 20 + 60) / 3, (20 + 60) / 2. A radius past the image
// averages the whole row everywhere. Radius 0 is the image.
TEST(FrequencyRange, BorderWindowsAverageThePixelsPresent) {
  const TImage row = Image(3, 1, [](int32_t x, int32_t) { return Grey(x == 0 ? 10 : x == 1 ? 20 : 60); });
  struct {
    int32_t radius;
    uint8_t expected[3];
  } cases[] = {{1, {15, 30, 40}}, {7, {30, 30, 30}}, {0, {10, 20, 60}}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> blur = PlainBlur(*row, c.radius);
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(blur[x * 3 + 1], c.expected[x]) << "r " << c.radius << " x " << x;
  }
  // The same along a column: the first pass clips at the top and bottom.
  const TImage column = Image(1, 3, [](int32_t, int32_t y) { return Grey(y == 0 ? 10 : y == 1 ? 20 : 60); });
  const std::vector<uint8_t> blur = PlainBlur(*column, 1);
  EXPECT_EQ((std::vector<uint8_t>{blur[0], blur[3], blur[6]}), (std::vector<uint8_t>{15, 30, 40}));
}

// Halves round to even: 1, 2 averaged is 1.5 → 2; 2, 3 is 2.5 → 2.
TEST(FrequencyRange, AveragesRoundHalvesToEven) {
  const TImage row = Image(4, 1, [](int32_t x, int32_t) { return Grey(x < 2 ? 1 + x : x); });  // 1 2 2 3
  const std::vector<uint8_t> blur = PlainBlur(*row, 1);
  EXPECT_EQ(blur[0], 2);  // (1 + 2) / 2
  EXPECT_EQ(blur[9], 2);  // (2 + 3) / 2
}

// Emphasis is image + fine − coarse; with naturalness 0 (fine radius 0) it is 2 × image − coarse,
// clamped; removing the band then gives the coarse blur itself.
TEST(FrequencyRange, NaturalnessZeroIsTwiceTheImageLessTheCoarseBlur) {
  const TImage image = RandomImage(37, 23, 5);
  TFrequencyRange range;
  ASSERT_TRUE(range.Compute(*image, 0, 5));
  const std::vector<uint8_t> coarse = PlainBlur(*image, 5);
  for (int32_t y = 0; y < 23; ++y)
    for (int32_t x = 0; x < 37; ++x) {
      const uint8_t* s = image->PixelAddress(x, y);
      const uint8_t* c = &coarse[(y * 37 + x) * 3];
      uint8_t boosted[3], removed[3];
      range.FilteredRow(x, y, 1, false, boosted);
      range.FilteredRow(x, y, 1, true, removed);
      for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(boosted[k], std::clamp(2 * s[k] - c[k], 0, 255)) << x << "," << y;
        ASSERT_EQ(removed[k], c[k]) << x << "," << y;
      }
    }
}

// The general case against the plain blurs: s + f − c and s − f + c, clamped.
TEST(FrequencyRange, FilteredPixelsFollowThePlainBlurs) {
  const TImage image = RandomImage(29, 31, 7);
  TFrequencyRange range;
  ASSERT_TRUE(range.Compute(*image, 2, 11));
  const std::vector<uint8_t> fine = PlainBlur(*image, 2), coarse = PlainBlur(*image, 11);
  for (int32_t y = 0; y < 31; ++y)
    for (int32_t x = 0; x < 29; ++x) {
      const TBGRPixel boosted = range.FilteredPixel(x, y, false), removed = range.FilteredPixel(x, y, true);
      const uint8_t* s = image->PixelAddress(x, y);
      const size_t i = (y * 29 + x) * 3;
      ASSERT_EQ(boosted.Green, std::clamp(s[1] + fine[i + 1] - coarse[i + 1], 0, 255));
      ASSERT_EQ(removed.Red, std::clamp(s[2] - fine[i + 2] + coarse[i + 2], 0, 255));
    }
}

TEST(FrequencyRange, UniformImageIsUnchangedAtEverySetting) {
  const TImage image = Image(40, 30, [](int32_t, int32_t) { return TBGRPixel{17, 130, 251}; });
  TFrequencyRange range;
  for (const int32_t fine : {0, 1, 5})
    for (const int32_t coarse : {1, 5, 25}) {
      range.MarkStale(2);
      ASSERT_TRUE(range.Compute(*image, fine, coarse));
      for (int32_t y = 0; y < 30; y += 7)
        for (int32_t x = 0; x < 40; x += 3)
          for (const bool remove : {false, true})
            ASSERT_EQ(range.FilteredPixel(x, y, remove), (TBGRPixel{17, 130, 251})) << fine << " " << coarse;
    }
}

// Rows are shared among the cores in chunks; the planes must not depend on how many.
TEST(FrequencyRange, PlanesDoNotDependOnTheNumberOfCores) {
  const TImage image = RandomImage(301, 517, 9);
  std::vector<std::vector<uint8_t>> results;
  for (const int32_t parts : {1, 2, 3, 8}) {
    TForcedParts forced(parts);
    TFrequencyRange range;
    ASSERT_TRUE(range.Compute(*image, 1, 25));
    std::vector<uint8_t> all;
    for (int32_t y = 0; y < 517; ++y) {
      all.insert(all.end(), range.FineRow(y), range.FineRow(y) + 301 * 3);
      all.insert(all.end(), range.CoarseRow(y), range.CoarseRow(y) + 301 * 3);
    }
    results.push_back(std::move(all));
  }
  for (size_t i = 1; i < results.size(); ++i) EXPECT_EQ(results[i], results[0]) << i;
  const std::vector<uint8_t> coarse = PlainBlur(*image, 25);
  TFrequencyRange range;
  ASSERT_TRUE(range.Compute(*image, 1, 25));
  EXPECT_TRUE(std::equal(coarse.begin(), coarse.begin() + 301 * 3, range.CoarseRow(0)));
  EXPECT_TRUE(std::equal(coarse.end() - 301 * 3, coarse.end(), range.CoarseRow(516)));
}

// A new size reallocates and copies; the same size without staleness blurs the old copy; a
// failed allocation leaves an empty, still stale range, and a later success clears it.
TEST(FrequencyRange, SizeStalenessAndFailedAllocation) {
  TFrequencyRange range;
  EXPECT_EQ(range.Staleness, 0);
  range.MarkStale(2);
  range.MarkStale(1);
  EXPECT_EQ(range.Staleness, 2);

  const TImage first = Image(8, 6, [](int32_t x, int32_t) { return Grey(x * 20); });
  ASSERT_TRUE(range.Compute(*first, 1, 2));
  EXPECT_EQ(range.Staleness, 0);
  const TImage other = Image(8, 6, [](int32_t, int32_t) { return Grey(99); });
  ASSERT_TRUE(range.Compute(*other, 1, 2));  // not stale: the old copy stays
  EXPECT_EQ(range.SourceRow(0)[3], 20);

  const TImage bigger = Image(12, 9, [](int32_t, int32_t) { return Grey(99); });
  ASSERT_TRUE(range.Compute(*bigger, 1, 2));  // another size: reallocated and copied
  EXPECT_EQ(range.Width(), 12);
  EXPECT_EQ(range.Height(), 9);
  EXPECT_EQ(range.FilteredPixel(11, 8, false), Grey(99));

  TFrequencyRange::SetAllocationLimitForTest(TFrequencyRange::BytesFor(12, 9) - 1);
  const TImage again = Image(13, 9, [](int32_t, int32_t) { return Grey(5); });
  EXPECT_FALSE(range.Compute(*again, 1, 2));
  EXPECT_EQ(range.Width(), 0);
  EXPECT_EQ(range.Height(), 0);
  EXPECT_EQ(range.Staleness, 2);
  TFrequencyRange::SetAllocationLimitForTest(0);
  EXPECT_TRUE(range.Compute(*again, 1, 2));
  EXPECT_EQ(range.Staleness, 0);
  EXPECT_EQ(range.FilteredPixel(0, 0, false), Grey(5));
  EXPECT_EQ(TFrequencyRange::BytesFor(0, 5), 0u);
}
