#include <gtest/gtest.h>

#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"
#include "platform/codec/qt/QtImageCodec.h"

using namespace codec_test;

namespace {

class QtCodec : public ::testing::Test {
 protected:
  void SetUp() override { RegisterQtImageCodecs(); }
};

std::unique_ptr<TImageDecoder> OpenBytes(const std::vector<uint8_t>& bytes, TCodecError& err) {
  return TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
}

bool TryDecode(const std::vector<uint8_t>& bytes, TCodecError& err) {
  auto decoder = OpenBytes(bytes, err);
  if (!decoder) return false;
  TPicture picture(decoder->Info().Width, decoder->Info().Height);
  return decoder->ReadPixels(picture.Rows(), err);
}

// A 4 x 2 BMP with 8-bit run-length coded rows: four blue at the bottom, two red over two black.
std::vector<uint8_t> Rle8Bmp() { return RunLengthBmp(false, {4, 1, 0, 0, 2, 2, 2, 0, 0, 0, 0, 1}); }

}  // namespace

TEST_F(QtCodec, BmpSavesAndOpensWithTheSamePixelsAndResolution) {
  TTempFolder folder;
  TPicture source = TPicture::Synthetic(33, 17);
  TEncodeOptions options;
  options.DpiX = options.DpiY = 300;
  TCodecError err;
  std::string path = folder.File("picture.bmp");
  ASSERT_TRUE(TStillImageCodec::SaveToFile("image/bmp", source.ConstRows(), options, path, err)) << err.Message;
  auto decoder = TStillImageCodec::OpenFile(path, err);
  ASSERT_TRUE(decoder) << err.Message;
  EXPECT_EQ(decoder->Info().Container, TCodecContainer::BMP);
  EXPECT_NEAR(decoder->Info().DpiX, 300, 0.05);
  TPicture decoded(33, 17, 33 * 3 + 9);
  ASSERT_TRUE(decoder->ReadPixels(decoded.Rows(), err)) << err.Message;
  EXPECT_TRUE(decoded.SamePixels(source));
}

TEST_F(QtCodec, RunLengthBmpGifAndTransparentXpm) {
  TCodecError err;
  const std::vector<uint8_t> rle = Rle8Bmp();  // the decoder borrows the bytes
  auto bmp = OpenBytes(rle, err);
  ASSERT_TRUE(bmp) << err.Message;
  EXPECT_EQ(bmp->Info().Width, 4);
  EXPECT_NEAR(bmp->Info().DpiX, 72, 0.01);
  TPicture p(4, 2);
  ASSERT_TRUE(bmp->ReadPixels(p.Rows(), err)) << err.Message;
  const uint8_t top[] = {0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0};
  const uint8_t bottom[] = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
  EXPECT_EQ(std::memcmp(p.Row(0), top, 12), 0);
  EXPECT_EQ(std::memcmp(p.Row(1), bottom, 12), 0);

  // 1 x 1, global palette white and black, one LZW-coded pixel of index 0.
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 255, 255, 0, 0, 0,
                              0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
  auto decoder = OpenBytes(gif, err);
  ASSERT_TRUE(decoder) << err.Message;
  EXPECT_EQ(decoder->Info().Container, TCodecContainer::GIF);
  TPicture one(1, 1);
  ASSERT_TRUE(decoder->ReadPixels(one.Rows(), err)) << err.Message;
  EXPECT_EQ(one.Row(0)[0], 255);

  std::string xpm = "/* XPM */\nstatic const char *x[] = {\n\"2 1 2 1\",\n\"a c #FF0000\",\n\"b c None\",\n\"ab\"};\n";
  std::vector<uint8_t> xpmBytes(xpm.begin(), xpm.end());
  decoder = OpenBytes(xpmBytes, err);
  ASSERT_TRUE(decoder) << err.Message;
  TPicture two(2, 1);
  ASSERT_TRUE(decoder->ReadPixels(two.Rows(), err)) << err.Message;
  const uint8_t expected[] = {0, 0, 255, 255, 255, 255};  // red, then transparent over white
  EXPECT_EQ(std::memcmp(two.Row(0), expected, 6), 0);
}

TEST_F(QtCodec, BadBmpFilesFailCleanly) {
  TPicture source = TPicture::Synthetic(20, 10);
  std::vector<uint8_t> whole;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/bmp", source.ConstRows(), {}, whole, err));
  size_t failures = 0, cuts = 0;
  for (size_t length = 0; length < whole.size(); length += 3, ++cuts)
    if (!TryDecode(std::vector<uint8_t>(whole.begin(), whole.begin() + length), err)) {
      ++failures;
      EXPECT_FALSE(err.Message.empty());
    }
  EXPECT_EQ(failures, cuts) << "a truncated BMP decoded as if complete";

  std::vector<uint8_t> rle = Rle8Bmp();
  for (size_t length = 0; length + 1 < rle.size(); ++length)
    TryDecode(std::vector<uint8_t>(rle.begin(), rle.begin() + length), err);

  std::vector<uint8_t> wide = whole;
  Put32(wide, 18, 100000);
  EXPECT_FALSE(OpenBytes(wide, err));
  EXPECT_EQ(err.Status, TCodecStatus::TooLarge) << err.Message;
  std::vector<uint8_t> huge = whole;
  Put32(huge, 18, 60000);
  Put32(huge, 22, 60000);
  EXPECT_FALSE(OpenBytes(huge, err));
  EXPECT_EQ(err.Status, TCodecStatus::TooLarge) << err.Message;
  EXPECT_FALSE(OpenBytes(std::vector<uint8_t>{'B', 'M', 1, 2, 3}, err));
  EXPECT_FALSE(err.Message.empty());
}

TEST_F(QtCodec, DrawingsAndHeadersOverAFewBytesAreRefusedWithTheirReason) {
  const std::string svg =
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="65535" height="16000"><rect width="9" height="9"/></svg>)";
  // A GIF whose screen and image claim 20000 x 20000 over an empty image.
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0x20, 0x4E, 0x20, 0x4E, 0, 0, 0,
                              ',', 0, 0, 0, 0, 0x20, 0x4E, 0x20, 0x4E, 0, 2, 0, ';'};
  const struct {
    const char* Name;
    std::vector<uint8_t> Bytes;
    std::string Reason;
  } cases[] = {
      {"drawing", std::vector<uint8_t>(svg.begin(), svg.end()), "a vector drawing, not a photograph"},
      {"gif", gif, "truncated at byte " + std::to_string(gif.size())},
  };
  for (const auto& c : cases) {
    TCodecError err;
    EXPECT_FALSE(OpenBytes(c.Bytes, err)) << c.Name;
    EXPECT_EQ(err.Message, c.Reason) << c.Name;
  }
}
