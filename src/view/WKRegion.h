// A set of device pixels kept as disjoint rectangles: the clip and update regions of a paint.
#pragma once

#include <vector>

#include "imaging/WKTypes.h"

class TWKRegion {
 public:
  TWKRegion() = default;
  explicit TWKRegion(const TRect& r) { Add(r); }

  bool IsEmpty() const { return Rects_.empty(); }
  const std::vector<TRect>& Rects() const { return Rects_; }
  TRect BoundingBox() const;
  bool Intersects(const TRect& r) const;
  bool Contains(int32_t x, int32_t y) const;

  // Joins r; the parts of r already covered are not stored twice.
  void Add(const TRect& r);
  void Subtract(const TRect& r);
  void IntersectWith(const TRect& r);
  void Clear() { Rects_.clear(); }
  int64_t Area() const;

 private:
  std::vector<TRect> Rects_;
};
