// CMYK and YCCK JPEG files written with libjpeg, as print workflows make them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace codec_test {

// Cyan, magenta, yellow and black ink of a pixel, 0 (none) to 255 (full).
using TInk = std::array<uint8_t, 4>;
using TInkFn = std::function<TInk(int32_t x, int32_t y)>;

struct TInkJpegOptions {
  bool Ycck = false;        // the colour transform to YCCK (needs the Adobe marker)
  bool AdobeMarker = true;  // with it the samples are stored inverted (255 = no ink)
  int Quality = 100;
  bool Progressive = false;
};

std::vector<uint8_t> MakeInkJpeg(int32_t width, int32_t height, const TInkFn& ink,
                                 const TInkJpegOptions& options = {});

}  // namespace codec_test
