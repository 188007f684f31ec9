#include "tools/eyes/GlareSelection.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/WKEllipse.h"

void TGlareSelection::Select(const TWKPixels& source, const TRect& rect) {
  SourceBounds_ = source.BoundsRect();
  const TRect box = IntersectRect(rect, SourceBounds_);
  if (box.IsEmpty()) {
    Region_ = TWKPixelSet();
    return;
  }
  std::vector<uint8_t> grid(static_cast<size_t>(box.Width()) * static_cast<size_t>(box.Height()));
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    int32_t x0 = 0, x1 = 0;
    if (!EllipseRowSpan(box, y, x0, x1)) continue;
    uint8_t* row = grid.data() + static_cast<size_t>(y - box.Top) * box.Width();
    std::fill(row + (x0 - box.Left), row + (x1 - box.Left), uint8_t{1});
  }
  Region_ = TWKPixelSet::FromGrid(box, std::move(grid));
}

TRect TGlareSelection::SelectionBounds() const {
  if (Region_.IsEmpty()) return TRect{};
  return IntersectRect(InflateRect(Region_.BoundingBox(), 1), SourceBounds_);
}

TRect GleamRect(TPoint start, TPoint end, int32_t size) {
  auto corner = [size](int32_t s, int32_t e) {
    return static_cast<int32_t>(std::trunc(s + (double(e) - s) * size / 128.0));
  };
  const int32_t cx = corner(start.X, end.X), cy = corner(start.Y, end.Y);
  const int32_t ox = 2 * start.X - cx, oy = 2 * start.Y - cy;
  return Rect(std::min(cx, ox), std::min(cy, oy), std::max(cx, ox), std::max(cy, oy));
}

void ApplyGleamPixels(TWKPixels& pixels, const TGlareSelection& selection, int32_t brightness) {
  if (pixels.Bits == nullptr || pixels.BytesPerPixel < 3) return;
  const TRect r = IntersectRect(selection.SelectionBounds(), pixels.BoundsRect());
  if (r.IsEmpty()) return;
  const TRect bounds = selection.SelectionBounds();
  const double w = bounds.Width() - 1, h = bounds.Height() - 1;
  const double cx = bounds.Left + w / 2, cy = bounds.Top + h / 2;
  const TWKPixelSet& set = selection.Region();
  std::vector<uint8_t> inside(static_cast<size_t>(r.Width()));
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    set.ReadRow(y, r.Left, r.Right, inside.data());
    uint8_t* p = pixels.PixelAddress(r.Left, y);
    for (int32_t x = r.Left; x < r.Right; ++x, p += pixels.BytesPerPixel) {
      if (inside[static_cast<size_t>(x - r.Left)] == 0) continue;
      // The full extents make the rim 0.5; an extent of 0 has no term.
      double rho2 = 0;
      if (w > 0) rho2 += (x - cx) * (x - cx) / (w * w);
      if (h > 0) rho2 += (y - cy) * (y - cy) / (h * h);
      double t = 1.0 - std::sqrt(rho2);
      t = t > 1 ? 1 : (t < 0.4 ? 0 : (t - 0.4) / 0.6);
      const double k = std::min(1.0, brightness * t / 255.0);
      for (int32_t c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] + std::trunc((255 - p[c]) * k));
    }
  }
}
