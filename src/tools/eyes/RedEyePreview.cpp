#include "tools/eyes/RedEyePreview.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint8_t AntsPattern[8] = {0x0F, 0x1E, 0x3C, 0x78, 0xF0, 0xE1, 0xC3, 0x87};

int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int32_t>(q);
}

int32_t Map(int32_t v, int32_t fromOrigin, int32_t fromExtent, int32_t toOrigin,
            int32_t toExtent) {
  return FloorDiv(static_cast<int64_t>(v - fromOrigin) * toExtent, fromExtent) + toOrigin;
}

bool Is24(const TWKPixels& p) { return p.Bits && p.PixelFormat == FormatBGR24; }

void FillBlack(TWKPixels& section) {
  for (int32_t y = section.Top; y < section.Top + section.Height; ++y)
    std::memset(section.PixelAddress(section.Left, y), 0, static_cast<size_t>(section.Width) * 3);
}

}  // namespace

double ComputePreviewZoom(const TRect& box, int32_t panelWidth, int32_t panelHeight,
                          double currentZoom) {
  if (box.Width() <= 0 || box.Height() <= 0) return currentZoom;
  const int32_t cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  const int32_t hw = std::max(cx - box.Left, box.Right - cx);
  const int32_t hh = std::max(cy - box.Top, box.Bottom - cy);
  const double fit = std::min(static_cast<double>(panelWidth) / (2.0 * hw),
                              static_cast<double>(panelHeight) / (2.0 * hh));
  return std::trunc(8 * fit) / 8;
}

double ClampPreviewZoom(double zoom) { return std::clamp(zoom, 0.5, 5.0); }

TPoint TRedEyePreviewPlacement::ToPanel(TPoint p) const {
  return TPoint{Map(p.X, Source.Left, Source.Width(), Dest.Left, Dest.Width()),
                Map(p.Y, Source.Top, Source.Height(), Dest.Top, Dest.Height())};
}

TPoint TRedEyePreviewPlacement::ToImage(TPoint p) const {
  return TPoint{Map(p.X, Dest.Left, Dest.Width(), Source.Left, Source.Width()),
                Map(p.Y, Dest.Top, Dest.Height(), Source.Top, Source.Height())};
}

TRect TRedEyePreviewPlacement::ToPanel(const TRect& r) const {
  const TPoint a = ToPanel(TPoint{r.Left, r.Top}), b = ToPanel(TPoint{r.Right, r.Bottom});
  return Rect(a.X, a.Y, b.X, b.Y);
}

TRect TRedEyePreviewPlacement::ToImage(const TRect& r) const {
  const TPoint a = ToImage(TPoint{r.Left, r.Top}), b = ToImage(TPoint{r.Right, r.Bottom});
  return Rect(a.X, a.Y, b.X, b.Y);
}

TRedEyePreviewPlacement CenteredPreviewRect(const TRect& undoRect, int32_t width,
                                            int32_t height, double zoom) {
  zoom = ClampPreviewZoom(zoom);
  const int32_t w = std::max(1, static_cast<int32_t>(std::nearbyint(undoRect.Width() * zoom)));
  const int32_t h = std::max(1, static_cast<int32_t>(std::nearbyint(undoRect.Height() * zoom)));
  TRedEyePreviewPlacement placement;
  placement.Source = undoRect;
  if (placement.Source.Width() < 1) placement.Source.Right = placement.Source.Left + 1;
  if (placement.Source.Height() < 1) placement.Source.Bottom = placement.Source.Top + 1;
  placement.Dest = Bounds((width - w) / 2, (height - h) / 2, w, h);
  return placement;
}

bool AntsPixelIsWhite(int32_t x, int32_t y, int32_t phase) {
  const int32_t row = ((y - phase) % 8 + 8) % 8;
  const int32_t col = ((x - phase) % 8 + 8) % 8;
  return (AntsPattern[row] >> (7 - col)) & 1;
}

TWKPixelSet PreviewOutline(const TWKPixelSet& region, const TRedEyePreviewPlacement& placement) {
  std::vector<TRect> rects = region.Rectangles();
  for (TRect& r : rects) r = placement.ToPanel(r);
  TWKPixelSet outline = TWKPixelSet::FromRectangles(rects);
  TWKPixelSet inner = outline;
  inner.ErodeCross();
  outline.Subtract(inner);
  return outline;
}

bool RenderSelectionPreview(TWKPixels& section, const TWKPixels& current,
                            const TWKPixels& before, const TWKPixelSet& region,
                            const TRect& undoRect, double zoom, int32_t antsPhase) {
  if (!Is24(section) || !Is24(current) || !Is24(before)) return false;
  const TRect panel = section.BoundsRect();
  const TRedEyePreviewPlacement placement =
      CenteredPreviewRect(undoRect, panel.Width(), panel.Height(), zoom);
  const TRect seen = placement.ToImage(panel);
  if (seen.IsEmpty()) return false;
  TWKPixelBuffer buffer;  // zero-filled: black where the panel sees beyond the image
  if (!buffer.Allocate(current.PixelFormat, seen)) return false;
  CopyPixels(buffer, seen.Left, seen.Top, seen, current, seen);
  CopyPixels(buffer, before.Left, before.Top, seen, before, before.BoundsRect());
  StretchDrawPixels(section, panel, panel, buffer, seen);

  const TWKPixelSet outline = PreviewOutline(region, placement);
  const TRect box = IntersectRect(outline.BoundingBox(), panel);
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (outline.Contains(x, y))
        *section.Pixel(x, y) = AntsPixelIsWhite(x, y, antsPhase) ? TBGRPixel{255, 255, 255}
                                                                  : TBGRPixel{0, 0, 0};
  return true;
}

bool RenderCorrectionPreview(TWKPixels& section, const TWKPixels& current,
                             const TRect& undoRect, double zoom) {
  if (!Is24(section) || !Is24(current)) return false;
  const TRect panel = section.BoundsRect();
  const TRedEyePreviewPlacement placement =
      CenteredPreviewRect(undoRect, panel.Width(), panel.Height(), zoom);
  const TRect seen = placement.ToImage(panel);
  const TRect visible = IntersectRect(seen, current.BoundsRect());
  FillBlack(section);
  if (visible.IsEmpty()) return true;
  const TRect dest = visible == seen ? panel : placement.ToPanel(visible);
  StretchDrawPixels(section, dest, panel, current, visible);
  return true;
}
