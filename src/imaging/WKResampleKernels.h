// Inner loops of ResamplePixels, vectorised with runtime dispatch (WKResampleHwy.cpp).
#pragma once

#include <cstdint>

// sums[k] = Σ_t weights[t] × rows[t][k] for k in [0, count).
void ResampleVerticalPass(int32_t* sums, const uint8_t* const* rows, const int32_t* weights,
                          int32_t taps, int32_t count);

// For each of `columns` destination pixels i: channel c = clamp(Σ_t weights[t] ×
// sums[3 × pixels[t] + c], 0, 0xFF0000) >> 16 over t in [starts[i], starts[i + 1]).
// sums must hold 4 readable entries past its last pixel.
void ResampleHorizontalPass(uint8_t* dest, const int32_t* sums, const int32_t* starts,
                            const int32_t* pixels, const int32_t* weights, int32_t columns);
