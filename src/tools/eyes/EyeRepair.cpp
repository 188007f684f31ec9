#include "tools/eyes/EyeRepair.h"

#include <algorithm>
#include <array>

#include "tools/eyes/RedEyeCorrection.h"
#include "tools/eyes/RedEyeParams.h"

namespace {

constexpr int64_t kMaxCatchLightPercent = 15;

TEyeColour ColourOf(const uint8_t* p) { return TEyeColour{p[0], p[1], p[2]}; }

// A pixel of the defect's fainter rim: a blend of the defect's colour into the iris.
bool IsFaintDefect(const TEyeColour& c, const TFoundEye& eye) {
  if (eye.Defect == TEyeDefect::Red)
    return c.Red >= 50 && 4 * c.Red >= 5 * std::max(c.Green, c.Blue) + 20 &&
           3 * c.Redness() >= eye.Core.Redness();
  // Nearer the shine's colour than the iris's: more than half shine.
  auto distance = [&c](const TEyeColour& o) {
    const int32_t db = c.Blue - o.Blue, dg = c.Green - o.Green, dr = c.Red - o.Red;
    return db * db + dg * dg + dr * dr;
  };
  return distance(eye.Core) < distance(eye.Ring);
}

// A catch-light: nearly white and clearly brighter than the defect round it.
bool IsCatchLight(const TEyeColour& c, const TFoundEye& eye) {
  return std::min({c.Red, c.Green, c.Blue}) >= 235 && c.Chroma() <= 30 &&
         c.Luma() >= eye.Core.Luma() + 30;
}

// The defect grown by the faint pixels next to it.
TWKPixelSet GrowOverRim(const TWKPixels& source, const TFoundEye& eye) {
  TWKPixelSet grown = eye.Pupil;
  TWKPixelSet rim = grown;
  rim.Dilate();
  rim.Subtract(grown);
  const TRect box = IntersectRect(rim.BoundingBox(), source.BoundsRect());
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (rim.Contains(x, y) && IsFaintDefect(ColourOf(source.PixelAddress(x, y)), eye)) grown.Add(x, y);
  return grown;
}

// The catch-light: a small share of the pupil at most; a larger bright part is the brighter
// middle of a white shine, which is darkened with the rest.
TWKPixelSet CatchLight(const TWKPixels& source, const TFoundEye& eye, const TWKPixelSet& area) {
  TWKPixelSet keep;
  const TRect box = IntersectRect(area.BoundingBox(), source.BoundsRect());
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (area.Contains(x, y) && IsCatchLight(ColourOf(source.PixelAddress(x, y)), eye)) keep.Add(x, y);
  if (keep.Count() * 100 > area.Count() * kMaxCatchLightPercent) keep.Clear();
  return keep;
}

// Whether c has the defect's hue: a strongly coloured pixel nearly parallel to the core colour.
bool HasDefectTint(const TEyeColour& c, const TEyeColour& core) {
  if (c.Chroma() < 40) return false;
  const double dot = 1.0 * c.Red * core.Red + 1.0 * c.Green * core.Green + 1.0 * c.Blue * core.Blue;
  const double lc = 1.0 * c.Red * c.Red + 1.0 * c.Green * c.Green + 1.0 * c.Blue * c.Blue;
  const double lk = 1.0 * core.Red * core.Red + 1.0 * core.Green * core.Green + 1.0 * core.Blue * core.Blue;
  return dot * dot >= 0.995 * 0.995 * lc * lk;
}

// 1, or 2 when at least a third of the pixels just outside the defect carry its tint.
int32_t ChooseBorder(const TWKPixels& source, const TWKPixelSet& defect, const TFoundEye& eye) {
  TWKPixelSet rim = defect;
  rim.Dilate();
  rim.Subtract(defect);
  const TRect box = IntersectRect(rim.BoundingBox(), source.BoundsRect());
  int64_t all = 0, tinted = 0;
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (rim.Contains(x, y)) {
        ++all;
        tinted += HasDefectTint(ColourOf(source.PixelAddress(x, y)), eye.Core);
      }
  return tinted * 3 >= all && all > 0 ? 2 : 1;
}

// The highest brightness of the ladder at which (almost) every defect pixel comes out neutral.
int32_t ChooseBrightness(const TWKPixels& source, const TWKPixelSet& defect) {
  static constexpr std::array<int32_t, 10> kLadder{50, 40, 32, 24, 18, 12, 8, 5, 3, 1};
  const TRect box = IntersectRect(defect.BoundingBox(), source.BoundsRect());
  std::vector<TBGRPixel> pixels;
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (defect.Contains(x, y)) pixels.push_back(*source.Pixel(x, y));
  for (int32_t b : kLadder) {
    size_t neutral = 0;
    for (const TBGRPixel& p : pixels) neutral += IsNeutralPupilPixel(CorrectPixel(p, 255, b));
    if (neutral * 100 >= pixels.size() * 99) return b;
  }
  return 1;
}

}  // namespace

bool IsNeutralPupilPixel(const TBGRPixel& p) {
  const int32_t hi = std::max({p.Red, p.Green, p.Blue}), lo = std::min({p.Red, p.Green, p.Blue});
  return hi <= 90 && hi - lo <= 20;
}

TEyeRepairPlan PlanEyeRepair(const TWKPixels& source, const TFoundEye& eye,
                             const TEyeRepairTuning& tuning) {
  TEyeRepairPlan plan;
  if (source.Bits == nullptr || source.BytesPerPixel < 3 || eye.Pupil.IsEmpty()) return plan;
  TWKPixelSet defect = GrowOverRim(source, eye);
  TWKPixelSet whole = defect;
  whole.Unite(eye.Holes);
  plan.Keep = CatchLight(source, eye, whole);
  defect.Subtract(plan.Keep);

  // One pixel beyond the defect gives its outermost pixels full coverage; two where the pixels
  // round it still carry the defect's tint.
  plan.Border = ClampInt(ChooseBorder(source, whole, eye) + tuning.Border, TRedEyeParams::MinBorder,
                         TRedEyeParams::MaxBorder);
  plan.Selection = whole;
  for (int32_t i = 0; i < plan.Border; ++i) plan.Selection.Dilate();
  for (int32_t i = 0; i < -plan.Border; ++i) plan.Selection.Erode();
  plan.Selection.Intersect(source.BoundsRect());
  plan.Selection.Subtract(plan.Keep);

  const int32_t chosen = ChooseBrightness(source, defect);
  const int32_t scaled = (chosen * ClampBrightness(tuning.Brightness) + 25) / 50;
  plan.Brightness = ClampInt(scaled, 1, 255);
  return plan;
}

TEyesRepaired RepairEyes(const TWKPixels& source, TWKPixels& current,
                         const std::vector<TFoundEye>& eyes, const TEyeRepairTuning& tuning) {
  TEyesRepaired done;
  for (const TFoundEye& eye : eyes) {
    const TEyeRepairPlan plan = PlanEyeRepair(source, eye, tuning);
    if (plan.Selection.IsEmpty()) continue;
    done.Changed = UnionRect(done.Changed, CorrectRedEyeRegion(current, plan.Selection, plan.Keep, plan.Brightness));
    done.Selection.Unite(plan.Selection);
    ++done.Count;
  }
  return done;
}
