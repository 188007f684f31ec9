#include <gtest/gtest.h>

#include "ImagingTestUtil.h"
#include "imaging/WKBitmap.h"

namespace {

std::unique_ptr<TWKLTBitmap> RandomBitmap(int32_t w, int32_t h, uint32_t seed) {
  auto bitmap = std::make_unique<TWKLTBitmap>();
  EXPECT_TRUE(bitmap->SetSize(w, h, FormatBGR24));
  std::mt19937 random(seed);
  FillRandom(*bitmap->Pixels(), random);
  return bitmap;
}

}  // namespace

TEST(LTBitmap, SetSizeAndStorage) {
  TWKLTBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  ASSERT_TRUE(bitmap.SetSize(5, 3, FormatBGR24));
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.Pixels()->RowBytes, 16);
  EXPECT_EQ(bitmap.Pixels()->BoundsRect(), Rect(0, 0, 5, 3));
  EXPECT_EQ(bitmap.Storage().Size, 48u);
  EXPECT_EQ(BitmapBounds(bitmap), Rect(0, 0, 5, 3));
  EXPECT_FALSE(bitmap.SetSize(100000, 100000, FormatBGR24));  // refused, left empty
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Storage().Bits, nullptr);
}

TEST(LTBitmap, CloneCopiesPixels) {
  auto holder = RandomBitmap(7, 5, 1);
  TWKLTBitmap& bitmap = *holder;
  auto copy = bitmap.Clone();
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->Pixels()->Bits, bitmap.Pixels()->Bits);
  EXPECT_TRUE(SamePixels(*copy->Pixels(), *bitmap.Pixels()));
  EXPECT_FALSE(TWKLTBitmap().Clone());
}

TEST(LTBitmap, CropKeepsTheRectangle) {
  auto holder = RandomBitmap(9, 7, 2);
  TWKLTBitmap& bitmap = *holder;
  auto original = bitmap.Clone();
  EXPECT_FALSE(bitmap.Crop(Rect(20, 20, 30, 30)));
  EXPECT_TRUE(SamePixels(*bitmap.Pixels(), *original->Pixels()));
  ASSERT_TRUE(bitmap.Crop(Rect(-5, 2, 4, 100)));
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Height(), 5);
  EXPECT_EQ(At(*bitmap.Pixels(), 3, 4), At(*original->Pixels(), 3, 6));
  EXPECT_EQ(At(*bitmap.Pixels(), 0, 0), At(*original->Pixels(), 0, 2));
}

TEST(LTBitmap, SetCanvasSizeKeepsTopLeftAndBlackensTheRest) {
  auto holder = RandomBitmap(4, 4, 3);
  TWKLTBitmap& bitmap = *holder;
  auto original = bitmap.Clone();
  ASSERT_TRUE(bitmap.SetCanvasSize(6, 2));
  EXPECT_EQ(At(*bitmap.Pixels(), 3, 1), At(*original->Pixels(), 3, 1));
  EXPECT_EQ(At(*bitmap.Pixels(), 5, 0), (TBGRPixel{0, 0, 0}));
}

TEST(LTBitmap, FailedGeometryLeavesTheImageIntact) {
  auto holder = RandomBitmap(6, 4, 4);
  TWKLTBitmap& bitmap = *holder;
  auto original = bitmap.Clone();
  EXPECT_FALSE(bitmap.Resize(200000, 200000));
  EXPECT_FALSE(bitmap.SetCanvasSize(0, 5));
  EXPECT_FALSE(bitmap.SetCanvasSize(-1, 5));
  EXPECT_EQ(bitmap.Width(), 6);
  EXPECT_TRUE(SamePixels(*bitmap.Pixels(), *original->Pixels()));

  TWKLTBitmap alpha;
  ASSERT_TRUE(alpha.SetSize(3, 3, FormatBGRA32));
  EXPECT_FALSE(alpha.MirrorHorizontal());
  EXPECT_FALSE(alpha.FlipVertical());
  EXPECT_FALSE(alpha.RotateLeft());
  EXPECT_FALSE(alpha.RotateRight());
  EXPECT_FALSE(alpha.Resize(2, 2));
  EXPECT_EQ(alpha.Width(), 3);
  EXPECT_FALSE(TWKLTBitmap().RotateLeft());
}

TEST(LTBitmap, TurnsMapPixelsAsStated) {
  auto holder = RandomBitmap(5, 3, 5);
  TWKLTBitmap& bitmap = *holder;
  auto original = bitmap.Clone();
  const TWKPixels& o = *original->Pixels();
  ASSERT_TRUE(bitmap.RotateLeft());
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 5);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(At(*bitmap.Pixels(), y, 4 - x), At(o, x, y));
  ASSERT_TRUE(bitmap.RotateRight());
  EXPECT_TRUE(SamePixels(*bitmap.Pixels(), o));
  ASSERT_TRUE(bitmap.RotateRight());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(At(*bitmap.Pixels(), 2 - y, x), At(o, x, y));
  ASSERT_TRUE(bitmap.RotateLeft());
  ASSERT_TRUE(bitmap.MirrorHorizontal());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(At(*bitmap.Pixels(), 4 - x, y), At(o, x, y));
  ASSERT_TRUE(bitmap.MirrorHorizontal());
  EXPECT_TRUE(SamePixels(*bitmap.Pixels(), o));
  ASSERT_TRUE(bitmap.FlipVertical());
  for (int y = 0; y < 3; ++y) ASSERT_EQ(At(*bitmap.Pixels(), 1, 2 - y), At(o, 1, y));
}

// The tiled and threaded turns against a pixel-by-pixel mapping, on sizes around the tiles.
TEST(LTBitmap, FastGeometryEqualsPlainMapping) {
  std::mt19937 random(11);
  const int32_t sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {5, 2}, {6, 3}, {10, 1}, {11, 4},
                              {16, 7}, {63, 65}, {64, 64}, {129, 3},
                              {3, 200}, {601, 1030}, {1030, 601}};
  for (const auto& size : sizes) {
    const int32_t w = size[0], h = size[1];
    auto holder = RandomBitmap(w, h, random());
    TWKLTBitmap& bitmap = *holder;
    auto original = bitmap.Clone();
    const TWKPixels& o = *original->Pixels();
    ASSERT_TRUE(bitmap.RotateLeft());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(At(*bitmap.Pixels(), y, w - 1 - x), At(o, x, y));
    ASSERT_TRUE(bitmap.RotateLeft());
    ASSERT_TRUE(bitmap.RotateLeft());
    ASSERT_TRUE(bitmap.RotateLeft());
    ASSERT_TRUE(SamePixels(*bitmap.Pixels(), o)) << w << "x" << h;
    ASSERT_TRUE(bitmap.RotateRight());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(At(*bitmap.Pixels(), h - 1 - y, x), At(o, x, y));
    ASSERT_TRUE(bitmap.RotateLeft());
    ASSERT_TRUE(bitmap.MirrorHorizontal());
    ASSERT_TRUE(bitmap.FlipVertical());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(At(*bitmap.Pixels(), w - 1 - x, h - 1 - y), At(o, x, y)) << w << "x" << h;
  }
}

TEST(LTBitmap, AssignPixelsAndCopyToBuffer) {
  auto holder = RandomBitmap(5, 4, 6);
  TWKLTBitmap& bitmap = *holder;
  TWKPixelBuffer buffer;
  ASSERT_TRUE(CopyToBuffer(bitmap, buffer));
  EXPECT_EQ(buffer.BoundsRect(), Rect(0, 0, 5, 4));
  EXPECT_TRUE(SamePixels(buffer, *bitmap.Pixels()));
  TWKLTBitmap other;
  ASSERT_TRUE(other.AssignPixels(buffer));
  EXPECT_TRUE(SamePixels(*other.Pixels(), buffer));
  ASSERT_TRUE(other.AssignPixels(*other.Pixels()));  // its own pixels
  EXPECT_TRUE(SamePixels(*other.Pixels(), buffer));
  EXPECT_FALSE(CopyToBuffer(TWKLTBitmap(), buffer));
  // Large enough to be split across both cores; an odd width gives padded rows.
  auto large = RandomBitmap(1001, 1500, 8);
  ASSERT_TRUE(CopyToBuffer(*large, buffer));
  EXPECT_EQ(buffer.BoundsRect(), Rect(0, 0, 1001, 1500));
  EXPECT_TRUE(SamePixels(buffer, *large->Pixels()));
}

TEST(LTBitmap, PaintAndPrintNeedAPainter) {
  auto holder = RandomBitmap(2, 2, 7);
  TWKLTBitmap& bitmap = *holder;
  struct TNullDevice : IWKPaintDevice {} device;
  ASSERT_EQ(PixelPainter(), nullptr);
  EXPECT_FALSE(bitmap.Paint(device, Rect(0, 0, 4, 4), nullptr, nullptr));
  EXPECT_FALSE(bitmap.Print(device, Rect(0, 0, 4, 4)));

  struct TRecorder : IWKPixelPainter {
    const uint8_t* Bits = nullptr;
    TRect Dest, Clip;
    bool Paint(IWKPaintDevice&, const TWKPixels& p, const TRect& d, const TRect* c,
               const TRect*) override {
      Bits = p.Bits;
      Dest = d;
      Clip = c ? *c : TRect{};
      return true;
    }
    bool Print(IWKPaintDevice&, const TWKPixels& p, const TRect& r) override {
      Bits = p.Bits;
      Dest = r;
      return true;
    }
  } recorder;
  SetPixelPainter(&recorder);
  const TRect clip = Rect(1, 1, 2, 2);
  EXPECT_TRUE(bitmap.Paint(device, Rect(0, 0, 4, 4), &clip, nullptr));
  EXPECT_EQ(recorder.Bits, bitmap.Pixels()->Bits);  // in place, no copy
  EXPECT_EQ(recorder.Clip, clip);
  EXPECT_TRUE(bitmap.Print(device, Rect(5, 5, 9, 9)));
  EXPECT_EQ(recorder.Dest, Rect(5, 5, 9, 9));
  EXPECT_FALSE(TWKLTBitmap().Paint(device, Rect(0, 0, 1, 1), nullptr, nullptr));
  TDIBSection section;
  ASSERT_TRUE(section.SetSize(3, 2, FormatBGR24));
  EXPECT_EQ(section.RowBytes, 12);
  EXPECT_TRUE(section.Draw(device, 7, 8));
  EXPECT_EQ(recorder.Dest, Rect(7, 8, 10, 10));
  SetPixelPainter(nullptr);
  EXPECT_FALSE(section.SetSize(0, 2, FormatBGR24));
  EXPECT_EQ(section.Bits, nullptr);
  EXPECT_EQ(section.Width, 0);
}
