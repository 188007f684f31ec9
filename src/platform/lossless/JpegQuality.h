// Quality figure of a quantisation table.
#pragma once

#include <cstdint>

// The quality 1..100 on the usual 0..100 scale whose scaling of the example tables of the JPEG
// standard (Annex K) comes closest to `table` (64 values in natural order).
int EstimateJpegQuality(const uint16_t* table, bool chrominance);
