#include "tools/eyes/WKPixelSet.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A dense reference over a fixed window; pixels outside it are never members.
constexpr TRect Window = Rect(-12, -8, 30, 26);

struct TReference {
  std::vector<bool> In = std::vector<bool>(static_cast<size_t>(Window.Width() * Window.Height()));
  bool Has(int32_t x, int32_t y) const {
    return Window.Contains(x, y) && In[static_cast<size_t>((y - Window.Top) * Window.Width() + x - Window.Left)];
  }
  void Put(int32_t x, int32_t y, bool v) {
    if (Window.Contains(x, y)) In[static_cast<size_t>((y - Window.Top) * Window.Width() + x - Window.Left)] = v;
  }
};

TWKPixelSet RandomSet(std::mt19937& rng, TReference& ref, int density) {
  TWKPixelSet set;
  std::uniform_int_distribution<int> pct(0, 99);
  for (int32_t y = Window.Top + 2; y < Window.Bottom - 2; ++y)
    for (int32_t x = Window.Left + 2; x < Window.Right - 2; ++x)
      if (pct(rng) < density) {
        set.Add(x, y);
        ref.Put(x, y, true);
      }
  return set;
}

void ExpectSame(const TWKPixelSet& set, const TReference& ref) {
  TRect box;
  for (int32_t y = Window.Top - 2; y < Window.Bottom + 2; ++y)
    for (int32_t x = Window.Left - 2; x < Window.Right + 2; ++x) {
      ASSERT_EQ(set.Contains(x, y), ref.Has(x, y)) << x << "," << y;
      if (ref.Has(x, y)) box = UnionRect(box, Bounds(x, y, 1, 1));
    }
  EXPECT_EQ(set.BoundingBox(), box);
}

TReference Morph(const TReference& ref, bool dilate, bool cross) {
  TReference out;
  for (int32_t y = Window.Top; y < Window.Bottom; ++y)
    for (int32_t x = Window.Left; x < Window.Right; ++x) {
      bool any = false, all = true;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          if (cross && dx != 0 && dy != 0) continue;
          any = any || ref.Has(x + dx, y + dy);
          all = all && ref.Has(x + dx, y + dy);
        }
      out.Put(x, y, dilate ? any : all);
    }
  return out;
}

}  // namespace

TEST(WKPixelSet, AddContainsAndBoundingBox) {
  TWKPixelSet set;
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_FALSE(set.Contains(0, 0));
  set.Add(5, 7);
  set.Add(-3, 2);
  set.Add(100, -40);  // far outside the first storage
  EXPECT_TRUE(set.Contains(5, 7));
  EXPECT_TRUE(set.Contains(-3, 2));
  EXPECT_TRUE(set.Contains(100, -40));
  EXPECT_FALSE(set.Contains(5, 6));
  EXPECT_EQ(set.BoundingBox(), Rect(-3, -40, 101, 8));
  EXPECT_EQ(set.Count(), 3);
  set.Clear();
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_EQ(set.BoundingBox(), TRect{});
}

TEST(WKPixelSet, SetAlgebraMatchesReference) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    TReference ra, rb;
    TWKPixelSet a = RandomSet(rng, ra, 40);
    const TWKPixelSet b = RandomSet(rng, rb, 40);
    TReference u, i, d;
    for (int32_t y = Window.Top; y < Window.Bottom; ++y)
      for (int32_t x = Window.Left; x < Window.Right; ++x) {
        u.Put(x, y, ra.Has(x, y) || rb.Has(x, y));
        i.Put(x, y, ra.Has(x, y) && rb.Has(x, y));
        d.Put(x, y, ra.Has(x, y) && !rb.Has(x, y));
      }
    TWKPixelSet su = a, si = a, sd = a;
    su.Unite(b);
    si.Intersect(b);
    sd.Subtract(b);
    ExpectSame(su, u);
    ExpectSame(si, i);
    ExpectSame(sd, d);
    ExpectSame(a, ra);  // copies are independent
  }
}

TEST(WKPixelSet, RectangleOperations) {
  TWKPixelSet set(Rect(0, 0, 10, 10));
  set.Subtract(Rect(3, 3, 6, 6));
  EXPECT_EQ(set.Count(), 100 - 9);
  EXPECT_FALSE(set.Contains(4, 4));
  set.Intersect(Rect(0, 0, 4, 10));
  EXPECT_EQ(set.BoundingBox(), Rect(0, 0, 4, 10));
  EXPECT_EQ(set.Count(), 40 - 3);
  set.Subtract(Rect(0, 0, 4, 10));
  EXPECT_TRUE(set.IsEmpty());
  set.Unite(Rect(2, 2, 4, 4));
  set.Offset(-10, 5);
  EXPECT_EQ(set.BoundingBox(), Rect(-8, 7, -6, 9));
  EXPECT_TRUE(set.Contains(-8, 7));
  EXPECT_FALSE(set.Contains(2, 2));
  set.Intersect(Rect(100, 100, 200, 200));
  EXPECT_TRUE(set.IsEmpty());
}

TEST(WKPixelSet, RectanglesRoundTripAndAreDisjoint) {
  std::mt19937 rng(11);
  for (int density : {5, 50, 95}) {
    TReference ref;
    const TWKPixelSet set = RandomSet(rng, ref, density);
    const std::vector<TRect> rects = set.Rectangles();
    int64_t area = 0;
    for (const TRect& r : rects) area += int64_t{r.Width()} * r.Height();
    EXPECT_EQ(area, set.Count());  // disjoint and covering exactly the set
    EXPECT_TRUE(TWKPixelSet::FromRectangles(rects) == set);
  }
  // Equal rows merge into one band: a solid block is one rectangle.
  EXPECT_EQ(TWKPixelSet(Rect(1, 2, 9, 7)).Rectangles(), std::vector<TRect>{Rect(1, 2, 9, 7)});
}

TEST(WKPixelSet, MorphologyMatchesReference) {
  std::mt19937 rng(3);
  for (int density : {10, 60, 90}) {
    TReference ref;
    const TWKPixelSet set = RandomSet(rng, ref, density);
    TWKPixelSet dilated = set, eroded = set, crossed = set;
    dilated.Dilate();
    eroded.Erode();
    crossed.ErodeCross();
    ExpectSame(dilated, Morph(ref, true, false));
    ExpectSame(eroded, Morph(ref, false, false));
    ExpectSame(crossed, Morph(ref, false, true));
  }
  TWKPixelSet dot;
  dot.Add(0, 0);
  dot.Dilate();
  EXPECT_EQ(dot.BoundingBox(), Rect(-1, -1, 2, 2));
  EXPECT_EQ(dot.Count(), 9);
  TWKPixelSet line(Rect(0, 0, 20, 1));
  line.Erode();
  EXPECT_TRUE(line.IsEmpty());
}
