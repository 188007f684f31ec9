// Repair of found eyes through the red-eye darkening: per eye the selection is the defect grown
// over its fainter rim and the holes it encloses, less its catch-light, and the brightness is
// the highest that leaves the defect dark and neutral.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WKBitmap.h"
#include "tools/eyes/EyeFinder.h"
#include "tools/eyes/WKPixelSet.h"

// The user's adjustment of every eye: Border is added to each eye's border (-5..5), and each
// eye's brightness is scaled by Brightness / 50 (50 keeps the chosen one, 0 darkest).
struct TEyeRepairTuning {
  static constexpr int32_t NeutralBrightness = 50;
  int32_t Border = 0;
  int32_t Brightness = NeutralBrightness;
};

struct TEyeRepairPlan {
  TWKPixelSet Selection;
  TWKPixelSet Keep;  // the catch-light, left as it is
  int32_t Border = 1;
  int32_t Brightness = 50;
};

// Whether a darkened pixel counts as a repaired pupil: dark and without colour.
bool IsNeutralPupilPixel(const TBGRPixel& p);

// The plan for one eye of source (the photo before the repair).
TEyeRepairPlan PlanEyeRepair(const TWKPixels& source, const TFoundEye& eye,
                             const TEyeRepairTuning& tuning);

struct TEyesRepaired {
  TRect Changed;           // the rectangle that may have changed
  TWKPixelSet Selection;   // every eye's selection
  int32_t Count = 0;
};

// Plans every eye on source and darkens current (the same photo) accordingly.
TEyesRepaired RepairEyes(const TWKPixels& source, TWKPixels& current,
                         const std::vector<TFoundEye>& eyes, const TEyeRepairTuning& tuning);
