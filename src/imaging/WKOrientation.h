// The EXIF orientation of a stored picture as the quarter turns and flips that show it upright.
#pragma once

#include <cstdint>

enum class TOrientStep : uint8_t { RotateRight, RotateLeft, Mirror, Flip };

struct TOrientSteps {
  TOrientStep Steps[2] = {};
  int32_t Count = 0;
};

// Steps in order for orientation 2..8; none for 1 and for values outside 1..8.
constexpr TOrientSteps UprightSteps(int32_t orientation) {
  using enum TOrientStep;
  switch (orientation) {
    case 2: return {{Mirror}, 1};
    case 3: return {{Mirror, Flip}, 2};
    case 4: return {{Flip}, 1};
    case 5: return {{RotateRight, Mirror}, 2};
    case 6: return {{RotateRight}, 1};
    case 7: return {{RotateRight, Flip}, 2};
    case 8: return {{RotateLeft}, 1};
    default: return {};
  }
}

// Calls apply(step) for each step of the orientation; false as soon as one returns false.
template <class Apply>
bool ApplyUprightSteps(int32_t orientation, Apply&& apply) {
  const TOrientSteps steps = UprightSteps(orientation);
  for (int32_t i = 0; i < steps.Count; ++i)
    if (!apply(steps.Steps[i])) return false;
  return true;
}
