#include "tools/geometry/TextBlend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/WKParallel.h"

bool FitTextMask(const TWKPixels& source, int32_t width, int32_t height, TWKPixelBuffer& fitted) {
  if (source.Bits == nullptr || source.Width < 1 || source.Height < 1 || width < 1 || height < 1 ||
      source.PixelFormat != FormatBGR24) {
    fitted.Clear();
    return false;
  }
  if (!fitted.Allocate(FormatBGR24, Rect(0, 0, width, height), TPixelFill::Any)) return false;
  std::vector<int32_t> columns(static_cast<size_t>(width));
  for (int32_t x = 0; x < width; ++x)
    columns[static_cast<size_t>(x)] = static_cast<int32_t>(int64_t{x} * source.Width / width) * 3;
  const auto sourceRow = [&](int32_t y) { return static_cast<int32_t>(int64_t{y} * source.Height / height); };
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  ParallelRows(height, int64_t{width} * height * 3, [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      uint8_t* d = fitted.Bits + static_cast<ptrdiff_t>(y) * fitted.RowBytes;
      // A repeated source row is a copy of the row above.
      if (y > begin && sourceRow(y) == sourceRow(y - 1)) {
        std::memcpy(d, d - fitted.RowBytes, rowBytes);
        continue;
      }
      const uint8_t* s = source.Bits + static_cast<ptrdiff_t>(sourceRow(y)) * source.RowBytes;
      for (const int32_t offset : columns) {
        d[0] = s[offset];
        d[1] = s[offset + 1];
        d[2] = s[offset + 2];
        d += 3;
      }
    }
  });
  return true;
}

TBGRPixel TextColorOver(const TTextPaint& paint, TBGRPixel p) {
  if (paint.ColorMode == 0)
    return TBGRPixel{static_cast<uint8_t>(paint.Color >> 16), static_cast<uint8_t>(paint.Color >> 8),
                     static_cast<uint8_t>(paint.Color)};
  auto inverse = [&](uint8_t v) -> uint8_t {
    if (paint.MaxInverse) return v < 128 ? 255 : 0;
    return static_cast<uint8_t>(255 - v);
  };
  return TBGRPixel{inverse(p.Blue), inverse(p.Green), inverse(p.Red)};
}

namespace {

uint8_t BlendChannel(int32_t p, int32_t c, int32_t m) {
  // ⌊(c − p) × m / 256⌋: the arithmetic shift rounds toward minus infinity.
  return static_cast<uint8_t>(p + (((c - p) * m) >> 8));
}

// Image pixels [x0, x1) of one row through the mask row of the box.
void BlendTextRow(uint8_t* p, const uint8_t* maskLine, int32_t x0, int32_t x1, const TRect& box, bool mirroredX,
                  const TTextPaint& paint) {
  for (int32_t j = x0; j < x1; ++j, p += 3) {
    const int32_t maskColumn = mirroredX ? box.Right - j - 1 : j - box.Left;
    const int32_t m = maskLine[maskColumn * 3];
    if (m == 0) continue;
    const TBGRPixel c = TextColorOver(paint, TBGRPixel{p[0], p[1], p[2]});
    if (m == 255) {
      p[0] = c.Blue, p[1] = c.Green, p[2] = c.Red;
      continue;
    }
    p[0] = BlendChannel(p[0], c.Blue, m);
    p[1] = BlendChannel(p[1], c.Green, m);
    p[2] = BlendChannel(p[2], c.Red, m);
  }
}

}  // namespace

void BlendTextMask(TWKPixels& image, const TWKPixels& fitted, const TRect& box, bool mirroredX,
                   bool mirroredY, const TTextPaint& paint) {
  if (image.Bits == nullptr || fitted.Bits == nullptr || image.PixelFormat != FormatBGR24 ||
      fitted.PixelFormat != FormatBGR24 || fitted.Width != box.Width() || fitted.Height != box.Height())
    return;
  const TRect area = IntersectRect(box, image.BoundsRect());
  ParallelRows(area.Height(), int64_t{area.Width()} * area.Height() * 3, [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t i = area.Top + begin; i < area.Top + end; ++i) {
      const int32_t maskRow = mirroredY ? box.Bottom - i - 1 : i - box.Top;
      BlendTextRow(image.PixelAddress(area.Left, i), fitted.Bits + static_cast<ptrdiff_t>(maskRow) * fitted.RowBytes,
                   area.Left, area.Right, box, mirroredX, paint);
    }
  });
}

TPoint TextHandlePoint(const TRect& b, int32_t code) {
  const int32_t midX = (b.Left + b.Right) / 2, midY = (b.Top + b.Bottom) / 2;
  switch (code) {
    case thTop: return {midX, b.Top};
    case thTopRight: return {b.Right - 1, b.Top};
    case thRight: return {b.Right - 1, midY};
    case thBottomRight: return {b.Right - 1, b.Bottom - 1};
    case thBottom: return {midX, b.Bottom - 1};
    case thBottomLeft: return {b.Left, b.Bottom - 1};
    case thLeft: return {b.Left, midY};
    default: return {b.Left, b.Top};
  }
}

int32_t TextHandleHitTest(const TRect& screenBox, TPoint point) {
  for (int32_t code = thTop; code <= thTopLeft; ++code) {
    const TPoint h = TextHandlePoint(screenBox, code);
    if (Bounds(h.X - 4, h.Y - 4, 9, 9).Contains(point.X, point.Y)) return code;
  }
  return screenBox.Contains(point.X, point.Y) ? thInside : thNone;
}

TTextEdges TextHandleEdges(int32_t code) {
  TTextEdges e;
  e.Right = code == thTopRight || code == thRight || code == thBottomRight;
  e.Left = code == thBottomLeft || code == thLeft || code == thTopLeft;
  e.Bottom = code == thBottomRight || code == thBottom || code == thBottomLeft;
  e.Top = code == thTop || code == thTopRight || code == thTopLeft;
  return e;
}

TRect MoveTextBox(const TRect& start, int32_t code, int32_t dx, int32_t dy) {
  TRect r = start;
  if (code == thInside) {
    r = TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
  } else {
    const TTextEdges e = TextHandleEdges(code);
    if (e.Left) r.Left += dx;
    if (e.Right) r.Right += dx;
    if (e.Top) r.Top += dy;
    if (e.Bottom) r.Bottom += dy;
  }
  return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
               std::max(r.Top, r.Bottom)};
}
