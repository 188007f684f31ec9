#include "tools/eyes/WKPixelSet.h"

#include <algorithm>
#include <cstring>

namespace {

// The runs of set pixels in columns [left, right) of row y (row indexed by x), as rectangles.
void AppendRuns(const uint8_t* row, int32_t left, int32_t right, int32_t y, std::vector<TRect>& runs) {
  for (int32_t x = left; x < right;) {
    if (row[x] == 0) {
      ++x;
      continue;
    }
    const int32_t start = x;
    while (x < right && row[x] != 0) ++x;
    runs.push_back(Rect(start, y, x, y + 1));
  }
}

size_t Area(const TRect& r) {
  return r.IsEmpty() ? 0 : static_cast<size_t>(r.Width()) * static_cast<size_t>(r.Height());
}

// Combines each byte of a w x h grid with its neighbours along one axis (step 1 for rows,
// w for columns); cells beyond the grid count as 0.
template <typename Op>
std::vector<uint8_t> Combine3(const std::vector<uint8_t>& g, int32_t w, int32_t h, bool vertical,
                              Op op) {
  std::vector<uint8_t> out(g.size());
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      const bool hasPrev = vertical ? y > 0 : x > 0;
      const bool hasNext = vertical ? y < h - 1 : x < w - 1;
      const size_t step = vertical ? static_cast<size_t>(w) : 1;
      const uint8_t prev = hasPrev ? g[i - step] : 0;
      const uint8_t next = hasNext ? g[i + step] : 0;
      out[i] = op(op(prev, g[i]), next);
    }
  }
  return out;
}

uint8_t Or(uint8_t a, uint8_t b) { return a | b; }
uint8_t And(uint8_t a, uint8_t b) { return a & b; }

}  // namespace

void TWKPixelSet::Clear() {
  Store_ = TRect{};
  Box_ = TRect{};
  Bits_.clear();
}

void TWKPixelSet::Resize(const TRect& store) {
  if (store.IsEmpty()) {
    Clear();
    return;
  }
  std::vector<uint8_t> bits(Area(store), 0);
  const TRect keep = IntersectRect(Box_, store);
  for (int32_t y = keep.Top; y < keep.Bottom; ++y) {
    uint8_t* dst = bits.data() + static_cast<size_t>(y - store.Top) * store.Width() +
                   (keep.Left - store.Left);
    std::memcpy(dst, Bits_.data() + Index(keep.Left, y), static_cast<size_t>(keep.Width()));
  }
  Bits_ = std::move(bits);
  Store_ = store;
  Box_ = keep;
}

void TWKPixelSet::Reserve(const TRect& rect) {
  if (rect.IsEmpty()) return;
  const TRect store = Store_.IsEmpty() ? rect : UnionRect(Store_, rect);
  if (store == Store_) return;
  Resize(store);
}

void TWKPixelSet::Add(int32_t x, int32_t y) {
  if (!Store_.Contains(x, y)) {
    // Grow with a margin so that pixel-by-pixel growth stays linear on the whole.
    const int32_t margin = std::max<int32_t>(16, std::max(Store_.Width(), Store_.Height()) / 2);
    Reserve(UnionRect(Store_, InflateRect(Bounds(x, y, 1, 1), margin)));
  }
  Bits_[Index(x, y)] = 1;
  Box_ = UnionRect(Box_, Bounds(x, y, 1, 1));
}

int64_t TWKPixelSet::Count() const {
  int64_t n = 0;
  for (int32_t y = Box_.Top; y < Box_.Bottom; ++y) {
    const uint8_t* row = Row(y);
    for (int32_t x = Box_.Left; x < Box_.Right; ++x) n += row[x - Store_.Left];
  }
  return n;
}

void TWKPixelSet::ReadRow(int32_t y, int32_t x0, int32_t x1, uint8_t* out) const {
  if (x1 <= x0) return;
  std::memset(out, 0, static_cast<size_t>(x1 - x0));
  if (y < Box_.Top || y >= Box_.Bottom) return;
  const int32_t a = std::max(x0, Box_.Left);
  const int32_t b = std::min(x1, Box_.Right);
  if (b <= a) return;
  std::memcpy(out + (a - x0), Row(y) + (a - Store_.Left), static_cast<size_t>(b - a));
}

void TWKPixelSet::ShrinkBox() {
  int32_t top = Box_.Bottom, bottom = Box_.Top, left = Box_.Right, right = Box_.Left;
  for (int32_t y = Box_.Top; y < Box_.Bottom; ++y) {
    const uint8_t* row = Row(y) - Store_.Left;
    int32_t x = Box_.Left;
    while (x < Box_.Right && row[x] == 0) ++x;
    if (x == Box_.Right) continue;
    int32_t xr = Box_.Right - 1;
    while (row[xr] == 0) --xr;
    top = std::min(top, y);
    bottom = y + 1;
    left = std::min(left, x);
    right = std::max(right, xr + 1);
  }
  Box_ = bottom > top ? Rect(left, top, right, bottom) : TRect{};
}

void TWKPixelSet::Unite(const TWKPixelSet& other) {
  if (other.IsEmpty()) return;
  const TRect o = other.Box_;
  Reserve(o);
  std::vector<uint8_t> row(static_cast<size_t>(o.Width()));
  for (int32_t y = o.Top; y < o.Bottom; ++y) {
    other.ReadRow(y, o.Left, o.Right, row.data());
    uint8_t* dst = Row(y) + (o.Left - Store_.Left);
    for (int32_t i = 0; i < o.Width(); ++i) dst[i] |= row[static_cast<size_t>(i)];
  }
  Box_ = UnionRect(Box_, o);
}

void TWKPixelSet::Intersect(const TWKPixelSet& other) {
  if (IsEmpty()) return;
  std::vector<uint8_t> row(static_cast<size_t>(Box_.Width()));
  for (int32_t y = Box_.Top; y < Box_.Bottom; ++y) {
    other.ReadRow(y, Box_.Left, Box_.Right, row.data());
    uint8_t* dst = Row(y) + (Box_.Left - Store_.Left);
    for (int32_t i = 0; i < Box_.Width(); ++i) dst[i] &= row[static_cast<size_t>(i)];
  }
  ShrinkBox();
}

void TWKPixelSet::Subtract(const TWKPixelSet& other) {
  const TRect o = IntersectRect(Box_, other.Box_);
  if (o.IsEmpty()) return;
  std::vector<uint8_t> row(static_cast<size_t>(o.Width()));
  for (int32_t y = o.Top; y < o.Bottom; ++y) {
    other.ReadRow(y, o.Left, o.Right, row.data());
    uint8_t* dst = Row(y) + (o.Left - Store_.Left);
    for (int32_t i = 0; i < o.Width(); ++i) dst[i] &= static_cast<uint8_t>(row[static_cast<size_t>(i)] ^ 1);
  }
  ShrinkBox();
}

void TWKPixelSet::Unite(const TRect& rect) {
  if (rect.IsEmpty()) return;
  Reserve(rect);
  for (int32_t y = rect.Top; y < rect.Bottom; ++y)
    std::memset(Row(y) + (rect.Left - Store_.Left), 1, static_cast<size_t>(rect.Width()));
  Box_ = UnionRect(Box_, rect);
}

void TWKPixelSet::Intersect(const TRect& rect) {
  const TRect keep = IntersectRect(Box_, rect);
  if (keep == Box_) return;
  for (int32_t y = Box_.Top; y < Box_.Bottom; ++y) {
    uint8_t* row = Row(y) - Store_.Left;
    for (int32_t x = Box_.Left; x < Box_.Right; ++x)
      if (!keep.Contains(x, y)) row[x] = 0;
  }
  Box_ = keep;
  ShrinkBox();
}

void TWKPixelSet::Subtract(const TRect& rect) {
  const TRect o = IntersectRect(Box_, rect);
  if (o.IsEmpty()) return;
  for (int32_t y = o.Top; y < o.Bottom; ++y)
    std::memset(Row(y) + (o.Left - Store_.Left), 0, static_cast<size_t>(o.Width()));
  ShrinkBox();
}

void TWKPixelSet::Offset(int32_t dx, int32_t dy) {
  if (Store_.IsEmpty()) return;
  Store_ = OffsetRect(Store_, dx, dy);
  if (!Box_.IsEmpty()) Box_ = OffsetRect(Box_, dx, dy);
}

void TWKPixelSet::Dilate() {
  if (IsEmpty()) return;
  const TRect r = InflateRect(Box_, 1);
  std::vector<uint8_t> g(Area(r));
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    ReadRow(y, r.Left, r.Right, g.data() + static_cast<size_t>(y - r.Top) * r.Width());
  g = Combine3(Combine3(g, r.Width(), r.Height(), false, Or), r.Width(), r.Height(), true, Or);
  Bits_ = std::move(g);
  Store_ = r;
  Box_ = r;
  ShrinkBox();
}

void TWKPixelSet::Erode() {
  if (IsEmpty()) return;
  const TRect r = Box_;
  std::vector<uint8_t> g(Area(r));
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    ReadRow(y, r.Left, r.Right, g.data() + static_cast<size_t>(y - r.Top) * r.Width());
  g = Combine3(Combine3(g, r.Width(), r.Height(), false, And), r.Width(), r.Height(), true, And);
  Bits_ = std::move(g);
  Store_ = r;
  ShrinkBox();
}

void TWKPixelSet::ErodeCross() {
  if (IsEmpty()) return;
  const TRect r = Box_;
  const int32_t w = r.Width();
  std::vector<uint8_t> g(Area(r));
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    ReadRow(y, r.Left, r.Right, g.data() + static_cast<size_t>(y - r.Top) * w);
  const std::vector<uint8_t> h = Combine3(g, w, r.Height(), false, And);
  const std::vector<uint8_t> v = Combine3(g, w, r.Height(), true, And);
  for (size_t i = 0; i < g.size(); ++i) g[i] = h[i] & v[i];
  Bits_ = std::move(g);
  Store_ = r;
  ShrinkBox();
}

std::vector<TRect> TWKPixelSet::Rectangles() const {
  std::vector<TRect> done;
  std::vector<TRect> open;  // the band of the previous row
  std::vector<TRect> runs;
  for (int32_t y = Box_.Top; y <= Box_.Bottom; ++y) {
    runs.clear();
    if (y < Box_.Bottom) AppendRuns(Row(y) - Store_.Left, Box_.Left, Box_.Right, y, runs);
    const bool sameBand =
        runs.size() == open.size() &&
        std::equal(runs.begin(), runs.end(), open.begin(), [](const TRect& a, const TRect& b) {
          return a.Left == b.Left && a.Right == b.Right;
        });
    if (sameBand && !runs.empty()) {
      for (TRect& r : open) r.Bottom = y + 1;
      continue;
    }
    done.insert(done.end(), open.begin(), open.end());
    open = runs;
  }
  return done;
}

TWKPixelSet TWKPixelSet::FromRectangles(const std::vector<TRect>& rects) {
  TWKPixelSet set;
  TRect all;
  for (const TRect& r : rects) all = UnionRect(all, r);
  set.Reserve(all);
  for (const TRect& r : rects) set.Unite(r);
  return set;
}

TWKPixelSet TWKPixelSet::FromGrid(const TRect& rect, std::vector<uint8_t> grid) {
  TWKPixelSet set;
  if (rect.IsEmpty() || grid.size() != Area(rect)) return set;
  for (uint8_t& b : grid) b = b != 0;
  set.Bits_ = std::move(grid);
  set.Store_ = rect;
  set.Box_ = rect;
  set.ShrinkBox();
  return set;
}

bool operator==(const TWKPixelSet& a, const TWKPixelSet& b) {
  if (a.Box_ != b.Box_) return false;
  for (int32_t y = a.Box_.Top; y < a.Box_.Bottom; ++y) {
    if (std::memcmp(a.Row(y) + (a.Box_.Left - a.Store_.Left), b.Row(y) + (b.Box_.Left - b.Store_.Left),
                    static_cast<size_t>(a.Box_.Width())) != 0)
      return false;
  }
  return true;
}
