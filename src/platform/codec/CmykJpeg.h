// CMYK and YCCK JPEG files through the libjpeg scanline API: decoded a few rows at a time and
// turned into 24-bit rows without a whole-image ink buffer.
#pragma once

#include <cstdint>
#include <span>

#include "platform/codec/CodecTypes.h"

// Decodes at scale num/denom (eighths, as the library allows) into dest, whose size must be the
// scaled size. Samples of a file with an Adobe marker are taken as inverted (255 = no ink).
bool DecodeCmykJpeg(std::span<const uint8_t> jpeg, int32_t scaleNum, int32_t scaleDenom,
                    const TPixelRows& dest, TCodecError& err);
