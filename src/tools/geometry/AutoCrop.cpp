#include "tools/geometry/AutoCrop.h"

#include <algorithm>
#include <bit>

namespace {

// The inside pixels as one run per row, with range queries over the runs' ends for columns.
class TInsideRuns {
 public:
  TInsideRuns(const std::vector<TRotatedRow>& rows, int32_t width) {
    const size_t h = rows.size();
    std::vector<int32_t> first(h), end(h);
    for (size_t y = 0; y < h; ++y) {
      const TRotatedRow& r = rows[y];
      const bool run = r.Count > 0 && r.Count == r.End - r.First && r.First >= 0 && r.End <= width;
      first[y] = run ? r.First : width;
      end[y] = run ? r.End : 0;
    }
    // Level k holds the largest first and the smallest end over 2^k rows.
    MaxFirst_.push_back(std::move(first));
    MinEnd_.push_back(std::move(end));
    for (size_t span = 2; span <= h; span *= 2) {
      const std::vector<int32_t>& f = MaxFirst_.back();
      const std::vector<int32_t>& e = MinEnd_.back();
      std::vector<int32_t> nf(h - span + 1), ne(h - span + 1);
      for (size_t y = 0; y + span <= h; ++y) {
        nf[y] = std::max(f[y], f[y + span / 2]);
        ne[y] = std::min(e[y], e[y + span / 2]);
      }
      MaxFirst_.push_back(std::move(nf));
      MinEnd_.push_back(std::move(ne));
    }
  }

  bool Inside(int32_t x, int32_t y) const { return RowInside(y, x, x + 1); }
  // Pixels [left, right) of row y are all inside (true when there are none).
  bool RowInside(int32_t y, int32_t left, int32_t right) const {
    if (left >= right) return true;
    return MaxFirst_[0][y] <= left && right <= MinEnd_[0][y];
  }
  // Pixels [top, bottom) of column x are all inside (true when there are none).
  bool ColumnInside(int32_t x, int32_t top, int32_t bottom) const {
    if (top >= bottom) return true;
    const int k = std::bit_width(static_cast<uint32_t>(bottom - top)) - 1;
    const int32_t second = bottom - (1 << k);
    const int32_t first = std::max(MaxFirst_[k][top], MaxFirst_[k][second]);
    const int32_t end = std::min(MinEnd_[k][top], MinEnd_[k][second]);
    return first <= x && x < end;
  }

 private:
  std::vector<std::vector<int32_t>> MaxFirst_, MinEnd_;
};

// The rectangle reaches from the centre along its column and row to the nearest outside pixels.
TRect Reach(const TInsideRuns& runs, int32_t width, int32_t height) {
  const int32_t cx = width / 2, cy = height / 2;
  TRect r{cx, cy, cx, cy};
  while (r.Top > 0 && runs.Inside(cx, r.Top)) --r.Top;
  while (r.Bottom < height && runs.Inside(cx, r.Bottom)) ++r.Bottom;
  while (r.Left > 0 && runs.Inside(r.Left, cy)) --r.Left;
  while (r.Right < width && runs.Inside(r.Right, cy)) ++r.Right;
  return r;
}

// Each side that touches an outside pixel moves in by one, until none does or the rectangle is
// down to one row or column.
void Shrink(const TInsideRuns& runs, TRect& r) {
  bool moved = true;
  while (moved && r.Top < r.Bottom - 1 && r.Left < r.Right - 1) {
    moved = false;
    if (!runs.RowInside(r.Top, r.Left, r.Right)) ++r.Top, moved = true;
    if (!runs.RowInside(r.Bottom - 1, r.Left, r.Right)) --r.Bottom, moved = true;
    if (!runs.ColumnInside(r.Left, r.Top, r.Bottom)) ++r.Left, moved = true;
    if (!runs.ColumnInside(r.Right - 1, r.Top, r.Bottom)) --r.Right, moved = true;
  }
}

// Each side whose next row or column beyond is all inside moves out by one, while any does.
void Grow(const TInsideRuns& runs, int32_t width, int32_t height, TRect& r) {
  bool moved = true;
  while (moved) {
    moved = false;
    if (r.Top > 0 && runs.RowInside(r.Top - 1, r.Left, r.Right)) --r.Top, moved = true;
    if (r.Bottom < height && runs.RowInside(r.Bottom, r.Left, r.Right)) ++r.Bottom, moved = true;
    if (r.Left > 0 && runs.ColumnInside(r.Left - 1, r.Top, r.Bottom)) --r.Left, moved = true;
    if (r.Right < width && runs.ColumnInside(r.Right, r.Top, r.Bottom)) ++r.Right, moved = true;
  }
}

}  // namespace

TRect FindAutoCropRect(const std::vector<TRotatedRow>& rows, int32_t width) {
  const int32_t height = static_cast<int32_t>(rows.size());
  if (width <= 0 || height <= 0) return {};
  const TInsideRuns runs(rows, width);
  TRect r = Reach(runs, width, height);
  Shrink(runs, r);
  Grow(runs, width, height, r);
  // Shrinking stops at a single row or column, which may still touch a blank corner (a thin
  // image turned steeply): there is no rectangle to cut to then.
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    if (!runs.RowInside(y, r.Left, r.Right)) return {};
  return r;
}
