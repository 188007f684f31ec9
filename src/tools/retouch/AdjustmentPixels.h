// The colour adjustment's pixel rules: per-channel lookup tables for brightness, contrast and
// gamma, the image's mean colour, and the hue-keeping saturation pass. Whole images are worked
// on every core; the preview and the final image go through the same functions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "imaging/WKBitmap.h"

using TLookupTable = std::array<uint8_t, 256>;

// The channel values of an adjustment, each -50..50.
struct TChannelValues {
  int32_t Red = 0;
  int32_t Green = 0;
  int32_t Blue = 0;
  friend bool operator==(const TChannelValues&, const TChannelValues&) = default;
};

// Mean of each channel over an image.
struct TMeanColor {
  float Blue = 0;
  float Green = 0;
  float Red = 0;
};

// Entry i = ClampRound(the line's y at x = i); a line closer to vertical than 0.001 is widened
// to that.
void BuildLineTable(double x1, double y1, double x2, double y2, TLookupTable& table);
// Entry i = ClampRound(i - 5.1 v): a positive value darkens.
void BuildBrightnessTable(int32_t value, TLookupTable& table);
// Positive values flatten the channel toward its mean, negative ones steepen it around it
// (-50: a threshold at the mean).
void BuildContrastTable(int32_t value, double mean, TLookupTable& table);
// Entry i = round(255 (i / 255)^g), g from 3.333 at -50 to 0.3 at +50: a positive value brightens.
void BuildGammaTable(int32_t value, TLookupTable& table);

// Summed in 64-bit integers and divided by the 64-bit area; all zero for an empty image.
TMeanColor MeanColor(const TWKPixels& image);

// dest pixel (b, g, r) := (blue[b], green[g], red[r]) of the source pixel, for every pixel of the
// source (both FormatBGR24, the same size). False when they do not fit.
bool ApplyLookupTables(const TWKPixels& source, TWKPixels& dest, const TLookupTable& red,
                       const TLookupTable& green, const TLookupTable& blue);

// One pixel (blue, green, red bytes): the minimum channel moves with the saturation change of
// the channel value that holds the maximum, the middle keeps its place between them.
void SaturatePixel(const uint8_t* source, uint8_t* dest, const TChannelValues& values);
// Every pixel; progress(rows) is called on the calling thread as rows are finished. False when
// the images do not fit.
bool ApplySaturation(const TWKPixels& source, TWKPixels& dest, const TChannelValues& values,
                     const std::function<void(int32_t rows)>& progress = nullptr);
