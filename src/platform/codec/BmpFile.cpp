#include "platform/codec/BmpFile.h"

#include <cstdlib>

#include "framework/WKByteOrder.h"

namespace {


bool Truncated(TCodecError& err) {
  return err.Fail(TCodecStatus::Corrupt, "The BMP file is damaged: its pixel data is incomplete.");
}

// Walks RLE4/RLE8 codes; the data must reach its end-of-bitmap code or cover every row.
bool RunLengthComplete(std::span<const uint8_t> b, size_t pos, int64_t height, bool rle8) {
  int64_t row = 0;
  while (pos + 2 <= b.size()) {
    uint8_t count = b[pos], code = b[pos + 1];
    pos += 2;
    if (count > 0) continue;
    if (code == 0) {
      ++row;
    } else if (code == 1) {
      return true;
    } else if (code == 2) {
      if (pos + 2 > b.size()) return false;
      row += b[pos + 1];
      pos += 2;
    } else {
      size_t bytes = rle8 ? code : (size_t(code) + 1) / 2;
      pos += bytes + (bytes & 1);
      if (pos > b.size()) return false;
    }
  }
  return row >= height;
}

}  // namespace

bool IsBmpSignature(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool CheckBmpFile(std::span<const uint8_t> b, TBmpFacts& facts, TCodecError& err) {
  if (!IsBmpSignature(b) || b.size() < 26) return Truncated(err);
  const uint32_t offBits = ReadLE32(&b[10]), headerSize = ReadLE32(&b[14]);
  int64_t width = 0, height = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  if (headerSize == 12) {
    width = ReadLE16(&b[18]);
    height = ReadLE16(&b[20]);
    bits = ReadLE16(&b[24]);
  } else if (headerSize >= 40 && b.size() >= 54) {
    width = int32_t(ReadLE32(&b[18]));
    height = std::llabs(int64_t(int32_t(ReadLE32(&b[22]))));
    bits = ReadLE16(&b[28]);
    compression = ReadLE32(&b[30]);
    uint32_t ppmX = ReadLE32(&b[38]), ppmY = ReadLE32(&b[42]);
    if (ppmX > 0 && ppmY > 0 && ppmX < 10'000'000 && ppmY < 10'000'000) {
      facts.DpiX = ppmX * 0.0254;
      facts.DpiY = ppmY * 0.0254;
    }
  } else {
    return err.Fail(TCodecStatus::Corrupt, "The BMP file is damaged: unknown header.");
  }
  if (!CheckImageDimensions(width, height, err)) return false;
  facts.Width = int32_t(width);
  facts.Height = int32_t(height);
  if (offBits >= b.size()) return Truncated(err);
  if (compression == 1 || compression == 2)
    return RunLengthComplete(b, offBits, height, compression == 1) || Truncated(err);
  if (compression == 0 || compression == 3 || compression == 6) {
    uint64_t rowBytes = ((uint64_t(width) * bits + 31) / 32) * 4;
    if (uint64_t(offBits) + rowBytes * uint64_t(height) > b.size()) return Truncated(err);
  }
  return true;
}
