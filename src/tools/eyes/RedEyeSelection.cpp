#include "tools/eyes/RedEyeSelection.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The fill's stack starts with room for 32 points and grows by the factor 1.4142.
class TPointStack {
 public:
  TPointStack() { Points_.reserve(32); }
  void Push(int32_t x, int32_t y) {
    if (Points_.size() == Points_.capacity())
      Points_.reserve(static_cast<size_t>(std::lround(Points_.capacity() * 1.4142)));
    Points_.push_back(TPoint{x, y});
    ++Pushes_;
  }
  bool Pop(TPoint& p) {
    if (Points_.empty()) return false;
    p = Points_.back();
    Points_.pop_back();
    return true;
  }
  int64_t Pushes() const { return Pushes_; }

 private:
  std::vector<TPoint> Points_;
  int64_t Pushes_ = 0;
};

}  // namespace

int32_t TRedEyeSelection::Threshold(int32_t toleranceBase) {
  const int64_t t = std::max<int64_t>(0, 220 - static_cast<int64_t>(toleranceBase)) / 2;
  // Colour differences never exceed 255 and distances never exceed 87, so a larger
  // threshold selects the same pixels.
  return static_cast<int32_t>(std::min<int64_t>(t, 255));
}

bool TRedEyeSelection::Select(const TWKPixels& source, TPoint click, int32_t toleranceBase,
                              int32_t border) {
  Region_.Clear();
  Click_ = click;
  ToleranceBase_ = toleranceBase;
  Border_ = ClampInt(border, -MaxBorder, MaxBorder);
  SourceBounds_ = source.BoundsRect();
  SearchRect_ = TRect{};
  Pushes_ = 0;
  ElapsedMs_ = 0;
  if (!source.Bits || source.BytesPerPixel < 3 || !SourceBounds_.Contains(click)) return false;

  const int32_t half = SearchSize / 2;
  const TRect square =
      IntersectRect(Rect(click.X - half, click.Y - half, click.X + half, click.Y + half),
                    SourceBounds_);
  SearchRect_ = InflateRect(square, -1);
  if (SearchRect_.IsEmpty()) SearchRect_ = TRect{};

  const auto start = std::chrono::steady_clock::now();
  if (!SearchRect_.IsEmpty()) Fill(source, Threshold(toleranceBase));
  ElapsedMs_ =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

  ApplyBorder();
  Region_.Intersect(SearchRect_);
  SearchRect_ = square;
  return !Region_.IsEmpty();
}

// Per pixel of the search square: 1 when its colour and distance from the click pass, 0
// otherwise. The colour test runs once per pixel, row by row.
std::vector<uint8_t> TRedEyeSelection::Candidates(const TWKPixels& source, int32_t threshold) const {
  const TRect sr = SearchRect_;
  const int32_t w = sr.Width();
  std::vector<uint8_t> state(static_cast<size_t>(w) * static_cast<size_t>(sr.Height()));
  const uint8_t* c = source.PixelAddress(Click_.X, Click_.Y);
  const uint8_t cb = c[0], cg = c[1], cr = c[2];
  const int32_t bpp = source.BytesPerPixel;
  // sqrt(d) <= T exactly when d <= T * T for whole numbers d and T.
  const int32_t maxDistance = threshold * threshold;
  for (int32_t y = sr.Top; y < sr.Bottom; ++y) {
    const uint8_t* p = source.PixelAddress(sr.Left, y);
    uint8_t* out = state.data() + static_cast<size_t>(y - sr.Top) * w;
    const int32_t dy = std::abs(y - Click_.Y);
    for (int32_t i = 0; i < w; ++i, p += bpp) {
      const int32_t d = std::max(std::abs(sr.Left + i - Click_.X), dy);
      const int32_t diff =
          std::max(std::max(std::abs(p[0] - cb), std::abs(p[1] - cg)), std::abs(p[2] - cr));
      out[i] = static_cast<uint8_t>(diff <= threshold && d <= maxDistance);
    }
  }
  return state;
}

void TRedEyeSelection::Fill(const TWKPixels& source, int32_t threshold) {
  const TRect sr = SearchRect_;
  const int32_t w = sr.Width();
  // A candidate becomes 2 once it is in the set.
  std::vector<uint8_t> state = Candidates(source, threshold);
  auto at = [&](int32_t x, int32_t y) -> uint8_t& {
    return state[static_cast<size_t>(y - sr.Top) * w + static_cast<size_t>(x - sr.Left)];
  };
  // In the search square and not yet in the set: the condition for a push.
  auto open = [&](int32_t x, int32_t y) { return at(x, y) != 2; };
  auto accepted = [&](int32_t x, int32_t y) { return sr.Contains(x, y) && at(x, y) == 1; };

  TPointStack stack;
  for (int32_t dx = -1; dx <= 1; ++dx)
    for (int32_t dy = -1; dy <= 1; ++dy)
      if (accepted(Click_.X + dx, Click_.Y + dy)) stack.Push(Click_.X + dx, Click_.Y + dy);

  TPoint p;
  while (stack.Pop(p)) {
    if (!accepted(p.X, p.Y)) continue;
    at(p.X, p.Y) = 2;
    if (p.X >= sr.Left + 1 && open(p.X - 1, p.Y)) stack.Push(p.X - 1, p.Y);
    if (p.X <= sr.Right - 2 && open(p.X + 1, p.Y)) stack.Push(p.X + 1, p.Y);
    if (p.Y >= sr.Top + 1 && open(p.X, p.Y - 1)) stack.Push(p.X, p.Y - 1);
    if (p.Y <= sr.Bottom - 2 && open(p.X, p.Y + 1)) stack.Push(p.X, p.Y + 1);
  }
  Pushes_ = stack.Pushes();
  for (uint8_t& s : state) s = s == 2;
  Region_ = TWKPixelSet::FromGrid(sr, std::move(state));
}

void TRedEyeSelection::ApplyBorder() {
  for (int32_t i = 0; i < Border_; ++i) Region_.Dilate();
  for (int32_t i = 0; i < -Border_; ++i) Region_.Erode();
}

TRect TRedEyeSelection::SelectionBounds() const {
  if (Region_.IsEmpty()) return TRect{};
  return IntersectRect(InflateRect(Region_.BoundingBox(), 1), SourceBounds_);
}

uint8_t TRedEyeSelection::CoverageAt(int32_t x, int32_t y) const {
  const TWKPixelSet& s = Region_;
  int32_t sum = s.Contains(x, y) ? 1020 : 0;
  sum += 510 * (s.Contains(x - 1, y) + s.Contains(x + 1, y) + s.Contains(x, y - 1) +
                s.Contains(x, y + 1));
  sum += 255 * (s.Contains(x - 1, y - 1) + s.Contains(x + 1, y - 1) + s.Contains(x - 1, y + 1) +
                s.Contains(x + 1, y + 1));
  return static_cast<uint8_t>(sum >> 4);
}

std::string TRedEyeSelection::DiagnosticLine() const {
  char text[96];
  std::snprintf(text, sizeof text, "Stack iterations: %lld Time: %lld",
                static_cast<long long>(Pushes_), static_cast<long long>(std::llround(ElapsedMs_)));
  return text;
}
