// Row conversions shared by the decoders.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/codec/CodecTypes.h"

// Area-averaged resize of 24-bit rows (box filter over each destination pixel's source area;
// enlarging repeats pixels). Rounds to nearest.
void ReduceBGR24(const TConstPixelRows& src, const TPixelRows& dst);

// The same resize taking the source a row at a time, so that a thumbnail is made without the
// whole picture in memory.
class TAreaReducer {
 public:
  TAreaReducer(int32_t srcWidth, int32_t srcHeight, const TPixelRows& dst);
  // Source rows arrive in order, each once, srcWidth pixels each.
  void AddRow(const uint8_t* row);
  // Every destination row is written.
  bool Done() const { return Dy_ >= Dst_.Height; }

 private:
  void Rows(int32_t dy, int32_t& y0, int32_t& y1) const;

  int32_t SrcHeight_;
  TPixelRows Dst_;
  std::vector<int32_t> X0_, X1_;
  std::vector<uint64_t> Acc_;
  int32_t NextRow_ = 0;
  int32_t Dy_ = 0;
};

// Straight (not premultiplied) blue, green, red, alpha pixels composed over white.
void ComposeBGRAOverWhite(const uint8_t* bgra, uint8_t* bgr, int32_t count);

// Red, green, blue pixels of `stride` bytes each (3 or more) to blue, green, red.
void RGBToBGR(const uint8_t* rgb, int32_t stride, uint8_t* bgr, int32_t count);

// Cyan, magenta, yellow, black ink samples to blue, green, red: each colour is the light its
// ink and the black leave, (255 - ink) * (255 - black) / 255. Inverted samples (as Adobe
// writes them) hold 255 - ink.
void CMYKToBGR(const uint8_t* cmyk, uint8_t* bgr, int32_t count, bool inverted);
