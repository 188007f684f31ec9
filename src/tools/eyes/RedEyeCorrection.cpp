#include "tools/eyes/RedEyeCorrection.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int64_t ISqrt(int64_t v) {
  int64_t r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
  while (r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

uint8_t Blend(uint8_t c, int32_t target, int32_t w) {
  // Arithmetic shift: the floor of a negative quotient, so full coverage reaches the target.
  return static_cast<uint8_t>(c + ((w * (target - c)) >> 8));
}

}  // namespace

int32_t CorrectionBrightness(int32_t brightness) { return ClampInt(brightness, 1, 255); }

int32_t ReducedRed(int32_t red, int32_t green, int32_t blue, int32_t brightness) {
  const int64_t b = CorrectionBrightness(brightness);
  const int64_t h = std::max(1, green + blue);
  const int64_t limit = b * h * h;  // R' is the largest r <= red with red * r^2 < limit
  if (red <= 0) return 0;
  if (static_cast<int64_t>(red) * red * red < limit) return red;
  return static_cast<int32_t>(ISqrt((limit - 1) / red));
}

TBGRPixel CorrectPixel(TBGRPixel p, int32_t coverage, int32_t brightness) {
  if (coverage <= 0) return p;
  const int32_t w = std::min(coverage, 255);
  const int32_t r = ReducedRed(p.Red, p.Green, p.Blue, brightness);
  const int32_t g = std::min<int32_t>(p.Green, r);
  const int32_t b = std::min<int32_t>(p.Blue, r);
  return TBGRPixel{Blend(p.Blue, b, w), Blend(p.Green, g, w), Blend(p.Red, r, w)};
}

namespace {

// Membership of frame's rows in set (1) or keep (1) as bytes, row by row.
std::vector<uint8_t> Membership(const TRect& frame, const TWKPixelSet& set, const TWKPixelSet* keep) {
  const int32_t fw = frame.Width();
  std::vector<uint8_t> in(static_cast<size_t>(fw) * static_cast<size_t>(frame.Height()));
  std::vector<uint8_t> kept(keep != nullptr ? static_cast<size_t>(fw) : 0);
  for (int32_t y = frame.Top; y < frame.Bottom; ++y) {
    uint8_t* row = in.data() + static_cast<size_t>(y - frame.Top) * fw;
    set.ReadRow(y, frame.Left, frame.Right, row);
    if (keep == nullptr) continue;
    keep->ReadRow(y, frame.Left, frame.Right, kept.data());
    for (int32_t i = 0; i < fw; ++i) row[i] = static_cast<uint8_t>(row[i] | (kept[i] << 1));
  }
  return in;
}

// Darkens the pixels of area by the coverage of the blurred membership; pixels marked kept
// (bit 1) count as members for their neighbours' coverage but are left as they are.
void CorrectArea(TWKPixels& pixels, const TRect& area, const std::vector<uint8_t>& in,
                 int32_t brightness) {
  const int32_t fw = area.Width() + 2;
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const uint8_t* up = in.data() + static_cast<size_t>(y - area.Top) * fw + 1;
    const uint8_t* mid = up + fw;
    const uint8_t* down = mid + fw;
    uint8_t* px = pixels.PixelAddress(area.Left, y);
    for (int32_t i = 0; i < area.Width(); ++i, px += pixels.BytesPerPixel) {
      if (mid[i] & 2) continue;
      auto m = [](uint8_t v) { return static_cast<int32_t>(v != 0); };
      const int32_t sum = 1020 * m(mid[i]) + 510 * (m(mid[i - 1]) + m(mid[i + 1]) + m(up[i]) + m(down[i])) +
                          255 * (m(up[i - 1]) + m(up[i + 1]) + m(down[i - 1]) + m(down[i + 1]));
      const int32_t w = sum >> 4;
      if (w == 0) continue;
      const TBGRPixel out = CorrectPixel(TBGRPixel{px[0], px[1], px[2]}, w, brightness);
      px[0] = out.Blue;
      px[1] = out.Green;
      px[2] = out.Red;
    }
  }
}

TRect CorrectMembers(TWKPixels& pixels, const TRect& bounds, const TWKPixelSet& set,
                     const TWKPixelSet* keep, int32_t brightness) {
  const TRect area = IntersectRect(bounds, pixels.BoundsRect());
  if (area.IsEmpty() || !pixels.Bits || pixels.BytesPerPixel < 3) return TRect{};
  // Membership of the area and a one-pixel frame around it, for the 3 x 3 coverage kernel.
  CorrectArea(pixels, area, Membership(InflateRect(area, 1), set, keep), brightness);
  return area;
}

}  // namespace

TRect CorrectRedEye(TWKPixels& pixels, const TRedEyeSelection& selection, int32_t brightness) {
  return CorrectMembers(pixels, selection.SelectionBounds(), selection.Region(), nullptr, brightness);
}

TRect CorrectRedEyeRegion(TWKPixels& pixels, const TWKPixelSet& region, const TWKPixelSet& keep,
                          int32_t brightness) {
  if (region.IsEmpty()) return TRect{};
  TRect box = region.BoundingBox();
  if (!keep.IsEmpty()) box = UnionRect(box, keep.BoundingBox());
  return CorrectMembers(pixels, InflateRect(box, 1), region, &keep, brightness);
}
