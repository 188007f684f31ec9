#include <gtest/gtest.h>

#include "view/WKRegion.h"

namespace {

// Every pixel of the box is counted at most once and only where expected.
int64_t CountCovered(const TWKRegion& region, const TRect& box) {
  int64_t n = 0;
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x) n += region.Contains(x, y) ? 1 : 0;
  return n;
}

}  // namespace

TEST(Region, AddSubtractAndIntersectKeepDisjointRectangles) {
  TWKRegion r({0, 0, 10, 10});
  r.Add({5, 5, 15, 15});
  EXPECT_EQ(r.Area(), 100 + 100 - 25);
  EXPECT_EQ(CountCovered(r, {0, 0, 20, 20}), r.Area());
  EXPECT_EQ(r.BoundingBox(), (TRect{0, 0, 15, 15}));

  r.Subtract({2, 2, 8, 8});  // a hole
  EXPECT_EQ(r.Area(), 175 - 36);
  EXPECT_FALSE(r.Contains(5, 5));
  EXPECT_TRUE(r.Contains(1, 5));
  EXPECT_FALSE(r.Intersects({3, 3, 7, 7}));
  EXPECT_TRUE(r.Intersects({3, 3, 9, 7}));

  r.IntersectWith({0, 0, 4, 15});
  EXPECT_EQ(r.Area(), CountCovered(r, {0, 0, 20, 20}));
  EXPECT_EQ(r.BoundingBox(), (TRect{0, 0, 4, 10}));

  r.Subtract({-100, -100, 100, 100});
  EXPECT_TRUE(r.IsEmpty());
  r.Add({3, 3, 3, 9});  // empty rectangles are ignored
  EXPECT_TRUE(r.IsEmpty());
}
