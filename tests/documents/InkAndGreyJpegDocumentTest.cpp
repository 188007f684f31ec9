// CMYK, YCCK and greyscale JPEG files open through the codec, not the lossless form, and their
// JPEG saves ask the quality; a JPEG the lossless form holds is saved without the question.
#include "GraphicsEditorFixture.h"

#include "documents/WKLosslessJpeg.h"
#include "platform/codec/InkJpegMaker.h"
#include "platform/lossless/LosslessTestSupport.h"

namespace {

class TCountingQualityDialog : public IWKJPEGQualityDialog {
 public:
  explicit TCountingQualityDialog(std::vector<int32_t>& shown) : Shown(shown) {}
  bool Execute(int32_t& quality) override {
    Shown.push_back(quality);
    quality = 70;
    return true;
  }
  std::vector<int32_t>& Shown;
};

// Left half red ink (magenta and yellow), right half half black.
codec_test::TInk RedAndGrey(int32_t x, int32_t) {
  return x < 32 ? codec_test::TInk{0, 255, 255, 0} : codec_test::TInk{0, 0, 0, 128};
}

class InkAndGreyJpegDocumentTest : public GraphicsEditorTest {
 protected:
  InkAndGreyJpegDocumentTest() { Formats->SetQualityDialog(std::make_unique<TCountingQualityDialog>(Shown)); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (Folder / name).string();
    lossless_test::WriteFile(path, bytes);
    return path;
  }
  static int32_t Held(TWKGraphicsDocument& doc) {
    return dynamic_cast<TWKLosslessJpeg&>(*doc.LosslessJpeg).Component().HasImage();
  }
  static std::array<int, 3> Bgr(TWKGraphicsDocument& doc, int32_t x, int32_t y) {
    const TBGRPixel* p = doc.CurrentPixels()->Pixel(x, y);
    return {p->Blue, p->Green, p->Red};
  }
  static std::vector<uint16_t> LumaTableAtQuality(int quality) {
    lossless_test::TJpegOptions options;
    options.Quality = quality;
    return lossless_test::ReadCoefficients(lossless_test::EncodeJpeg(lossless_test::TPicture::Synthetic(8, 8), options))
        .QuantTables[0];
  }

  std::vector<int32_t> Shown;
};

}  // namespace

TEST_F(InkAndGreyJpegDocumentTest, CmykYcckAndGreyOpenThroughTheCodecAndEachSaveAsksTheQualityOnce) {
  codec_test::TInkJpegOptions ycck;
  ycck.Ycck = true;
  lossless_test::TJpegOptions grey;
  grey.Kind = lossless_test::TJpegOptions::Grey;
  lossless_test::TPicture flat(64, 32);
  std::fill(flat.Bits.begin(), flat.Bits.end(), uint8_t(90));
  const struct {
    const char* Name;
    std::vector<uint8_t> Bytes;
    std::array<int, 3> Left, Right;
  } files[] = {
      {"cmyk.jpg", codec_test::MakeInkJpeg(64, 32, RedAndGrey), {0, 0, 255}, {127, 127, 127}},
      {"ycck.jpg", codec_test::MakeInkJpeg(64, 32, RedAndGrey, ycck), {0, 0, 255}, {127, 127, 127}},
      {"grey.jpg", lossless_test::EncodeJpeg(flat, grey), {90, 90, 90}, {90, 90, 90}},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.Name);
    const size_t asked = Shown.size();
    TWKGraphicsDocument* doc = Open(Write(file.Name, file.Bytes));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Held(*doc), 0);
    EXPECT_FALSE(CanSaveThroughLosslessJpeg(*doc));
    ASSERT_EQ(doc->ImageRect(), Rect(0, 0, 64, 32));
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(Bgr(*doc, 8, 16)[size_t(k)], file.Left[size_t(k)], 2);
      EXPECT_NEAR(Bgr(*doc, 56, 16)[size_t(k)], file.Right[size_t(k)], 2);
    }
    EXPECT_EQ(Shown.size(), asked) << "opening asks nothing";

    const std::string saved = (Folder / (std::string("saved-") + file.Name)).string();
    ASSERT_TRUE(doc->SaveToFile(saved, gfJPEG)) << Formats->LastError;
    ASSERT_EQ(Shown.size(), asked + 1);
    EXPECT_EQ(Shown.back(), asked == 0 ? 80 : 70) << "the last quality is offered";
    const lossless_test::TCoefficients written = lossless_test::ReadCoefficients(lossless_test::ReadFile(saved));
    EXPECT_EQ(written.Components.size(), 3u) << "saved as a colour JPEG";
    EXPECT_EQ(written.QuantTables[0], LumaTableAtQuality(70)) << "with the quality given";
    const lossless_test::TPicture back = lossless_test::DecodeJpeg(lossless_test::ReadFile(saved));
    EXPECT_NEAR(back.At(8, 16)[2], file.Left[2], 6);
    EXPECT_NEAR(back.At(56, 16)[0], file.Right[0], 6);
  }
}

TEST_F(InkAndGreyJpegDocumentTest, HeldYCbCrJpegSavesWithoutTheQuestionUntilItLetsGo) {
  TWKGraphicsDocument* doc = Open(Write("photo.jpg", lossless_test::EncodeJpeg(lossless_test::TPicture::Synthetic(64, 48), {})));
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(Held(*doc), 1);
  ASSERT_TRUE(doc->SaveToFile((Folder / "same.jpg").string(), gfJPEG)) << Formats->LastError;
  auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
  tool->Paint(*doc, Rect(10, 10, 14, 14), {0, 0, 200});
  doc->EndEditTransaction(doc);
  ASSERT_TRUE(doc->SaveToFile((Folder / "repaired.jpg").string(), gfJPEG)) << Formats->LastError;
  EXPECT_TRUE(Shown.empty()) << "the held file's own tables are used";

  ASSERT_TRUE(doc->Resize(32, 24, true));
  EXPECT_EQ(Held(*doc), 0);
  ASSERT_TRUE(doc->SaveToFile((Folder / "resized.jpg").string(), gfJPEG)) << Formats->LastError;
  EXPECT_EQ(Shown, std::vector<int32_t>{80});
}
