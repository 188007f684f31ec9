#include "tools/eyes/PupilMasks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kFullStrength = 204;

bool ResetMask(TWKPixelMask& mask, int32_t size) {
  const int32_t h = std::max(size, 0) / 2;
  return mask.SetBounds(-h, -h, 2 * h + 1, 2 * h + 1);
}

}  // namespace

uint8_t SpotFalloff(double radius, double size, double distance) {
  const double band = std::max(1.0, 0.2 * size);
  if (distance >= radius) return 0;
  if (distance <= radius - band) return static_cast<uint8_t>(kFullStrength);
  return ClampRound((radius - distance) / band * kFullStrength);
}

bool BuildRoundPupilMask(TWKPixelMask& mask, int32_t size) {
  if (!ResetMask(mask, size)) return false;
  const int32_t r = mask.Width / 2;
  for (int32_t dy = -r; dy <= r; ++dy) {
    uint8_t* row = mask.ByteAddress(-r, dy);
    for (int32_t dx = -r; dx <= r; ++dx) row[dx + r] = SpotFalloff(r, r, std::hypot(dx, dy));
  }
  return true;
}

bool BuildSlitPupilMask(TWKPixelMask& mask, int32_t size, int32_t thickness, int32_t rotation) {
  if (!ResetMask(mask, size)) return false;
  const int32_t r = mask.Width / 2;
  // In mask coordinates, the centre C = (r, r).
  const double s = 3.0 * r * (1.0 - thickness / 100.0);
  const double c = std::sqrt(s * s + double(r) * r);
  const double theta = rotation / 180.0 * std::numbers::pi;
  const double px = r + std::cos(theta) * -s, py = r + std::sin(theta) * -s;
  const double qx = 2.0 * r - px, qy = 2.0 * r - py;
  for (int32_t y = 0; y < mask.Height; ++y) {
    uint8_t* row = mask.Bits + static_cast<ptrdiff_t>(y) * mask.Width;
    for (int32_t x = 0; x < mask.Width; ++x) {
      const double d = std::max(std::hypot(x - px, y - py), std::hypot(x - qx, y - qy));
      row[x] = SpotFalloff(c, r, d);
    }
  }
  return true;
}
