#include <gtest/gtest.h>

#include "ImagingTestUtil.h"
#include "imaging/WKBitmap.h"

TEST(PixelFormat, BitsFollowTheCodeRule) {
  EXPECT_EQ(BitsPerPixel(FormatBGR24), 24);
  EXPECT_EQ(BitsPerPixel(FormatBGRA32), 32);
  EXPECT_EQ(BitsPerPixel(0x1), 8);
  EXPECT_EQ(BitsPerPixel(0x6), 32);
  EXPECT_EQ(BitsPerPixel(0x106), 40);
  EXPECT_EQ(BitsPerPixel(0x22), 48);
  EXPECT_EQ(BitsPerPixel(0x32), 48);
  EXPECT_EQ(BitsPerPixel(0x41), 32);
  EXPECT_EQ(BitsPerPixel(0x0), 0);
  EXPECT_EQ(BitsPerPixel(0x109), 0);
  EXPECT_EQ(CodecPixelFormat(FormatBGR24), 0x21808u);
  EXPECT_EQ(CodecPixelFormat(FormatBGRA32), 0x26200Au);
  EXPECT_EQ(CodecPixelFormat(0x1001), 0u);
}

TEST(PixelFormat, RowBytesRoundUpToWords) {
  EXPECT_EQ(DIBRowBytes(1, 24), 4);
  EXPECT_EQ(DIBRowBytes(5, 24), 16);
  EXPECT_EQ(DIBRowBytes(100, 24), 300);
  EXPECT_EQ(DIBRowBytes(3, 32), 12);
  EXPECT_EQ(DIBRowBytes(0, 24), 0);
  EXPECT_EQ(DIBRowBytes(-4, 24), 0);
  EXPECT_EQ(DIBRowBytes(INT32_MAX, 32), 0);  // does not fit 32 bits
}

TEST(PixelBuffer, AddressesInImageCoordinates) {
  TWKPixelBuffer buffer;
  ASSERT_TRUE(buffer.Allocate(FormatBGR24, Rect(10, 20, 110, 70)));
  EXPECT_EQ(buffer.RowBytes, 300);
  EXPECT_EQ(buffer.BytesPerPixel, 3);
  EXPECT_EQ(buffer.PixelAddress(10, 20), buffer.Bits);
  EXPECT_EQ(buffer.PixelAddress(10, 21), buffer.Bits + 300);
  EXPECT_EQ(buffer.PixelAddress(12, 20), buffer.Bits + 6);
  EXPECT_EQ(buffer.BoundsRect(), Rect(10, 20, 110, 70));
  for (int32_t i = 0; i < 300 * 50; ++i) ASSERT_EQ(buffer.Bits[i], 0);
}

TEST(PixelBuffer, SameBoundsKeepPixelsOtherBoundsClearThem) {
  TWKPixelBuffer buffer;
  ASSERT_TRUE(buffer.Allocate(FormatBGR24, Rect(0, 0, 8, 8)));
  buffer.Pixel(3, 3)->Red = 200;
  ASSERT_TRUE(buffer.SetBounds(Rect(0, 0, 8, 8)));
  EXPECT_EQ(buffer.Pixel(3, 3)->Red, 200);
  ASSERT_TRUE(buffer.SetBounds(Rect(1, 1, 9, 9)));
  EXPECT_EQ(buffer.Pixel(3, 3)->Red, 0);
  buffer.Clear();
  EXPECT_EQ(buffer.Bits, nullptr);
  EXPECT_EQ(buffer.BoundsRect(), TRect{});
}

TEST(PixelBuffer, RefusesAbsurdSizesWithoutStorage) {
  TWKPixelBuffer buffer;
  EXPECT_FALSE(buffer.Allocate(FormatBGR24, Rect(0, 0, 200000, 200000)));
  EXPECT_EQ(buffer.Bits, nullptr);
  EXPECT_TRUE(buffer.Allocate(FormatBGR24, Rect(0, 0, 0, 5)));
  EXPECT_EQ(buffer.Bits, nullptr);
}

TEST(PixelBuffer, AssignCopiesTheOverlapOnly) {
  TWKPixelBuffer a, b, c;
  ASSERT_TRUE(a.Allocate(FormatBGR24, Rect(0, 0, 4, 4)));
  ASSERT_TRUE(b.Allocate(FormatBGR24, Rect(2, 2, 6, 6)));
  ASSERT_TRUE(c.Allocate(FormatBGRA32, Rect(0, 0, 4, 4)));
  *a.Pixel(3, 3) = {1, 2, 3};
  *a.Pixel(1, 1) = {9, 9, 9};
  b.Assign(a);
  EXPECT_EQ(At(b, 3, 3), (TBGRPixel{1, 2, 3}));
  EXPECT_EQ(At(b, 4, 4), (TBGRPixel{0, 0, 0}));
  c.Assign(a);  // formats differ
  EXPECT_EQ(c.PixelAddress(3, 3)[0], 0);
  TWKPixelBuffer far;
  ASSERT_TRUE(far.Allocate(FormatBGR24, Rect(10, 10, 12, 12)));
  far.Assign(a);
  EXPECT_EQ(far.Pixel(10, 10)->Blue, 0);
}

TEST(PixelBuffer, CopyRectClipsBothSides) {
  TWKPixelBuffer source, dest;
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 4, 4)));
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 3, 3)));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) *source.Pixel(x, y) = {uint8_t(x), uint8_t(y), 7};
  dest.CopyRect(1, 1, Rect(-1, -1, 4, 4), source);
  // source (0, 0) lands at (2, 2): the rectangle's top-left (-1, -1) goes to (1, 1).
  EXPECT_EQ(At(dest, 2, 2), (TBGRPixel{0, 0, 7}));
  EXPECT_EQ(At(dest, 1, 1), (TBGRPixel{0, 0, 0}));
  EXPECT_EQ(At(dest, 0, 0), (TBGRPixel{0, 0, 0}));
}

TEST(FreeOperations, CopyAndDrawThirtyTwoBitSources) {
  TWKPixelBuffer dest, source;
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 3, 1)));
  ASSERT_TRUE(source.Allocate(FormatBGRA32, Rect(0, 0, 3, 1)));
  const uint8_t px[12] = {255, 255, 255, 0, 255, 255, 255, 255, 100, 50, 200, 128};
  std::memcpy(source.Bits, px, 12);
  DrawPixels(dest, 0, 0, dest.BoundsRect(), source, source.BoundsRect());
  EXPECT_EQ(At(dest, 0, 0), (TBGRPixel{0, 0, 0}));        // alpha 0: unchanged
  EXPECT_EQ(At(dest, 1, 0), (TBGRPixel{254, 254, 254}));  // alpha 255 over black
  EXPECT_EQ(At(dest, 2, 0), (TBGRPixel{50, 25, 100}));
  *dest.Pixel(2, 0) = {200, 200, 200};
  DrawPixels(dest, 0, 0, dest.BoundsRect(), source, source.BoundsRect());
  // 200 + floor((100 - 200) × 128 / 256) = 150; negative differences floor downwards.
  EXPECT_EQ(At(dest, 2, 0), (TBGRPixel{150, 125, 200}));
  CopyPixels(dest, 0, 0, dest.BoundsRect(), source, source.BoundsRect());
  EXPECT_EQ(At(dest, 0, 0), (TBGRPixel{255, 255, 255}));  // alpha ignored
  EXPECT_EQ(At(dest, 2, 0), (TBGRPixel{100, 50, 200}));
}

TEST(FreeOperations, CopyPixelsHonoursClipAndFormat) {
  TWKPixelBuffer dest, source, wrong;
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 4, 4)));
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 4, 4)));
  ASSERT_TRUE(wrong.Allocate(FormatBGRA32, Rect(0, 0, 4, 4)));
  std::memset(source.Bits, 9, source.RowBytes * 4);
  CopyPixels(dest, 0, 0, Rect(1, 1, 2, 3), source, source.BoundsRect());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(dest.Pixel(x, y)->Green, (x == 1 && (y == 1 || y == 2)) ? 9 : 0) << x << "," << y;
  CopyPixels(wrong, 0, 0, wrong.BoundsRect(), source, source.BoundsRect());
  EXPECT_EQ(wrong.Bits[0], 0);
}

TEST(FreeOperations, BlendPixel) {
  TBGRPixel p{10, 200, 0};
  BlendPixel(p, 0, {255, 255, 255});
  EXPECT_EQ(p, (TBGRPixel{10, 200, 0}));
  BlendPixel(p, 255, {255, 1, 7});
  EXPECT_EQ(p, (TBGRPixel{255, 1, 7}));
  BlendPixel(p, 128, {0, 255, 8});
  EXPECT_EQ(p, (TBGRPixel{127, 128, 7}));
}

TEST(FreeOperations, FitSize) {
  int32_t w = -1, h = -1;
  ASSERT_TRUE(FitSize(400, 300, 100, 100, w, h));
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 75);
  ASSERT_TRUE(FitSize(300, 400, 100, 100, w, h));
  EXPECT_EQ(w, 75);
  EXPECT_EQ(h, 100);
  ASSERT_TRUE(FitSize(3, 2, 100, 100, w, h));  // 66.67 rounds to 67
  EXPECT_EQ(h, 67);
  w = h = -5;
  EXPECT_FALSE(FitSize(400, 300, 0, 100, w, h));
  EXPECT_FALSE(FitSize(400, 300, 100, 0, w, h));
  EXPECT_FALSE(FitSize(0, 0, 100, 100, w, h));
  EXPECT_EQ(w, -5);
  EXPECT_EQ(h, -5);
}

TEST(FreeOperations, StretchDrawPicksNearestSourcePixels) {
  TWKPixelBuffer source, dest;
  ASSERT_TRUE(source.Allocate(FormatBGR24, Rect(0, 0, 2, 2)));
  ASSERT_TRUE(dest.Allocate(FormatBGR24, Rect(0, 0, 6, 6)));
  *source.Pixel(0, 0) = {1, 0, 0};
  *source.Pixel(1, 0) = {2, 0, 0};
  *source.Pixel(0, 1) = {3, 0, 0};
  *source.Pixel(1, 1) = {4, 0, 0};
  std::memset(dest.Bits, 99, dest.RowBytes * 6);
  StretchDrawPixels(dest, Rect(1, 1, 5, 5), Rect(0, 0, 4, 6), source, source.BoundsRect());
  EXPECT_EQ(dest.Pixel(1, 1)->Blue, 1);
  EXPECT_EQ(dest.Pixel(2, 2)->Blue, 1);
  EXPECT_EQ(dest.Pixel(3, 2)->Blue, 2);
  EXPECT_EQ(dest.Pixel(3, 4)->Blue, 4);
  EXPECT_EQ(dest.Pixel(1, 4)->Blue, 3);
  EXPECT_EQ(dest.Pixel(4, 4)->Blue, 99);  // clipped
  EXPECT_EQ(dest.Pixel(0, 0)->Blue, 99);  // outside destRect
  EXPECT_EQ(dest.Pixel(2, 5)->Blue, 99);
}

TEST(FreeOperations, StretchDrawEqualsReferenceOnRandomInput) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> side(1, 40), offset(-10, 10);
  for (int round = 0; round < 200; ++round) {
    const TWKPixelFormat format = round % 3 == 0 ? FormatBGRA32 : FormatBGR24;
    TWKPixelBuffer source, fast, plain;
    const TRect sourceBounds = Bounds(offset(random), offset(random), side(random), side(random));
    ASSERT_TRUE(source.Allocate(format, sourceBounds));
    FillRandom(source, random);
    const TRect destBounds = Bounds(offset(random), offset(random), side(random), side(random));
    ASSERT_TRUE(fast.Allocate(FormatBGR24, destBounds));
    ASSERT_TRUE(plain.Allocate(FormatBGR24, destBounds));
    FillRandom(fast, random);
    plain.Assign(fast);
    std::uniform_int_distribution<int> sx(sourceBounds.Left, sourceBounds.Right - 1),
        sy(sourceBounds.Top, sourceBounds.Bottom - 1);
    const int32_t l = sx(random), t = sy(random);
    const TRect sourceRect = Rect(l, t, std::uniform_int_distribution<int>(l + 1, sourceBounds.Right)(random),
                                  std::uniform_int_distribution<int>(t + 1, sourceBounds.Bottom)(random));
    const TRect destRect = Bounds(offset(random), offset(random), side(random) * 2, side(random) * 2);
    const TRect clip = Bounds(offset(random), offset(random), side(random), side(random));
    StretchDrawPixels(fast, destRect, clip, source, sourceRect);
    if (destRect.Width() == sourceRect.Width() && destRect.Height() == sourceRect.Height())
      DrawPixels(plain, destRect.Left, destRect.Top, clip, source, sourceRect);
    else
      ReferenceStretchDraw(plain, destRect, clip, source, sourceRect);
    ASSERT_TRUE(SamePixels(fast, plain)) << "round " << round;
  }
}

TEST(PixelMask, BoundsAndAddresses) {
  TWKPixelMask mask;
  ASSERT_TRUE(mask.SetBounds(5, 5, 4, 3));
  EXPECT_EQ(mask.BoundsRect(), Rect(5, 5, 9, 8));
  ASSERT_NE(mask.ByteAddress(8, 7), nullptr);
  EXPECT_EQ(mask.ByteAddress(8, 7) - mask.Bits, 2 * 4 + 3);
  EXPECT_EQ(mask.ByteAddress(9, 7), nullptr);
  EXPECT_EQ(mask.ByteAddress(8, 8), nullptr);
  EXPECT_EQ(mask.ByteAddress(4, 5), nullptr);
  ASSERT_TRUE(mask.SetBounds(0, 0, -3, 2));
  EXPECT_EQ(mask.Width, 0);
  EXPECT_EQ(mask.ByteAddress(0, 0), nullptr);
}

TEST(PixelMask, MergeKeepsTheGreaterCoverage) {
  TWKPixelMask a, b;
  ASSERT_TRUE(a.SetBounds(0, 0, 4, 4));
  ASSERT_TRUE(b.SetBounds(2, 2, 4, 4));
  std::memset(a.Bits, 100, 16);
  std::memset(b.Bits, 50, 16);
  *b.ByteAddress(3, 3) = 200;
  ASSERT_TRUE(a.Merge(b));
  EXPECT_EQ(a.BoundsRect(), Rect(0, 0, 6, 6));
  EXPECT_EQ(*a.ByteAddress(2, 2), 100);  // overlap: max(100, 50)
  EXPECT_EQ(*a.ByteAddress(3, 3), 200);  // overlap: max(100, 200)
  EXPECT_EQ(*a.ByteAddress(0, 0), 100);
  EXPECT_EQ(*a.ByteAddress(5, 5), 50);
  EXPECT_EQ(*a.ByteAddress(5, 0), 0);  // corners neither covered
  EXPECT_EQ(*a.ByteAddress(0, 5), 0);
}

TEST(PixelMask, ExtendKeepsBytesInPlace) {
  TWKPixelMask mask;
  ASSERT_TRUE(mask.Extend(Rect(3, 3, 5, 5)));
  EXPECT_EQ(mask.BoundsRect(), Rect(3, 3, 5, 5));
  *mask.ByteAddress(4, 4) = 77;
  uint8_t* before = mask.Bits;
  ASSERT_TRUE(mask.Extend(Rect(3, 3, 4, 4)));  // inside: nothing happens
  EXPECT_EQ(mask.Bits, before);
  ASSERT_TRUE(mask.Extend(Rect(-2, 0, 1, 1)));
  EXPECT_EQ(mask.BoundsRect(), Rect(-2, 0, 5, 5));
  EXPECT_EQ(*mask.ByteAddress(4, 4), 77);
  EXPECT_EQ(*mask.ByteAddress(3, 3), 0);
  EXPECT_FALSE(mask.Extend(Rect(0, 0, 300000, 300000)));  // refused, unchanged
  EXPECT_EQ(mask.BoundsRect(), Rect(-2, 0, 5, 5));
  EXPECT_EQ(*mask.ByteAddress(4, 4), 77);
}
