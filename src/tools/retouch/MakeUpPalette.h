// The eye colour tool's palette: a 256 × 256 square of every colour whose largest channel is the
// fixed one (the plane) at a brightness, the chosen point on it and the chosen colour; and the
// recolouring that gives a pixel the chosen hue at its own brightness.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/WKBitmap.h"

class TMakeUpPalette {
 public:
  static constexpr int32_t kSize = 256;
  enum : int32_t { PlaneRed = 1, PlaneGreen = 2, PlaneBlue = 3 };

  // Then Tint := false and Refresh.
  TMakeUpPalette(TPoint point, int32_t brightness, int32_t plane);

  int32_t Plane() const { return Plane_; }
  int32_t Brightness() const { return Brightness_; }
  bool Tint() const { return Tint_; }
  TPoint Point() const { return Point_; }
  // The palette's colour at the point: what the tool paints with and stores. With Tint it is
  // the colour at full brightness, whatever Brightness says.
  TBGRPixel Color() const { return Color_; }
  // The colour the swatch and the read-out show: with Tint, Color scaled by Brightness.
  TBGRPixel ShownColor() const { return ShownColor_; }
  // 255 with Tint, else Brightness.
  int32_t EffectiveBrightness() const { return Tint_ ? 255 : Brightness_; }
  const TWKPixelBuffer& Bitmap() const { return Bitmap_; }

  // Called where the palette and the swatch are to be drawn again.
  std::function<void()> OnChange;

  // Re-draws the bitmap when the effective brightness or the plane differs from the last time.
  void Render();
  // Render; the colours from the bitmap at the point; OnChange.
  void Refresh();
  // The palette moves to the colour: brightness its largest channel, the plane the first
  // channel that holds it (kept when the current one does), the point from the other two.
  // Nothing when it is Color already. Black keeps the point and the plane.
  void SetColor(uint8_t red, uint8_t green, uint8_t blue);
  // Each refreshes when the value differs; out-of-range values are clamped (planes ignored).
  void SetBrightness(int32_t value);
  void SetPlane(int32_t value);
  void SetTint(bool value) { Tint_ = value; }
  // The point clamped to the square; when it moved, both colours are its unscaled pixel.
  void SetPoint(int32_t x, int32_t y);

  // The bitmap at the image's top-left (clipped), then the cross: 3-pixel lines 14 long through
  // the point, inverting what they cross (twice where they meet).
  void DrawPalette(TWKPixels& image) const;
  // The swatch: the ellipse inscribed in the image filled with ShownColor, outlined in black, on
  // the frame's grey.
  void DrawSwatch(TWKPixels& image) const;

 private:
  TBGRPixel PixelAt(TPoint point) const;

  int32_t Plane_;
  int32_t Brightness_;
  bool Tint_ = false;
  TPoint Point_;
  TBGRPixel Color_;
  TBGRPixel ShownColor_;
  TWKPixelBuffer Bitmap_;
  int32_t RenderedBrightness_ = -1;
  int32_t RenderedPlane_ = -1;
};

// count 24-bit pixels recoloured toward colour through the mask: for m ≠ 0,
// k = max(S) / max(max(colour), 1), N = colour × k and the pixel ClampRound(S + m / 255 × (N − S));
// pixels with m = 0 are not written. Grey takes the colour at its brightness; black stays black.
void RecolourRow(uint8_t* dest, const uint8_t* source, const uint8_t* mask, int32_t count, TBGRPixel colour);
