// The eye-repair set: the bundled photos, enlarged, with synthetic red-eye and eye shine of
// several sizes, shapes and colours painted onto their pupils at known places.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKBitmap.h"
#include "support/PngFile.h"
#include "imaging/WKResample.h"
#include "tools/eyes/WKPixelSet.h"

namespace eyeset {

// source resampled (Lanczos) to width x height.
inline void Resize(const TWKPixels& source, int32_t width, int32_t height, TWKPixelBuffer& out) {
  out.Allocate(FormatBGR24, Rect(0, 0, width, height));
  const TRect dest = Rect(0, 0, width, height);
  ResamplePixels(out, dest, dest, TLanczosResampler(), source.BoundsRect(), source);
}

struct TRgb {
  int32_t R = 0, G = 0, B = 0;
};

// A pupil of the unscaled photo: centre and semi-axes of the iris opening.
struct TPupilSpot {
  double X = 0, Y = 0, Rx = 0, Ry = 0;
};

// One painted defect: colour, size against the pupil, roundness and an optional catch-light.
struct TDefectStyle {
  const char* Name = "";
  TRgb Colour;
  double Size = 1.0;      // semi-axes = pupil's times Size
  double Round = 0.0;     // 0: the pupil's shape, 1: a circle of the mean radius
  bool CatchLight = false;
};

// What the painting leaves known: where the defect is, its full-colour pixels and the
// catch-light's core.
struct TDefectTruth {
  TWKPixelSet Area;        // every pixel the defect touched
  TWKPixelSet Defect;      // at least half defect, less than half catch-light
  TWKPixelSet CatchLight;  // at least three quarters catch-light
};

// Share of 4 x 4 sub-samples of pixel (x, y) inside the ellipse.
inline double Cover(int32_t x, int32_t y, double cx, double cy, double rx, double ry) {
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx) {
      const double dx = (x + (sx + 0.5) / 4 - cx) / rx, dy = (y + (sy + 0.5) / 4 - cy) / ry;
      inside += dx * dx + dy * dy <= 1.0;
    }
  return inside / 16.0;
}

inline uint8_t Mix(double a, double over, double under) {
  return static_cast<uint8_t>(std::clamp(std::lround(a * over + (1 - a) * under), 0L, 255L));
}

// Paints the defect onto the pupil (already scaled to the photo) and returns what it touched.
inline TDefectTruth PaintDefect(TWKPixels& px, const TPupilSpot& p, const TDefectStyle& s) {
  const double mean = std::sqrt(p.Rx * p.Ry);
  const double rx = s.Size * (s.Round * mean + (1 - s.Round) * p.Rx);
  const double ry = s.Size * (s.Round * mean + (1 - s.Round) * p.Ry);
  const double lr = std::max(0.9, 0.22 * std::min(rx, ry));
  const double lx = p.X - 0.35 * rx, ly = p.Y - 0.35 * ry;
  TDefectTruth t;
  const TRect box = IntersectRect(
      Rect(static_cast<int32_t>(p.X - rx) - 1, static_cast<int32_t>(p.Y - ry) - 1,
           static_cast<int32_t>(p.X + rx) + 2, static_cast<int32_t>(p.Y + ry) + 2),
      px.BoundsRect());
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const double a = Cover(x, y, p.X, p.Y, rx, ry);
      if (a <= 0) continue;
      const double c = s.CatchLight ? Cover(x, y, lx, ly, lr, lr) : 0.0;
      const double dx = (x + 0.5 - p.X) / rx, dy = (y + 0.5 - p.Y) / ry;
      const double shade = 1.0 - 0.3 * std::min(1.0, dx * dx + dy * dy);  // darker rim
      uint8_t* q = px.PixelAddress(x, y);
      const double r = Mix(c, 248, s.Colour.R * shade), g = Mix(c, 248, s.Colour.G * shade),
                   b = Mix(c, 246, s.Colour.B * shade);
      q[0] = Mix(a, b, q[0]);
      q[1] = Mix(a, g, q[1]);
      q[2] = Mix(a, r, q[2]);
      t.Area.Add(x, y);
      if (a >= 0.5 && c < 0.5) t.Defect.Add(x, y);
      if (a >= 0.5 && c >= 0.75) t.CatchLight.Add(x, y);
    }
  return t;
}

struct TPhotoSpec {
  const char* File;
  std::vector<TPupilSpot> Pupils;
  std::vector<TDefectStyle> Styles;
};

// The bundled photos with their pupils and the defects each gets.
inline std::vector<TPhotoSpec> Photos() {
  return {
      {"astronaut.png",
       {{203.5, 100.5, 3.6, 3.4}, {247.0, 102.5, 3.6, 3.4}},
       {{"red", {205, 35, 40}, 0.95, 1.0, true},
        {"orange-red", {228, 96, 60}, 0.85, 1.0, false},
        {"deep-red", {150, 22, 30}, 1.0, 0.0, true}}},
      {"chelsea.png",
       {{173.0, 110.5, 9.5, 17.0}, {315.0, 131.0, 8.0, 15.5}},
       {{"green", {70, 215, 110}, 0.95, 0.0, true},
        {"yellow-green", {190, 225, 70}, 0.9, 0.6, false},
        {"yellow", {235, 212, 60}, 0.95, 0.0, true},
        {"white", {238, 238, 232}, 0.8, 1.0, false},
        {"red", {210, 40, 45}, 0.9, 0.4, true}}},
      {"coffee.png", {}, {}},
  };
}

}  // namespace eyeset
