// JPEG pixels through the scanline decoder: the same bytes TurboJPEG's own decode gives, for
// every sampling, grey, progressive and reduced decodes, with rows published as they finish.
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

}  // namespace

TEST(CodecJpegDecode, MatchesTurboJpegForEverySamplingGreyProgressiveAndReducedDecodes) {
  const TPicture picture = TPicture::Synthetic(203, 131);  // partial MCUs on both edges
  struct TCase {
    const char* Name;
    int Sampling;
    int Flags;
  };
  for (const TCase& c : {TCase{"4:2:0", TJSAMP_420, 0}, TCase{"4:2:2", TJSAMP_422, 0}, TCase{"4:4:4", TJSAMP_444, 0},
                         TCase{"grey", TJSAMP_GRAY, 0}, TCase{"progressive", TJSAMP_420, TJFLAG_PROGRESSIVE}}) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> jpeg = Compress(picture, c.Sampling, c.Flags);
    TCodecError err;
    auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
    ASSERT_TRUE(decoder) << err.Message;
    TPicture ours(decoder->Info().Width, decoder->Info().Height, AlignedRowBytes24(203) + 8);
    ASSERT_TRUE(decoder->ReadPixels(ours.Rows(), err)) << err.Message;
    EXPECT_TRUE(SameRows(ours, TurboDecode(jpeg, 1, 1)));
    EXPECT_EQ(ours.Row(0)[203 * 3], 0xEE) << "row padding untouched";
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

// Parts of a one-scan picture decoded at once on their own threads give exactly the whole decode,
// for every sampling, restart markers and edges inside an MCU, and write nothing outside their
// rows; pictures of several scans, and truncated files, are not taken for parts.
TEST(CodecJpegDecode, PartsDecodedAtOnceGiveTheWholeDecode) {
  const TPicture picture = TPicture::Synthetic(203, 131);  // partial MCUs on both edges
  struct TCase {
    const char* Name;
    int Sampling;
    int Flags;
    bool Parts;
  };
  for (const TCase& c : {TCase{"4:2:0", TJSAMP_420, 0, true}, TCase{"4:2:2", TJSAMP_422, 0, true},
                         TCase{"4:4:4", TJSAMP_444, 0, true}, TCase{"grey", TJSAMP_GRAY, 0, true},
                         TCase{"progressive", TJSAMP_420, TJFLAG_PROGRESSIVE, false}}) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> jpeg = Compress(picture, c.Sampling, c.Flags);
    TCodecError err;
    auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
    ASSERT_TRUE(decoder) << err.Message;
    EXPECT_EQ(decoder->DecodesInParts(), c.Parts);
    if (!c.Parts) continue;
    const TPicture whole = TurboDecode(jpeg, 1, 1);
    for (const int32_t count : {1, 2, 3, 8}) {
      SCOPED_TRACE(count);
      TPicture ours(203, 131, AlignedRowBytes24(203) + 8);
      std::vector<std::thread> threads;
      std::vector<TCodecError> errors(static_cast<size_t>(count));
      std::vector<int> decoded(static_cast<size_t>(count), 0);
      for (int32_t k = 0; k < count; ++k)
        threads.emplace_back([&, k] {
          decoded[size_t(k)] = decoder->ReadPixelRows(ours.Rows(), 131 * k / count, 131 * (k + 1) / count, nullptr,
                                                      errors[size_t(k)]);
        });
      for (std::thread& t : threads) t.join();
      for (int32_t k = 0; k < count; ++k) EXPECT_TRUE(decoded[size_t(k)]) << errors[size_t(k)].Message;
      EXPECT_TRUE(SameRows(ours, whole));
      EXPECT_EQ(ours.Row(0)[203 * 3], 0xEE) << "row padding untouched";
    }
    // One part alone writes its own rows only.
    TPicture part(203, 131);
    const TPicture blank = part;
    ASSERT_TRUE(decoder->ReadPixelRows(part.Rows(), 40, 90, nullptr, err)) << err.Message;
    for (int32_t y = 0; y < 131; ++y) {
      const TPicture& expected = y >= 40 && y < 90 ? whole : blank;
      EXPECT_EQ(std::memcmp(part.Row(y), expected.Row(y), 203 * 3), 0) << "row " << y;
    }
    EXPECT_FALSE(decoder->ReadPixelRows(part.Rows(), 90, 40, nullptr, err));
  }

  // Restart markers every MCU row.
  const std::vector<uint8_t> jpeg = EncodeWithRestarts(picture);
  TCodecError err;
  auto decoder = TStillImageCodec::Open(TCodecData::Borrow(jpeg.data(), jpeg.size()), err);
  ASSERT_TRUE(decoder && decoder->DecodesInParts()) << err.Message;
  TPicture ours(203, 131);
  ASSERT_TRUE(decoder->ReadPixelRows(ours.Rows(), 0, 70, nullptr, err)) << err.Message;
  ASSERT_TRUE(decoder->ReadPixelRows(ours.Rows(), 70, 131, nullptr, err)) << err.Message;
  EXPECT_TRUE(SameRows(ours, TurboDecode(jpeg, 1, 1)));
}
