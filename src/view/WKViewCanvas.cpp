#include "view/WKViewCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool TWKViewCanvas::BeginPaint(IWKPaintWindow& window) {
  if (Window_ != nullptr) return false;  // already painting
  TWKRegion update = window.UpdateRegion();
  // Client coordinates start at 0; nothing left of or above the client area is painted.
  update.IntersectWith({0, 0, INT32_MAX, INT32_MAX});
  if (update.IsEmpty()) return false;
  const TRect box = update.BoundingBox();
  const int32_t rowBytes = DIBRowBytes(box.Right, 24);
  if (rowBytes <= 0) return false;  // wider than any bitmap can be
  Window_ = &window;
  Update_ = std::move(update);
  Box_ = box;
  Width_ = box.Right;
  Height_ = box.Bottom;
  RowBytes_ = rowBytes;
  Bits_.assign(static_cast<size_t>(RowBytes_) * static_cast<size_t>(Height_), 0);
  Pixels_.Attach(Rect(0, 0, Width_, Height_), Bits_.data(), FormatBGR24, RowBytes_);
  Depth_ = 0;
  Clip_ = Update_;
  DeviceBegin();
  ClipChanged();
  return true;
}

void TWKViewCanvas::PushClip(TWKViewObject* viewObject) {
  if (Depth_ == static_cast<int32_t>(States_.size())) States_.emplace_back();
  TWKViewState& state = States_[static_cast<size_t>(Depth_++)];
  state.Object = viewObject;
  state.Clip = Clip_;
}

bool TWKViewCanvas::PopClip(TWKViewObject*& viewObject) {
  if (Depth_ == 0) return false;
  TWKViewState& state = States_[static_cast<size_t>(--Depth_)];
  viewObject = state.Object;
  SetClip(state.Clip);
  state.Clip.Clear();
  state.Object = nullptr;
  return true;
}

void TWKViewCanvas::EndPaint() {
  if (!Window_) return;
  DeviceEnd();
  Window_->Present(*this, Box_);
  Window_->ValidateUpdate();
  Window_ = nullptr;
  while (Depth_ > 0) States_[static_cast<size_t>(--Depth_)].Clip.Clear();
  Update_.Clear();
  Clip_.Clear();
  Box_ = TRect{};
  Bits_.clear();
  Pixels_ = TWKCanvasPixels();
  Width_ = Height_ = RowBytes_ = 0;
}

void TWKViewCanvas::FillBackground() {
  for (const TRect& r : Clip_.Rects())
    FillClipped(r, BackgroundRed, BackgroundGreen, BackgroundBlue);
}

void TWKViewCanvas::FillRect(const TRect& r, uint8_t red, uint8_t green, uint8_t blue) {
  for (const TRect& own : Clip_.Rects()) FillClipped(IntersectRect(own, r), red, green, blue);
}

void TWKViewCanvas::FillClipped(const TRect& area, uint8_t red, uint8_t green, uint8_t blue) {
  const TRect r = IntersectRect(area, {0, 0, Width_, Height_});
  if (r.IsEmpty()) return;
  uint8_t* first = PixelAddress(r.Left, r.Top);
  for (int32_t x = 0; x < r.Width(); ++x) {
    first[x * 3] = blue;
    first[x * 3 + 1] = green;
    first[x * 3 + 2] = red;
  }
  const size_t bytes = static_cast<size_t>(r.Width()) * 3;
  for (int32_t y = r.Top + 1; y < r.Bottom; ++y) std::memcpy(PixelAddress(r.Left, y), first, bytes);
}

template <class Op>
void TWKViewCanvas::ForEachClippedRow(const TRect& r, Op op) {
  const TRect bounded = IntersectRect(r, {0, 0, Width_, Height_});
  if (bounded.IsEmpty()) return;
  for (const TRect& own : Clip_.Rects()) {
    const TRect part = IntersectRect(own, bounded);
    for (int32_t y = part.Top; y < part.Bottom; ++y) op(PixelAddress(part.Left, y), part.Width());
  }
}

void TWKViewCanvas::DarkenRect(const TRect& r) {
  ForEachClippedRow(r, [](uint8_t* p, int32_t count) {
    for (int32_t i = 0; i < count * 3; ++i) p[i] = static_cast<uint8_t>(p[i] - ((p[i] * 92) >> 8));
  });
}

void TWKViewCanvas::InvertRect(const TRect& r) {
  ForEachClippedRow(r, [](uint8_t* p, int32_t count) {
    for (int32_t i = 0; i < count * 3; ++i) p[i] = static_cast<uint8_t>(~p[i]);
  });
}

void TWKViewCanvas::InvertFrame(const TRect& r) {
  if (r.IsEmpty()) return;
  InvertRect({r.Left, r.Top, r.Right, r.Top + 1});
  if (r.Height() > 1) InvertRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
  if (r.Height() > 2) {
    InvertRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1});
    if (r.Width() > 1) InvertRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1});
  }
}

void TWKViewCanvas::InvertPixel(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_ || !Clip_.Contains(x, y)) return;
  uint8_t* p = PixelAddress(x, y);
  for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(~p[c]);
}

void TWKViewCanvas::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  // Walks the outline once, so that no pixel is inverted twice.
  int32_t step = 0;
  auto dot = [&](int32_t x, int32_t y) {
    if (step++ % 2 == 0) InvertPixel(x, y);
  };
  for (int32_t x = r.Left; x < r.Right; ++x) dot(x, r.Top);
  for (int32_t y = r.Top + 1; y < r.Bottom; ++y) dot(r.Right - 1, y);
  if (r.Height() > 1)
    for (int32_t x = r.Right - 2; x >= r.Left; --x) dot(x, r.Bottom - 1);
  if (r.Width() > 1)
    for (int32_t y = r.Bottom - 2; y > r.Top; --y) dot(r.Left, y);
}

void TWKViewCanvas::InvertLine(TPoint a, TPoint b) {
  // Bresenham; only the part over the bitmap costs anything.
  const int64_t dx = std::abs(int64_t{b.X} - a.X), dy = -std::abs(int64_t{b.Y} - a.Y);
  const int32_t sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  int64_t error = dx + dy;
  int32_t x = a.X, y = a.Y;
  for (int64_t steps = std::max(dx, -dy); steps >= 0; --steps) {
    InvertPixel(x, y);
    const int64_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void TWKViewCanvas::ExcludeClipRect(const TRect& r) {
  Clip_.Subtract(r);
  ClipChanged();
}

void TWKViewCanvas::IntersectClipRect(const TRect& r) {
  Clip_.IntersectWith(r);
  ClipChanged();
}

void TWKViewCanvas::SetClip(const TWKRegion& region) {
  Clip_ = region;
  ClipChanged();
}

bool TWKViewCanvas::PaintLayered(IWKPaintWindow& window, const TWKViewObjectList& objects) {
  if (!BeginPaint(window)) return false;
  PaintObjectLayers(objects);
  FillBackground();
  TWKViewObject* object = nullptr;
  while (PopClip(object)) {
    object->PaintForeground(*this);
    object->AfterPaint();
  }
  EndPaint();
  return true;
}

void TWKViewCanvas::PaintObjectLayers(const TWKViewObjectList& objects) {
  for (int32_t i = objects.Count() - 1; i >= 0; --i) {
    TWKViewObject* object = objects.Items(i);
    if (!object->Visible()) continue;
    TRect r;
    object->GetUpdateRect(MapMode, r);
    if (!ClipIntersects(r) || !object->IsVisibleOn(*this)) continue;
    bool pushed = false;
    if (object->HasForeground()) {
      object->GetForegroundRect(MapMode, r);
      if (ClipIntersects(r)) {
        PushClip(object);
        pushed = true;
      }
    }
    if (object->HasBackground()) {
      object->GetBackgroundRect(MapMode, r);
      if (ClipIntersects(r)) object->PaintBackground(*this);
    }
    if (!pushed) object->AfterPaint();
  }
}
