// CMYK and YCCK JPEG files: the light the inks leave, ImageMagick's reading of the same file,
// reduced decodes for thumbnails and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "InkJpegMaker.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

struct TPatch {
  TInk Ink;
  std::array<int, 3> Bgr;
};

// 16 x 16 patches of flat ink and the blue, green, red they must give.
const std::vector<TPatch> Patches = {
    {{0, 0, 0, 0}, {255, 255, 255}},     {{255, 0, 0, 0}, {255, 255, 0}},
    {{0, 255, 0, 0}, {255, 0, 255}},     {{0, 0, 255, 0}, {0, 255, 255}},
    {{0, 0, 0, 255}, {0, 0, 0}},         {{0, 0, 0, 128}, {127, 127, 127}},
    {{255, 0, 255, 0}, {0, 255, 0}},     {{64, 128, 192, 51}, {50, 102, 153}},
};

TInk PatchInk(int32_t x, int32_t y) { return Patches[size_t(y / 16 * 4 + x / 16)].Ink; }

TPicture DecodeAll(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  EXPECT_TRUE(decoder) << err.Message;
  if (!decoder) return TPicture(1, 1);
  EXPECT_EQ(decoder->Info().Container, TCodecContainer::JPEG);
  TPicture picture(decoder->Info().Width, decoder->Info().Height);
  EXPECT_TRUE(decoder->ReadPixels(picture.Rows(), err)) << err.Message;
  return picture;
}

bool TryDecode(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) {
    EXPECT_FALSE(err.Message.empty());
    return false;
  }
  TPicture picture(decoder->Info().Width, decoder->Info().Height);
  if (decoder->ReadPixels(picture.Rows(), err)) return true;
  EXPECT_FALSE(err.Message.empty());
  return false;
}

TInk Gradient(int32_t x, int32_t y) {
  return {uint8_t(x * 255 / 159), uint8_t(y * 255 / 119), uint8_t((x + y) % 256), uint8_t((x * y) % 97)};
}

void WritePpm(const std::string& path, const TPicture& p) {
  std::vector<uint8_t> bytes;
  const std::string head = "P6\n" + std::to_string(p.Width) + " " + std::to_string(p.Height) + "\n255\n";
  bytes.assign(head.begin(), head.end());
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x)
      for (int c = 2; c >= 0; --c) bytes.push_back(p.Row(y)[x * 3 + c]);
  WriteAll(path, bytes);
}

// A binary 8-bit PPM as blue, green, red rows; 1 x 1 when it is not one.
TPicture ReadPpm(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadAll(path);
  std::istringstream head(std::string(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64)));
  std::string magic;
  int w = 0, h = 0, max = 0;
  head >> magic >> w >> h >> max;
  const size_t offset = size_t(head.tellg()) + 1;
  if (magic != "P6" || max != 255 || w <= 0 || h <= 0 || bytes.size() < offset + size_t(w) * h * 3) return TPicture(1, 1);
  TPicture p(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) p.Row(y)[x * 3 + 2 - c] = bytes[offset + (size_t(y) * w + x) * 3 + size_t(c)];
  return p;
}

}  // namespace

TEST(InkJpeg, InksGiveTheLightTheyLeaveInEveryStorage) {
  struct TCase {
    const char* Name;
    TInkJpegOptions Options;
  } cases[] = {
      {"CMYK, Adobe inverted", {false, true, 100, false}},
      {"CMYK, plain samples", {false, false, 100, false}},
      {"YCCK", {true, true, 100, false}},
      {"YCCK progressive", {true, true, 100, true}},
  };
  for (const TCase& c : cases) {
    const TPicture picture = DecodeAll(MakeInkJpeg(64, 32, PatchInk, c.Options));
    ASSERT_EQ(picture.Width, 64) << c.Name;
    ASSERT_EQ(picture.Height, 32) << c.Name;
    for (size_t i = 0; i < Patches.size(); ++i) {
      const int32_t x = int32_t(i % 4) * 16 + 8, y = int32_t(i / 4) * 16 + 8;
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(picture.Row(y)[x * 3 + k], Patches[i].Bgr[size_t(k)], 2) << c.Name << ", patch " << i << ", byte " << k;
    }
  }
}

TEST(InkJpeg, ConversionRoundsAndHonoursInversion) {
  const uint8_t plain[] = {0, 0, 0, 0, 255, 255, 255, 255, 64, 128, 192, 51, 1, 2, 3, 254};
  uint8_t bgr[12] = {};
  CMYKToBGR(plain, bgr, 4, false);
  // The last pixel: 254 / 255 of light under 1 / 255 of black rounds up to 1, not down to 0.
  const uint8_t expected[] = {255, 255, 255, 0, 0, 0, 50, 102, 153, 1, 1, 1};
  EXPECT_EQ(std::vector<uint8_t>(bgr, bgr + 12), std::vector<uint8_t>(expected, expected + 12));
  uint8_t inverted[16];
  for (int i = 0; i < 16; ++i) inverted[i] = uint8_t(255 - plain[i]);
  uint8_t again[12] = {};
  CMYKToBGR(inverted, again, 4, true);
  EXPECT_EQ(std::vector<uint8_t>(again, again + 12), std::vector<uint8_t>(expected, expected + 12));
}

TEST(InkJpeg, ImageMagicksCmykFileGivesItsOwnColours) {
  if (std::system("convert -version 2>/dev/null | grep -q ImageMagick") != 0) GTEST_SKIP() << "ImageMagick is missing";
  TTempFolder folder;
  const TPicture photo = TPicture::Synthetic(96, 64);
  WritePpm(folder.File("photo.ppm"), photo);
  const std::string made = "convert '" + folder.File("photo.ppm") + "' -colorspace CMYK '" + folder.File("ink.jpg") + "'";
  const std::string read = "convert '" + folder.File("ink.jpg") + "' -colorspace sRGB -depth 8 '" + folder.File("back.ppm") + "'";
  ASSERT_EQ(std::system(made.c_str()), 0);
  ASSERT_EQ(std::system(read.c_str()), 0);
  const TPicture theirs = ReadPpm(folder.File("back.ppm"));
  const TPicture ours = DecodeAll(ReadAll(folder.File("ink.jpg")));
  ASSERT_EQ(theirs.Width, 96);
  ASSERT_EQ(ours.Width, 96);
  EXPECT_LE(ours.MaxDifference(theirs), 1) << "mean " << ours.MeanDifference(theirs);
  EXPECT_LT(ours.MeanDifference(photo), 4.0) << "the colours of the photo that was separated";
}

TEST(InkJpeg, ThumbnailIsTheReducedPicture) {
  for (bool ycck : {false, true}) {
    TInkJpegOptions options;
    options.Ycck = ycck;
    options.Quality = 90;
    const std::vector<uint8_t> bytes = MakeInkJpeg(160, 120, Gradient, options);
    const TPicture full = DecodeAll(bytes);
    TPicture expected(40, 30);
    ReduceBGR24(full.ConstRows(), expected.Rows());
    TCodecError err;
    auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
    ASSERT_TRUE(decoder) << err.Message;
    TPicture thumbnail(40, 30);
    ASSERT_TRUE(decoder->ReadThumbnail(thumbnail.Rows(), err)) << err.Message;
    EXPECT_LT(thumbnail.MeanDifference(expected), 2.0) << (ycck ? "YCCK" : "CMYK");
    TPicture odd(37, 23);  // no scale gives this size: reduced from a larger decode
    ASSERT_TRUE(decoder->ReadThumbnail(odd.Rows(), err)) << err.Message;
  }
}

TEST(InkJpeg, TruncatedAndDamagedFilesFailCleanly) {
  for (bool progressive : {false, true}) {
    TInkJpegOptions options;
    options.Ycck = true;
    options.Quality = 80;
    options.Progressive = progressive;
    const std::vector<uint8_t> whole = MakeInkJpeg(48, 32, Gradient, options);
    ASSERT_TRUE(TryDecode(whole));
    size_t failures = 0, cuts = 0;
    for (size_t length = 0; length < whole.size(); length += length < 700 ? 1 : 29) {
      ++cuts;
      failures += !TryDecode(std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(length)));
    }
    EXPECT_EQ(failures, cuts) << "a truncated file decoded as if complete";
    uint32_t random = 2463534242u;
    for (int round = 0; round < 200; ++round) {
      TryDecode(Damaged(whole, round, random));  // either way, but cleanly (the sanitizers watch)
    }
  }
}
