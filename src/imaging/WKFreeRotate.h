// Turning a 24-bit image by any angle about its centre onto a canvas that holds the whole turned
// image, white where no source pixel falls. Nearest-neighbour for previews, a radial Hermite
// filter of radius 1 for the final image.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/WKBitmap.h"

enum class TRotationFilter : int32_t { Nearest = 0, Hermite = 2 };

// The canvas of a w × h image turned by angle (radians): with D = √(w² + h²) and
// α = arctan(h / max(w, 1)), W = round(D × max(|cos(θ + α)|, |cos(θ − α)|)) and H likewise
// with sines (halves to even).
TSize RotatedCanvasSize(int32_t width, int32_t height, double angle);

// Where each result pixel takes its source from. Result (x, y) looks at
// sx = (x − cxd) cos θ − (y − cyd) sin θ + cxs, sy = (x − cxd) sin θ + (y − cyd) cos θ + cys,
// evaluated at rows 0 and H − 1 of every column and stepped linearly in between:
// sx = TopX[x] + y × StepX[x].
struct TRotationMap {
  TRotationMap(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height,
               double angle);
  int32_t SourceWidth, SourceHeight, Width, Height;
  std::vector<double> TopX, TopY, StepX, StepY;
};

// The inside pixels (those with a source pixel) of one result row: Count of them, the first at
// First and the last at End − 1. They are one run exactly when Count == End − First.
struct TRotatedRow {
  int32_t First = 0;
  int32_t End = 0;
  int32_t Count = 0;
  friend bool operator==(const TRotatedRow&, const TRotatedRow&) = default;
};

// Called on the calling thread with the rows done so far and the number of rows.
using TRotationProgress = std::function<void(int32_t done, int32_t total)>;

// dest := source turned by angle, on every core. dest must be 24-bit and of the size
// RotatedCanvasSize gives (or any other: the turn is about both centres); source 24-bit and
// not overlapping dest. rows (when given) receives one entry per dest row. False, and nothing
// written, for other formats, an empty source or an angle that is not finite.
bool RotatePixels(const TWKPixels& source, TWKPixels& dest, double angle, TRotationFilter filter,
                  std::vector<TRotatedRow>* rows = nullptr,
                  const TRotationProgress& progress = nullptr);

// The same, one pixel at a time on the calling thread, with the arithmetic spelt out: a pixel
// is outside when round(sx) or round(sy) misses the source; the filtered sample weighs every
// source pixel of [floor(s − 1), ceil(s + 1)] on both axes (clamped to the image) by
// f(d) = 2d³ − 3d² + 1 (d < 1; d the distance to the sample point), sums in single precision
// and divides by the weight sum, rounded to nearest, halves to even.
bool RotatePixelsPlain(const TWKPixels& source, TWKPixels& dest, double angle,
                       TRotationFilter filter, std::vector<TRotatedRow>* rows = nullptr);
