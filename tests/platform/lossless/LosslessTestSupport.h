// JPEG files made and taken apart with libjpeg for the lossless component's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lossless_test {

// 24-bit blue, green, red rows.
struct TPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  ptrdiff_t RowBytes = 0;
  std::vector<uint8_t> Bits;

  TPicture() = default;
  TPicture(int32_t w, int32_t h);
  // A smooth photo-like picture with fine texture.
  static TPicture Synthetic(int32_t w, int32_t h, uint32_t seed = 1);

  uint8_t* Row(int32_t y) { return Bits.data() + y * RowBytes; }
  const uint8_t* Row(int32_t y) const { return Bits.data() + y * RowBytes; }
  uint8_t* At(int32_t x, int32_t y) { return Row(y) + 3 * x; }
  const uint8_t* At(int32_t x, int32_t y) const { return Row(y) + 3 * x; }
  // Largest absolute byte difference over a rectangle of both pictures (all of it by default).
  int MaxDifference(const TPicture& other, int32_t l = 0, int32_t t = 0, int32_t r = -1,
                    int32_t b = -1) const;
  double MeanDifference(const TPicture& other) const;
  bool SameBytes(const TPicture& other) const;

  // Independent pixel geometry, for reference results.
  TPicture RotatedRight() const;
  TPicture RotatedLeft() const;
  TPicture Mirrored() const;
  TPicture Flipped() const;
  TPicture Cropped(int32_t l, int32_t t, int32_t r, int32_t b) const;
};

struct TMarker {
  int Code = 0;
  std::vector<uint8_t> Data;
};

struct TJpegOptions {
  int Quality = 90;
  int LumaH = 2, LumaV = 2;  // 4:2:0 by default
  bool Progressive = false;
  int RestartRows = 0;  // MCU rows between restart markers; 0 for none
  enum { YCbCr, Grey, Cmyk } Kind = YCbCr;
  std::vector<TMarker> Markers;
};

std::vector<uint8_t> EncodeJpeg(const TPicture& picture, const TJpegOptions& options);
TPicture DecodeJpeg(const std::vector<uint8_t>& bytes);

struct TComponentBlocks {
  int H = 0, V = 0, QuantTable = 0;
  uint32_t BlocksWide = 0, BlocksHigh = 0;
  std::vector<int16_t> Coefficients;  // BlocksHigh rows of BlocksWide blocks of 64
  const int16_t* Block(uint32_t bx, uint32_t by) const {
    return Coefficients.data() + (size_t(by) * BlocksWide + bx) * 64;
  }
};

struct TCoefficients {
  uint32_t Width = 0, Height = 0;
  bool Progressive = false;
  uint32_t RestartInterval = 0;  // MCUs between restart markers in the first scan; 0 for none
  std::vector<TComponentBlocks> Components;
  std::vector<std::vector<uint16_t>> QuantTables;  // of components 0..n-1
  std::vector<TMarker> Markers;
};

TCoefficients ReadCoefficients(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);

// jpegtran from the system with the given arguments; empty when it is missing or fails.
std::vector<uint8_t> RunJpegtran(const std::string& arguments, const std::string& input,
                                 const std::string& output);

// cjpeg from the system on the picture written as a PPM; empty when it is missing or fails.
std::vector<uint8_t> RunCjpeg(const std::string& arguments, const TPicture& picture, const std::string& ppm,
                              const std::string& output);

// The file with its middle restart marker numbered out of turn (empty when it has none): the
// headers and the layout stay sound; decoders note the damage and go on.
std::vector<uint8_t> WithRestartOutOfTurn(std::vector<uint8_t> jpeg);

// Restart markers in a JPEG file.
size_t RestartMarkers(const std::vector<uint8_t>& bytes);

// Number of blocks that differ, over all components (both must have the same layout).
size_t DifferingBlocks(const TCoefficients& a, const TCoefficients& b);

}  // namespace lossless_test
