// JPEG pixels through the scanline decoder: the same bytes TurboJPEG's own decode gives, for
// every sampling, grey, progressive and reduced decodes, with rows published as they finish.
#include <gtest/gtest.h>
#include <turbojpeg.h>

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
