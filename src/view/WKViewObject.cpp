#include "view/WKViewObject.h"

#include <algorithm>

#include "view/WKViewCanvas.h"

namespace {

TRect Grow(const TRect& r, int32_t by) {
  return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

bool Overlaps(const TRect& a, const TRect& b) { return !IntersectRect(a, b).IsEmpty(); }

}  // namespace

void TWKViewObject::SetVisible(bool value) {
  if (value)
    Flags |= vofVisible;
  else
    Flags &= static_cast<uint8_t>(~vofVisible);
}

void TWKViewObject::SetBounds(const TRect& rect) { Bounds = rect; }

void TWKViewObject::InitFlags() { Flags = vofVisible | vofBackground | vofForeground | vofPainted; }

void TWKViewObject::GetUpdateRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = TRect{};
  if (HasBackground()) {
    GetBackgroundRect(mapMode, rect);
    if (!HasForeground()) return;
    TRect foreground;
    GetForegroundRect(mapMode, foreground);
    rect = UnionRect(rect, foreground);
    return;
  }
  if (HasForeground()) GetForegroundRect(mapMode, rect);
}

void TWKViewObject::GetBackgroundRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = mapMode.DocToDevRect(Bounds);
}

void TWKViewObject::GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) {
  rect = mapMode.DocToDevRect(Bounds);
}

bool TWKViewObject::IsVisibleOn(TWKViewCanvas& canvas) { return Visible(); }

void TWKViewObject::Paint(TWKViewCanvas& canvas) {
  if ((Flags & vofPainted) == 0 || !IsVisibleOn(canvas)) return;
  if (HasBackground()) PaintBackground(canvas);
  if (HasForeground()) PaintForeground(canvas);
  AfterPaint();
}

int32_t TWKViewObject::HitTestPoint(const TWKMapMode& mapMode, TPoint point, int32_t tolerance) {
  const TRect r = mapMode.DocToDevRect(Bounds);
  if (r.Contains(point)) return htInside;
  if (tolerance > 0 && Grow(r, tolerance).Contains(point)) return htNear;
  return htNone;
}

int32_t TWKViewObject::HitTestRect(const TWKMapMode& mapMode, const TRect& rect,
                                   int32_t tolerance) {
  const TRect r = mapMode.DocToDevRect(Bounds);
  if (!rect.IsEmpty() && rect.Left >= r.Left && rect.Top >= r.Top && rect.Right <= r.Right &&
      rect.Bottom <= r.Bottom)
    return htInside;
  if (Overlaps(rect, r)) return htOverlap;
  if (tolerance >= 1 && Overlaps(rect, Grow(r, tolerance))) return htNear;
  return htNone;
}

TWKViewObject* TWKViewObjectList::Add(std::unique_ptr<TWKViewObject> object) {
  Items_.push_back(std::move(object));
  return Items_.back().get();
}

TWKViewObject* TWKViewObjectList::Insert(int32_t index, std::unique_ptr<TWKViewObject> object) {
  index = ClampInt(index, 0, Count());
  return Items_.insert(Items_.begin() + index, std::move(object))->get();
}

std::unique_ptr<TWKViewObject> TWKViewObjectList::Extract(const TWKViewObject* object) {
  const int32_t index = IndexOf(object);
  if (index < 0) return nullptr;
  std::unique_ptr<TWKViewObject> result = std::move(Items_[static_cast<size_t>(index)]);
  Items_.erase(Items_.begin() + index);
  return result;
}

void TWKViewObjectList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return;
  Items_.erase(Items_.begin() + index);
}

int32_t TWKViewObjectList::IndexOf(const TWKViewObject* object) const {
  for (size_t i = 0; i < Items_.size(); ++i)
    if (Items_[i].get() == object) return static_cast<int32_t>(i);
  return -1;
}
