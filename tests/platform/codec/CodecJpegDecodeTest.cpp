// JPEG pixels through the scanline decoder: the same bytes TurboJPEG's own decode gives, for
// every sampling, grey, progressive, reduced decodes and parts decoded at once, with rows
// published as they finish.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

std::vector<uint8_t> Compress(const TPicture& picture, int sampling, int flags) {
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  EXPECT_EQ(tjCompress2(tj, picture.Bits.data(), picture.Width, int(picture.RowBytes), picture.Height, TJPF_BGR,
                        &out, &size, sampling, 88, flags),
            0)
      << tjGetErrorStr2(tj);
  std::vector<uint8_t> jpeg(out, out + size);
  tjFree(out);
  tjDestroy(tj);
  return jpeg;
}

// TurboJPEG's decode of the file at scale num/denom into tightly packed rows.
TPicture TurboDecode(const std::vector<uint8_t>& jpeg, int num, int denom) {
  tjhandle tj = tjInitDecompress();
  int w = 0, h = 0, sampling = 0, colourSpace = 0;
  EXPECT_EQ(tjDecompressHeader3(tj, jpeg.data(), jpeg.size(), &w, &h, &sampling, &colourSpace), 0);
  const tjscalingfactor factor{num, denom};
  TPicture out(TJSCALED(w, factor), TJSCALED(h, factor));
  EXPECT_EQ(tjDecompress2(tj, jpeg.data(), jpeg.size(), out.Bits.data(), out.Width, int(out.RowBytes), out.Height,
                          TJPF_BGR, 0),
            0)
      << tjGetErrorStr2(tj);
  tjDestroy(tj);
  return out;
}

// 4:2:0 with a restart marker after every MCU row.
std::vector<uint8_t> EncodeWithRestarts(const TPicture& picture) {
  jpeg_compress_struct c{};
  jpeg_error_mgr e{};
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(picture.Width);
  c.image_height = JDIMENSION(picture.Height);
  c.input_components = 3;
  c.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  c.restart_in_rows = 1;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    auto* row = const_cast<JSAMPROW>(picture.Row(int32_t(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> jpeg(out, out + size);
  std::free(out);
  return jpeg;
}

bool SameRows(const TPicture& a, const TPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height) return false;
  for (int32_t y = 0; y < a.Height; ++y)
    if (std::memcmp(a.Row(y), b.Row(y), size_t(a.Width) * 3) != 0) return false;
  return true;
}

// Parts of a one-scan picture decoded at once on their own threads give exactly the whole decode
// (1, 2, 3 and 8 parts, edges inside an MCU) and write nothing outside their rows.
void ExpectPartsGiveTheWhole(const TImageDecoder& decoder, const TPicture& whole) {
  const int32_t w = whole.Width, h = whole.Height;
  for (const int32_t count : {1, 2, 3, 8}) {
    SCOPED_TRACE(count);
    TPicture ours(w, h, AlignedRowBytes24(w) + 8);
    std::vector<std::thread> threads;
    std::vector<TCodecError> errors(static_cast<size_t>(count));
    std::vector<int> decoded(static_cast<size_t>(count), 0);
    for (int32_t k = 0; k < count; ++k)
      threads.emplace_back([&, k] {
        decoded[size_t(k)] = decoder.ReadPixelRows(ours.Rows(), h * k / count, h * (k + 1) / count, nullptr,
                                                   errors[size_t(k)]);
      });
    for (std::thread& t : threads) t.join();
    for (int32_t k = 0; k < count; ++k) EXPECT_TRUE(decoded[size_t(k)]) << errors[size_t(k)].Message;
    EXPECT_TRUE(SameRows(ours, whole));
    EXPECT_EQ(ours.Row(0)[w * 3], 0xEE) << "row padding untouched";
  }
  TPicture part(w, h);
  const TPicture blank = part;
  TCodecError err;
  ASSERT_TRUE(decoder.ReadPixelRows(part.Rows(), h / 3, h * 2 / 3, nullptr, err)) << err.Message;
  for (int32_t y = 0; y < h; ++y) {
    const TPicture& expected = y >= h / 3 && y < h * 2 / 3 ? whole : blank;
    EXPECT_EQ(std::memcmp(part.Row(y), expected.Row(y), size_t(w) * 3), 0) << "row " << y;
  }
  EXPECT_FALSE(decoder.ReadPixelRows(part.Rows(), h / 2, h / 3, nullptr, err));
}

struct TSamplingCase {
  const char* Name;
  int Sampling;
  int Flags;
  bool OneScan;
};
constexpr TSamplingCase kSamplings[] = {{"4:2:0", TJSAMP_420, 0, true},
                                        {"4:2:2", TJSAMP_422, 0, true},
                                        {"4:4:4", TJSAMP_444, 0, true},
                                        {"grey", TJSAMP_GRAY, 0, true},
                                        {"progressive", TJSAMP_420, TJFLAG_PROGRESSIVE, false}};

}  // namespace

TEST(CodecJpegDecode, MatchesTurboJpegForEverySamplingGreyProgressiveReducedAndPartedDecodes) {
  const TPicture picture = TPicture::Synthetic(203, 131);  // partial MCUs on both edges
  for (const TSamplingCase& c : kSamplings) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> jpeg = Compress(picture, c.Sampling, c.Flags);
    TCodecError err;
    auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
    ASSERT_TRUE(decoder) << err.Message;
    TPicture ours(decoder->Info().Width, decoder->Info().Height, AlignedRowBytes24(203) + 8);
    ASSERT_TRUE(decoder->ReadPixels(ours.Rows(), err)) << err.Message;
    EXPECT_TRUE(SameRows(ours, TurboDecode(jpeg, 1, 1)));
    EXPECT_EQ(ours.Row(0)[203 * 3], 0xEE) << "row padding untouched";
    // One scan: parts on several threads; several scans decode whole only.
    EXPECT_EQ(decoder->DecodesInParts(), c.OneScan);
    if (c.OneScan) ExpectPartsGiveTheWhole(*decoder, TurboDecode(jpeg, 1, 1));
    // 51 x 33 is exactly the quarter-scale decode.
    TPicture quarter(51, 33);
    ASSERT_TRUE(decoder->ReadThumbnail(quarter.Rows(), err)) << err.Message;
    EXPECT_TRUE(SameRows(quarter, TurboDecode(jpeg, 1, 4)));
  }
}

TEST(CodecJpegDecode, PublishesFinishedRowsAsTheDecodeGoesOnAndNothingForThumbnails) {
  const TPicture picture = TPicture::Synthetic(320, 480);
  const std::vector<uint8_t> jpeg = Compress(picture, TJSAMP_420, 0);
  TCodecError err;
  auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
  ASSERT_TRUE(decoder) << err.Message;
  TDecodeProgress progress;
  decoder->SetProgress(&progress);
  std::vector<int32_t> seen;
  std::thread watcher([&] {
    for (int32_t rows = 0; rows < 480;) {
      rows = progress.WaitBeyond(rows);
      if (rows == TDecodeProgress::Failed) return;
      seen.push_back(rows);
    }
  });
  TPicture out(320, 480);
  const bool decoded = decoder->ReadPixels(out.Rows(), err);
  if (!decoded) progress.Fail();
  watcher.join();
  ASSERT_TRUE(decoded) << err.Message;
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 480);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);

  // A reduced decode writes other rows: it must not publish into the full-size count.
  TDecodeProgress untouched;
  decoder->SetProgress(&untouched);
  TPicture small(40, 60);
  ASSERT_TRUE(decoder->ReadThumbnail(small.Rows(), err)) << err.Message;
  EXPECT_EQ(untouched.Published(), 0);
}

// Restart markers after every MCU row: the parts skip over them as the whole decode reads them.
TEST(CodecJpegDecode, PartsOfAPictureWithRestartMarkersGiveTheWholeDecode) {
  const std::vector<uint8_t> jpeg = EncodeWithRestarts(TPicture::Synthetic(203, 131));
  TCodecError err;
  auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
  ASSERT_TRUE(decoder && decoder->DecodesInParts()) << err.Message;
  ExpectPartsGiveTheWhole(*decoder, TurboDecode(jpeg, 1, 1));
}
