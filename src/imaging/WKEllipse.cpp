#include "imaging/WKEllipse.h"

#include <algorithm>
#include <cmath>

bool EllipseRowSpan(const TRect& rect, int32_t y, int32_t& x0, int32_t& x1) {
  if (rect.IsEmpty() || y < rect.Top || y >= rect.Bottom) return false;
  const double a = rect.Width() / 2.0, b = rect.Height() / 2.0;
  const double cx = rect.Left + a, cy = rect.Top + b;
  const double t = (y + 0.5 - cy) / b;
  const double half = a * std::sqrt(std::max(0.0, 1.0 - t * t));
  // Pixel x is inside when |x + 0.5 - cx| <= half.
  const int32_t lo = std::max(rect.Left, static_cast<int32_t>(std::ceil(cx - half - 0.5)));
  const int32_t hi = std::min(rect.Right - 1, static_cast<int32_t>(std::floor(cx + half - 0.5)));
  if (lo > hi) return false;
  x0 = lo;
  x1 = hi + 1;
  return true;
}
