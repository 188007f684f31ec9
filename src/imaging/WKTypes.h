// Basic value types and rounding helpers shared by every layer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Includes its left and top edges, excludes its right and bottom edges.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(int32_t x, int32_t y) const {
    return x >= Left && x < Right && y >= Top && y < Bottom;
  }
  constexpr bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return TRect{left, top, right, bottom};
}

constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return TRect{left, top, left + width, top + height};
}

// The overlap of two rectangles; the empty rectangle (0, 0, 0, 0) when they do not overlap.
constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) return TRect{};
  return r;
}

// The smallest rectangle holding both; an empty side does not count.
constexpr TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? TRect{} : b;
  if (b.IsEmpty()) return a;
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

constexpr TRect OffsetRect(const TRect& r, int32_t dx, int32_t dy) {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// A window's rectangle fitted into a screen's work area along each axis: a start before the
// area's moves to it; a window that then runs past the end is centred when it is smaller than
// the area, otherwise it takes the whole area.
constexpr TRect FitRectInto(const TRect& rect, const TRect& area) {
  auto fit = [](int64_t& pos, int64_t& size, int64_t start, int64_t end) {
    if (pos < start) pos = start;
    if (pos + size <= end) return;
    if (size < end - start) {
      pos = start + (end - start - size) / 2;
    } else {
      pos = start;
      size = end - start;
    }
  };
  int64_t left = rect.Left, top = rect.Top, width = rect.Width(), height = rect.Height();
  fit(left, width, area.Left, area.Right);
  fit(top, height, area.Top, area.Bottom);
  return Bounds(int32_t(left), int32_t(top), int32_t(width), int32_t(height));
}

// a * b / c with a 64-bit intermediate, rounded to the nearest integer, halves away
// from zero. A zero divisor or a result outside 32 bits gives -1, as the platform's
// multiply-divide does.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t num = static_cast<int64_t>(a) * b;
  int64_t den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  const int64_t half = den / 2;
  const int64_t q = num >= 0 ? (num + half) / den : -((-num + half) / den);
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int32_t>(q);
}

// x clamped to 0..255, then rounded to the nearest integer, halves to even.
inline uint8_t ClampRound(double x) {
  if (!(x > 0.0)) return 0;  // also catches NaN
  if (x >= 255.0) return 255;
  return static_cast<uint8_t>(std::nearbyint(x));
}

constexpr int32_t ClampInt(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}
