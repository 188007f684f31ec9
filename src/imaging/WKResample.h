// Separable windowed-sinc resampling in integer fixed point (256 = 1.0).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKTypes.h"

class TWKPixels;

// sin(pi x) / (pi x), 1 at x = 0.
double Sinc(double x);

class TPixelResampler {
 public:
  virtual ~TPixelResampler() = default;
  virtual bool RangeCheck() const { return false; }
  virtual double Filter(double x) const = 0;
  virtual double GetWidth() const = 0;
};

class TWindowedSincResampler : public TPixelResampler {
 public:
  double Radius = 3.0;

  bool RangeCheck() const override { return true; }
  double Filter(double x) const override;
  double GetWidth() const override { return Radius; }
  virtual double Window(double x) const = 0;
};

class TLanczosResampler : public TWindowedSincResampler {
 public:
  double Window(double x) const override { return Sinc(x / Radius); }
};

// A kernel that is zero everywhere: every cluster falls back to the pixel under its centre,
// which makes a nearest-neighbour reduction. Meant for reductions only.
class TQuickDraftResampler : public TWindowedSincResampler {
 public:
  TQuickDraftResampler() { Radius = 0.0; }
  double Filter(double) const override { return 0.0; }
  double Window(double) const override { return 1.0; }
};

struct TContribution {
  int32_t Pixel = 0;
  int32_t Weight = 0;
  friend bool operator==(const TContribution&, const TContribution&) = default;
};

using TCluster = std::vector<TContribution>;
using TMappingTable = std::vector<TCluster>;

// The contributions of one axis: one cluster per destination index in [clipLo, clipHi),
// each summing to exactly 256. Throws std::logic_error("Assertion failure") when asked to fill
// clip pixels of an empty destination.
TMappingTable BuildMappingTable(int32_t destLo, int32_t destHi, int32_t clipLo, int32_t clipHi,
                                int32_t sourceLo, int32_t sourceHi,
                                const TPixelResampler& resampler);

// Resamples sourceRect of source onto destRect of dest, writing only dest bounds ∩ clipRect.
// Both surfaces are FormatBGR24; the source's positions count from its first row and column.
// False when the formats do not fit or the working memory cannot be had (dest untouched).
bool ResamplePixels(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                    const TPixelResampler& resampler, const TRect& sourceRect,
                    const TWKPixels& source);
