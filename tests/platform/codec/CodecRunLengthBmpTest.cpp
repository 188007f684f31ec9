// Run-length BMPs whose codes leave pixels out (deltas, early ends of lines and of the picture),
// run past a row or name colours the palette lacks: the pixels they leave out are black, whatever
// the memory held before, and nothing lands outside the picture.
#include <gtest/gtest.h>

#include <vector>

#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"

using codec_test::RunLengthBmp;

namespace {

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
