// Finds the red and shining pupils of a photo: blobs of red or of bright green, yellow or
// white, kept when they are round, of a size that fits the image, ringed by a darker iris and,
// where it decides a doubtful blob, paired with a similar blob at an eye's distance.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "tools/eyes/WKPixelSet.h"

enum class TEyeDefect : uint8_t { None = 0, Red = 1, Shine = 2 };

// The colour class of one pixel: strong red, bright non-red non-blue, or neither.
TEyeDefect ClassifyEyePixel(uint8_t blue, uint8_t green, uint8_t red);

// Mean colour and brightness of a set of pixels.
struct TEyeColour {
  int32_t Blue = 0, Green = 0, Red = 0;
  int32_t Luma() const { return (Red * 77 + Green * 150 + Blue * 29) >> 8; }
  int32_t Redness() const { return Red - std::max(Green, Blue); }
  int32_t Chroma() const {
    return std::max({Blue, Green, Red}) - std::min({Blue, Green, Red});
  }
};

struct TFoundEye {
  TEyeDefect Defect = TEyeDefect::None;
  // The pixels of the defect's colour class, and the holes they enclose (catch-lights).
  TWKPixelSet Pupil;
  TWKPixelSet Holes;
  TRect Bounds;
  TPoint Centre;
  TEyeColour Core;  // mean of Pupil
  TEyeColour Ring;  // mean of the ring round it
  bool Paired = false;
};

struct TEyeFinderLimits {
  // Blob sizes: at least this many pixels, at most this share of the image's shorter side.
  int32_t MinArea = 7;
  int32_t MaxDiameterDivisor = 6;
  double MaxAspect = 2.6;
};

// The eyes within area of pixels (24 or 32 bits per pixel; anything else finds nothing), by
// centre from top to bottom, then left to right.
std::vector<TFoundEye> FindEyes(const TWKPixels& pixels, const TRect& area,
                                const TEyeFinderLimits& limits = {});
