#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "ImagingTestUtil.h"
#include "imaging/WKBitmap.h"

namespace {

int32_t Sum(const TCluster& cluster) {
  int32_t sum = 0;
  for (const TContribution& c : cluster) sum += c.Weight;
  return sum;
}

std::unique_ptr<TWKLTBitmap> MakeBitmap(int32_t w, int32_t h) {
  auto bitmap = std::make_unique<TWKLTBitmap>();
  EXPECT_TRUE(bitmap->SetSize(w, h, FormatBGR24));
  return bitmap;
}

}  // namespace

TEST(Resampler, Kernels) {
  EXPECT_DOUBLE_EQ(Sinc(0), 1.0);
  EXPECT_NEAR(Sinc(0.5), 2 / M_PI, 1e-12);
  TLanczosResampler lanczos;
  EXPECT_TRUE(lanczos.RangeCheck());
  EXPECT_EQ(lanczos.GetWidth(), 3.0);
  EXPECT_DOUBLE_EQ(lanczos.Filter(0), 1.0);
  EXPECT_NEAR(lanczos.Filter(-1.5), Sinc(1.5) * Sinc(0.5), 1e-12);
  EXPECT_EQ(lanczos.Filter(3.0), 0.0);
  EXPECT_NEAR(lanczos.Filter(2.0), 0.0, 1e-12);
  TQuickDraftResampler draft;
  EXPECT_TRUE(draft.RangeCheck());
  EXPECT_EQ(draft.GetWidth(), 0.0);
  EXPECT_EQ(draft.Filter(0.0), 0.0);
}

TEST(MappingTable, DegenerateAxes) {
  TLanczosResampler lanczos;
  EXPECT_TRUE(BuildMappingTable(0, 10, 0, 10, 4, 4, lanczos).empty());
  const TMappingTable single = BuildMappingTable(0, 10, 2, 7, 4, 5, lanczos);
  ASSERT_EQ(single.size(), 5u);
  for (const TCluster& c : single) EXPECT_EQ(c, (TCluster{{4, 256}}));
  EXPECT_TRUE(BuildMappingTable(0, 10, 3, 3, 0, 8, lanczos).empty());
  try {
    BuildMappingTable(5, 5, 0, 2, 0, 8, lanczos);
    FAIL() << "no assertion";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
}

TEST(MappingTable, SameSizeIsTheIdentity) {
  const TMappingTable table = BuildMappingTable(0, 9, 0, 9, 0, 9, TLanczosResampler());
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(table[i], (TCluster{{i, 256}}));
}

// Weights are the rounded kernel samples except the middle entry, which takes up the excess;
// positions beyond the edges repeat the edge pixel without merging.
TEST(MappingTable, RoundedWeightsWithMiddleFixUp) {
  const TLanczosResampler lanczos;
  struct Case { int32_t dest, source; };
  for (Case k : {Case{7, 3}, Case{3, 7}, Case{13, 5}, Case{100, 33}, Case{2, 9}, Case{5, 1000}}) {
    const TMappingTable table = BuildMappingTable(0, k.dest, 0, k.dest, 0, k.source, lanczos);
    ASSERT_EQ(table.size(), size_t(k.dest));
    const double scale = double(k.dest) / k.source;
    for (int32_t i = 0; i < k.dest; ++i) {
      const TCluster& cluster = table[i];
      ASSERT_EQ(Sum(cluster), 256);
      const double c = -0.5 + (i + 0.5) / scale;
      const double reach = scale >= 1 ? 3 : 3 / scale;
      std::vector<TContribution> raw;
      for (int64_t j = std::floor(c - reach); j <= std::ceil(c + reach); ++j) {
        const double x = scale >= 1 ? c - j : (c - j) * scale;
        const double w = lanczos.Filter(x) * 256 * (scale >= 1 ? 1 : scale);
        const int32_t r = int32_t(std::nearbyint(w));
        if (r != 0) raw.push_back({int32_t(std::clamp<int64_t>(j, 0, k.source - 1)), r});
      }
      ASSERT_EQ(raw.size(), cluster.size());
      const size_t middle = (raw.size() - 1) / 2;
      raw[middle].Weight -= Sum(raw) - 256;
      EXPECT_EQ(cluster, raw) << k.dest << "/" << k.source << " i=" << i;
    }
  }
  const TMappingTable edge = BuildMappingTable(0, 9, 0, 1, 0, 3, lanczos);
  EXPECT_EQ(edge[0].front().Pixel, 0);
  EXPECT_EQ(edge[0][1].Pixel, 0);  // duplicates kept
}

TEST(MappingTable, QuickDraftPicksThePixelUnderTheCentre) {
  const TMappingTable table = BuildMappingTable(0, 2, 0, 2, 0, 4, TQuickDraftResampler());
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0], (TCluster{{0, 256}}));
  EXPECT_EQ(table[1], (TCluster{{2, 256}}));
  // An enlarging zero kernel would look left of the source; it stays on the edge pixel.
  const TMappingTable enlarged = BuildMappingTable(0, 8, 0, 8, 0, 2, TQuickDraftResampler());
  EXPECT_EQ(enlarged.front(), (TCluster{{0, 256}}));
  EXPECT_EQ(enlarged.back(), (TCluster{{1, 256}}));
}

TEST(Resize, SameSizeLanczosReproducesTheImage) {
  auto bitmap = MakeBitmap(37, 23);
  std::mt19937 random(3);
  FillRandom(*bitmap->Pixels(), random);
  auto original = bitmap->Clone();
  ASSERT_TRUE(bitmap->Resize(37, 23));
  EXPECT_TRUE(SamePixels(*bitmap->Pixels(), *original->Pixels()));
}

TEST(Resize, OnePixelWideSourceGivesEqualColumns) {
  auto bitmap = MakeBitmap(1, 6);
  for (int y = 0; y < 6; ++y) *bitmap->Pixels()->Pixel(0, y) = {uint8_t(y * 40), 7, uint8_t(255 - y)};
  ASSERT_TRUE(bitmap->Resize(13, 6));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 13; ++x)
      EXPECT_EQ(At(*bitmap->Pixels(), x, y), (TBGRPixel{uint8_t(y * 40), 7, uint8_t(255 - y)}));
}

TEST(Resize, HalvedCheckerboardIsGrey) {
  auto bitmap = MakeBitmap(40, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint8_t v = (x + y) % 2 ? 255 : 0;
      *bitmap->Pixels()->Pixel(x, y) = {v, v, v};
    }
  ASSERT_TRUE(bitmap->Resize(20, 20));
  for (int y = 4; y < 16; ++y)
    for (int x = 4; x < 16; ++x) {
      const TBGRPixel p = At(*bitmap->Pixels(), x, y);
      EXPECT_GE(p.Green, 126) << x << "," << y;
      EXPECT_LE(p.Green, 128) << x << "," << y;
    }
}

TEST(Resize, QuickDraftPicksRowsAndColumnsZeroAndTwo) {
  auto bitmap = MakeBitmap(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) *bitmap->Pixels()->Pixel(x, y) = {uint8_t(x), uint8_t(y), 1};
  QuickDraftResampling = true;
  const bool resized = bitmap->Resize(2, 2);
  QuickDraftResampling = false;
  ASSERT_TRUE(resized);
  EXPECT_EQ(At(*bitmap->Pixels(), 0, 0), (TBGRPixel{0, 0, 1}));
  EXPECT_EQ(At(*bitmap->Pixels(), 1, 0), (TBGRPixel{2, 0, 1}));
  EXPECT_EQ(At(*bitmap->Pixels(), 0, 1), (TBGRPixel{0, 2, 1}));
  EXPECT_EQ(At(*bitmap->Pixels(), 1, 1), (TBGRPixel{2, 2, 1}));
}

TEST(Resize, RingingIsClampedNotWrapped) {
  auto bitmap = MakeBitmap(9, 9);
  *bitmap->Pixels()->Pixel(4, 4) = {255, 255, 255};
  ASSERT_TRUE(bitmap->Resize(45, 45));
  const TWKPixels& p = *bitmap->Pixels();
  EXPECT_GT(At(p, 22, 22).Red, 200);
  // The first negative lobe lies about one source pixel (five here) from the centre.
  int zeros = 0;
  for (int x = 0; x < 45; ++x) {
    const uint8_t v = At(p, x, 22).Red;
    if (std::abs(x - 22) >= 5 && std::abs(x - 22) <= 9) {
      EXPECT_LT(v, 40) << x;
      zeros += v == 0;
    }
  }
  EXPECT_GT(zeros, 0);
}

TEST(ResamplePixels, RefusesWrongFormatsAndOutsideSources) {
  TWKPixelBuffer source, dest;
  ASSERT_TRUE(source.Allocate(FormatBGRA32, Rect(0, 0, 4, 4)));
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 2, 2)));
  EXPECT_FALSE(ResamplePixels(dest, dest.BoundsRect(), dest.BoundsRect(), TLanczosResampler(),
                              source.BoundsRect(), source));
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 4, 4)));
  EXPECT_FALSE(ResamplePixels(dest, dest.BoundsRect(), dest.BoundsRect(), TLanczosResampler(),
                              Rect(0, 0, 5, 4), source));
  EXPECT_TRUE(ResamplePixels(dest, Rect(0, 0, 0, 2), dest.BoundsRect(), TLanczosResampler(),
                             source.BoundsRect(), source));  // empty destination: nothing
}
