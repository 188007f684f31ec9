// The decode guard's limits and the JPEG structure it reads before any decoder runs, checked
// against files that libjpeg writes and reads itself.
#include <gtest/gtest.h>

#include "platform/codec/StillImageCodec.h"
#include "platform/guard/DecodeGuard.h"
#include "platform/guard/JpegLayout.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "support/HostileFiles.h"

using lossless_test::EncodeJpeg;
using lossless_test::TJpegOptions;
using lossless_test::TPicture;

namespace {

class TAssumedMemory {
 public:
  explicit TAssumedMemory(uint64_t bytes) { TDecodeGuard::SetAvailableMemoryForTesting(bytes); }
  ~TAssumedMemory() { TDecodeGuard::SetAvailableMemoryForTesting(0); }
};

TJpegLayout Layout(const std::vector<uint8_t>& bytes) {
  TJpegLayout layout;
  EXPECT_TRUE(ReadJpegLayout(bytes, layout));
  return layout;
}

}  // namespace

TEST(JpegLayout, CountsWhatLibjpegWritesAndAdmitsIt) {
  const TPicture picture = TPicture::Synthetic(333, 201);
  TJpegOptions progressive;
  progressive.Progressive = true;
  const struct {
    const char* Name;
    std::vector<uint8_t> Bytes;
    int Scans;
    uint64_t CoefficientBytes;
  } cases[] = {
      // 4:2:0: 42 x 26 luma MCUs of four blocks, and one block each of both chroma components.
      {"baseline", EncodeJpeg(picture, {}), 1, 0},
      {"progressive", EncodeJpeg(picture, progressive), 10, 21 * 13 * 6 * 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TJpegLayout layout = Layout(c.Bytes);
    EXPECT_EQ(layout.Width, 333);
    EXPECT_EQ(layout.Height, 201);
    EXPECT_EQ(layout.Components, 3);
    EXPECT_EQ(layout.PictureBlocks, 21u * 13u * 6u);
    EXPECT_EQ(layout.Scans, c.Scans);
    EXPECT_TRUE(layout.Covered);
    EXPECT_TRUE(layout.Ended);
    EXPECT_EQ(layout.ShortScanEnd, 0u);
    EXPECT_LE(layout.BlockVisits, 6 * layout.PictureBlocks);  // a standard script
    EXPECT_EQ(layout.CoefficientBytes(), c.CoefficientBytes);
    EXPECT_EQ(CheckJpegLayout(layout, c.Bytes.size()), "");
  }
}

TEST(JpegLayout, EveryCutOfAFileIsRefusedAsTruncated) {
  TJpegOptions progressive;
  progressive.Progressive = true;
  for (const bool isProgressive : {false, true}) {
    const std::vector<uint8_t> whole =
        EncodeJpeg(TPicture::Synthetic(96, 64), isProgressive ? progressive : TJpegOptions{});
    for (size_t length = 4; length < whole.size(); length += 7) {
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
      TJpegLayout layout;
      if (!ReadJpegLayout(cut, layout)) continue;  // no frame yet: the library refuses it
      EXPECT_NE(CheckJpegLayout(layout, cut.size()), "") << length << " of " << whole.size();
    }
  }
}

TEST(JpegLayout, HandMadeFilesDecodeAsTheGuardExpects) {
  // The hostile files are built by hand; one of a sane size must be a JPEG libjpeg reads.
  const std::vector<uint8_t> small = hostile::ProgressiveGreyJpeg(64, 48, 3);
  const TJpegLayout layout = Layout(small);
  EXPECT_EQ(layout.Scans, 4);
  EXPECT_EQ(layout.PictureBlocks, 48u);
  EXPECT_EQ(layout.BlockVisits, 4u * 48u);
  EXPECT_EQ(CheckJpegLayout(layout, small.size()), "");
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(small.data(), small.size(), err);
  ASSERT_TRUE(decoder) << err.Message;
  std::vector<uint8_t> pixels(size_t(AlignedRowBytes24(64)) * 48);
  ASSERT_TRUE(decoder->ReadPixels({pixels.data(), AlignedRowBytes24(64), 64, 48}, err)) << err.Message;
  EXPECT_EQ(pixels[0], pixels[pixels.size() - 1]);  // all blocks alike

  const std::vector<uint8_t> baseline = hostile::BaselineGreyJpeg(40, 24);
  decoder = TStillImageCodec::OpenMemory(baseline.data(), baseline.size(), err);
  ASSERT_TRUE(decoder) << err.Message;
  pixels.assign(size_t(AlignedRowBytes24(40)) * 24, 0);
  EXPECT_TRUE(decoder->ReadPixels({pixels.data(), AlignedRowBytes24(40), 40, 24}, err)) << err.Message;
}

TEST(JpegLayout, RefusalsNameTheirReason) {
  const std::vector<uint8_t> shortScan = hostile::ProgressiveGreyJpeg(65500, 6100, 2, 0.045);
  const TJpegLayout shortLayout = Layout(shortScan);
  ASSERT_NE(shortLayout.ShortScanEnd, 0u);
  const struct {
    const char* Name;
    std::vector<uint8_t> Bytes;
    std::string Reason;
  } cases[] = {
      {"too many scans", hostile::ProgressiveGreyJpeg(64, 48, TDecodeGuard::MaxScans), "257 scans, more than a photograph needs"},
      {"too many passes", hostile::ProgressiveGreyJpeg(4000, 4000, 60), "61 scans, more than a photograph needs"},
      {"short data", shortScan, "truncated at byte " + std::to_string(shortLayout.ShortScanEnd)},
      {"no DC scan", hostile::ProgressiveGreyJpeg(640, 480, 2, 1.0, false), "the picture's data is incomplete"},
      {"too large", hostile::BaselineGreyJpeg(65535, 6200, 0.01), "65535 × 6200 pixels are more than can be opened"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckJpegLayout(Layout(c.Bytes), c.Bytes.size()), c.Reason) << c.Name;
  }
  std::vector<uint8_t> noEnd = hostile::ProgressiveGreyJpeg(64, 48, 1);
  noEnd.resize(noEnd.size() - 2);
  EXPECT_EQ(CheckJpegLayout(Layout(noEnd), noEnd.size()), "truncated at byte " + std::to_string(noEnd.size()));
}

TEST(DecodeGuard, LimitsAndTheirReasons) {
  EXPECT_EQ(TDecodeGuard::CheckSize(65535, 6103), "");
  EXPECT_EQ(TDecodeGuard::CheckSize(65536, 1), "65536 × 1 pixels are more than can be opened");
  EXPECT_EQ(TDecodeGuard::CheckSize(20001, 20000), "20001 × 20000 pixels are more than can be opened");
  EXPECT_EQ(TDecodeGuard::CheckSize(0, 5), "the picture has no pixels");
  EXPECT_EQ(TDecodeGuard::CheckLength(100, 100), "");
  EXPECT_EQ(TDecodeGuard::CheckLength(99, 100), "truncated at byte 99");
  // Codings without a least size: a megapixel is free, then 4096 pixels a byte.
  EXPECT_EQ(TDecodeGuard::CheckUnboundedCoding(1024, 1024, 1), "");
  EXPECT_EQ(TDecodeGuard::CheckUnboundedCoding(2048, 1024, 256), "");
  EXPECT_EQ(TDecodeGuard::CheckUnboundedCoding(2048, 1024, 255), "truncated at byte 255");
  EXPECT_EQ(TDecodeGuard::CheckScans(256, 48 * 1000, 1000), "");
  EXPECT_NE(TDecodeGuard::CheckScans(256, 48 * 1000 + 1, 1000), "");

  TAssumedMemory memory(uint64_t{3} << 30);
  EXPECT_EQ(TDecodeGuard::CheckMemory(65500, 6100, uint64_t{3} << 30), "");
  EXPECT_EQ(TDecodeGuard::CheckMemory(65500, 6100, uint64_t(3.4 * (1 << 30))), "65500 × 6100 pixels would need 3.4 GB");
  EXPECT_EQ(TDecodeGuard::ByteText(300u << 20), "300 MB");
}
