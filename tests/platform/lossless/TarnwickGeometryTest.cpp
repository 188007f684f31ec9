// The geometry value against plain pixel turns, flips and crops of a labelled picture.
#include <gtest/gtest.h>

#include <random>

#include "platform/lossless/LosslessTestSupport.h"
#include "platform/lossless/TarnwickGeometry.h"

using lossless_test::TPicture;

namespace {

// Every pixel carries its own position.
TPicture Labelled(int32_t w, int32_t h) {
  TPicture p(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      p.At(x, y)[0] = uint8_t(x);
      p.At(x, y)[1] = uint8_t(y);
    }
  return p;
}

// Each shown pixel maps back to the loaded pixel the reference picture holds there.
void ExpectSameMapping(const TTarnwickGeometry& g, const TPicture& reference) {
  ASSERT_EQ(g.Width(), reference.Width);
  ASSERT_EQ(g.Height(), reference.Height);
  for (int32_t y = 0; y < reference.Height; ++y)
    for (int32_t x = 0; x < reference.Width; ++x) {
      const TRect s = g.SourceRect(Rect(x, y, x + 1, y + 1));
      ASSERT_EQ(s.Width(), 1);
      ASSERT_EQ(s.Height(), 1);
      ASSERT_EQ(s.Left, reference.At(x, y)[0]) << "at " << x << "," << y;
      ASSERT_EQ(s.Top, reference.At(x, y)[1]) << "at " << x << "," << y;
    }
}

}  // namespace

TEST(TarnwickGeometry, SingleStepsMatchPixelOperations) {
  const TPicture source = Labelled(7, 5);
  const auto start = TTarnwickGeometry::Identity(7, 5);
  TTarnwickGeometry g = start;
  g.RotateRight();
  ExpectSameMapping(g, source.RotatedRight());
  g = start;
  g.RotateLeft();
  ExpectSameMapping(g, source.RotatedLeft());
  g = start;
  g.Mirror();
  ExpectSameMapping(g, source.Mirrored());
  g = start;
  g.Flip();
  ExpectSameMapping(g, source.Flipped());
}

TEST(TarnwickGeometry, StepsThatUndoEachOtherGiveTheIdentity) {
  const auto start = TTarnwickGeometry::Identity(9, 4);
  TTarnwickGeometry g = start;
  for (int i = 0; i < 4; ++i) g.RotateRight();
  EXPECT_EQ(g, start);
  g.RotateLeft();
  g.RotateRight();
  EXPECT_EQ(g, start);
  g.Mirror();
  g.Mirror();
  g.Flip();
  g.Flip();
  EXPECT_EQ(g, start);
  g.Mirror();
  g.Flip();
  g.RotateRight();
  g.RotateRight();  // a half turn undoes mirror plus flip
  EXPECT_EQ(g, start);
}

TEST(TarnwickGeometry, RandomSequencesWithCropsMatchPixelOperations) {
  std::mt19937 random(7);
  for (int run = 0; run < 200; ++run) {
    TPicture reference = Labelled(11, 6);
    TTarnwickGeometry g = TTarnwickGeometry::Identity(11, 6);
    for (int step = 0; step < 6; ++step) {
      switch (random() % 5) {
        case 0: g.RotateRight(); reference = reference.RotatedRight(); break;
        case 1: g.RotateLeft(); reference = reference.RotatedLeft(); break;
        case 2: g.Mirror(); reference = reference.Mirrored(); break;
        case 3: g.Flip(); reference = reference.Flipped(); break;
        default: {
          const int32_t l = int32_t(random() % uint32_t(reference.Width));
          const int32_t t = int32_t(random() % uint32_t(reference.Height));
          const int32_t r = l + 1 + int32_t(random() % uint32_t(reference.Width - l));
          const int32_t b = t + 1 + int32_t(random() % uint32_t(reference.Height - t));
          ASSERT_TRUE(g.CropTo(Rect(l, t, r, b)));
          reference = reference.Cropped(l, t, r, b);
        }
      }
      ExpectSameMapping(g, reference);
    }
  }
}

TEST(TarnwickGeometry, CropIsClippedAndAnEmptyCropChangesNothing) {
  TTarnwickGeometry g = TTarnwickGeometry::Identity(20, 10);
  g.RotateRight();  // 10 x 20 shown
  EXPECT_FALSE(g.CropTo(Rect(10, 0, 15, 5)));
  EXPECT_EQ(g.Width(), 10);
  ASSERT_TRUE(g.CropTo(Rect(-5, 15, 30, 40)));  // clipped to (0, 15, 10, 20)
  EXPECT_EQ(g.Width(), 10);
  EXPECT_EQ(g.Height(), 5);
  // Shown rows 15..20 of a clockwise turn are loaded columns 15..20.
  EXPECT_EQ(g.Crop, Rect(15, 0, 20, 10));
}
