#include "platform/lossless/JpegQuality.h"

#include <cstdlib>

namespace {

// Annex K.1 of the JPEG standard, natural order.
constexpr uint16_t Luminance[64] = {
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr uint16_t Chrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

}  // namespace

int EstimateJpegQuality(const uint16_t* table, bool chrominance) {
  const uint16_t* base = chrominance ? Chrominance : Luminance;
  int best = 1;
  long bestError = -1;
  for (int q = 1; q <= 100; ++q) {
    const long scale = q < 50 ? 5000 / q : 200 - 2 * q;
    long error = 0;
    for (int i = 0; i < 64; ++i) {
      long value = (base[i] * scale + 50) / 100;
      value = value < 1 ? 1 : value > 255 ? 255 : value;
      error += std::labs(value - long(table[i]));
    }
    if (bestError < 0 || error <= bestError) {
      best = q;
      bestError = error;
    }
  }
  return best;
}
