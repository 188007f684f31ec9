// Truncated, corrupted, empty, foreign and oversized files: a clear error, never a crash.
#include <gtest/gtest.h>

#include "platform/codec/BmpFile.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

// Opens and decodes; returns whether both phases succeeded. A failure must carry a message.
bool TryDecode(const std::vector<uint8_t>& bytes, TCodecError& err) {
  err = {};
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) {
    EXPECT_FALSE(err.Message.empty());
    return false;
  }
  const TImageInfo& info = decoder->Info();
  TPicture picture(info.Width, info.Height);
  bool ok = decoder->ReadPixels(picture.Rows(), err);
  if (!ok) {
    EXPECT_FALSE(err.Message.empty());
  }
  return ok;
}

std::vector<uint8_t> Encoded(const char* mime, const std::vector<TPropertyItem>& items = CameraItems()) {
  TPicture picture = TPicture::Synthetic(48, 32);
  TEncodeOptions options;
  options.Items = items;
  options.DpiX = options.DpiY = 72;
  std::vector<uint8_t> bytes;
  TCodecError err;
  EXPECT_TRUE(TStillImageCodec::Encode(mime, picture.ConstRows(), options, bytes, err)) << err.Message;
  return bytes;
}

class CodecBadInput : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(CodecBadInput, EveryTruncationFails) {
  std::vector<uint8_t> whole = Encoded(GetParam());
  TCodecError err;
  ASSERT_TRUE(TryDecode(whole, err)) << err.Message;
  size_t failures = 0, cuts = 0;
  for (size_t length = 0; length < whole.size(); length += length < 600 ? 1 : 37) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + length);
    ++cuts;
    if (!TryDecode(part, err)) ++failures;
  }
  EXPECT_EQ(failures, cuts) << "a truncated file decoded as if complete";
}

TEST_P(CodecBadInput, CorruptedBytesNeverCrash) {
  std::vector<uint8_t> whole = Encoded(GetParam());
  uint32_t random = 2463534242u;
  TCodecError err;
  for (int round = 0; round < 300; ++round) {
    TryDecode(Damaged(whole, round, random), err);  // either way, but cleanly (the sanitizers watch)
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, CodecBadInput, ::testing::Values("image/jpeg", "image/png", "image/tiff"),
                         [](const auto& p) { return std::string(p.param + 6); });

TEST(CodecBadInput, EmptyMissingAndForeignFiles) {
  TCodecError err;
  EXPECT_FALSE(TryDecode({}, err));
  EXPECT_EQ(err.Message, "The file is empty.");
  EXPECT_FALSE(TryDecode(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'}, err));
  EXPECT_EQ(err.Status, TCodecStatus::UnknownFormat);
  std::vector<uint8_t> wrongMagic = Encoded("image/png");
  wrongMagic[1] = 'Q';
  EXPECT_FALSE(TryDecode(wrongMagic, err));
  EXPECT_EQ(err.Status, TCodecStatus::UnknownFormat);

  EXPECT_FALSE(TStillImageCodec::OpenFile("/nonexistent/picture.jpg", err));
  EXPECT_EQ(err.Status, TCodecStatus::FileError);
  TTempFolder folder;
  EXPECT_FALSE(TStillImageCodec::OpenFile(folder.Path(), err));
  EXPECT_EQ(err.Status, TCodecStatus::FileError);
  WriteAll(folder.File("empty.png"), {});
  EXPECT_FALSE(TStillImageCodec::OpenFile(folder.File("empty.png"), err));
  EXPECT_FALSE(err.Message.empty());
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

std::vector<uint8_t> PngOfSize(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = Encoded("image/png", {});
  PutBE32(&png[16], width);
  PutBE32(&png[20], height);
  PutBE32(&png[29], Crc32(&png[12], 17));
  return png;
}

std::vector<uint8_t> JpegOfSize(uint16_t width, uint16_t height) {
  std::vector<uint8_t> jpeg = Encoded("image/jpeg", {});
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = uint8_t(height >> 8);
      jpeg[i + 6] = uint8_t(height);
      jpeg[i + 7] = uint8_t(width >> 8);
      jpeg[i + 8] = uint8_t(width);
      break;
    }
  return jpeg;
}

// A little-endian TIFF that declares the size and one uncompressed strip of 16 bytes.
std::vector<uint8_t> TiffOfSize(uint32_t width, uint32_t height) {
  std::vector<uint8_t> t = {'I', 'I', 42, 0, 8, 0, 0, 0};
  struct TEntry { uint16_t Tag, Type; uint32_t Count, Value; };
  const TEntry entries[] = {{256, 4, 1, width}, {257, 4, 1, height}, {258, 3, 1, 8}, {259, 3, 1, 1},
                            {262, 3, 1, 1},     {273, 4, 1, 200},    {277, 3, 1, 1}, {278, 4, 1, height},
                            {279, 4, 1, 16}};
  auto put16 = [&](uint16_t v) { t.push_back(uint8_t(v)); t.push_back(uint8_t(v >> 8)); };
  auto put32 = [&](uint32_t v) { put16(uint16_t(v)); put16(uint16_t(v >> 16)); };
  put16(uint16_t(std::size(entries)));
  for (const TEntry& e : entries) {
    put16(e.Tag);
    put16(e.Type);
    put32(e.Count);
    put32(e.Value);
  }
  put32(0);
  t.resize(216, 0x80);
  return t;
}

}  // namespace

TEST(CodecBadInput, HugeDimensionsAreRefusedBeforeAllocating) {
  TCodecError err;
  struct TCase { const char* Name; std::vector<uint8_t> Bytes; };
  TCase cases[] = {
      {"png 100000 wide", PngOfSize(100000, 10)},
      {"png 60000 square", PngOfSize(60000, 60000)},
      {"png 2^31", PngOfSize(0x80000000u, 0x80000000u)},
      {"jpeg 65535 square", JpegOfSize(65535, 65535)},
      {"jpeg 60000 square", JpegOfSize(60000, 60000)},
      {"tiff 70000 wide", TiffOfSize(70000, 4)},
      {"tiff 4G pixels", TiffOfSize(65535, 65535)},
  };
  for (const TCase& c : cases) {
    auto decoder = TStillImageCodec::OpenMemory(c.Bytes.data(), c.Bytes.size(), err);
    EXPECT_FALSE(decoder) << c.Name;
    EXPECT_EQ(err.Status, TCodecStatus::TooLarge) << c.Name << ": " << err.Message;
    EXPECT_NE(err.Message.find("pixels are more than can be opened"), std::string::npos) << err.Message;
  }
  // The hand-made TIFF is otherwise valid: a small size opens and decodes.
  std::vector<uint8_t> small = TiffOfSize(4, 4);
  EXPECT_TRUE(TryDecode(small, err)) << err.Message;
}

TEST(CodecBadInput, ReadPixelsChecksTheDestination) {
  std::vector<uint8_t> bytes = Encoded("image/png");
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  ASSERT_TRUE(decoder);
  TPicture wrong(47, 32);
  EXPECT_FALSE(decoder->ReadPixels(wrong.Rows(), err));
  EXPECT_EQ(err.Status, TCodecStatus::InvalidArgument);
  TPicture right(48, 32);
  EXPECT_FALSE(decoder->ReadPixels({right.Bits.data(), 100, 48, 32}, err));
  EXPECT_TRUE(decoder->ReadPixels(right.Rows(), err)) << err.Message;
}

TEST(CodecBadInput, BmpStructureCheckFindsMissingRowsAndRuns) {
  std::vector<uint8_t> bmp = Encoded("image/bmp", {});
  TBmpFacts facts;
  TCodecError err;
  ASSERT_TRUE(CheckBmpFile(bmp, facts, err)) << err.Message;
  EXPECT_EQ(facts.Width, 48);
  EXPECT_NEAR(facts.DpiX, 72, 0.05);
  for (size_t length = 0; length < bmp.size(); ++length)
    EXPECT_FALSE(CheckBmpFile(std::span(bmp).first(length), facts, err)) << length;

  std::vector<uint8_t> rle(bmp.begin(), bmp.begin() + 54);
  rle[30] = 1;  // RLE8, two rows of runs, end of bitmap
  rle[22] = 2;
  rle[23] = rle[24] = rle[25] = 0;
  for (uint8_t b : {4, 1, 0, 0, 4, 2, 0, 0, 0, 1}) rle.push_back(b);
  EXPECT_TRUE(CheckBmpFile(rle, facts, err)) << err.Message;
  for (size_t length = 55; length + 2 < rle.size(); ++length)  // every row ended counts as complete
    EXPECT_FALSE(CheckBmpFile(std::span(rle).first(length), facts, err)) << length;
  rle[18] = 0;
  rle[20] = 2;  // 131072 wide
  EXPECT_FALSE(CheckBmpFile(rle, facts, err));
  EXPECT_EQ(err.Status, TCodecStatus::TooLarge);
}

// A chunk whose length runs past the end of the file: refused before anything allocates it.
TEST(CodecBadInput, PngChunkLongerThanTheFileIsRefusedUpFront) {
  std::vector<uint8_t> png = Encoded("image/png", {});
  PutBE32(&png[33], 0x7B000099u);
  TCodecError err;
  EXPECT_FALSE(TStillImageCodec::OpenMemory(png.data(), png.size(), err));
  EXPECT_EQ(err.Status, TCodecStatus::Corrupt);
}
