// Colour profiles made with lcms for tests: matrix-shaper RGB profiles with a description.
#pragma once

#include <cstdint>
#include <vector>

namespace test_profiles {

// Display P3: P3 primaries, D65 white, the sRGB tone curve.
std::vector<uint8_t> DisplayP3Profile();
// A wide-gamut RGB with the 1998 primaries (green at 0.21, 0.71), D65 and gamma 2.2.
std::vector<uint8_t> WideRgbProfile();
// lcms's own sRGB.
std::vector<uint8_t> SrgbProfile();

// lcms's answer for 8-bit red, green, blue through the perceptual intent, independent of the
// program's display transform.
void TransformRgb(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to, const uint8_t in[3],
                  uint8_t out[3]);

}  // namespace test_profiles
