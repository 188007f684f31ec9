// A JPEG document through its lossless form: opened, repaired, turned, cropped, undone and saved.
#include "GraphicsEditorFixture.h"

#include <cstring>

#include "PhotoCorpus.h"
#include "documents/WKGeometryCommandState.h"
#include "documents/WKLosslessJpeg.h"
#include "platform/lossless/LosslessTestSupport.h"

using namespace lossless_test;

namespace {

using photo_corpus::PictureOf;

void ExpectSameCoefficients(const TCoefficients& a, const TCoefficients& b) {
  ASSERT_EQ(a.Width, b.Width);
  ASSERT_EQ(a.Height, b.Height);
  ASSERT_EQ(a.Components.size(), b.Components.size());
  for (size_t c = 0; c < a.Components.size(); ++c)
    EXPECT_EQ(a.Components[c].Coefficients, b.Components[c].Coefficients) << "component " << c;
}

class LosslessJpegDocumentTest : public GraphicsEditorTest {
 protected:
  std::string Jpeg(const std::string& name, const TPicture& picture, TJpegOptions options = {}) {
    const std::string path = (Folder / name).string();
    WriteFile(path, EncodeJpeg(picture, options));
    return path;
  }
  bool Save(TWKGraphicsDocument& doc, const std::string& name) {
    return Formats->SaveDocument(doc, (Folder / name).string(), gfJPEG);
  }
  std::vector<uint8_t> Saved(const std::string& name) { return ReadFile((Folder / name).string()); }
  // A geometry step as the geometry tools record it.
  template <typename Step>
  void Geometry(TWKGraphicsDocument& doc, Step step) {
    auto before = TWKGeometrySnapshot::Take(doc);
    ASSERT_TRUE(step());
    doc.History().Add(std::make_unique<TWKGeometryCommandState>(nullptr, doc, std::move(before)));
  }
};

}  // namespace

TEST_F(LosslessJpegDocumentTest, OpenedJpegIsHeldAndSavedWithoutEditsKeepsEveryCoefficient) {
  const std::string source = Jpeg("photo.jpg", TPicture::Synthetic(96, 64));
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(doc->LosslessJpeg && doc->LosslessJpeg->HoldsData());
  EXPECT_TRUE(PictureOf(*doc->CurrentPixels()).SameBytes(DecodeJpeg(ReadFile(source))));
  EXPECT_TRUE(PictureOf(*doc->OriginalPixels()).SameBytes(PictureOf(*doc->CurrentPixels())));
  EXPECT_TRUE(CanSaveThroughLosslessJpeg(*doc));
  ASSERT_TRUE(Save(*doc, "out.jpg")) << Formats->LastError;
  ExpectSameCoefficients(ReadCoefficients(Saved("out.jpg")), ReadCoefficients(ReadFile(source)));
}

TEST_F(LosslessJpegDocumentTest, RepairedPixelsAreTheOnlyBlocksReencoded) {
  const std::string source = Jpeg("photo.jpg", TPicture::Synthetic(96, 64));
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  Editor->SetCurrentTool(nullptr);
  auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
  tool->Paint(*doc, Rect(40, 20, 46, 26), {0, 0, 40});  // inside MCU (2, 1)
  doc->EndEditTransaction(doc);
  ASSERT_TRUE(Save(*doc, "out.jpg"));
  const TCoefficients in = ReadCoefficients(ReadFile(source)), out = ReadCoefficients(Saved("out.jpg"));
  const size_t lumaBlocks = 4, chromaBlocks = 2;  // MCU (2, 1) in 4:2:0
  EXPECT_GT(DifferingBlocks(in, out), 0u);
  EXPECT_LE(DifferingBlocks(in, out), lumaBlocks + chromaBlocks);
  const TPicture decoded = DecodeJpeg(Saved("out.jpg"));
  EXPECT_LT(decoded.MaxDifference(PictureOf(*doc->CurrentPixels()), 40, 20, 46, 26), 40);
}

TEST_F(LosslessJpegDocumentTest, UndoneBlockCropOfATurnSavesThePlainTurn) {
  const std::string source = Jpeg("photo.jpg", TPicture::Synthetic(128, 96));
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  Geometry(*doc, [&] { return doc->RotateRight(); });
  Geometry(*doc, [&] { return doc->Crop(Rect(16, 32, 80, 96)); });
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 64, 64));
  doc->History().Undo();
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 96, 128));
  ASSERT_TRUE(CanSaveThroughLosslessJpeg(*doc));
  ASSERT_TRUE(Save(*doc, "turned.jpg"));
  const std::vector<uint8_t> expected =
      RunJpegtran("-copy all -perfect -rotate 90", source, (Folder / "jpegtran.jpg").string());
  if (expected.empty()) GTEST_SKIP() << "jpegtran is not installed";
  ExpectSameCoefficients(ReadCoefficients(Saved("turned.jpg")), ReadCoefficients(expected));

  // Undoing the turn as well gives the source back; redoing both gives the crop again.
  doc->History().Undo();
  ASSERT_TRUE(Save(*doc, "back.jpg"));
  ExpectSameCoefficients(ReadCoefficients(Saved("back.jpg")), ReadCoefficients(ReadFile(source)));
  doc->History().Redo();
  doc->History().Redo();
  ASSERT_TRUE(Save(*doc, "redone.jpg"));
  EXPECT_EQ(DecodeJpeg(Saved("redone.jpg")).Width, 64);
}

TEST_F(LosslessJpegDocumentTest, CropOffTheGridSavesThePictureOnScreenWithoutAQuality) {
  TPicture picture = TPicture::Synthetic(96, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 96; ++x)
      if ((x / 5 + y / 7) % 2) picture.At(x, y)[0] = 20;
  TWKGraphicsDocument* doc = Open(Jpeg("photo.jpg", picture));
  ASSERT_NE(doc, nullptr);
  Geometry(*doc, [&] { return doc->Crop(Rect(5, 5, 69, 53)); });
  // Still the lossless path: no quality is asked for.
  ASSERT_TRUE(CanSaveThroughLosslessJpeg(*doc));
  Formats->JpegQuality = 5;
  ASSERT_TRUE(Save(*doc, "crop.jpg"));
  const TPicture decoded = DecodeJpeg(Saved("crop.jpg"));
  const TPicture shown = PictureOf(*doc->CurrentPixels());
  ASSERT_EQ(decoded.Width, 64);
  ASSERT_EQ(decoded.Height, 48);
  const TPicture plain = DecodeJpeg(EncodeJpeg(shown, {}));
  EXPECT_LE(decoded.MeanDifference(shown), plain.MeanDifference(shown) + 0.5);
  // Written with the file's quality 90 tables, not the registry's 5.
  EXPECT_EQ(ReadCoefficients(Saved("crop.jpg")).QuantTables,
            ReadCoefficients(EncodeJpeg(shown, {})).QuantTables);
}

TEST_F(LosslessJpegDocumentTest, ResizeNewCanvasAndForeignReplacementsLetGoOfTheJpegForm) {
  const std::string source = Jpeg("photo.jpg", TPicture::Synthetic(64, 48));
  {
    TWKGraphicsDocument* doc = Open(source);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->Resize(32, 24, true));
    EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
    EXPECT_FALSE(CanSaveThroughLosslessJpeg(*doc));
    doc->History().MarkSaved();  // the next open closes it without asking
  }
  {
    TWKGraphicsDocument* doc = Open(source);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SetCanvasSize(80, 48, false));
    EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
    doc->History().MarkSaved();
  }
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  // Both images replaced without a geometry step putting the form back: never saved from it.
  TWKPixelBuffer current, original;
  ASSERT_TRUE(doc->CopyImages(current, &original));
  ASSERT_TRUE(doc->MirrorHorizontal());
  ASSERT_TRUE(doc->ReplaceImages(current, &original));
  EXPECT_FALSE(CanSaveThroughLosslessJpeg(*doc));
  EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
}

TEST_F(LosslessJpegDocumentTest, GreyJpegOpensThroughTheCodecAndSavesWithTheQuality) {
  TJpegOptions options;
  options.Kind = TJpegOptions::Grey;
  TWKGraphicsDocument* doc = Open(Jpeg("grey.jpg", TPicture::Synthetic(40, 30), options));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, 40, 30));
  EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
  EXPECT_FALSE(CanSaveThroughLosslessJpeg(*doc));
  Formats->JpegQuality = 30;
  ASSERT_TRUE(Save(*doc, "grey-saved.jpg"));
  // The registry's quality, not the file's 90.
  TJpegOptions q30;
  q30.Quality = 30;
  EXPECT_EQ(ReadCoefficients(Saved("grey-saved.jpg")).QuantTables[0],
            ReadCoefficients(EncodeJpeg(TPicture::Synthetic(8, 8), q30)).QuantTables[0]);
}
