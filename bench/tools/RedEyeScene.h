// The red-eye benchmarks' photo: a 6000 x 4000 dark scene with a red pupil in an iris.
#pragma once

#include <cstddef>
#include <cstdint>

#include <string>
#include <vector>

#include "imaging/WKTypes.h"
#include "platform/codec/StillImageCodec.h"

namespace redeye_bench {

constexpr int32_t W = 6000, H = 4000;
constexpr TPoint Pupil{3000, 2000};

// Paints the scene into W x H rows of B, G, R.
inline void PaintScene(uint8_t* bits, ptrdiff_t rowBytes) {
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* p = bits + y * rowBytes;
    for (int32_t x = 0; x < W; ++x, p += 3) {
      const int32_t dx = x - Pupil.X, dy = y - Pupil.Y, d2 = dx * dx + dy * dy;
      const bool pupil = d2 <= 45 * 45, iris = d2 <= 110 * 110;
      p[0] = static_cast<uint8_t>(pupil ? 40 : iris ? 90 : (x * 7 + y) & 127);
      p[1] = static_cast<uint8_t>(pupil ? 30 : iris ? 110 : (x + y * 3) & 127);
      p[2] = static_cast<uint8_t>(pupil ? 210 + (x & 7) : iris ? 70 : 120);
    }
  }
}

// Writes the scene as an image file of that type to path; path.
inline std::string WriteScene(const char* mimeType, const std::string& path) {
  const ptrdiff_t rowBytes = (W * 3 + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * H);
  PaintScene(bits.data(), rowBytes);
  TCodecError err;
  TStillImageCodec::SaveToFile(mimeType, {bits.data(), rowBytes, W, H}, {}, path, err);
  return path;
}

}  // namespace redeye_bench
