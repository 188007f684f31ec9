// BMP, which Qt's reader decodes, through the document's decode and encode.
#include <gtest/gtest.h>

#include <cstring>

#include "documents/WKGraphicsCodec.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/qt/QtImageCodec.h"

using namespace codec_test;

TEST(BmpDocument, SavesAndOpensWithTheSamePixelsAndRefusesDamagedFiles) {
  RegisterQtImageCodecs();
  TTempFolder folder;
  const TPicture picture = TPicture::Synthetic(31, 17);
  TWKLTBitmap image;
  ASSERT_TRUE(image.SetSize(31, 17, FormatBGR24));
  for (int32_t y = 0; y < 17; ++y) std::memcpy(image.Pixels()->PixelAddress(0, y), picture.Row(y), 31 * 3);
  const std::string name = folder.File("p.bmp");
  std::string error;
  ASSERT_TRUE(EncodeImageFile(name, image, "image/bmp", {}, error)) << error;

  TWKLTBitmap current, original;
  TImageInfo info;
  ASSERT_TRUE(DecodeImageFile(name, current, original, info, error)) << error;
  EXPECT_EQ(FormatIdOfContainer(info.Container), 3);
  ASSERT_EQ(current.Width(), 31);
  for (int32_t y = 0; y < 17; ++y)
    ASSERT_EQ(std::memcmp(current.Pixels()->PixelAddress(0, y), picture.Row(y), 31 * 3), 0) << y;

  const std::vector<uint8_t> whole = ReadAll(name);
  std::vector<uint8_t> huge = whole;
  const int32_t side = 60000;
  std::memcpy(&huge[18], &side, 4);
  std::memcpy(&huge[22], &side, 4);
  for (auto& [what, bytes] : {std::pair{"header only", std::vector<uint8_t>(whole.begin(), whole.begin() + 54)},
                              std::pair{"half", std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2)},
                              std::pair{"empty", std::vector<uint8_t>{}}, std::pair{"huge", huge}}) {
    WriteAll(folder.File("bad.bmp"), bytes);
    EXPECT_FALSE(DecodeImageFile(folder.File("bad.bmp"), current, original, info, error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(current.Width(), 31) << what << ": the document keeps its image";
    EXPECT_EQ(std::memcmp(original.Pixels()->PixelAddress(0, 16), picture.Row(16), 31 * 3), 0) << what;
  }
}
