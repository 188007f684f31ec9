// JPEG pixels through the libjpeg scanline API: YCbCr, RGB and grey files straight into the
// caller's 24-bit rows, CMYK and YCCK files a few rows at a time without a whole-image ink
// buffer. Finished rows are published as the decode goes on.
#pragma once

#include <cstdint>
#include <span>

#include "platform/codec/CodecTypes.h"

class TDecodeProgress;

// Rows [First, Last) of the picture; Last -1: to the bottom.
struct TJpegRows {
  int32_t First = 0;
  int32_t Last = -1;
};

// Decodes at scale num/denom (eighths, as the library allows) into dest, whose size must be the
// scaled size. Samples of an ink file with an Adobe marker are taken as inverted (255 = no ink).
// Missing data fails the decode; other damage the library works around is tolerated. A part of
// the rows writes only those (a colour picture; ink pictures decode whole): several parts of
// one file may decode at once on different threads, each with its own progress.
bool DecodeJpegScanlines(std::span<const uint8_t> jpeg, int32_t scaleNum, int32_t scaleDenom,
                         const TPixelRows& dest, TCodecError& err, TDecodeProgress* progress = nullptr,
                         TJpegRows part = {});
