#include "tools/retouch/MakeUpPalette.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "imaging/WKEllipse.h"

namespace {

constexpr TBGRPixel kFrameGrey{240, 240, 240};

void Invert(TWKPixels& image, int32_t x, int32_t y) {
  if (!image.BoundsRect().Contains(x, y)) return;
  TBGRPixel* p = image.Pixel(x, y);
  *p = TBGRPixel{static_cast<uint8_t>(~p->Blue), static_cast<uint8_t>(~p->Green), static_cast<uint8_t>(~p->Red)};
}

}  // namespace

TMakeUpPalette::TMakeUpPalette(TPoint point, int32_t brightness, int32_t plane)
    : Plane_(std::clamp(plane, 1, 3)), Brightness_(std::clamp(brightness, 0, 255)),
      Point_{std::clamp(point.X, 0, kSize - 1), std::clamp(point.Y, 0, kSize - 1)} {
  Bitmap_.Allocate(FormatBGR24, Rect(0, 0, kSize, kSize));
  Refresh();
}

void TMakeUpPalette::Render() {
  const int32_t b = EffectiveBrightness();
  if (b == RenderedBrightness_ && Plane_ == RenderedPlane_) return;
  if (Bitmap_.Bits == nullptr) return;
  RenderedBrightness_ = b;
  RenderedPlane_ = Plane_;
  const double e = b / 255.0;
  std::array<uint8_t, kSize> scaled{};
  for (int32_t i = 0; i < kSize; ++i) scaled[i] = ClampRound(i * e);
  const auto fixed = static_cast<uint8_t>(b);
  for (int32_t y = 0; y < kSize; ++y) {
    TBGRPixel* row = Bitmap_.Pixel(0, y);
    for (int32_t x = 0; x < kSize; ++x) {
      const uint8_t across = scaled[x], down = scaled[y];
      switch (Plane_) {
        case PlaneRed: row[x] = TBGRPixel{down, across, fixed}; break;
        case PlaneGreen: row[x] = TBGRPixel{across, fixed, down}; break;
        default: row[x] = TBGRPixel{fixed, down, across}; break;
      }
    }
  }
}

TBGRPixel TMakeUpPalette::PixelAt(TPoint point) const {
  return Bitmap_.Bits != nullptr ? *Bitmap_.Pixel(point.X, point.Y) : TBGRPixel{};
}

void TMakeUpPalette::Refresh() {
  Render();
  Color_ = PixelAt(Point_);
  ShownColor_ = Color_;
  if (Tint_) {
    auto scale = [this](uint8_t c) { return ClampRound(c * Brightness_ / 255.0); };
    ShownColor_ = TBGRPixel{scale(Color_.Blue), scale(Color_.Green), scale(Color_.Red)};
  }
  if (OnChange) OnChange();
}

void TMakeUpPalette::SetColor(uint8_t red, uint8_t green, uint8_t blue) {
  if (TBGRPixel{blue, green, red} == Color_) return;
  const int32_t m = std::max({red, green, blue});
  Brightness_ = m;
  if (m > 0) {
    const uint8_t channels[3] = {red, green, blue};
    if (channels[Plane_ - 1] < m) Plane_ = red == m ? PlaneRed : (green == m ? PlaneGreen : PlaneBlue);
    auto along = [m](uint8_t c) { return static_cast<int32_t>(ClampRound(c * 255.0 / m)); };
    switch (Plane_) {
      case PlaneRed: Point_ = TPoint{along(green), along(blue)}; break;
      case PlaneGreen: Point_ = TPoint{along(blue), along(red)}; break;
      default: Point_ = TPoint{along(red), along(green)}; break;
    }
  }
  Brightness_ = EffectiveBrightness();
  Refresh();
}

void TMakeUpPalette::SetBrightness(int32_t value) {
  value = std::clamp(value, 0, 255);
  if (value == Brightness_) return;
  Brightness_ = value;
  Refresh();
}

void TMakeUpPalette::SetPlane(int32_t value) {
  if (value < PlaneRed || value > PlaneBlue || value == Plane_) return;
  Plane_ = value;
  Refresh();
}

void TMakeUpPalette::SetPoint(int32_t x, int32_t y) {
  const TPoint point{std::clamp(x, 0, kSize - 1), std::clamp(y, 0, kSize - 1)};
  if (point == Point_) return;
  Point_ = point;
  Color_ = PixelAt(point);
  ShownColor_ = Color_;
  if (OnChange) OnChange();
}

void TMakeUpPalette::DrawPalette(TWKPixels& image) const {
  if (image.Bits == nullptr || image.PixelFormat != FormatBGR24 || Bitmap_.Bits == nullptr) return;
  const TRect area = IntersectRect(image.BoundsRect(), Bitmap_.BoundsRect());
  if (!area.IsEmpty()) image.CopyRect(area.Left, area.Top, area, Bitmap_);
  const int32_t px = Point_.X + image.Left, py = Point_.Y + image.Top;
  for (int32_t d = -7; d < 7; ++d)
    for (int32_t w = -1; w <= 1; ++w) {
      Invert(image, px + d, py + w);
      Invert(image, px + w, py + d);
    }
}

void TMakeUpPalette::DrawSwatch(TWKPixels& image) const {
  if (image.Bits == nullptr || image.PixelFormat != FormatBGR24) return;
  const TRect bounds = image.BoundsRect();
  for (int32_t y = bounds.Top; y < bounds.Bottom; ++y) {
    TBGRPixel* row = image.Pixel(bounds.Left, y);
    std::fill(row, row + bounds.Width(), kFrameGrey);
    int32_t x0 = 0, x1 = 0;
    if (!EllipseRowSpan(bounds, y, x0, x1)) continue;
    int32_t above0 = x0, above1 = x0, below0 = x0, below1 = x0;
    const bool hasAbove = EllipseRowSpan(bounds, y - 1, above0, above1);
    const bool hasBelow = EllipseRowSpan(bounds, y + 1, below0, below1);
    for (int32_t x = x0; x < x1; ++x) {
      // The outline: the span's ends and what the rows above and below do not cover.
      const bool edge = x == x0 || x == x1 - 1 || !hasAbove || !hasBelow || x < above0 || x >= above1 ||
                        x < below0 || x >= below1;
      row[x - bounds.Left] = edge ? TBGRPixel{0, 0, 0} : ShownColor_;
    }
  }
}

void RecolourRow(uint8_t* dest, const uint8_t* source, const uint8_t* mask, int32_t count, TBGRPixel colour) {
  const double t[3] = {static_cast<double>(colour.Blue), static_cast<double>(colour.Green),
                       static_cast<double>(colour.Red)};
  const double tMax = std::max({t[0], t[1], t[2], 1.0});
  for (int32_t x = 0; x < count; ++x) {
    const uint32_t m = mask[x];
    if (m == 0) continue;
    const uint8_t* s = source + 3 * x;
    const double k = std::max({s[0], s[1], s[2]}) / tMax;
    for (int c = 0; c < 3; ++c) {
      const double n = t[c] * k;
      // At full weight the pixel is N itself.
      dest[3 * x + c] = m == 255 ? ClampRound(n) : ClampRound(s[c] + m / 255.0 * (n - s[c]));
    }
  }
}
