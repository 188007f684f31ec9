#include "view/WKRegion.h"

namespace {

// Appends the parts of a that lie outside b.
void AppendDifference(const TRect& a, const TRect& b, std::vector<TRect>& out) {
  const TRect overlap = IntersectRect(a, b);
  if (overlap.IsEmpty()) {
    out.push_back(a);
    return;
  }
  if (a.Top < overlap.Top) out.push_back({a.Left, a.Top, a.Right, overlap.Top});
  if (overlap.Bottom < a.Bottom) out.push_back({a.Left, overlap.Bottom, a.Right, a.Bottom});
  if (a.Left < overlap.Left) out.push_back({a.Left, overlap.Top, overlap.Left, overlap.Bottom});
  if (overlap.Right < a.Right) out.push_back({overlap.Right, overlap.Top, a.Right, overlap.Bottom});
}

}  // namespace

TRect TWKRegion::BoundingBox() const {
  TRect box;
  for (const TRect& r : Rects_) box = UnionRect(box, r);
  return box;
}

bool TWKRegion::Intersects(const TRect& r) const {
  for (const TRect& own : Rects_)
    if (!IntersectRect(own, r).IsEmpty()) return true;
  return false;
}

bool TWKRegion::Contains(int32_t x, int32_t y) const {
  for (const TRect& own : Rects_)
    if (own.Contains(x, y)) return true;
  return false;
}

void TWKRegion::Add(const TRect& r) {
  if (r.IsEmpty()) return;
  std::vector<TRect> pieces{r};
  for (const TRect& own : Rects_) {
    std::vector<TRect> rest;
    for (const TRect& piece : pieces) AppendDifference(piece, own, rest);
    pieces.swap(rest);
    if (pieces.empty()) return;
  }
  Rects_.insert(Rects_.end(), pieces.begin(), pieces.end());
}

void TWKRegion::Subtract(const TRect& r) {
  if (r.IsEmpty()) return;
  std::vector<TRect> rest;
  rest.reserve(Rects_.size() + 4);
  for (const TRect& own : Rects_) AppendDifference(own, r, rest);
  Rects_.swap(rest);
}

void TWKRegion::IntersectWith(const TRect& r) {
  std::vector<TRect> rest;
  for (const TRect& own : Rects_) {
    const TRect overlap = IntersectRect(own, r);
    if (!overlap.IsEmpty()) rest.push_back(overlap);
  }
  Rects_.swap(rest);
}

int64_t TWKRegion::Area() const {
  int64_t area = 0;
  for (const TRect& r : Rects_) area += static_cast<int64_t>(r.Width()) * r.Height();
  return area;
}
