// The eye colour palette: its three planes, choosing a colour and a point, the tint that keeps the
// painted colour at full brightness, the cross, and the recolouring of pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tools/retouch/MakeUpPalette.h"

namespace {

uint8_t Scaled(int value, int brightness) { return ClampRound(value * brightness / 255.0); }

}  // namespace

// Plane red holds red = b, green from x, blue from y (each × b / 255); green and blue rotate.
TEST(MakeUpPalette, PlanesHoldEveryColourWithTheirChannelLargest) {
  TMakeUpPalette palette(TPoint{128, 128}, 100, TMakeUpPalette::PlaneRed);
  struct {
    int32_t plane, x, y;
  } cases[] = {{1, 0, 0}, {1, 255, 17}, {2, 200, 3}, {3, 77, 255}, {3, 128, 128}};
  for (const auto& c : cases) {
    palette.SetPlane(c.plane);
    const TBGRPixel p = *palette.Bitmap().Pixel(c.x, c.y);
    const uint8_t b = 100, across = Scaled(c.x, 100), down = Scaled(c.y, 100);
    const TBGRPixel expected = c.plane == 1   ? TBGRPixel{down, across, b}
                               : c.plane == 2 ? TBGRPixel{across, b, down}
                                              : TBGRPixel{b, down, across};
    EXPECT_EQ(p, expected) << c.plane << " " << c.x << "," << c.y;
  }
  // The start: point (128, 128) on red at brightness 128.
  TMakeUpPalette start(TPoint{128, 128}, 128, TMakeUpPalette::PlaneRed);
  EXPECT_EQ(start.Color(), (TBGRPixel{Scaled(128, 128), Scaled(128, 128), 128}));
}

TEST(MakeUpPalette, SetColorFindsPlanePointAndBrightness) {
  TMakeUpPalette palette(TPoint{128, 128}, 128, TMakeUpPalette::PlaneRed);
  int changes = 0;
  palette.OnChange = [&] { ++changes; };
  // Green is largest: the green plane; x from blue 100 × 255 / 200 = 127.5 → 128, y from red
  // 50 × 255 / 200 = 63.75 → 64; the palette's colour there is the colour again.
  palette.SetColor(50, 200, 100);
  EXPECT_EQ(palette.Plane(), TMakeUpPalette::PlaneGreen);
  EXPECT_EQ(palette.Point(), (TPoint{128, 64}));
  EXPECT_EQ(palette.Brightness(), 200);
  EXPECT_EQ(palette.Color(), (TBGRPixel{100, 200, 50}));
  EXPECT_EQ(changes, 1);
  // The same colour again changes nothing, not even the plane.
  palette.SetColor(50, 200, 100);
  EXPECT_EQ(changes, 1);
  // A tie keeps the current plane when it holds the largest channel.
  palette.SetColor(200, 200, 10);
  EXPECT_EQ(palette.Plane(), TMakeUpPalette::PlaneGreen);
  EXPECT_EQ(palette.Point(), (TPoint{13, 255}));
  palette.SetPlane(TMakeUpPalette::PlaneBlue);
  palette.SetColor(90, 90, 30);  // blue is below: the first largest in red, green, blue order
  EXPECT_EQ(palette.Plane(), TMakeUpPalette::PlaneRed);
  // Black has no direction: the point and the plane stay, nothing fails.
  const TPoint before = palette.Point();
  palette.SetColor(0, 0, 0);
  EXPECT_EQ(palette.Point(), before);
  EXPECT_EQ(palette.Brightness(), 0);
  EXPECT_EQ(palette.Color(), (TBGRPixel{0, 0, 0}));
}

// With the tint the palette stays at full brightness: the painted colour does not darken when
// the brightness follows a dark pupil; only the shown colour does.
TEST(MakeUpPalette, TintScalesOnlyTheShownColour) {
  TMakeUpPalette palette(TPoint{128, 128}, 128, TMakeUpPalette::PlaneRed);
  palette.SetTint(true);
  palette.SetBrightness(255);
  EXPECT_EQ(palette.Color(), (TBGRPixel{128, 128, 255}));
  palette.SetBrightness(1);
  EXPECT_EQ(palette.Color(), (TBGRPixel{128, 128, 255}));
  EXPECT_EQ(palette.ShownColor(), (TBGRPixel{Scaled(128, 1), Scaled(128, 1), 1}));
  palette.SetBrightness(0);
  EXPECT_EQ(palette.Color(), (TBGRPixel{128, 128, 255}));
  EXPECT_EQ(palette.ShownColor(), (TBGRPixel{0, 0, 0}));
  // A picked colour: brightness goes to full, the colour is its hue at full brightness.
  palette.SetColor(20, 40, 80);
  EXPECT_EQ(palette.Brightness(), 255);
  EXPECT_EQ(palette.Plane(), TMakeUpPalette::PlaneBlue);
  EXPECT_EQ(palette.Color(), (TBGRPixel{255, 128, 64}));
  EXPECT_EQ(palette.ShownColor(), palette.Color());
}

TEST(MakeUpPalette, PointIsClampedAndCrossInvertsTwiceWhereItMeets) {
  TMakeUpPalette palette(TPoint{128, 128}, 255, TMakeUpPalette::PlaneRed);
  palette.SetPoint(300, -4);
  EXPECT_EQ(palette.Point(), (TPoint{255, 0}));
  EXPECT_EQ(palette.Color(), (TBGRPixel{0, 255, 255}));
  palette.SetPoint(40, 50);
  TWKPixelBuffer box;
  ASSERT_TRUE(box.Allocate(FormatBGR24, Rect(0, 0, 256, 256)));
  palette.DrawPalette(box);
  const TWKPixelBuffer& bitmap = palette.Bitmap();
  auto inverted = [](TBGRPixel p) {
    return TBGRPixel{uint8_t(255 - p.Blue), uint8_t(255 - p.Green), uint8_t(255 - p.Red)};
  };
  EXPECT_EQ(*box.Pixel(45, 51), inverted(*bitmap.Pixel(45, 51)));   // the horizontal bar
  EXPECT_EQ(*box.Pixel(39, 43), inverted(*bitmap.Pixel(39, 43)));   // the vertical bar's top
  EXPECT_EQ(*box.Pixel(40, 50), *bitmap.Pixel(40, 50));             // inverted twice
  EXPECT_EQ(*box.Pixel(47, 50), *bitmap.Pixel(47, 50));             // past the end
  EXPECT_EQ(*box.Pixel(100, 100), *bitmap.Pixel(100, 100));
  // A box smaller than the palette, the cross at its edge: drawn clipped.
  TWKPixelBuffer small;
  ASSERT_TRUE(small.Allocate(FormatBGR24, Rect(0, 0, 30, 20)));
  palette.SetPoint(0, 0);
  palette.DrawPalette(small);
  EXPECT_EQ(*small.Pixel(5, 1), inverted(*bitmap.Pixel(5, 1)));
}

// Grey takes the colour scaled to its brightness, black stays black, m = 0 is left alone and a
// partial weight blends: all as k = max(S) / max(T), N = T k, S + m / 255 (N − S).
TEST(MakeUpPalette, RecolourKeepsEachPixelsBrightness) {
  const TBGRPixel colour{40, 200, 90};
  std::vector<uint8_t> source(256 * 3), dest(256 * 3, 7), full(256, 255);
  for (int v = 0; v < 256; ++v) std::fill_n(&source[v * 3], 3, uint8_t(v));
  RecolourRow(dest.data(), source.data(), full.data(), 256, colour);
  for (int v = 0; v < 256; ++v) {
    const TBGRPixel got{dest[v * 3], dest[v * 3 + 1], dest[v * 3 + 2]};
    const double k = v / 200.0;
    ASSERT_EQ(got, (TBGRPixel{ClampRound(40 * k), ClampRound(200 * k), ClampRound(90 * k)})) << v;
  }
  EXPECT_EQ(dest[1], 0);  // black stays black
  EXPECT_EQ(dest[255 * 3 + 1], 255);

  const uint8_t s[9] = {10, 60, 120, 33, 33, 33, 200, 100, 50};
  const uint8_t mask[3] = {0, 128, 64};
  uint8_t out[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  RecolourRow(out, s, mask, 3, colour);
  EXPECT_EQ((std::vector<uint8_t>(out, out + 3)), (std::vector<uint8_t>{1, 2, 3}));
  for (int c = 0; c < 3; ++c) {
    const double t[3] = {40, 200, 90};
    const double n1 = t[c] * 33 / 200.0, n2 = t[c] * 200 / 200.0;
    EXPECT_EQ(out[3 + c], ClampRound(33 + 128 / 255.0 * (n1 - 33))) << c;
    EXPECT_EQ(out[6 + c], ClampRound(s[6 + c] + 64 / 255.0 * (n2 - s[6 + c]))) << c;
  }
  // A black colour divides by 1: the pixels darken toward black by the mask.
  RecolourRow(out, s, mask, 3, TBGRPixel{0, 0, 0});
  EXPECT_EQ(out[3], ClampRound(33 - 128 / 255.0 * 33));
  EXPECT_EQ(out[8], ClampRound(50 - 64 / 255.0 * 50));
}
