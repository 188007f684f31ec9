// The vectorised, threaded resampler against the plain arithmetic, on every instruction set.
#include <gtest/gtest.h>

#include "ImagingTestUtil.h"
#include "imaging/WKBitmap.h"
#include "support/KernelTargets.h"

QM_KERNEL_TEST_SUITE(ResampleKernel);

// The vectorised, threaded resampler against the plain arithmetic on random inputs.
TEST_P(ResampleKernel, EqualsReferenceOnRandomInput) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> side(1, 48), offset(-6, 6);
  const TLanczosResampler lanczos;
  const TQuickDraftResampler draft;
  for (int round = 0; round < 300; ++round) {
    const int32_t sw = side(random), sh = side(random);
    TWKPixelBuffer source;
    ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, sw, sh)));
    FillRandom(source, random);
    const TRect sourceRect = Rect(std::uniform_int_distribution<int>(0, sw - 1)(random),
                                  std::uniform_int_distribution<int>(0, sh - 1)(random), sw, sh);
    const TRect destBounds = Bounds(offset(random), offset(random), side(random), side(random));
    const TRect destRect = round % 4 == 0 ? destBounds
                                          : Bounds(offset(random), offset(random), side(random) * 2,
                                                   side(random) * 2);
    const TRect clip = round % 3 == 0 ? destBounds : Bounds(offset(random), offset(random),
                                                            side(random), side(random));
    TWKPixelBuffer fast, plain;
    ASSERT_TRUE(fast.Allocate(FormatBGR24, destBounds));
    ASSERT_TRUE(plain.Allocate(FormatBGR24, destBounds));
    FillRandom(fast, random);
    plain.Assign(fast);
    const bool reducing = destRect.Width() < sourceRect.Width() &&
                          destRect.Height() < sourceRect.Height();
    const TPixelResampler& resampler = reducing && round % 5 == 0
                                           ? static_cast<const TPixelResampler&>(draft)
                                           : lanczos;
    ASSERT_TRUE(ResamplePixels(fast, destRect, clip, resampler, sourceRect, source));
    ReferenceResample(plain, destRect, clip, resampler, sourceRect, source);
    ASSERT_TRUE(SamePixels(fast, plain))
        << CurrentKernelTarget() << " round " << round << " source " << sw << "x" << sh << " rect " << sourceRect.Left
        << "," << sourceRect.Top << " dest " << destRect.Left << "," << destRect.Top << ","
        << destRect.Right << "," << destRect.Bottom << " bounds " << destBounds.Left << ","
        << destBounds.Top << "," << destBounds.Right << "," << destBounds.Bottom << " clip "
        << clip.Left << "," << clip.Top << "," << clip.Right << "," << clip.Bottom << " draft "
        << (&resampler == &draft);
  }
}

TEST_P(ResampleKernel, LargeThreadedResizesEqualReference) {
  std::mt19937 random(99);
  struct Case { int32_t sw, sh, dw, dh; };
  for (Case k : {Case{1201, 803, 517, 345}, Case{301, 201, 1203, 799}, Case{999, 3, 1501, 5}}) {
    TWKPixelBuffer source;
    ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, k.sw, k.sh)));
    FillRandom(source, random);
    TWKPixelBuffer fast, plain;
    const TRect whole = Rect(0, 0, k.dw, k.dh);
    ASSERT_TRUE(fast.Allocate(FormatBGR24, whole));
    ASSERT_TRUE(plain.Allocate(FormatBGR24, whole));
    ASSERT_TRUE(ResamplePixels(fast, whole, whole, TLanczosResampler(), source.BoundsRect(), source));
    ReferenceResample(plain, whole, whole, TLanczosResampler(), source.BoundsRect(), source);
    ASSERT_TRUE(SamePixels(fast, plain)) << CurrentKernelTarget() << " " << k.sw << "x" << k.sh << " -> " << k.dw << "x" << k.dh;
  }
}

// A clip whose last cluster sits on a whole source column reads less far than the one before
// it; the working row must still cover every column read.
TEST_P(ResampleKernel, ClipEndingOnAWholeColumnReadsOnlyComputedSums) {
  const TMappingTable table = BuildMappingTable(1, 31, 1, 6, 13, 23, TLanczosResampler());
  ASSERT_EQ(table.back(), (TCluster{{14, 256}}));
  ASSERT_GT(table[3].back().Pixel, 14);
  TWKPixelBuffer source, fast, plain;
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 23, 19)));
  std::mt19937 random(5);
  FillRandom(source, random);
  ASSERT_TRUE(fast.Allocate(FormatBGR24, Rect(1, 0, 6, 7)));
  ASSERT_TRUE(plain.Allocate(FormatBGR24, Rect(1, 0, 6, 7)));
  const TRect destRect = Rect(1, 0, 31, 82);
  ASSERT_TRUE(ResamplePixels(fast, destRect, fast.BoundsRect(), TLanczosResampler(),
                             Rect(13, 7, 23, 19), source));
  ReferenceResample(plain, destRect, plain.BoundsRect(), TLanczosResampler(), Rect(13, 7, 23, 19),
                    source);
  EXPECT_TRUE(SamePixels(fast, plain)) << CurrentKernelTarget();
}
