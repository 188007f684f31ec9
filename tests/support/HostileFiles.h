// Files an attacker or an unlucky disk makes, built byte by byte: progressive JPEGs with
// thousands of scans, headers that claim huge pictures over a few bytes of data, and
// decompression bombs whose few bytes really do expand to huge pictures. Every decoder path must
// refuse each of them at once or open it within the decode guard's limits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

struct TFile {
  std::string Name;   // file name, its extension the container's
  std::string Class;  // "scan bomb", "huge header", "decompression bomb", "drawing"
  std::vector<uint8_t> Bytes;
};

// A grey progressive JPEG of width x height: a first DC scan (1 bit a block) cut to dcShare of
// its data, then acScans spectral scans each coding all its blocks as end-of-band runs.
// withDc false leaves the DC scan out altogether.
std::vector<uint8_t> ProgressiveGreyJpeg(int32_t width, int32_t height, int acScans, double dcShare = 1.0,
                                         bool withDc = true);
// A grey baseline JPEG whose single scan codes every block in two bits, cut to dataShare.
std::vector<uint8_t> BaselineGreyJpeg(int32_t width, int32_t height, double dataShare = 1.0);
// An RGB PNG of zeros, its image data deflated whole (complete) or replaced by a few bytes.
std::vector<uint8_t> ZeroPng(int32_t width, int32_t height, bool complete);
// A grey uncompressed TIFF whose strip holds dataBytes.
std::vector<uint8_t> GreyTiff(int32_t width, int32_t height, uint32_t dataBytes);
// A grey TIFF of zeros, deflated whole.
std::vector<uint8_t> ZeroDeflateTiff(int32_t width, int32_t height);
// An 8-bit run-length BMP whose data is only the end-of-picture code.
std::vector<uint8_t> EmptyRunLengthBmp(int32_t width, int32_t height);
// A drawing that claims width x height.
std::vector<uint8_t> Svg(int32_t width, int32_t height);

// The whole collection.
std::vector<TFile> MakeAll();

}  // namespace hostile
