// Nearest-neighbour drawing of a rectangle of pixels scaled onto another (the view's zoom).
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/WKBitmap.h"

namespace {

inline void BlendChannel(uint8_t& d, int32_t s, int32_t a) {
  d = static_cast<uint8_t>(d + (((s - d) * a) >> 8));
}

inline int32_t SourceIndex(int32_t offset, double scale, int32_t lo, int32_t count) {
  const int32_t i = static_cast<int32_t>(std::floor(offset * scale));
  return lo + ClampInt(i, 0, count - 1);
}

void StretchRow24(uint8_t* d, const uint8_t* s, const int32_t* columns, int32_t count) {
  for (int32_t i = 0; i < count; ++i, d += 3) {
    const uint8_t* p = s + columns[i];
    d[0] = p[0];
    d[1] = p[1];
    d[2] = p[2];
  }
}

void StretchRow32(uint8_t* d, const uint8_t* s, const int32_t* columns, int32_t count) {
  for (int32_t i = 0; i < count; ++i, d += 3) {
    const uint8_t* p = s + columns[i];
    const int32_t a = p[3];
    if (a == 0) continue;
    BlendChannel(d[0], p[0], a);
    BlendChannel(d[1], p[1], a);
    BlendChannel(d[2], p[2], a);
  }
}

}  // namespace

void StretchDrawPixels(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                       const TWKPixels& source, const TRect& sourceRect) {
  if (destRect.Width() == sourceRect.Width() && destRect.Height() == sourceRect.Height()) {
    DrawPixels(dest, destRect.Left, destRect.Top, clipRect, source, sourceRect);
    return;
  }
  if (dest.PixelFormat != FormatBGR24 || !dest.Bits || !source.Bits) return;
  if (source.PixelFormat != FormatBGR24 && source.PixelFormat != FormatBGRA32) return;
  if (destRect.IsEmpty() || sourceRect.IsEmpty()) return;
  if (IntersectRect(sourceRect, source.BoundsRect()) != sourceRect) return;
  const TRect area = IntersectRect(IntersectRect(dest.BoundsRect(), clipRect), destRect);
  if (area.IsEmpty()) return;

  const double sx = static_cast<double>(sourceRect.Width()) / destRect.Width();
  const double sy = static_cast<double>(sourceRect.Height()) / destRect.Height();
  const int32_t bpp = source.BytesPerPixel;
  std::vector<int32_t> columns(static_cast<size_t>(area.Width()));
  for (int32_t x = area.Left; x < area.Right; ++x) {
    const int32_t column = SourceIndex(x - destRect.Left, sx, sourceRect.Left, sourceRect.Width());
    columns[x - area.Left] = (column - source.Left) * bpp;
  }
  const bool alpha = source.PixelFormat == FormatBGRA32;
  int32_t lastRow = INT32_MIN;
  const uint8_t* lastDest = nullptr;
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const int32_t row = SourceIndex(y - destRect.Top, sy, sourceRect.Top, sourceRect.Height());
    uint8_t* d = dest.PixelAddress(area.Left, y);
    if (!alpha && row == lastRow) {
      std::memcpy(d, lastDest, static_cast<size_t>(area.Width()) * 3);
      continue;
    }
    const uint8_t* s = source.Bits + static_cast<ptrdiff_t>(row - source.Top) * source.RowBytes;
    if (alpha)
      StretchRow32(d, s, columns.data(), area.Width());
    else
      StretchRow24(d, s, columns.data(), area.Width());
    lastRow = row;
    lastDest = d;
  }
}
