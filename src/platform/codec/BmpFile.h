// Structure check of BMP files before a reader decodes them: the size is within limits and
// the pixel data is complete (uncompressed rows all present, run-length data reaching its end).
#pragma once

#include <cstdint>
#include <span>

#include "platform/codec/CodecTypes.h"

struct TBmpFacts {
  int32_t Width = 0;
  int32_t Height = 0;
  double DpiX = 0;  // 0 when the header states none
  double DpiY = 0;
};

bool IsBmpSignature(std::span<const uint8_t> bytes);

// False with TooLarge or Corrupt (truncated, malformed) and a message.
bool CheckBmpFile(std::span<const uint8_t> bytes, TBmpFacts& facts, TCodecError& err);
