// The marker structure of a JPEG file, read without decoding it: the frame, each scan's
// components and coded bytes, and whether the file reaches its end-of-image marker. The decode
// guard learns from it, before any decoder runs, how many bytes the coding needs at the least,
// how much work the scans ask for and how much memory the coefficients take.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct TJpegLayout {
  int32_t Width = 0;
  int32_t Height = 0;
  int Components = 0;
  bool Progressive = false;
  bool Arithmetic = false;
  // Blocks of all components, padded to whole MCUs as the decoders hold them.
  uint64_t PictureBlocks = 0;
  int Scans = 0;
  // Blocks the scans visit together.
  uint64_t BlockVisits = 0;
  // Every component is carried by a scan (a first DC scan when progressive).
  bool Covered = false;
  // The offset just past the first scan whose coded bytes cannot hold its blocks; 0 when none.
  uint64_t ShortScanEnd = 0;
  // The end-of-image marker follows the last scan.
  bool Ended = false;

  // Bytes of a whole-picture coefficient buffer, which a decode of several scans needs.
  uint64_t CoefficientBytes() const;
};

// False when the bytes do not start a JPEG or hold no frame header before the first scan.
bool ReadJpegLayout(std::span<const uint8_t> jpeg, TJpegLayout& layout);

// The guard's verdict on a file of that layout and size: empty when it may be decoded. Memory
// is left to the caller, who knows what else the decode allocates.
std::string CheckJpegLayout(const TJpegLayout& layout, uint64_t fileBytes);
