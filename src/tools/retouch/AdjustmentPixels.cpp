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
  std::vector<std::array<uint64_t, 3>> sums(ParallelParts, {0, 0, 0});
  ParallelRows(image.Height, Bytes(image), [&](int32_t part, int32_t begin, int32_t end) {
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

void SaturatePixel(const uint8_t* source, uint8_t* dest, const TChannelValues& values) {
  // Ranking in memory order: on equal bytes blue ranks above green and red, green above red.
  int hi = 0, lo = 0;
  for (int c = 1; c < 3; ++c) {
    if (source[c] > source[hi]) hi = c;
    if (source[c] <= source[lo]) lo = c;
  }
  const int max = source[hi], min = source[lo];
  const int e = hi == 0 ? values.Blue : (hi == 1 ? values.Green : values.Red);
  if (max == min || e == 0) {
    if (dest != source) std::copy(source, source + 3, dest);
    return;
  }
  const int mid = 3 - hi - lo;
  const int middle = source[mid];
  const double s = static_cast<double>(max - min) / max;
  const double changed = e < 0 ? s + s * e / 50.0 : s + (1 - s) * e / 50.0;
  const double newMin = (1 - changed) * max;
  const double newMiddle = (newMin - min) * (max - middle) / (max - min) + middle;
  dest[hi] = static_cast<uint8_t>(max);
  dest[mid] = ClampRound(newMiddle);
  dest[lo] = ClampRound(newMin);
}

bool ApplySaturation(const TWKPixels& source, TWKPixels& dest, const TChannelValues& values,
                     const std::function<void(int32_t rows)>& progress) {
  if (!Fit(source, dest)) return false;
  const int32_t width = source.Width;
  auto rows = [&](int32_t first, int32_t count) {
    const int64_t work = static_cast<int64_t>(width) * 3 * count * 8;
    ParallelRows(count, work, [&](int32_t, int32_t begin, int32_t end) {
      for (int32_t y = first + begin; y < first + end; ++y) {
        const uint8_t* s = Row(source, y);
        uint8_t* d = MutableRow(dest, y);
        for (int32_t x = 0; x < width; ++x, s += 3, d += 3) SaturatePixel(s, d, values);
      }
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
