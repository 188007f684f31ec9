#include "tools/eyes/EyeFinder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "imaging/WKParallel.h"

namespace {

// A run of pixels [X0, X1) of one colour class in one row.
struct TRun {
  int32_t X0 = 0, X1 = 0;
  TEyeDefect Defect = TEyeDefect::None;
};

struct TBlob {
  TEyeDefect Defect = TEyeDefect::None;
  int64_t Area = 0;
  TRect Box;
};

class TUnionFind {
 public:
  explicit TUnionFind(size_t n) : Parent_(n) { std::iota(Parent_.begin(), Parent_.end(), 0U); }
  uint32_t Find(uint32_t i) {
    while (Parent_[i] != i) {
      Parent_[i] = Parent_[Parent_[i]];
      i = Parent_[i];
    }
    return i;
  }
  void Unite(uint32_t a, uint32_t b) {
    a = Find(a);
    b = Find(b);
    if (a != b) Parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<uint32_t> Parent_;
};

// The runs of every row of area, each row's runs in order of x; rows split across the cores.
struct TRunRows {
  std::vector<std::vector<TRun>> Rows;
  std::vector<uint32_t> First;  // global index of each row's first run
  uint32_t Count = 0;
};

void AppendRowRuns(const TWKPixels& pixels, const TRect& area, int32_t y, std::vector<TRun>& out) {
  const uint8_t* p = pixels.PixelAddress(area.Left, y);
  const int32_t bpp = pixels.BytesPerPixel;
  TEyeDefect open = TEyeDefect::None;
  int32_t start = 0;
  for (int32_t x = area.Left; x < area.Right; ++x, p += bpp) {
    const TEyeDefect d = ClassifyEyePixel(p[0], p[1], p[2]);
    if (d == open) continue;
    if (open != TEyeDefect::None) out.push_back(TRun{start, x, open});
    open = d;
    start = x;
  }
  if (open != TEyeDefect::None) out.push_back(TRun{start, area.Right, open});
}

TRunRows CollectRuns(const TWKPixels& pixels, const TRect& area) {
  TRunRows runs;
  runs.Rows.resize(static_cast<size_t>(area.Height()));
  const int64_t work = int64_t{area.Width()} * area.Height() * 4;
  ParallelRows(area.Height(), work, [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t i = begin; i < end; ++i)
      AppendRowRuns(pixels, area, area.Top + i, runs.Rows[static_cast<size_t>(i)]);
  });
  runs.First.resize(runs.Rows.size());
  for (size_t i = 0; i < runs.Rows.size(); ++i) {
    runs.First[i] = runs.Count;
    runs.Count += static_cast<uint32_t>(runs.Rows[i].size());
  }
  return runs;
}

// Joins runs of the same class that touch a run of the row above (four-neighbourhood).
void JoinRows(const TRunRows& runs, TUnionFind& sets) {
  for (size_t y = 1; y < runs.Rows.size(); ++y) {
    const std::vector<TRun>& above = runs.Rows[y - 1];
    const std::vector<TRun>& row = runs.Rows[y];
    size_t a = 0;
    for (size_t i = 0; i < row.size(); ++i) {
      while (a < above.size() && above[a].X1 <= row[i].X0) ++a;
      for (size_t k = a; k < above.size() && above[k].X0 < row[i].X1; ++k)
        if (above[k].Defect == row[i].Defect)
          sets.Unite(runs.First[y - 1] + static_cast<uint32_t>(k),
                     runs.First[y] + static_cast<uint32_t>(i));
    }
  }
}

// Area and bounds of every set, indexed by its root.
std::vector<TBlob> MeasureBlobs(const TRunRows& runs, const TRect& area, TUnionFind& sets,
                                std::vector<uint32_t>& roots) {
  std::vector<TBlob> blobs(runs.Count);
  roots.resize(runs.Count);
  for (size_t y = 0; y < runs.Rows.size(); ++y) {
    const int32_t iy = area.Top + static_cast<int32_t>(y);
    for (size_t i = 0; i < runs.Rows[y].size(); ++i) {
      const TRun& r = runs.Rows[y][i];
      const uint32_t root = sets.Find(runs.First[y] + static_cast<uint32_t>(i));
      roots[runs.First[y] + i] = root;
      TBlob& b = blobs[root];
      b.Defect = r.Defect;
      b.Area += r.X1 - r.X0;
      b.Box = UnionRect(b.Box, Rect(r.X0, iy, r.X1, iy + 1));
    }
  }
  return blobs;
}

bool PlausibleBlob(const TBlob& b, int32_t maxDiameter, const TEyeFinderLimits& limits) {
  if (b.Defect == TEyeDefect::None || b.Area < limits.MinArea) return false;
  const int32_t w = b.Box.Width(), h = b.Box.Height();
  if (w > maxDiameter || h > maxDiameter || w < 2 || h < 2) return false;
  const double aspect = static_cast<double>(std::max(w, h)) / std::min(w, h);
  // A filled ellipse covers pi / 4 of its box; a catch-light hole takes some of that.
  const double fill = static_cast<double>(b.Area) / (static_cast<double>(w) * h);
  return aspect <= limits.MaxAspect && fill >= 0.45;
}

// A small grid of bytes over a rectangle of the image.
struct TLocalGrid {
  TRect Box;
  std::vector<uint8_t> Bits;
  uint8_t& At(int32_t x, int32_t y) {
    return Bits[static_cast<size_t>(y - Box.Top) * Box.Width() + static_cast<size_t>(x - Box.Left)];
  }
};

// The blob's pixels (1) on a grid over window.
TLocalGrid RasterBlob(const TRunRows& runs, const TRect& area, const std::vector<uint32_t>& roots,
                      uint32_t root, const TRect& box, const TRect& window) {
  TLocalGrid g{window, std::vector<uint8_t>(static_cast<size_t>(window.Width()) * window.Height())};
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const size_t row = static_cast<size_t>(y - area.Top);
    for (size_t i = 0; i < runs.Rows[row].size(); ++i) {
      if (roots[runs.First[row] + i] != root) continue;
      const TRun& r = runs.Rows[row][i];
      for (int32_t x = r.X0; x < r.X1; ++x) g.At(x, y) = 1;
    }
  }
  return g;
}

// Marks with 2 the pixels outside the blob that the window's border reaches through pixels
// outside the blob; those left at 0 are the holes it encloses.
void MarkOutside(TLocalGrid& g) {
  std::vector<TPoint> stack;
  const TRect b = g.Box;
  auto push = [&](int32_t x, int32_t y) {
    if (b.Contains(x, y) && g.At(x, y) == 0) {
      g.At(x, y) = 2;
      stack.push_back(TPoint{x, y});
    }
  };
  for (int32_t x = b.Left; x < b.Right; ++x) {
    push(x, b.Top);
    push(x, b.Bottom - 1);
  }
  for (int32_t y = b.Top; y < b.Bottom; ++y) {
    push(b.Left, y);
    push(b.Right - 1, y);
  }
  while (!stack.empty()) {
    const TPoint p = stack.back();
    stack.pop_back();
    push(p.X - 1, p.Y);
    push(p.X + 1, p.Y);
    push(p.X, p.Y - 1);
    push(p.X, p.Y + 1);
  }
}

struct TColourSum {
  int64_t B = 0, G = 0, R = 0, N = 0, Same = 0;
  void Add(const uint8_t* p) {
    B += p[0];
    G += p[1];
    R += p[2];
    ++N;
  }
  TEyeColour Mean() const {
    if (N == 0) return {};
    return TEyeColour{static_cast<int32_t>(B / N), static_cast<int32_t>(G / N),
                      static_cast<int32_t>(R / N)};
  }
};

// The blob measured on its window: mean colours of the blob and of an elliptic ring round it,
// and how round the filled blob is.
struct TBlobShape {
  TColourSum Core, Ring;
  int64_t Filled = 0;
  double Aspect = 1;
  double Roundness = 0;  // overlap / union of the filled blob and its box's inscribed ellipse
};

TBlobShape MeasureShape(const TWKPixels& pixels, TLocalGrid& g, const TRect& box, TEyeDefect defect) {
  TBlobShape s;
  const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  const double ax = box.Width() / 2.0, ay = box.Height() / 2.0;
  int64_t inter = 0, uni = 0;
  for (int32_t y = g.Box.Top; y < g.Box.Bottom; ++y) {
    const uint8_t* p = pixels.PixelAddress(g.Box.Left, y);
    for (int32_t x = g.Box.Left; x < g.Box.Right; ++x, p += pixels.BytesPerPixel) {
      const uint8_t m = g.At(x, y);
      const double dx = (x + 0.5 - cx) / ax, dy = (y + 0.5 - cy) / ay;
      const double d2 = dx * dx + dy * dy;
      inter += m != 2 && d2 <= 1.0;
      uni += m != 2 || d2 <= 1.0;
      if (m != 2) ++s.Filled;
      if (m == 1) s.Core.Add(p);
      if (m != 2) continue;
      if (d2 < 1.6 || d2 > 3.6) continue;  // radius 1.26 .. 1.9 of the blob's
      s.Ring.Add(p);
      if (ClassifyEyePixel(p[0], p[1], p[2]) == defect) ++s.Ring.Same;
    }
  }
  s.Aspect = std::max(ax, ay) / std::min(ax, ay);
  s.Roundness = uni > 0 ? static_cast<double>(inter) / static_cast<double>(uni) : 0.0;
  return s;
}

// Whether the blob looks like a defect pupil; strict asks more of a blob without a partner.
bool LooksLikePupil(TEyeDefect defect, const TBlobShape& s, bool strict) {
  if (s.Ring.N < 8 || s.Roundness < (strict ? 0.8 : 0.7) || (strict && s.Aspect > 1.5)) return false;
  if (s.Ring.Same * 100 > s.Ring.N * (strict ? 12 : 25)) return false;
  const TEyeColour core = s.Core.Mean(), ring = s.Ring.Mean();
  // A red pupil is far redder than what surrounds it, be that iris or skin.
  if (defect == TEyeDefect::Red)
    return core.Red >= 100 && core.Redness() >= (strict ? 70 : 50) && ring.Redness() * 2 <= core.Redness();
  // A shine is brighter than its iris, and either strongly coloured or nearly white; a white
  // blob in a black ring is a catch-light.
  if (core.Luma() < ring.Luma() + (strict ? 60 : 40) || ring.Luma() > 150) return false;
  if (core.Chroma() >= 70) return core.Green - core.Blue >= 50;  // green or yellow, not skin
  // White: too common in photos to be taken without a partner.
  return !strict && core.Chroma() < 50 && std::min({core.Red, core.Green, core.Blue}) >= 180 &&
         std::max({ring.Red, ring.Green, ring.Blue}) >= 45;
}

struct TCandidate {
  TFoundEye Eye;
  TBlobShape Shape;
  double Radius = 0;
};

TFoundEye MakeEye(TLocalGrid& g, const TRect& box, TEyeDefect defect, const TBlobShape& s) {
  TFoundEye eye;
  eye.Defect = defect;
  std::vector<uint8_t> pupil(g.Bits.size()), holes(g.Bits.size());
  for (size_t i = 0; i < g.Bits.size(); ++i) {
    pupil[i] = g.Bits[i] == 1;
    holes[i] = g.Bits[i] == 0;
  }
  eye.Pupil = TWKPixelSet::FromGrid(g.Box, std::move(pupil));
  eye.Holes = TWKPixelSet::FromGrid(g.Box, std::move(holes));
  eye.Bounds = box;
  eye.Centre = TPoint{(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
  eye.Core = s.Core.Mean();
  eye.Ring = s.Ring.Mean();
  return eye;
}

// Two blobs of the same kind and similar size at a distance two eyes have.
bool CouldPair(const TCandidate& a, const TCandidate& b) {
  if (a.Eye.Defect != b.Eye.Defect) return false;
  const TEyeColour ca = a.Eye.Core, cb = b.Eye.Core;
  if (std::max({std::abs(ca.Red - cb.Red), std::abs(ca.Green - cb.Green), std::abs(ca.Blue - cb.Blue)}) > 60)
    return false;
  const double r = std::max(a.Radius, b.Radius), rs = std::min(a.Radius, b.Radius);
  if (r > 1.7 * rs) return false;
  const double dx = a.Eye.Centre.X - b.Eye.Centre.X, dy = a.Eye.Centre.Y - b.Eye.Centre.Y;
  const double d = std::hypot(dx, dy);
  return d >= 4 * r && d <= 32 * r && std::abs(dy) <= 0.7 * d;
}

}  // namespace

TEyeDefect ClassifyEyePixel(uint8_t blue, uint8_t green, uint8_t red) {
  const int32_t b = blue, g = green, r = red;
  const int32_t gb = std::max(g, b);
  if (r >= 60 && 5 * r >= 9 * gb + 40) return TEyeDefect::Red;
  const int32_t top = std::max(r, gb);
  // Bright, green at least three quarters of red, blue not above the others.
  if (top >= 150 && 4 * g >= 3 * r && b <= std::max(r, g) + 8) return TEyeDefect::Shine;
  return TEyeDefect::None;
}

std::vector<TFoundEye> FindEyes(const TWKPixels& pixels, const TRect& area,
                                const TEyeFinderLimits& limits) {
  const TRect inside = IntersectRect(area, pixels.BoundsRect());
  if (pixels.Bits == nullptr || pixels.BytesPerPixel < 3 || inside.IsEmpty()) return {};
  const TRunRows runs = CollectRuns(pixels, inside);
  TUnionFind sets(runs.Count);
  JoinRows(runs, sets);
  std::vector<uint32_t> roots;
  const std::vector<TBlob> blobs = MeasureBlobs(runs, inside, sets, roots);

  const TRect image = pixels.BoundsRect();
  const int32_t maxDiameter =
      std::max(6, std::min(image.Width(), image.Height()) / std::max(1, limits.MaxDiameterDivisor));
  std::vector<TCandidate> candidates;
  for (uint32_t root = 0; root < runs.Count; ++root) {
    const TBlob& b = blobs[root];
    if (roots[root] != root || !PlausibleBlob(b, maxDiameter, limits)) continue;
    const int32_t margin = std::max(3, std::max(b.Box.Width(), b.Box.Height()));
    const TRect window = IntersectRect(InflateRect(b.Box, margin), inside);
    TLocalGrid g = RasterBlob(runs, inside, roots, root, b.Box, window);
    MarkOutside(g);
    const TBlobShape shape = MeasureShape(pixels, g, b.Box, b.Defect);
    if (!LooksLikePupil(b.Defect, shape, false)) continue;
    TCandidate c{MakeEye(g, b.Box, b.Defect, shape), shape,
                 std::sqrt(static_cast<double>(shape.Filled) / std::numbers::pi)};
    candidates.push_back(std::move(c));
  }

  for (size_t i = 0; i < candidates.size(); ++i)
    for (size_t k = i + 1; k < candidates.size(); ++k)
      if (CouldPair(candidates[i], candidates[k])) {
        candidates[i].Eye.Paired = true;
        candidates[k].Eye.Paired = true;
      }

  std::vector<TFoundEye> eyes;
  for (TCandidate& c : candidates)
    if (c.Eye.Paired || LooksLikePupil(c.Eye.Defect, c.Shape, true)) eyes.push_back(std::move(c.Eye));
  std::sort(eyes.begin(), eyes.end(), [](const TFoundEye& a, const TFoundEye& b) {
    return a.Centre.Y != b.Centre.Y ? a.Centre.Y < b.Centre.Y : a.Centre.X < b.Centre.X;
  });
  return eyes;
}
