// Run-length BMPs whose codes leave pixels out (deltas, early ends of lines and of the picture),
// run past a row or name colours the palette lacks: the pixels they leave out are black, whatever
// the memory held before, and nothing lands outside the picture.
#include <gtest/gtest.h>

#include <vector>

#include "platform/codec/StillImageCodec.h"

namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) v[at + i] = uint8_t(value >> (8 * i));
}

// A 4 x 2 bottom-up BMP over the palette black, blue, red with these codes.
std::vector<uint8_t> RunLengthBmp(bool rle4, const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 10, 54 + 12);
  Put32(bmp, 14, 40);
  Put32(bmp, 18, 4);
  Put32(bmp, 22, 2);
  bmp[26] = 1;
  bmp[28] = rle4 ? 4 : 8;
  Put32(bmp, 30, rle4 ? 2 : 1);
  Put32(bmp, 46, 3);
  for (const uint8_t byte : {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0}) bmp.push_back(byte);
  for (const uint8_t byte : codes) bmp.push_back(byte);
  Put32(bmp, 34, uint32_t(codes.size()));
  Put32(bmp, 2, uint32_t(bmp.size()));
  return bmp;
}

// The picture as letters, top row first: '.' black, 'B' blue, 'R' red, '?' anything else.
std::string Letters(const std::vector<uint8_t>& rows, ptrdiff_t rowBytes) {
  std::string text;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const uint8_t* p = rows.data() + y * rowBytes + x * 3;
      text += p[0] == 0 && p[1] == 0 && p[2] == 0 ? '.' : p[0] == 255 && p[2] == 0 ? 'B' : p[2] == 255 && p[0] == 0 ? 'R' : '?';
    }
    text += y == 0 ? "/" : "";
  }
  return text;
}

}  // namespace

TEST(CodecRunLengthBmp, PixelsTheCodesLeaveOutAreBlackWhateverTheMemoryHeld) {
  const struct {
    const char* Name;
    bool Rle4;
    std::vector<uint8_t> Codes;
    const char* Expected;
  } cases[] = {
      {"delta", false, {2, 1, 0, 2, 1, 1, 1, 2, 0, 1}, "...R/BB.."},
      {"early end of line", false, {1, 1, 0, 0, 1, 2, 0, 1}, "R.../B..."},
      {"early end of picture", false, {4, 1, 0, 1}, "..../BBBB"},
      {"run past the row", false, {6, 2, 0, 0, 0, 1}, "..../RRRR"},
      {"colour beyond the palette", false, {4, 5, 0, 0, 2, 1, 0, 1}, "BB../...."},
      {"absolute run past the row", false, {0, 6, 1, 2, 1, 2, 1, 2, 0, 1}, "..../BRBR"},
      {"four bits", true, {4, 0x12, 0, 0, 0, 3, 0x21, 0x20, 0, 1}, "RBR./BRBR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> bmp = RunLengthBmp(c.Rle4, c.Codes);
    std::string seen;
    for (const uint8_t fill : {0x55, 0xAA}) {
      TCodecError err;
      auto decoder = TStillImageCodec::OpenMemory(bmp.data(), bmp.size(), err);
      ASSERT_TRUE(decoder) << err.Message;
      const ptrdiff_t rowBytes = AlignedRowBytes24(4);
      std::vector<uint8_t> rows(size_t(rowBytes) * 2 + 16, fill);  // 16 bytes to catch a write past the end
      ASSERT_TRUE(decoder->ReadPixels({rows.data(), rowBytes, 4, 2}, err)) << err.Message;
      EXPECT_EQ(Letters(rows, rowBytes), c.Expected);
      for (size_t i = size_t(rowBytes) * 2; i < rows.size(); ++i) ASSERT_EQ(rows[i], fill) << "written past the end";
    }
  }
}
