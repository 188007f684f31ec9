// Measures "repair all eyes" on the eye-repair set (EyeSet.h):
//   eye_repair_set [--list] <samples folder> [<folder for the painted photos>]
// (--list: every eye found, with its colours).
// Per photo, scale and defect it prints the pupils repaired, the share of each repaired
// pupil's defect pixels that came out dark and neutral, the catch-light kept, the pixels changed
// farther than 3 pixels from any painted pupil and the repairs where no defect was painted; then
// the totals, including the repairs on the clean photos.
#include <cstdio>
#include <string>
#include <vector>

#include "EyeSet.h"
#include "tools/eyes/EyeFinder.h"
#include "tools/eyes/EyeRepair.h"

namespace {

using namespace eyeset;

struct TTotals {
  int Pupils = 0, Repaired = 0, FalseOnDefect = 0, FalseOnClean = 0;
  int64_t Defect = 0, Neutral = 0, Light = 0, LightKept = 0, Outside = 0;
  double WorstPupil = 1.0;
};

// Dark and without colour, judged apart from the repair's own test.
bool Neutral(const uint8_t* p) {
  const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
  return hi <= 100 && hi - lo <= 24;
}

int Luma(const uint8_t* p) { return (p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8; }

bool Changed(const TWKPixels& a, const TWKPixels& b, int32_t x, int32_t y) {
  const uint8_t *p = a.PixelAddress(x, y), *q = b.PixelAddress(x, y);
  return p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
}

bool gListEyes = false;

void ListEyes(const std::vector<TFoundEye>& eyes) {
  for (const TFoundEye& e : eyes)
    std::printf("    %s at %d,%d box %dx%d core %d,%d,%d ring %d,%d,%d%s\n",
                e.Defect == TEyeDefect::Red ? "red" : "shine", e.Centre.X, e.Centre.Y,
                e.Bounds.Width(), e.Bounds.Height(), e.Core.Red, e.Core.Green, e.Core.Blue,
                e.Ring.Red, e.Ring.Green, e.Ring.Blue, e.Paired ? " paired" : "");
}

// Repairs photo (in place) and returns the number of eyes repaired.
int RepairAll(TWKPixelBuffer& photo) {
  TWKPixelBuffer source;
  source.Allocate(FormatBGR24, photo.BoundsRect());
  source.Assign(photo);
  const std::vector<TFoundEye> eyes = FindEyes(source, source.BoundsRect());
  if (gListEyes) ListEyes(eyes);
  return RepairEyes(source, photo, eyes, TEyeRepairTuning{}).Count;
}

void MeasurePupil(const TWKPixels& before, const TWKPixels& after, const TDefectTruth& t,
                  TTotals& sum, int& hits, std::string& line) {
  int64_t defect = 0, changed = 0, neutral = 0, light = 0, kept = 0;
  const TRect box = t.Area.BoundingBox();
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x) {
      if (t.Defect.Contains(x, y)) {
        ++defect;
        changed += Changed(before, after, x, y);
        neutral += Neutral(after.PixelAddress(x, y));
      }
      if (t.CatchLight.Contains(x, y)) {
        ++light;
        kept += 5 * Luma(after.PixelAddress(x, y)) >= 4 * Luma(before.PixelAddress(x, y));
      }
    }
  ++sum.Pupils;
  const bool repaired = defect > 0 && changed * 2 >= defect;
  char text[96];
  if (repaired) {
    ++sum.Repaired;
    ++hits;
    sum.Defect += defect;
    sum.Neutral += neutral;
    sum.Light += light;
    sum.LightKept += kept;
    const double share = static_cast<double>(neutral) / defect;
    sum.WorstPupil = std::min(sum.WorstPupil, share);
    std::snprintf(text, sizeof text, " %5.1f%%", 100.0 * share);
  } else {
    std::snprintf(text, sizeof text, "  MISSED");
  }
  line += text;
}

int64_t ChangedOutside(const TWKPixels& before, const TWKPixels& after, const TWKPixelSet& near) {
  int64_t n = 0;
  for (int32_t y = 0; y < before.Height; ++y)
    for (int32_t x = 0; x < before.Width; ++x)
      if (!near.Contains(x, y) && Changed(before, after, x, y)) {
        if (gListEyes && n < 4) std::printf("    changed outside at %d,%d\n", x, y);
        ++n;
      }
  return n;
}

void RunDefect(const TWKPixels& clean, const TPhotoSpec& spec, int scale, const TDefectStyle& style,
               const std::string& outFolder, TTotals& sum) {
  TWKPixelBuffer before;
  before.Allocate(FormatBGR24, clean.BoundsRect());
  before.Assign(clean);
  std::vector<TDefectTruth> truths;
  TWKPixelSet near;
  for (const TPupilSpot& p : spec.Pupils) {
    const TPupilSpot s{p.X * scale, p.Y * scale, p.Rx * scale, p.Ry * scale};
    truths.push_back(PaintDefect(before, s, style));
    TWKPixelSet rim = truths.back().Area;
    for (int i = 0; i < 3; ++i) rim.Dilate();
    near.Unite(rim);
  }
  const std::string name = std::string(spec.File).substr(0, std::string(spec.File).find('.'));
  if (!outFolder.empty())
    SavePng(outFolder + "/" + name + "-" + style.Name + "-x" + std::to_string(scale) + ".png", before);
  TWKPixelBuffer after;
  after.Allocate(FormatBGR24, before.BoundsRect());
  after.Assign(before);
  const int repaired = RepairAll(after);
  if (!outFolder.empty())
    SavePng(outFolder + "/" + name + "-" + style.Name + "-x" + std::to_string(scale) + "-after.png", after);
  int hits = 0;
  std::string line;
  for (const TDefectTruth& t : truths) MeasurePupil(before, after, t, sum, hits, line);
  const int64_t outside = ChangedOutside(before, after, near);
  // Repairs that changed no painted pupil.
  const int falseRepairs = std::max(0, repaired - hits);
  sum.Outside += outside;
  sum.FalseOnDefect += falseRepairs;
  std::printf("%-10s x%d %-13s neutral:%s  outside %lld  false %d\n", name.c_str(), scale,
              style.Name, line.c_str(), static_cast<long long>(outside), falseRepairs);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: eye_repair_set <samples folder> [<output folder>]\n");
    return 2;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  gListEyes = std::erase(args, std::string("--list")) > 0;
  const std::string folder = args.at(0), outFolder = args.size() > 1 ? args[1] : "";
  TTotals sum;
  for (const TPhotoSpec& spec : Photos()) {
    TWKPixelBuffer original;
    if (!LoadPng(folder + "/" + spec.File, original)) {
      std::fprintf(stderr, "cannot read %s/%s\n", folder.c_str(), spec.File);
      return 1;
    }
    for (int scale = 1; scale <= 3; ++scale) {
      TWKPixelBuffer clean;
      Resize(original, original.Width * scale, original.Height * scale, clean);
      TWKPixelBuffer repaired;
      repaired.Allocate(FormatBGR24, clean.BoundsRect());
      repaired.Assign(clean);
      const int found = RepairAll(repaired);
      sum.FalseOnClean += found;
      std::printf("%-10s x%d %-13s repairs on the clean photo: %d\n", spec.File, scale, "clean", found);
      for (const TDefectStyle& style : spec.Styles) RunDefect(clean, spec, scale, style, outFolder, sum);
    }
  }
  std::printf("\nrecall: %d of %d defect pupils repaired (%.1f%%)\n", sum.Repaired, sum.Pupils,
              100.0 * sum.Repaired / std::max(1, sum.Pupils));
  std::printf("neutralised: %.2f%% of the defect pixels of repaired pupils; worst pupil %.1f%%\n",
              100.0 * sum.Neutral / std::max<int64_t>(1, sum.Defect), 100.0 * sum.WorstPupil);
  std::printf("catch-light kept: %lld of %lld pixels\n", static_cast<long long>(sum.LightKept),
              static_cast<long long>(sum.Light));
  std::printf("changed beyond a 3-pixel rim of the pupils: %lld pixels\n",
              static_cast<long long>(sum.Outside));
  std::printf("false repairs: %d on the clean photos, %d beside the painted pupils\n",
              sum.FalseOnClean, sum.FalseOnDefect);
  return 0;
}
