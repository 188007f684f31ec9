#include "view/WKViewCanvas.h"

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
