// Files decoded into a document's images and encoded from them: pixels, metadata, bad input.
#include <gtest/gtest.h>

#include <cstring>

#include "documents/WKGraphicsCodec.h"
#include "framework/WKAtomicFile.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKPageMemory.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/ExifBlockMaker.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

void Fill(TWKLTBitmap& image, const TPicture& picture) {
  ASSERT_TRUE(image.SetSize(picture.Width, picture.Height, FormatBGR24));
  for (int32_t y = 0; y < picture.Height; ++y)
    std::memcpy(image.Pixels()->PixelAddress(0, y), picture.Row(y), size_t(picture.Width) * 3);
}

bool SamePixels(const TWKLTBitmap& image, const TPicture& picture) {
  if (image.Width() != picture.Width || image.Height() != picture.Height) return false;
  for (int32_t y = 0; y < picture.Height; ++y)
    if (std::memcmp(image.Pixels()->PixelAddress(0, y), picture.Row(y), size_t(picture.Width) * 3) != 0) return false;
  return true;
}

struct TImages {
  TWKLTBitmap Current, Original;
  TImageInfo Info;
};

}  // namespace

TEST(GraphicsCodec, LosslessFormatsKeepPixelsAndEveryFormatKeepsCameraItems) {
  TTempFolder folder;
  const TPicture picture = TPicture::Synthetic(37, 23);  // odd width: padded rows
  TWKLTBitmap source;
  Fill(source, picture);
  std::vector<TPropertyItem> items = CameraItems();
  items.push_back(Short(0x5013, 6));  // a thumbnail item is never written

  for (int32_t format : {0, 1, 2}) {
    SCOPED_TRACE(format);
    const std::string name = folder.File("saved" + std::to_string(format));
    TEncodeOptions options;
    options.Items = items;
    options.Quality = 95;
    options.DpiX = options.DpiY = 300;
    std::string error;
    ASSERT_TRUE(EncodeImageFile(name, source, MimeTypeOfFormat(format), options, error)) << error;
    TImages doc;
    ASSERT_TRUE(DecodeImageFile(name, doc.Current, doc.Original, doc.Info, error)) << error;
    EXPECT_EQ(FormatIdOfContainer(doc.Info.Container), format);
    if (format == 0) {
      EXPECT_EQ(doc.Current.Width(), 37);
    } else {
      EXPECT_TRUE(SamePixels(doc.Current, picture));
    }
    EXPECT_EQ(std::memcmp(doc.Current.Storage().Bits, doc.Original.Storage().Bits, doc.Current.Storage().Size), 0);
    EXPECT_NE(doc.Current.Storage().Bits, doc.Original.Storage().Bits) << "the original is a copy";
    EXPECT_EQ(MissingItems(CameraItems(), doc.Info.Items), "");
    EXPECT_FALSE(HasThumbnailItems(doc.Info.Items));
    EXPECT_NEAR(doc.Info.DpiX, 300, 0.5);
  }
  EXPECT_EQ(FormatIdOfContainer(TCodecContainer::GIF), kOtherImageFormat);
  EXPECT_STREQ(MimeTypeOfFormat(3), "image/bmp");
  EXPECT_STREQ(MimeTypeOfFormat(-1), "");
}

TEST(GraphicsCodec, BadFilesLeaveTheImagesAsTheyWere) {
  TTempFolder folder;
  TImages doc;
  const TPicture previous = TPicture::Synthetic(9, 7);
  Fill(doc.Current, previous);
  Fill(doc.Original, previous);

  std::vector<uint8_t> jpeg, png, tiff;
  TCodecError err;
  const TPicture picture = TPicture::Synthetic(64, 48);
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", picture.ConstRows(), {}, jpeg, err));
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", picture.ConstRows(), {}, png, err));
  ASSERT_TRUE(TStillImageCodec::Encode("image/tiff", picture.ConstRows(), {}, tiff, err));
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"zero.jpg", {}},
      {"text.png", {'h', 'e', 'l', 'l', 'o'}},
  };
  for (auto& [kind, whole] : {std::pair{"jpg", jpeg}, std::pair{"png", png}, std::pair{"tif", tiff}}) {
    files.push_back({std::string("half.") + kind, std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2)});
    files.push_back({std::string("head.") + kind, std::vector<uint8_t>(whole.begin(), whole.begin() + 40)});
    std::vector<uint8_t> damaged = whole;
    for (size_t i = whole.size() / 3; i < whole.size(); i += 7) damaged[i] ^= 0x5A;
    files.push_back({std::string("damaged.") + kind, damaged});
  }
  // A PNG header declaring 60000 x 60000: refused before anything is allocated.
  std::vector<uint8_t> huge = png;
  const uint8_t side[4] = {0, 0, 0xEA, 0x60};
  std::memcpy(&huge[16], side, 4);
  std::memcpy(&huge[20], side, 4);
  files.push_back({"huge.png", huge});

  for (auto& [name, bytes] : files) {
    WriteAll(folder.File(name), bytes);
    std::string error;
    const bool decoded = DecodeImageFile(folder.File(name), doc.Current, doc.Original, doc.Info, error);
    if (name.rfind("damaged", 0) == 0 && decoded) continue;  // damage a decoder tolerates
    EXPECT_FALSE(decoded) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_TRUE(SamePixels(doc.Current, previous)) << name;
    EXPECT_TRUE(SamePixels(doc.Original, previous)) << name;
  }
  std::string error;
  EXPECT_FALSE(DecodeImageFile(folder.File("missing.png"), doc.Current, doc.Original, doc.Info, error));
  EXPECT_FALSE(DecodeImageFile(folder.Path(), doc.Current, doc.Original, doc.Info, error));
}

// Large enough that the copies follow the decode on another thread.
TEST(GraphicsCodec, LargePicturesGiveEqualCopiesAndAFailedDecodeLeavesAllThreeImages) {
  TTempFolder folder;
  const TPicture picture = TPicture::Synthetic(1601, 1003);
  std::vector<uint8_t> jpeg, png;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", picture.ConstRows(), {}, jpeg, err)) << err.Message;
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", picture.ConstRows(), {}, png, err)) << err.Message;
  WriteAll(folder.File("big.jpg"), jpeg);
  WriteAll(folder.File("big.png"), png);  // a decoder that reports no rows until the end
  WriteAll(folder.File("cut.jpg"), std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() * 3 / 4));

  TImages doc;
  TWKPixelBuffer backup;
  std::string error;
  const size_t rowBytes = 1601 * 3 + 1;  // one byte of padding
  for (const char* name : {"big.jpg", "big.png"}) {
    SCOPED_TRACE(name);
    // Freed blocks of the images' size, dirty, are what the decode gets to reuse.
    ReleaseKeptPixelMemory();
    std::vector<void*> dirty;
    for (int i = 0; i < 3; ++i) {
      dirty.push_back(AllocatePixelMemory(rowBytes * 1003));
      std::memset(dirty.back(), 0xAB, rowBytes * 1003);
    }
    for (void* block : dirty) FreePixelMemory(block, rowBytes * 1003);
    ASSERT_TRUE(DecodeImageFile(folder.File(name), doc.Current, doc.Original, doc.Info, error, &backup)) << error;
    const TWKBitmapStorage& rows = doc.Current.Storage();
    ASSERT_EQ(size_t(rows.RowBytes), rowBytes);
    ASSERT_EQ(backup.RowBytes, rows.RowBytes);
    EXPECT_EQ(std::memcmp(doc.Original.Storage().Bits, rows.Bits, rows.Size), 0);
    EXPECT_EQ(std::memcmp(backup.Bits, rows.Bits, rows.Size), 0);
    EXPECT_NE(backup.Bits, rows.Bits);
    int dirtyPadding = 0;
    for (int32_t y = 0; y < 1003; ++y) dirtyPadding += rows.Bits[y * rowBytes + rowBytes - 1] != 0;
    EXPECT_EQ(dirtyPadding, 0) << "row padding is cleared in memory that was reused";
  }
  EXPECT_TRUE(SamePixels(doc.Current, picture)) << "the PNG was decoded last";

  const TPicture previous = TPicture::Synthetic(9, 7);
  Fill(doc.Current, previous);
  Fill(doc.Original, previous);
  ASSERT_TRUE(backup.Allocate(FormatBGR24, Rect(0, 0, 9, 7)));
  backup.Bits[0] = 42;
  EXPECT_FALSE(DecodeImageFile(folder.File("cut.jpg"), doc.Current, doc.Original, doc.Info, error, &backup));
  EXPECT_NE(error.find("truncated at byte"), std::string::npos) << error;
  EXPECT_TRUE(SamePixels(doc.Current, previous));
  EXPECT_TRUE(SamePixels(doc.Original, previous));
  EXPECT_EQ(backup.Width, 9);
  EXPECT_EQ(backup.Bits[0], 42);
}

TEST(GraphicsCodec, PicturesTooLargeForTheMemoryAreRefusedWithAMessage) {
  TTempFolder folder;
  std::vector<uint8_t> png;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", TPicture::Synthetic(200, 100).ConstRows(), {}, png, err));
  WriteAll(folder.File("p.png"), png);
  TImages doc;
  std::string error;
  SetAvailableMemoryForTesting(3 * 600 * 100 - 1);
  EXPECT_FALSE(DecodeImageFile(folder.File("p.png"), doc.Current, doc.Original, doc.Info, error));
  EXPECT_EQ(error, "200 × 100 pixels would need 1 MB");
  EXPECT_TRUE(doc.Current.Empty());
  SetAvailableMemoryForTesting(3 * 600 * 100);
  EXPECT_TRUE(DecodeImageFile(folder.File("p.png"), doc.Current, doc.Original, doc.Info, error)) << error;
  SetAvailableMemoryForTesting(0);
  EXPECT_TRUE(CheckImageMemory(6000, 4000, error));
  EXPECT_FALSE(CheckImageMemory(0, 5, error));
}

TEST(GraphicsCodec, FailedSaveLeavesTheOldFileByteIdentical) {
  TTempFolder folder;
  const std::string name = folder.File("photo.png");
  const std::vector<uint8_t> old = {1, 2, 3, 4, 5};
  WriteAll(name, old);
  TWKLTBitmap image;
  Fill(image, TPicture::Synthetic(300, 200));
  std::string error;
  SetAtomicWriteSpaceLimitForTesting(1000);
  EXPECT_FALSE(EncodeImageFile(name, image, "image/png", {}, error));
  EXPECT_NE(error.find("No space"), std::string::npos) << error;
  EXPECT_EQ(ReadAll(name), old);
  TWKLTBitmap empty;
  EXPECT_FALSE(EncodeImageFile(name, empty, "image/png", {}, error));
  EXPECT_FALSE(EncodeImageFile(name, image, "image/x-unknown", {}, error));
  EXPECT_EQ(ReadAll(name), old);
  EXPECT_EQ(folder.EntryCount(), 1u);
}
