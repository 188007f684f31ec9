#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/ExifBlockMaker.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/PropertyItems.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

struct TFormatCase {
  const char* Mime;
  const char* Extension;
  TCodecContainer Container;
  int Tolerance;  // largest pixel difference after a round trip
};

class CodecRoundTrip : public ::testing::TestWithParam<TFormatCase> {};

std::unique_ptr<TImageDecoder> OpenOrFail(const std::string& path) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenFile(path, err);
  EXPECT_TRUE(decoder) << err.Message;
  return decoder;
}

TPicture Decode(TImageDecoder& decoder, ptrdiff_t rowBytes = 0) {
  TPicture picture(decoder.Info().Width, decoder.Info().Height, rowBytes);
  TCodecError err;
  EXPECT_TRUE(decoder.ReadPixels(picture.Rows(), err)) << err.Message;
  return picture;
}

}  // namespace

// Odd width and a stride with extra padding: rows must land exactly at the caller's stride.
TEST_P(CodecRoundTrip, SavesAndOpensPixelsResolutionAndItems) {
  const TFormatCase& c = GetParam();
  TTempFolder folder;
  TPicture source = TPicture::Synthetic(67, 41, 67 * 3 + 13);
  std::vector<TPropertyItem> items = CameraItems();
  TEncodeOptions options;
  options.Quality = 95;
  options.DpiX = 300;
  options.DpiY = 150;
  options.Items = items;
  std::string path = folder.File(std::string("picture") + c.Extension);
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::SaveToFile(c.Mime, source.ConstRows(), options, path, err)) << err.Message;

  auto decoder = OpenOrFail(path);
  ASSERT_TRUE(decoder);
  const TImageInfo& info = decoder->Info();
  EXPECT_EQ(info.Container, c.Container);
  EXPECT_EQ(info.Width, 67);
  EXPECT_EQ(info.Height, 41);
  EXPECT_NEAR(info.DpiX, 300, 0.05);  // pHYs holds whole pixels per metre
  EXPECT_NEAR(info.DpiY, 150, 0.05);
  EXPECT_EQ(MissingItems(items, info.Items), "");

  TPicture decoded = Decode(*decoder, 67 * 3 + 5);
  if (c.Tolerance == 0)
    EXPECT_TRUE(decoded.SamePixels(source));
  else
    EXPECT_LE(decoded.MaxDifference(source), c.Tolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, CodecRoundTrip,
                         ::testing::Values(TFormatCase{"image/jpeg", ".jpg", TCodecContainer::JPEG, 24},
                                           TFormatCase{"image/png", ".png", TCodecContainer::PNG, 0},
                                           TFormatCase{"image/tiff", ".tif", TCodecContainer::TIFF, 0}),
                         [](const auto& p) { return std::string(p.param.Extension + 1); });

// A camera file with an embedded thumbnail: the items are read (thumbnail among them), and a
// file saved with them keeps camera, dates, exposure and GPS but no thumbnail.
TEST(CodecMetadata, ResavedFileKeepsCameraItemsAndDropsThumbnail) {
  TPicture thumb = TPicture::Synthetic(32, 24);
  std::vector<uint8_t> thumbJpeg;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", thumb.ConstRows(), {}, thumbJpeg, err));
  TPicture photo = TPicture::Synthetic(160, 120);
  std::vector<uint8_t> plain;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), {}, plain, err));
  std::vector<uint8_t> camera = WithExifSegment(plain, MakeExifBlock(CameraItems(), thumbJpeg));

  auto source = TStillImageCodec::OpenMemory(camera.data(), camera.size(), err);
  ASSERT_TRUE(source) << err.Message;
  const std::vector<TPropertyItem>& read = source->Info().Items;
  EXPECT_EQ(MissingItems(CameraItems(), read), "");
  ASSERT_TRUE(HasThumbnailItems(read));

  for (const char* mime : {"image/jpeg", "image/tiff", "image/png"}) {
    TEncodeOptions options;
    options.Items = read;
    std::vector<uint8_t> saved;
    ASSERT_TRUE(TStillImageCodec::Encode(mime, photo.ConstRows(), options, saved, err)) << mime << err.Message;
    auto decoder = TStillImageCodec::OpenMemory(saved.data(), saved.size(), err);
    ASSERT_TRUE(decoder) << mime << err.Message;
    EXPECT_EQ(MissingItems(CameraItems(), decoder->Info().Items), "") << mime;
    EXPECT_FALSE(HasThumbnailItems(decoder->Info().Items)) << mime;
  }
}

// Without any EXIF item to write, the profile, XMP and IPTC still reach every format that
// holds them, and come back as they were given.
TEST(CodecMetadata, ProfileXmpAndIptcTravelThroughEveryFormatThatHoldsThem) {
  TEmbeddedMetadata embedded;
  embedded.IccProfile.resize(512);
  for (size_t i = 0; i < embedded.IccProfile.size(); ++i) embedded.IccProfile[i] = uint8_t(i * 13 + 1);
  embedded.IccProfile[0] = 0, embedded.IccProfile[1] = 0, embedded.IccProfile[2] = 2, embedded.IccProfile[3] = 0;
  embedded.XmpPacket =
      "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\" "
      "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\"3\"/></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>";
  const std::string caption = "Harbour at dusk";
  embedded.IptcBlock = {0x1C, 0x02, 0x78, 0x00, uint8_t(caption.size())};
  embedded.IptcBlock.insert(embedded.IptcBlock.end(), caption.begin(), caption.end());
  const TPicture photo = TPicture::Synthetic(48, 32);
  for (const char* mime : {"image/jpeg", "image/tiff", "image/png", "image/bmp"}) {
    SCOPED_TRACE(mime);
    TEncodeOptions options;
    options.Embedded = &embedded;
    std::vector<uint8_t> saved;
    TCodecError err;
    ASSERT_TRUE(TStillImageCodec::Encode(mime, photo.ConstRows(), options, saved, err)) << err.Message;
    if (std::string(mime) == "image/bmp") {  // holds none of them: the pixels only
      EXPECT_EQ(std::search(saved.begin(), saved.end(), caption.begin(), caption.end()), saved.end());
      continue;
    }
    auto decoder = TStillImageCodec::OpenMemory(saved.data(), saved.size(), err);
    ASSERT_TRUE(decoder) << err.Message;
    const TEmbeddedMetadata& back = decoder->Info().Embedded;
    EXPECT_EQ(back.IccProfile, embedded.IccProfile);
    EXPECT_NE(back.XmpPacket.find("xmp:Rating=\"3\""), std::string::npos) << back.XmpPacket;
    const std::string iptc(back.IptcBlock.begin(), back.IptcBlock.end());
    EXPECT_NE(iptc.find(std::string("\x1C\x02\x78\x00\x0F", 5) + caption), std::string::npos);
  }
}

// An XMP packet's orientation is set upright; a packet without one, or one that does not parse,
// is left alone.
TEST(CodecMetadata, XmpOrientationBecomesUpright) {
  const std::string head =
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
      "<rdf:Description rdf:about=\"\" xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" ";
  const std::string tail = "/></rdf:RDF></x:xmpmeta>";
  std::string turned = head + "tiff:Orientation=\"6\" tiff:Make=\"QX\"" + tail;
  EXPECT_TRUE(SetXmpOrientationUpright(turned));
  EXPECT_NE(turned.find("tiff:Orientation=\"1\""), std::string::npos) << turned;
  EXPECT_NE(turned.find("tiff:Make=\"QX\""), std::string::npos);
  for (std::string unchanged : {head + "tiff:Orientation=\"1\"" + tail, head + "tiff:Make=\"QX\"" + tail,
                                std::string("<not xml"), std::string()}) {
    const std::string before = unchanged;
    EXPECT_FALSE(SetXmpOrientationUpright(unchanged));
    EXPECT_EQ(unchanged, before);
  }
}

// A file with a real embedded thumbnail (as cameras write it), made from a raw EXIF block.
TEST(CodecMetadata, ExifBlockGivesItemsIncludingThumbnail) {
  TPicture thumb = TPicture::Synthetic(32, 24);
  std::vector<uint8_t> thumbJpeg;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", thumb.ConstRows(), {}, thumbJpeg, err));
  std::vector<uint8_t> block = MakeExifBlock(CameraItems(), thumbJpeg);
  ASSERT_FALSE(block.empty());

  std::vector<TPropertyItem> items;
  ASSERT_TRUE(PropertyItemsFromExifBlock(block, items, err)) << err.Message;
  EXPECT_EQ(MissingItems(CameraItems(), items), "");
  const TPropertyItem* data = FindPropertyItem(items, 0x501B);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->Value, thumbJpeg);
  EXPECT_TRUE(FindPropertyItem(items, 0x5012));

  std::vector<uint8_t> garbage(100, 0x55);
  EXPECT_FALSE(PropertyItemsFromExifBlock(garbage, items, err));
  EXPECT_FALSE(err.Message.empty());
}

TEST(CodecMetadata, ResolutionItemsFollowTheEncodedResolution) {
  TPicture photo = TPicture::Synthetic(20, 10);
  std::vector<TPropertyItem> items = CameraItems();
  items.push_back(Rationals(0x011A, {{72, 1}}));
  items.push_back(Rationals(0x011B, {{72, 1}}));
  items.push_back(Short(0x0128, 2));
  TEncodeOptions options;
  options.Items = items;
  options.DpiX = options.DpiY = 240;
  std::vector<uint8_t> saved;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, saved, err));
  auto decoder = TStillImageCodec::OpenMemory(saved.data(), saved.size(), err);
  ASSERT_TRUE(decoder);
  EXPECT_EQ(MissingItems({Rationals(0x011A, {{240, 1}}), Short(0x0128, 2)}, decoder->Info().Items), "");
  EXPECT_NEAR(decoder->Info().DpiX, 240, 1e-9);
}

TEST(CodecThumbnail, ReducedDecodeMatchesReducedFullDecode) {
  TPicture photo = TPicture::Synthetic(640, 480);
  TCodecError err;
  for (const char* mime : {"image/jpeg", "image/png"}) {
    std::vector<uint8_t> bytes;
    TEncodeOptions options;
    options.Quality = 90;
    ASSERT_TRUE(TStillImageCodec::Encode(mime, photo.ConstRows(), options, bytes, err));
    auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
    ASSERT_TRUE(decoder);
    TPicture full = Decode(*decoder);
    TPicture expected(150, 112);
    ReduceBGR24(full.ConstRows(), expected.Rows());

    auto again = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
    TPicture thumbnail(150, 112);
    ASSERT_TRUE(again->ReadThumbnail(thumbnail.Rows(), err)) << err.Message;
    if (std::string(mime) == "image/png")
      EXPECT_TRUE(thumbnail.SamePixels(expected));
    else
      EXPECT_LT(thumbnail.MeanDifference(expected), 2.0) << "scaled decode drifts from the full one";
  }
}

TEST(CodecPixels, ReduceAveragesBoxesAndKeepsFlatColour) {
  TPicture src(4, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      uint8_t* p = src.Row(y) + x * 3;
      p[0] = uint8_t(x * 10 + y * 100);
      p[1] = 7;
      p[2] = 255;
    }
  TPicture dst(2, 1);
  ReduceBGR24(src.ConstRows(), dst.Rows());
  EXPECT_EQ(dst.Row(0)[0], 55);   // (0 + 10 + 100 + 110) / 4
  EXPECT_EQ(dst.Row(0)[3], 75);   // (20 + 30 + 120 + 130) / 4
  EXPECT_EQ(dst.Row(0)[1], 7);
  EXPECT_EQ(dst.Row(0)[5], 255);
}

TEST(CodecEncoders, LookupIsExactAndQualityIsChecked) {
  EXPECT_TRUE(TStillImageCodec::FindEncoder("image/jpeg"));
  EXPECT_TRUE(TStillImageCodec::FindEncoder("image/bmp"));
  EXPECT_FALSE(TStillImageCodec::FindEncoder("image/JPEG"));
  EXPECT_FALSE(TStillImageCodec::FindEncoder("image/gif"));
  TPicture photo = TPicture::Synthetic(8, 8);
  std::vector<uint8_t> out;
  TCodecError err;
  TEncodeOptions options;
  options.Quality = 101;
  EXPECT_FALSE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, out, err));
  EXPECT_EQ(err.Status, TCodecStatus::InvalidArgument);
  options.Quality = 0;
  EXPECT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, out, err)) << err.Message;
  EXPECT_FALSE(TStillImageCodec::Encode("image/webp", photo.ConstRows(), {}, out, err));
  EXPECT_EQ(err.Status, TCodecStatus::UnknownFormat);
}

TEST(CodecEncoders, HigherJpegQualityIsLargerAndCloser) {
  TPicture photo = TPicture::Synthetic(128, 96);
  TCodecError err;
  std::vector<uint8_t> low, high;
  TEncodeOptions options;
  options.Quality = 10;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, low, err));
  options.Quality = 95;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, high, err));
  EXPECT_LT(low.size(), high.size());
  auto decodeDiff = [&](const std::vector<uint8_t>& bytes) {
    auto d = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
    return Decode(*d).MeanDifference(photo);
  };
  EXPECT_LT(decodeDiff(high), decodeDiff(low));
}

TEST(CodecEncoders, BmpHeaderAndBottomUpRows) {
  TPicture photo = TPicture::Synthetic(5, 3);
  TEncodeOptions options;
  options.DpiX = 254;
  std::vector<uint8_t> bmp;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/bmp", photo.ConstRows(), options, bmp, err));
  ASSERT_EQ(bmp.size(), 54u + 16u * 3u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[28], 24);
  uint32_t ppm = 0;
  std::memcpy(&ppm, &bmp[38], 4);
  EXPECT_EQ(ppm, 10000u);
  EXPECT_EQ(std::memcmp(&bmp[54], photo.Row(2), 15), 0);  // last row first
  EXPECT_EQ(std::memcmp(&bmp[54 + 32], photo.Row(0), 15), 0);
}

// The open dialog's preview thread makes thumbnails while the user-interface thread loads and
// saves: each call uses its own decoder, and the shared registry and metadata library hold up.
TEST(CodecThreads, ThumbnailsBesideLoadsAndSaves) {
  TPicture photo = TPicture::Synthetic(320, 240);
  std::vector<TPropertyItem> items = CameraItems();
  TEncodeOptions options;
  options.Items = items;
  std::vector<uint8_t> jpeg, png;
  TCodecError err;
  ASSERT_TRUE(TStillImageCodec::Encode("image/jpeg", photo.ConstRows(), options, jpeg, err));
  ASSERT_TRUE(TStillImageCodec::Encode("image/png", photo.ConstRows(), options, png, err));
  std::atomic<int> failures{0};
  auto work = [&](bool thumbnails) {
    for (int i = 0; i < 15; ++i)
      for (const std::vector<uint8_t>* bytes : {&jpeg, &png}) {
        TCodecError e;
        auto decoder = TStillImageCodec::OpenMemory(bytes->data(), bytes->size(), e);
        if (!decoder || !MissingItems(items, decoder->Info().Items).empty()) {
          ++failures;
          continue;
        }
        TPicture out = thumbnails ? TPicture(80, 60) : TPicture(320, 240);
        bool ok = thumbnails ? decoder->ReadThumbnail(out.Rows(), e) : decoder->ReadPixels(out.Rows(), e);
        std::vector<uint8_t> saved;
        if (!ok || (!thumbnails && !TStillImageCodec::Encode("image/tiff", out.ConstRows(), options, saved, e)))
          ++failures;
      }
  };
  std::thread preview(work, true);
  work(false);
  preview.join();
  EXPECT_EQ(failures.load(), 0);
}
