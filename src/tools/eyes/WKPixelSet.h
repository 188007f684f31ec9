// A set of pixels in image coordinates, held as a byte mask over a rectangle of storage.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKTypes.h"

// r grown by d pixels on every side (shrunk for d < 0).
constexpr TRect InflateRect(const TRect& r, int32_t d) {
  return TRect{r.Left - d, r.Top - d, r.Right + d, r.Bottom + d};
}

class TWKPixelSet {
 public:
  TWKPixelSet() = default;
  explicit TWKPixelSet(const TRect& rect) { Unite(rect); }

  void Clear();
  // Makes room for pixels inside rect so that adding them does not reallocate.
  void Reserve(const TRect& rect);

  void Add(int32_t x, int32_t y);
  bool Contains(int32_t x, int32_t y) const {
    return Box_.Contains(x, y) && Bits_[Index(x, y)] != 0;
  }
  bool IsEmpty() const { return Box_.IsEmpty(); }
  // The smallest rectangle holding every pixel of the set; empty for an empty set.
  TRect BoundingBox() const { return Box_; }
  int64_t Count() const;

  void Unite(const TWKPixelSet& other);
  void Intersect(const TWKPixelSet& other);
  void Subtract(const TWKPixelSet& other);
  void Unite(const TRect& rect);
  void Intersect(const TRect& rect);
  void Subtract(const TRect& rect);
  void Offset(int32_t dx, int32_t dy);

  // One step with the 3 x 3 square: union (dilate) or intersection (erode) with the eight
  // copies shifted by one pixel.
  void Dilate();
  void Erode();
  // Intersection with the four copies shifted left, right, up and down.
  void ErodeCross();

  // The set as disjoint rectangles in bands of equal rows, top to bottom, left to right.
  std::vector<TRect> Rectangles() const;
  static TWKPixelSet FromRectangles(const std::vector<TRect>& rects);
  // The pixels of rect whose byte in grid (rows of rect's width) is not 0.
  static TWKPixelSet FromGrid(const TRect& rect, std::vector<uint8_t> grid);

  // Membership of row y from x0 to x1 (exclusive) as 0/1 bytes written to out.
  void ReadRow(int32_t y, int32_t x0, int32_t x1, uint8_t* out) const;

  friend bool operator==(const TWKPixelSet& a, const TWKPixelSet& b);

 private:
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y - Store_.Top) * static_cast<size_t>(Store_.Width()) +
           static_cast<size_t>(x - Store_.Left);
  }
  uint8_t* Row(int32_t y) { return Bits_.data() + Index(Store_.Left, y); }
  const uint8_t* Row(int32_t y) const { return Bits_.data() + Index(Store_.Left, y); }
  void Resize(const TRect& store);
  void ShrinkBox();

  TRect Store_;  // storage rectangle, always holds Box_
  TRect Box_;    // tight bounding box of the members
  std::vector<uint8_t> Bits_;
};
