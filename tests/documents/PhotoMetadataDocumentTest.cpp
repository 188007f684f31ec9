// Photos from phones, cameras and other photo programs: opened upright, and saved to JPEG, PNG
// and TIFF with their colour profile, XMP, IPTC, camera and GPS items, orientation 1 and no
// thumbnail, as exiv2 reads the saved files.
#include "GraphicsEditorFixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "PhotoCorpus.h"
#include "documents/WKGraphicsFormatsMetadata.h"
#include "documents/WKLosslessJpeg.h"
#include "imaging/WKColorProfile.h"
#include "platform/codec/StillImageCodec.h"

using namespace photo_corpus;
using lossless_test::ReadFile;
using lossless_test::WriteFile;

namespace {

TPicture Decoded(const std::vector<uint8_t>& file) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(file.data(), file.size(), err);
  if (!decoder) return {};
  TPicture p(decoder->Info().Width, decoder->Info().Height);
  if (!decoder->ReadPixels({p.Bits.data(), p.RowBytes, p.Width, p.Height}, err)) return {};
  return p;
}

struct TSource {
  const char* Name;
  TPicture Upright;
  std::vector<uint8_t> File;
  TPhotoMetadata Metadata;
};

TPhotoMetadata Profiled(std::vector<uint8_t> icc, int orientation) {
  TPhotoMetadata m;
  m.Icc = std::move(icc);
  m.Orientation = orientation;
  return m;
}

std::vector<TSource> Corpus() {
  std::vector<TSource> corpus;
  const auto add = [&corpus](const char* name, TPicture upright, std::vector<uint8_t> file,
                             const TPhotoMetadata& metadata) {
    corpus.push_back({name, std::move(upright), WithMetadata(file, metadata), metadata});
  };
  {  // a phone photo held sideways: stored 320 x 240, blocks fit the turn exactly
    TPicture upright = TPicture::Synthetic(240, 320, 2);
    TPhotoMetadata m = Profiled(DisplayP3Profile(), 6);
    m.Keywords = {"harbour", "boats"};
    m.Rating = 4;
    m.XmpOrientation = true;
    add("phone.jpg", upright, Jpeg(StoredFor(upright, 6)), m);
  }
  {  // upside down, 203 pixels wide: no exact half turn on 16-pixel blocks
    TPicture upright = TPicture::Synthetic(203, 150, 3);
    add("upside-down.jpg", upright, Jpeg(StoredFor(upright, 3)), Profiled(DisplayP3Profile(), 3));
  }
  {
    TPicture upright = TPicture::Synthetic(120, 90, 4);
    TPhotoMetadata m = Profiled(WideRgbProfile(), 1);
    m.Thumbnail = false;
    add("scan.tif", upright, Tiff16(upright), m);
  }
  {
    TPicture upright = TPicture::Synthetic(100, 70, 5);
    TPhotoMetadata m = Profiled(WideRgbProfile(), 0);
    m.Thumbnail = false;
    m.Keywords = {"cat", "window"};
    m.Rating = 5;
    add("rated.png", upright, Png(upright), m);
  }
  {
    TPicture upright = TPicture::Synthetic(128, 96, 6);
    TPhotoMetadata m = Profiled(SrgbProfile(), 0);
    m.Caption = "Boats at dusk";
    add("captioned.jpg", upright, Jpeg(upright), m);
  }
  return corpus;
}

class PhotoMetadataDocumentTest : public GraphicsEditorTest {};

}  // namespace

TEST_F(PhotoMetadataDocumentTest, EveryPhotoOpensUprightAndEverySaveKeepsWhatItCarries) {
  const struct {
    int32_t Format;
    const char* Extension;
  } targets[] = {{gfJPEG, ".jpg"}, {gfPNG, ".png"}, {gfTIFF, ".tif"}};
  for (const TSource& source : Corpus()) {
    SCOPED_TRACE(source.Name);
    const std::string path = (Folder / source.Name).string();
    WriteFile(path, source.File);
    // The corpus carries what it was given.
    const TReadBack original = ReadBack(source.File);
    ASSERT_EQ(original.Profile, ColorProfileDescription(source.Metadata.Icc));
    ASSERT_FALSE(original.Profile.empty());
    ASSERT_EQ(original.Keywords, source.Metadata.Keywords);
    ASSERT_EQ(original.Rating, source.Metadata.Rating ? std::to_string(source.Metadata.Rating) : "");
    ASSERT_EQ(original.Caption, source.Metadata.Caption);
    ASSERT_EQ(original.Make, "Quillmoor Optics");
    ASSERT_FALSE(original.GpsLatitude.empty());
    ASSERT_EQ(original.Orientation, source.Metadata.Orientation);
    ASSERT_EQ(original.Thumbnail, source.Metadata.Thumbnail);
    TWKGraphicsDocument* doc = Open(path);
    ASSERT_NE(doc, nullptr) << Formats->LastError;
    const TPicture shown = PictureOf(*doc->CurrentPixels());
    ASSERT_EQ(shown.Width, source.Upright.Width);
    ASSERT_EQ(shown.Height, source.Upright.Height);
    EXPECT_LT(shown.MeanDifference(source.Upright), 3.0);
    EXPECT_TRUE(PictureOf(*doc->OriginalPixels()).SameBytes(shown));
    EXPECT_EQ(doc->StoredOrientation(), 1);
    for (const auto& target : targets) {
      SCOPED_TRACE(target.Extension);
      const std::string saved = (Folder / (std::string("saved-") + source.Name + target.Extension)).string();
      ASSERT_TRUE(Formats->SaveDocument(*doc, saved, target.Format)) << Formats->LastError;
      const std::vector<uint8_t> bytes = ReadFile(saved);
      const TReadBack back = ReadBack(bytes);
      EXPECT_EQ(back.Profile, original.Profile);
      EXPECT_EQ(back.Keywords, original.Keywords);
      EXPECT_EQ(back.Rating, original.Rating);
      EXPECT_EQ(back.Caption, original.Caption);
      EXPECT_EQ(back.Make, original.Make);
      EXPECT_EQ(back.Model, original.Model);
      EXPECT_EQ(back.GpsLatitude, original.GpsLatitude);
      EXPECT_EQ(back.Orientation, original.Orientation == 0 ? 0 : 1);
      EXPECT_EQ(back.XmpOrientation, original.XmpOrientation.empty() ? "" : "1");
      EXPECT_FALSE(back.Thumbnail);
      const TPicture reopened = Decoded(bytes);
      ASSERT_EQ(reopened.Width, shown.Width);
      ASSERT_EQ(reopened.Height, shown.Height);
      EXPECT_LT(reopened.MeanDifference(shown), 3.0);
    }
  }
  // QM_PHOTO_CORPUS=<folder> keeps the corpus and its saves there, for other readers to check.
  using enum std::filesystem::copy_options;
  if (const char* keep = std::getenv("QM_PHOTO_CORPUS")) std::filesystem::copy(Folder, keep, recursive | overwrite_existing);
}

TEST_F(PhotoMetadataDocumentTest, TurnOnOpenStaysOnTheCoefficientsOnlyWhereTheBlocksAllowIt) {
  for (const TSource& source : Corpus()) {
    const bool phone = std::strcmp(source.Name, "phone.jpg") == 0;
    if (!phone && std::strcmp(source.Name, "upside-down.jpg") != 0) continue;
    SCOPED_TRACE(source.Name);
    const std::string path = (Folder / source.Name).string();
    WriteFile(path, source.File);
    TWKGraphicsDocument* doc = Open(path);
    ASSERT_NE(doc, nullptr) << Formats->LastError;
    // The phone photo keeps its coefficients, turned; the upside-down one is encoded anew with
    // the quality the user chooses.
    EXPECT_EQ(CanSaveThroughLosslessJpeg(*doc), phone);
    if (!phone) continue;
    const std::string saved = (Folder / "exact.jpg").string();
    ASSERT_TRUE(Formats->SaveDocument(*doc, saved, gfJPEG)) << Formats->LastError;
    const lossless_test::TCoefficients before = lossless_test::ReadCoefficients(source.File);
    const lossless_test::TCoefficients after = lossless_test::ReadCoefficients(ReadFile(saved));
    ASSERT_EQ(after.Width, before.Height);
    ASSERT_EQ(after.Height, before.Width);
    // The luminance DC of the turned picture's top-left block is the stored bottom-left one's.
    const lossless_test::TComponentBlocks& in = before.Components[0];
    const lossless_test::TComponentBlocks& out = after.Components[0];
    EXPECT_EQ(out.Block(0, 0)[0], in.Block(0, in.BlocksHigh - 1)[0]);
    EXPECT_EQ(out.Block(out.BlocksWide - 1, 0)[0], in.Block(0, 0)[0]);
  }
}

// All eight EXIF orientations, against the picture as EXIF defines its stored form: a PNG opens
// upright byte for byte; a JPEG whose blocks allow it keeps its coefficients, turned, and its
// exact save shows what the document shows.
TEST_F(PhotoMetadataDocumentTest, EveryOrientationOpensUpright) {
  const TPicture upright = TPicture::Synthetic(64, 48, 9);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    TPhotoMetadata metadata = Profiled({}, orientation);
    metadata.Camera = false;
    metadata.Thumbnail = false;
    const TPicture stored = StoredFor(upright, orientation);
    const std::string png = (Folder / ("turned" + std::to_string(orientation) + ".png")).string();
    WriteFile(png, WithMetadata(Png(stored), metadata));
    TWKGraphicsDocument* doc = Open(png);
    ASSERT_NE(doc, nullptr) << Formats->LastError;
    EXPECT_TRUE(PictureOf(*doc->CurrentPixels()).SameBytes(upright));

    const std::string jpeg = (Folder / ("turned" + std::to_string(orientation) + ".jpg")).string();
    WriteFile(jpeg, WithMetadata(Jpeg(stored), metadata));
    doc = Open(jpeg);
    ASSERT_NE(doc, nullptr) << Formats->LastError;
    const TPicture shown = PictureOf(*doc->CurrentPixels());
    ASSERT_EQ(shown.Width, upright.Width);
    EXPECT_LT(shown.MeanDifference(upright), 3.0);
    ASSERT_TRUE(CanSaveThroughLosslessJpeg(*doc));
    const std::string saved = (Folder / "exact.jpg").string();
    ASSERT_TRUE(Formats->SaveDocument(*doc, saved, gfJPEG)) << Formats->LastError;
    const TPicture reopened = Decoded(ReadFile(saved));
    ASSERT_EQ(reopened.Width, shown.Width);
    EXPECT_LT(reopened.MeanDifference(shown), 1.0);
    EXPECT_EQ(ReadBack(ReadFile(saved)).Orientation, 1);
  }
}

// The open dialog's preview of a phone photo held sideways is upright too.
TEST_F(PhotoMetadataDocumentTest, PreviewOfASidewaysPhotoIsUpright) {
  const std::vector<TSource> corpus = Corpus();
  const TSource& phone = corpus.front();
  const std::string path = (Folder / phone.Name).string();
  WriteFile(path, phone.File);
  std::unique_ptr<TWKThumbnail> thumbnail;
  ASSERT_TRUE(Formats->GetThumbnail(path, 200, 200, thumbnail));
  const TWKLTBitmap& image = dynamic_cast<TWKGraphicsThumbnail&>(*thumbnail).Image;
  ASSERT_EQ(image.Width(), 150);
  ASSERT_EQ(image.Height(), 200);
  const TPicture preview = PictureOf(*image.Pixels());
  // Corners and the middle, at the preview's scale of 240 / 150.
  for (const TPoint p : {TPoint{4, 4}, TPoint{145, 4}, TPoint{4, 195}, TPoint{145, 195}, TPoint{75, 100}}) {
    const uint8_t* shown = preview.At(p.X, p.Y);
    const uint8_t* expected = phone.Upright.At(p.X * 240 / 150, p.Y * 320 / 200);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(shown[c], expected[c], 24) << p.X << "," << p.Y;
  }
}
