#include "view/WKCanvasShapes.h"

#include <algorithm>

#include "imaging/WKEllipse.h"
#include "view/WKViewCanvas.h"

namespace {

struct TSpan {
  int32_t Lo = 1, Hi = 0;  // inclusive; Lo > Hi: empty
};

// The filled ellipse's pixels of row y, at least the pixel nearest the centre while the row
// crosses it, so that thin outlines have no gaps.
TSpan FilledSpan(const TRect& r, int32_t y) {
  if (y < r.Top || y >= r.Bottom) return {};
  int32_t x0 = 0, x1 = 0;
  if (EllipseRowSpan(r, y, x0, x1)) return TSpan{x0, x1 - 1};
  const int32_t x = std::clamp((r.Left + r.Right) / 2, r.Left, r.Right - 1);
  return TSpan{x, x};
}

// Runs every outline run through the canvas's clip and bitmap, handing f the start of each
// clipped run with its first x and length.
template <class F>
void ForClippedRuns(TWKViewCanvas& canvas, const std::vector<TWKPixelRun>& runs, F&& f) {
  if (!canvas.Painting()) return;
  const TRect bitmap = Rect(0, 0, canvas.BitmapWidth(), canvas.BitmapHeight());
  for (const TWKPixelRun& run : runs)
    for (const TRect& clip : canvas.ClipRegion().Rects()) {
      const TRect part = IntersectRect(IntersectRect(Rect(run.X0, run.Y, run.X1, run.Y + 1), clip), bitmap);
      if (!part.IsEmpty()) f(canvas.PixelAddress(part.Left, part.Top), part.Left, part.Top, part.Width());
    }
}

}  // namespace

std::vector<TWKPixelRun> EllipseOutline(const TRect& rect) {
  std::vector<TWKPixelRun> runs;
  if (rect.IsEmpty()) return runs;
  TSpan above{}, here = FilledSpan(rect, rect.Top);
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    const TSpan below = FilledSpan(rect, y + 1);
    // Pixels with the rows above and below both covering them, and both row neighbours in the
    // span, are inside.
    const int32_t lo = std::max({above.Lo, below.Lo, here.Lo + 1});
    const int32_t hi = std::min({above.Hi, below.Hi, here.Hi - 1});
    if (above.Lo > above.Hi || below.Lo > below.Hi || lo > hi) {
      runs.push_back({y, here.Lo, here.Hi + 1});
    } else {
      runs.push_back({y, here.Lo, lo});
      runs.push_back({y, hi + 1, here.Hi + 1});
    }
    above = here;
    here = below;
  }
  return runs;
}

void InvertEllipse(TWKViewCanvas& canvas, const TRect& rect) {
  ForClippedRuns(canvas, EllipseOutline(rect), [](uint8_t* p, int32_t, int32_t, int32_t count) {
    for (int32_t i = 0; i < 3 * count; ++i) p[i] = static_cast<uint8_t>(255 - p[i]);
  });
}

void DrawEllipse(TWKViewCanvas& canvas, const TRect& rect, TBGRPixel colour, bool dotted) {
  DrawRuns(canvas, EllipseOutline(rect), colour, dotted);
}

std::vector<TWKPixelRun> RectangleOutline(const TRect& rect) {
  std::vector<TWKPixelRun> runs;
  if (rect.IsEmpty()) return runs;
  runs.push_back(TWKPixelRun{rect.Top, rect.Left, rect.Right});
  for (int32_t y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
    runs.push_back(TWKPixelRun{y, rect.Left, rect.Left + 1});
    if (rect.Width() > 1) runs.push_back(TWKPixelRun{y, rect.Right - 1, rect.Right});
  }
  if (rect.Height() > 1) runs.push_back(TWKPixelRun{rect.Bottom - 1, rect.Left, rect.Right});
  return runs;
}

void DrawRectangle(TWKViewCanvas& canvas, const TRect& rect, TBGRPixel colour, bool dotted) {
  DrawRuns(canvas, RectangleOutline(rect), colour, dotted);
}

void DrawRuns(TWKViewCanvas& canvas, const std::vector<TWKPixelRun>& runs, TBGRPixel colour, bool dotted) {
  ForClippedRuns(canvas, runs, [&](uint8_t* p, int32_t x, int32_t y, int32_t count) {
    for (int32_t i = 0; i < count; ++i, p += 3) {
      if (dotted && ((x + i + y) & 2) != 0) continue;
      p[0] = colour.Blue;
      p[1] = colour.Green;
      p[2] = colour.Red;
    }
  });
}
