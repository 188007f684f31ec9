// The registry's load order, save paths and quality question with real documents.
#include <cstring>
#include <fstream>

#include "GraphicsEditorFixture.h"
#include "documents/WKGraphicsFormatsMetadata.h"
#include "documents/WKLosslessJpeg.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/ExifBlockMaker.h"
#include "platform/codec/StillImageCodec.h"
#include "plugin/PhotoshopDataInfo.h"

namespace {

class TFakeQualityDialog : public IWKJPEGQualityDialog {
 public:
  std::vector<int32_t>& Shown;
  int32_t Answer = -1;  // -1: Cancel
  TFakeQualityDialog(std::vector<int32_t>& shown, int32_t answer) : Shown(shown), Answer(answer) {}
  bool Execute(int32_t& quality) override {
    Shown.push_back(quality);
    if (Answer < 0) return false;
    quality = Answer;
    return true;
  }
};

std::vector<uint8_t> Bytes(const std::string& path) { return codec_test::ReadAll(path); }

std::vector<uint8_t> CameraJpeg(int32_t width, int32_t height) {
  using namespace codec_test;
  TCodecError err;
  std::vector<uint8_t> thumb, plain;
  TStillImageCodec::Encode("image/jpeg", TPicture::Synthetic(32, 24).ConstRows(), {}, thumb, err);
  TStillImageCodec::Encode("image/jpeg", TPicture::Synthetic(width, height).ConstRows(), {}, plain, err);
  return WithExifSegment(plain, MakeExifBlock(CameraItems(), thumb));
}

}  // namespace

TEST_F(GraphicsEditorTest, JpegSaveAsksTheQualityUnlessTheLosslessFormHoldsTheFile) {
  TWKGraphicsDocument* doc = Open(MakeImage("p.png", 40, 30));
  ASSERT_NE(doc, nullptr);
  std::vector<int32_t> shown;
  auto dialog = std::make_unique<TFakeQualityDialog>(shown, -1);
  TFakeQualityDialog* answer = dialog.get();
  Formats->SetQualityDialog(std::move(dialog));
  const std::string jpeg = (Folder / "p.jpg").string();

  EXPECT_FALSE(doc->SaveToFile(jpeg, gfJPEG));
  EXPECT_EQ(shown, std::vector<int32_t>{80});
  EXPECT_FALSE(std::filesystem::exists(jpeg)) << "Cancel writes nothing";
  EXPECT_EQ(Formats->JpegQuality, 80);

  answer->Answer = 45;
  ASSERT_TRUE(doc->SaveToFile(jpeg, gfJPEG)) << Formats->LastError;
  EXPECT_EQ(Formats->JpegQuality, 45);
  ASSERT_TRUE(doc->SaveToFile((Folder / "p2.png").string(), gfPNG));
  EXPECT_EQ(shown.size(), 2u) << "other formats ask nothing";

  TWKGraphicsDocument* held = Open(jpeg);
  ASSERT_NE(held, nullptr);
  ASSERT_TRUE(held->LosslessJpeg);
  ASSERT_TRUE(held->LosslessJpeg->HoldsData()) << dynamic_cast<TWKLosslessJpeg&>(*held->LosslessJpeg).Component().LastError();
  ASSERT_TRUE(held->SaveToFile((Folder / "again.jpg").string(), gfJPEG)) << Formats->LastError;
  EXPECT_EQ(shown.size(), 2u) << "a held JPEG is saved without the dialog";
}

TEST_F(GraphicsEditorTest, SavedJpegTiffAndPngKeepTheCameraItemsButNoThumbnail) {
  const std::string source = (Folder / "camera.jpg").string();
  codec_test::WriteAll(source, CameraJpeg(64, 48));
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  std::vector<TPropertyItem> items;
  double dpiX = 0, dpiY = 0;
  doc->SaveMetadata(items, dpiX, dpiY);
  ASSERT_TRUE(codec_test::HasThumbnailItems(items));
  for (const auto& [name, id] : {std::pair{"out.tif", gfTIFF}, std::pair{"out.png", gfPNG}, std::pair{"out.bmp", gfBMP},
                                 std::pair{"out.jpg", gfJPEG}}) {
    const std::string path = (Folder / name).string();
    ASSERT_TRUE(doc->SaveToFile(path, id)) << name << Formats->LastError;
    doc->SaveMetadata(items, dpiX, dpiY);
    EXPECT_FALSE(codec_test::HasThumbnailItems(items)) << "stripped from the document itself";
    if (id == gfBMP) continue;  // BMP carries no metadata
    TCodecError err;
    auto reread = TStillImageCodec::OpenFile(path, err);
    ASSERT_TRUE(reread) << err.Message;
    EXPECT_EQ(codec_test::MissingItems(codec_test::CameraItems(), reread->Info().Items), "") << name;
    EXPECT_FALSE(codec_test::HasThumbnailItems(reread->Info().Items)) << name;
  }
}

TEST_F(GraphicsEditorTest, ExchangeFilesOpenFirstAndAreWrittenBackInPlace) {
  TWKGraphicsDocument* doc = Open(MakeImage("keep.png", 6, 5));
  ASSERT_NE(doc, nullptr);
  TWKGraphicsFormats real;
  // Host pixels with a transparency plane: red, green, blue first.
  TWKExchangeHeader h;
  h.HeaderSize = 32;
  h.Mode = 3;
  h.Width = 3;
  h.Height = 2;
  h.RowBytes = 13;
  h.PixelBytes = 4;
  std::vector<uint8_t> file(kExchangeDataOffset + 26, 0);
  WriteExchangeHeader(file.data(), h);
  file[kExchangeDataOffset + 0] = 200;  // red of (0, 0)
  file[kExchangeDataOffset + 2] = 10;   // blue of (0, 0)
  const std::string name = (Folder / "PSPFa.tmp").string();
  codec_test::WriteAll(name, file);

  int32_t id = 99;
  ASSERT_TRUE(real.LoadDocument(*doc, name, id)) << real.LastError;
  EXPECT_EQ(id, gfExchange);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 3, 2));
  EXPECT_EQ(doc->CurrentPixels()->Pixel(0, 0)->Red, 200);
  EXPECT_EQ(doc->CurrentPixels()->Pixel(0, 0)->Blue, 10);
  EXPECT_EQ(doc->OriginalPixels()->Pixel(0, 0)->Red, 200);

  doc->CurrentPixels()->Pixel(2, 1)->Green = 77;
  ASSERT_TRUE(real.SaveDocument(*doc, name, gfExchange)) << real.LastError;
  const std::vector<uint8_t> back = Bytes(name);
  ASSERT_EQ(back.size(), kExchangeDataOffset + 2u * 12u);
  TWKExchangeImage image;
  ASSERT_TRUE(ParseExchangeFile(back.data(), back.size(), image));
  EXPECT_EQ(image.Header.PixelBytes, 3);
  EXPECT_EQ(back[kExchangeDataOffset + 12 + 6 + 1], 77);

  // Grey mode is no exchange file: the codec is tried and refuses it; the document stays.
  h.Mode = 1;
  WriteExchangeHeader(file.data(), h);
  codec_test::WriteAll(name, file);
  EXPECT_FALSE(real.LoadDocument(*doc, name, id));
  EXPECT_FALSE(real.LastError.empty());
  EXPECT_EQ(doc->CurrentPixels()->Pixel(2, 1)->Green, 77);
  EXPECT_EQ(Bytes(name), file) << "a refused file is not touched";
}

TEST_F(GraphicsEditorTest, DescriptionsAndThumbnailsComeFromTheRegistry) {
  const std::string camera = (Folder / "camera.jpg").string();
  codec_test::WriteAll(camera, CameraJpeg(640, 480));
  std::unique_ptr<TWKFileInfo> info;
  ASSERT_TRUE(Formats->GetFileInfo(camera, info));
  std::string text;
  info->GetDescription(text);
  EXPECT_EQ(text, "Format: JPEG\nDimensions: 640 x 480\nDate Taken: 2024:05:17 10:11:12\n"
                  "Camera: Quillmoor Optics QX-100");
  std::unique_ptr<TWKThumbnail> thumbnail;
  ASSERT_TRUE(Formats->GetThumbnail(MakeImage("wide.png", 400, 100), 200, 200, thumbnail));
  EXPECT_EQ(dynamic_cast<TWKGraphicsThumbnail&>(*thumbnail).Image.Height(), 50);
  EXPECT_FALSE(Formats->GetThumbnail((Folder / "none.png").string(), 200, 200, thumbnail));
}
