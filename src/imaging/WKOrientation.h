// The EXIF orientation of a stored picture as the quarter turns and flips that show it upright.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"

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

// Turns the image upright from the orientation it was stored with; false when a step could not
// be made (the image may then be partly turned).
inline bool TurnUpright(TWKLTBitmap& image, int32_t orientation) {
  return ApplyUprightSteps(orientation, [&image](TOrientStep step) {
    switch (step) {
      case TOrientStep::RotateRight: return image.RotateRight();
      case TOrientStep::RotateLeft: return image.RotateLeft();
      case TOrientStep::Mirror: return image.MirrorHorizontal();
      case TOrientStep::Flip: return image.FlipVertical();
    }
    return false;
  });
}

// The EXIF orientation item's value (a SHORT, little-endian); 1 for none or a value outside 1..8.
inline int32_t OrientationValue(const uint8_t* bytes, size_t size, uint16_t type) {
  constexpr uint16_t ShortType = 3;
  if (bytes == nullptr || size < 2 || type != ShortType) return 1;
  const int32_t value = bytes[0] | bytes[1] << 8;
  return value >= 1 && value <= 8 ? value : 1;
}
