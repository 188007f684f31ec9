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

}  // namespace

TRect FindAutoCropRect(const std::vector<TRotatedRow>& rows, int32_t width) {
  const int32_t height = static_cast<int32_t>(rows.size());
  if (width <= 0 || height <= 0) return {};
  const TInsideRuns runs(rows, width);
  const int32_t cx = width / 2, cy = height / 2;
  int32_t left = cx, top = cy, right = cx, bottom = cy;
  while (top > 0 && runs.Inside(cx, top)) --top;
  while (bottom < height && runs.Inside(cx, bottom)) ++bottom;
  while (left > 0 && runs.Inside(left, cy)) --left;
  while (right < width && runs.Inside(right, cy)) ++right;

  bool moved = true;
  while (moved && top < bottom - 1 && left < right - 1) {
    moved = false;
    if (!runs.RowInside(top, left, right)) ++top, moved = true;
    if (!runs.RowInside(bottom - 1, left, right)) --bottom, moved = true;
    if (!runs.ColumnInside(left, top, bottom)) ++left, moved = true;
    if (!runs.ColumnInside(right - 1, top, bottom)) --right, moved = true;
  }
  do {
    moved = false;
    if (top > 0 && runs.RowInside(top - 1, left, right)) --top, moved = true;
    if (bottom < height && runs.RowInside(bottom, left, right)) ++bottom, moved = true;
    if (left > 0 && runs.ColumnInside(left - 1, top, bottom)) --left, moved = true;
    if (right < width && runs.ColumnInside(right, top, bottom)) ++right, moved = true;
  } while (moved);
  // Shrinking stops at a single row or column, which may still touch a blank corner (a thin
  // image turned steeply): there is no rectangle to cut to then.
  for (int32_t y = top; y < bottom; ++y)
    if (!runs.RowInside(y, left, right)) return {};
  return Rect(left, top, right, bottom);
}
