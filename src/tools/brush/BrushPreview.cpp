#include "tools/brush/BrushPreview.h"

#include <cstring>

namespace {

constexpr TBGRPixel kFrameGrey{128, 128, 128};

void FillRow(uint8_t* row, int32_t count, TBGRPixel colour) {
  auto* p = reinterpret_cast<TBGRPixel*>(row);
  for (int32_t x = 0; x < count; ++x) p[x] = colour;
}

}  // namespace

void RenderBrushPreview(TWKPixels& image, const TWKPixelMask& mask, bool enabled) {
  if (image.Bits == nullptr || image.PixelFormat != FormatBGR24 || image.Width <= 0 || image.Height <= 0)
    return;
  const int32_t w = image.Width, h = image.Height;
  for (int32_t y = 0; y < h; ++y) std::memset(image.PixelAddress(image.Left, image.Top + y), 255, size_t(w) * 3);

  const TBGRPixel colour = enabled ? TBGRPixel{0, 0, 0} : TBGRPixel{192, 192, 192};
  // The mask's top-left in the image, centred.
  const int32_t left = (w - mask.Width) / 2, top = (h - mask.Height) / 2;
  const TRect overlap = IntersectRect(Bounds(left, top, mask.Width, mask.Height), Rect(0, 0, w, h));
  for (int32_t y = overlap.Top; y < overlap.Bottom; ++y) {
    const uint8_t* m = mask.Bits + static_cast<ptrdiff_t>(y - top) * mask.Width + (overlap.Left - left);
    TBGRPixel* p = image.Pixel(image.Left + overlap.Left, image.Top + y);
    for (int32_t x = 0; x < overlap.Width(); ++x) BlendPixel(p[x], m[x], colour);
  }

  FillRow(image.PixelAddress(image.Left, image.Top), w, kFrameGrey);
  FillRow(image.PixelAddress(image.Left, image.Top + h - 1), w, kFrameGrey);
  for (int32_t y = 0; y < h; ++y) {
    *image.Pixel(image.Left, image.Top + y) = kFrameGrey;
    *image.Pixel(image.Left + w - 1, image.Top + y) = kFrameGrey;
  }
}
