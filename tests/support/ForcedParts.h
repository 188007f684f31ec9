// Makes every whole-image split use a given number of parts while it lives, so that tests can
// show a result does not depend on how the work was divided.
#pragma once

#include <cstdint>

#include "imaging/WKParallel.h"

struct TForcedParts {
  explicit TForcedParts(int32_t parts) { SetParallelPartsForTest(parts); }
  ~TForcedParts() { SetParallelPartsForTest(0); }
  TForcedParts(const TForcedParts&) = delete;
  TForcedParts& operator=(const TForcedParts&) = delete;
};
