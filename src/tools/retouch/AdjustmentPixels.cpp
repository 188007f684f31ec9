#include "tools/retouch/AdjustmentPixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/WKParallel.h"

namespace {

bool Fit(const TWKPixels& source, const TWKPixels& dest) {
  return source.Bits != nullptr && dest.Bits != nullptr && source.PixelFormat == FormatBGR24 &&
         dest.PixelFormat == FormatBGR24 && source.Width == dest.Width && source.Height == dest.Height;
}

inline const uint8_t* Row(const TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

inline uint8_t* MutableRow(const TWKPixels& p, int32_t y) {
  return p.Bits + static_cast<ptrdiff_t>(y) * p.RowBytes;
}

int64_t Bytes(const TWKPixels& p) { return static_cast<int64_t>(p.Width) * 3 * p.Height; }

// Rows per progress report of the saturation pass.
constexpr int32_t ProgressBand = 64;

}  // namespace

void BuildLineTable(double x1, double y1, double x2, double y2, TLookupTable& table) {
  if (std::fabs(x2 - x1) <= 0.001) x2 = x1 + 0.001;
  double a = y2 - y1;
  double b = x1 - x2;
  double c = -(x1 * a + y1 * b);
  const double largest = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
  a /= largest;
  b /= largest;
  c /= largest;
  for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = ClampRound(-(a * i + c) / b);
}

void BuildBrightnessTable(int32_t value, TLookupTable& table) {
  const double k = value * 255.0 / 50.0;
  BuildLineTable(0, -k, 255, 255 - k, table);
}

void BuildContrastTable(int32_t value, double mean, TLookupTable& table) {
  const double q = value / 50.0;
  if (value >= 0)
    BuildLineTable(0, q * mean, 255, 255 - q * (255 - mean), table);
  else
    BuildLineTable(-q * mean, 0, 255 + q * (255 - mean), 255, table);
}

void BuildGammaTable(int32_t value, TLookupTable& table) {
  const double g = value > 0 ? 1 - value * 0.6999699969997 / 50 : 1 - value * 2.333 / 50;
  for (int i = 0; i < 256; ++i)
    table[static_cast<size_t>(i)] = ClampRound(std::nearbyint(255 * std::pow(i / 255.0, g)));
}

TMeanColor MeanColor(const TWKPixels& image) {
  const int64_t area = static_cast<int64_t>(image.Width) * image.Height;
  if (image.Bits == nullptr || image.PixelFormat != FormatBGR24 || area <= 0) return {};
  const int32_t parts = ParallelRowParts(image.Height, Bytes(image));
  std::vector<std::array<uint64_t, 3>> sums(static_cast<size_t>(std::max(parts, 1)), {0, 0, 0});
  ParallelRowsIn(parts, image.Height, [&](int32_t part, int32_t begin, int32_t end) {
    std::array<uint64_t, 3>& total = sums[static_cast<size_t>(part)];
    for (int32_t y = begin; y < end; ++y) {
      uint64_t b = 0, g = 0, r = 0;
      const uint8_t* p = Row(image, y);
      for (int32_t x = 0; x < image.Width; ++x, p += 3) {
        b += p[0];
        g += p[1];
        r += p[2];
      }
      total[0] += b;
      total[1] += g;
      total[2] += r;
    }
  });
  std::array<uint64_t, 3> total{0, 0, 0};
  for (const auto& part : sums)
    for (size_t c = 0; c < 3; ++c) total[c] += part[c];
  const double n = static_cast<double>(area);
  return {static_cast<float>(static_cast<double>(total[0]) / n),
          static_cast<float>(static_cast<double>(total[1]) / n),
          static_cast<float>(static_cast<double>(total[2]) / n)};
}

bool ApplyLookupTables(const TWKPixels& source, TWKPixels& dest, const TLookupTable& red,
                       const TLookupTable& green, const TLookupTable& blue) {
  if (!Fit(source, dest)) return false;
  const int32_t width = source.Width;
  ParallelRows(source.Height, Bytes(source), [&](int32_t, int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      const uint8_t* s = Row(source, y);
      uint8_t* d = MutableRow(dest, y);
      for (int32_t x = 0; x < width; ++x, s += 3, d += 3) {
        d[0] = blue[s[0]];
        d[1] = green[s[1]];
        d[2] = red[s[2]];
      }
    }
  });
  return true;
}

namespace {

// n / d rounded to the nearest integer, halves to even; n >= 0, d > 0.
inline int32_t RoundedQuotient(int32_t n, int32_t d) {
  const int32_t q = n / d, twice = 2 * (n - q * d);
  return q + (twice > d || (twice == d && (q & 1) != 0) ? 1 : 0);
}

}  // namespace

// S = (max - min) / max changes to S' = S (1 + e / 50) for e < 0 and S + (1 - S) e / 50 for
// e > 0; min' = (1 - S') max, and the middle keeps its relative place between minimum and
// maximum. Worked out, with a = |e|:
//   e > 0: min' = min (50 - a) / 50,        mid' = mid - a min (max - mid) / (50 (max - min));
//   e < 0: min' = min + a (max - min) / 50,  mid' = mid + a (max - mid) / 50.
// Computed exactly in integers, then rounded halves to even.
void SaturatePixel(const uint8_t* source, uint8_t* dest, const TChannelValues& values) {
  // Ranking in memory order: on equal bytes blue ranks above green and red, green above red.
  int hi = 0, lo = 0;
  for (int c = 1; c < 3; ++c) {
    if (source[c] > source[hi]) hi = c;
    if (source[c] <= source[lo]) lo = c;
  }
  const int32_t max = source[hi], min = source[lo];
  const int32_t e = ClampInt(hi == 0 ? values.Blue : (hi == 1 ? values.Green : values.Red), -50, 50);
  if (max == min || e == 0) {
    if (dest != source) std::copy(source, source + 3, dest);
    return;
  }
  const int mid = 3 - hi - lo;
  const int32_t middle = source[mid];
  int32_t newMin = 0, newMiddle = 0;
  if (e > 0) {
    newMin = RoundedQuotient(min * (50 - e), 50);
    newMiddle = RoundedQuotient(50 * middle * (max - min) - e * min * (max - middle), 50 * (max - min));
  } else {
    newMin = RoundedQuotient(50 * min - e * (max - min), 50);
    newMiddle = RoundedQuotient(50 * middle - e * (max - middle), 50);
  }
  dest[hi] = static_cast<uint8_t>(max);
  dest[mid] = static_cast<uint8_t>(newMiddle);
  dest[lo] = static_cast<uint8_t>(newMin);
}

namespace {

// The whole-image form of SaturatePixel: what depends on the channel values alone is tabled once,
// and the one division left is a multiplication by a reciprocal that is exact for these ranges.
class TSaturationPass {
 public:
  explicit TSaturationPass(const TChannelValues& values) {
    const int32_t byChannel[3] = {values.Blue, values.Green, values.Red};
    for (int c = 0; c < 3; ++c) {
      const int32_t e = ClampInt(byChannel[c], -50, 50);
      E_[c] = e;
      if (e > 0) {
        for (int32_t v = 0; v < 256; ++v) Shrunk_[c][v] = static_cast<uint8_t>(RoundedQuotient(v * (50 - e), 50));
      } else if (e < 0) {
        Toward_[c].resize(256 * 256);
        for (int32_t max = 0; max < 256; ++max)
          for (int32_t v = 0; v <= max; ++v)
            Toward_[c][static_cast<size_t>(max * 256 + v)] = static_cast<uint8_t>(RoundedQuotient(50 * v - e * (max - v), 50));
      }
    }
  }

  void Row(const uint8_t* s, uint8_t* d, int32_t width) const {
    for (int32_t x = 0; x < width; ++x, s += 3, d += 3) {
      const int32_t b = s[0], g = s[1], r = s[2];
      const int hi = b >= g && b >= r ? 0 : (g >= r ? 1 : 2);
      const int lo = r <= g && r <= b ? 2 : (g <= b ? 1 : 0);
      const int32_t max = s[hi], min = s[lo], e = E_[hi];
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      if (max == min || e == 0) continue;
      const int mid = 3 - hi - lo;
      const int32_t middle = s[mid];
      if (e > 0) {
        const int32_t span = max - min;
        const int32_t n = 50 * middle * span - e * min * (max - middle);
        const int32_t q = static_cast<int32_t>((static_cast<uint64_t>(n) * Reciprocals()[span]) >> 40);
        const int32_t twice = 2 * (n - q * 50 * span);
        d[mid] = static_cast<uint8_t>(q + (twice > 50 * span || (twice == 50 * span && (q & 1) != 0) ? 1 : 0));
        d[lo] = Shrunk_[hi][min];
      } else {
        const uint8_t* toward = Toward_[hi].data() + max * 256;
        d[mid] = toward[middle];
        d[lo] = toward[min];
      }
    }
  }

 private:
  // ceil(2^40 / (50 span)): n × it >> 40 is n div (50 span) for every n below 2^22.
  static const std::array<uint64_t, 256>& Reciprocals() {
    static const std::array<uint64_t, 256> table = [] {
      std::array<uint64_t, 256> t{};
      for (uint64_t span = 1; span < 256; ++span) t[span] = ((uint64_t{1} << 40) + 50 * span - 1) / (50 * span);
      return t;
    }();
    return table;
  }

  int32_t E_[3] = {0, 0, 0};
  uint8_t Shrunk_[3][256] = {};
  std::vector<uint8_t> Toward_[3];
};

}  // namespace

bool ApplySaturation(const TWKPixels& source, TWKPixels& dest, const TChannelValues& values,
                     const std::function<void(int32_t rows)>& progress) {
  if (!Fit(source, dest)) return false;
  const TSaturationPass pass(values);
  const int32_t width = source.Width;
  auto rows = [&](int32_t first, int32_t count) {
    const int64_t work = static_cast<int64_t>(width) * 3 * count * 8;
    ParallelRows(count, work, [&](int32_t, int32_t begin, int32_t end) {
      for (int32_t y = first + begin; y < first + end; ++y) pass.Row(Row(source, y), MutableRow(dest, y), width);
    });
  };
  if (!progress) {
    rows(0, source.Height);
    return true;
  }
  for (int32_t first = 0; first < source.Height; first += ProgressBand) {
    const int32_t count = std::min(ProgressBand, source.Height - first);
    rows(first, count);
    progress(count);
  }
  return true;
}
