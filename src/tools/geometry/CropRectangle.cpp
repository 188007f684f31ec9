#include "tools/geometry/CropRectangle.h"

namespace {

constexpr int32_t kHandleReach = 4;  // a 9 × 9 square about the handle point

bool Within(const TRect& r, const TRect& image) {
  return r.Left >= image.Left && r.Top >= image.Top && r.Right <= image.Right &&
         r.Bottom <= image.Bottom;
}

}  // namespace

TPoint CropHandlePoint(const TRect& r, int32_t handle) {
  const int32_t midX = (r.Left + r.Right) / 2, midY = (r.Top + r.Bottom) / 2;
  switch (handle) {
    case chTop: return {midX, r.Top};
    case chTopRight: return {r.Right, r.Top};
    case chRight: return {r.Right, midY};
    case chBottomRight: return {r.Right, r.Bottom};
    case chBottom: return {midX, r.Bottom};
    case chBottomLeft: return {r.Left, r.Bottom};
    case chLeft: return {r.Left, midY};
    case chTopLeft: return {r.Left, r.Top};
    default: return {midX, midY};
  }
}

int32_t CropHitTest(const TRect& r, TPoint p) {
  for (int32_t handle :
       {chTopLeft, chTop, chTopRight, chRight, chBottomLeft, chBottom, chBottomRight, chLeft}) {
    const TPoint h = CropHandlePoint(r, handle);
    if (p.X >= h.X - kHandleReach && p.X <= h.X + kHandleReach && p.Y >= h.Y - kHandleReach &&
        p.Y <= h.Y + kHandleReach)
      return handle;
  }
  return r.Contains(p) ? chInside : chOutside;
}

TRect ConstrainCropRect(int32_t handle, const TRect& r, TSideRatio ratio) {
  if (ratio.Free()) return r;
  TRect c = r;
  switch (handle) {
    case chTop:
    case chTopRight:
    case chBottomRight:
    case chBottom:
    case chBottomLeft:
    case chTopLeft: {
      const int32_t h = r.Height() / ratio.Height * ratio.Height;
      if (handle == chTop || handle == chTopRight || handle == chTopLeft)
        c.Top = c.Bottom - h;
      else
        c.Bottom = c.Top + h;
      const int32_t w = h / ratio.Height * ratio.Width;
      if (handle == chBottomLeft || handle == chTopLeft)
        c.Left = c.Right - w;
      else
        c.Right = c.Left + w;
      return c;
    }
    case chRight:
    case chLeft: {
      const int32_t w = r.Width() / ratio.Width * ratio.Width;
      if (handle == chRight)
        c.Right = c.Left + w;
      else
        c.Left = c.Right - w;
      c.Top = c.Bottom - w / ratio.Width * ratio.Height;
      return c;
    }
    default: return r;
  }
}

std::optional<TRect> DrawnCropRect(TPoint start, TPoint point, TSideRatio ratio,
                                   const TRect& image) {
  TRect r{std::min(start.X, point.X), std::min(start.Y, point.Y), std::max(start.X, point.X),
          std::max(start.Y, point.Y)};
  if (start.X != point.X && start.Y != point.Y) {
    const bool right = point.X > start.X, down = point.Y > start.Y;
    const int32_t handle =
        right ? (down ? chBottomRight : chTopRight) : (down ? chBottomLeft : chTopLeft);
    r = ConstrainCropRect(handle, r, ratio);
  }
  if (!Within(r, image)) return std::nullopt;
  return IntersectRect(r, image);
}

std::optional<TRect> DraggedCropRect(int32_t handle, const TRect& start, TPoint delta,
                                     TSideRatio ratio, const TRect& image) {
  TRect r = start;
  const int32_t dx = delta.X, dy = delta.Y;
  if (handle == chInside) {
    r = OffsetRect(r, dx, dy);
    if (r.Left < image.Left) r = OffsetRect(r, image.Left - r.Left, 0);
    if (r.Right > image.Right) r = OffsetRect(r, image.Right - r.Right, 0);
    if (r.Top < image.Top) r = OffsetRect(r, 0, image.Top - r.Top);
    if (r.Bottom > image.Bottom) r = OffsetRect(r, 0, image.Bottom - r.Bottom);
    return r;
  }
  if (handle == chTop || handle == chTopRight || handle == chTopLeft) r.Top += dy;
  if (handle == chBottom || handle == chBottomRight || handle == chBottomLeft) r.Bottom += dy;
  if (handle == chLeft || handle == chTopLeft || handle == chBottomLeft) r.Left += dx;
  if (handle == chRight || handle == chTopRight || handle == chBottomRight) r.Right += dx;
  if (handle < chTop || handle > chTopLeft) return std::nullopt;
  r = ConstrainCropRect(handle, r, ratio);
  if (!Within(r, image) || IntersectRect(r, image).IsEmpty()) return std::nullopt;
  return r;
}

std::optional<TRect> CropRectWithSide(const TRect& r, int32_t value, int32_t extent,
                                      bool vertical) {
  if (value < 1) return r;
  if (value > extent) return std::nullopt;
  TRect c = r;
  int32_t& low = vertical ? c.Top : c.Left;
  int32_t& high = vertical ? c.Bottom : c.Right;
  if (low + value < extent) {
    high = low + value;
  } else {
    high = extent;
    low = high - value;
  }
  return c;
}
