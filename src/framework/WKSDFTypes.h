// Element kinds and type codes of the structured data file.
#pragma once

#include <cstdint>

enum : uint8_t {
  SDF_KIND_END = 0,
  SDF_KIND_VALUE = 1,
  SDF_KIND_NODE = 3,
};

enum : uint32_t {
  SDF_INT8 = 1,
  SDF_UINT8 = 2,
  SDF_INT16 = 3,
  SDF_UINT16 = 4,
  SDF_INT32 = 5,
  SDF_WIDESTRING = 12,
  SDF_GUID = 13,
  SDF_BINARY = 14,
};
