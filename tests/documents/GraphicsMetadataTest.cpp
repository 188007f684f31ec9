#include <gtest/gtest.h>

#include <algorithm>

#include "documents/WKGraphicsFormatsMetadata.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/ExifBlockMaker.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

std::vector<uint8_t> CameraJpeg(int32_t width, int32_t height, bool withThumbnail = true) {
  TCodecError err;
  std::vector<uint8_t> thumbJpeg, plain;
  if (withThumbnail) TStillImageCodec::Encode("image/jpeg", TPicture::Synthetic(32, 24).ConstRows(), {}, thumbJpeg, err);
  TStillImageCodec::Encode("image/jpeg", TPicture::Synthetic(width, height).ConstRows(), {}, plain, err);
  return WithExifSegment(plain, MakeExifBlock(CameraItems(), thumbJpeg));
}

TImageInfo InfoOf(const std::vector<uint8_t>& file) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(file.data(), file.size(), err);
  EXPECT_TRUE(decoder) << err.Message;
  return decoder ? decoder->Info() : TImageInfo{};
}

}  // namespace

TEST(GraphicsFileDescription, CameraJpegHasFourLinesAPlainPngTwo) {
  EXPECT_EQ(GraphicsFileDescription(InfoOf(CameraJpeg(640, 480, false))),
            "Format: JPEG\nDimensions: 640 x 480\nDate Taken: 2024:05:17 10:11:12\n"
            "Camera: Quillmoor Optics QX-100");
  std::vector<uint8_t> png;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", TPicture::Synthetic(3, 2).ConstRows(), {}, png, err));
  EXPECT_EQ(GraphicsFileDescription(InfoOf(png)), "Format: PNG\nDimensions: 3 x 2");

  TImageInfo other;
  other.Container = TCodecContainer::GIF;
  other.Width = 5;
  other.Height = 7;
  other.Items = {Ascii(0x0110, "Model \xE9"), TPropertyItem{0x0132, PropertyTypeASCII, {}}};
  EXPECT_EQ(GraphicsFileDescription(other), "\nDimensions: 5 x 7\nCamera: Model \xC3\xA9");
}

TEST(GraphicsThumbnail, FitsTheBoxAndIsCentred) {
  EXPECT_EQ(ThumbnailSize(400, 100, 200, 200), (TSize{200, 50}));
  EXPECT_EQ(ThumbnailSize(100, 400, 200, 200), (TSize{50, 200}));
  EXPECT_EQ(ThumbnailSize(300, 300, 200, 100), (TSize{100, 100}));
  EXPECT_EQ(ThumbnailSize(0, 0, 64, 48), (TSize{48, 48}));
  EXPECT_EQ(ThumbnailSize(65535, 65535, 160, 120), (TSize{120, 120}));
  EXPECT_EQ(CenteredRect(Rect(10, 20, 210, 220), {200, 50}), Rect(10, 95, 210, 145));
  EXPECT_EQ(CenteredRect(Rect(0, 0, 7, 7), {2, 3}), Rect(2, 2, 4, 5));
}

TEST(GraphicsFileInfo, ExistingFilesOnlyAndEmptyDescriptionWhenUnreadable) {
  TTempFolder folder;
  WriteAll(folder.File("camera.jpg"), CameraJpeg(640, 480, false));
  WriteAll(folder.File("broken.jpg"), {0xFF, 0xD8, 0xFF, 0x00, 0x01});
  std::unique_ptr<TWKFileInfo> info;
  ASSERT_TRUE(MakeGraphicsFileInfo(folder.File("camera.jpg"), info));
  std::string text;
  info->GetDescription(text);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(info->FileName, folder.File("camera.jpg"));

  ASSERT_TRUE(MakeGraphicsFileInfo(folder.File("broken.jpg"), info));
  info->GetDescription(text);
  EXPECT_EQ(text, "");
  info.reset();
  EXPECT_FALSE(MakeGraphicsFileInfo(folder.File("missing.jpg"), info));
  EXPECT_FALSE(MakeGraphicsFileInfo(folder.Path(), info)) << "a folder is no file";
  EXPECT_FALSE(info);
}

TEST(GraphicsThumbnail, DecodedAtTheFittedSize) {
  TTempFolder folder;
  TPicture wide = TPicture::Synthetic(400, 100);
  std::vector<uint8_t> png;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", wide.ConstRows(), {}, png, err));
  WriteAll(folder.File("wide.png"), png);
  std::unique_ptr<TWKThumbnail> thumbnail;
  ASSERT_TRUE(MakeGraphicsThumbnail(folder.File("wide.png"), 200, 200, thumbnail));
  auto* picture = dynamic_cast<TWKGraphicsThumbnail*>(thumbnail.get());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Image.Width(), 200);
  EXPECT_EQ(picture->Image.Height(), 50);
  // Flat areas keep their colour: the top-left 2x2 source block averages near its pixels.
  const uint8_t* p = picture->Image.Pixels()->PixelAddress(0, 0);
  EXPECT_NEAR(p[2], wide.Row(0)[2], 8);
  struct TNoDevice : IWKPaintDevice {} device;
  picture->Draw(device, Rect(0, 0, 200, 200));
  EXPECT_EQ(picture->UsedRect, Rect(0, 75, 200, 125));

  // A line of a picture still gets a pixel row.
  TPicture line = TPicture::Synthetic(1000, 1);
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", line.ConstRows(), {}, png, err));
  WriteAll(folder.File("line.png"), png);
  ASSERT_TRUE(MakeGraphicsThumbnail(folder.File("line.png"), 100, 100, thumbnail));
  EXPECT_EQ(dynamic_cast<TWKGraphicsThumbnail&>(*thumbnail).Image.Height(), 1);

  EXPECT_FALSE(MakeGraphicsThumbnail(folder.File("missing.png"), 100, 100, thumbnail));
  WriteAll(folder.File("empty.png"), {});
  EXPECT_FALSE(MakeGraphicsThumbnail(folder.File("empty.png"), 100, 100, thumbnail));
}
