// A JPEG opens with the codec's decode while its lossless form takes the coefficients on a helper
// thread: whatever the user does at once must see the form either fully loaded or not at all.
#include "GraphicsEditorFixture.h"

#include <cstring>

#include "documents/WKJPEGOptions.h"
#include "documents/WKLosslessJpeg.h"
#include "platform/lossless/LosslessTestSupport.h"

using namespace lossless_test;

namespace {

// Large enough that the helper is still busy when the test acts on the document.
constexpr int32_t W = 1600, H = 1200;

class TCountingQualityDialog : public IWKJPEGQualityDialog {
 public:
  explicit TCountingQualityDialog(int& calls) : Calls_(calls) {}
  bool Execute(int32_t& quality) override {
    ++Calls_;
    quality = 40;
    return true;
  }

 private:
  int& Calls_;
};

class LosslessJpegBackgroundTest : public GraphicsEditorTest {
 protected:
  std::string Jpeg(const std::string& name, uint32_t seed, TJpegOptions options = {}) {
    const std::string path = (Folder / name).string();
    WriteFile(path, EncodeJpeg(TPicture::Synthetic(W, H, seed), options));
    return path;
  }
  std::string Path(const std::string& name) const { return (Folder / name).string(); }
  bool Save(TWKGraphicsDocument& doc, const std::string& name) {
    return Formats->SaveDocument(doc, Path(name), gfJPEG);
  }
  static void ExpectSameCoefficients(const TCoefficients& a, const TCoefficients& b) {
    ASSERT_EQ(a.Width, b.Width);
    ASSERT_EQ(a.Height, b.Height);
    ASSERT_EQ(a.Components.size(), b.Components.size());
    for (size_t c = 0; c < a.Components.size(); ++c)
      EXPECT_TRUE(a.Components[c].Coefficients == b.Components[c].Coefficients) << "component " << c;
  }
};

}  // namespace

TEST_F(LosslessJpegBackgroundTest, TurnAndSaveRightAfterTheOpenAreCoefficientExact) {
  const std::string source = Jpeg("photo.jpg", 3);
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  // No wait of the test's own: the turn and the save must wait for the form themselves.
  ASSERT_TRUE(doc->RotateRight());
  ASSERT_TRUE(Save(*doc, "turned.jpg")) << Formats->LastError;
  const std::vector<uint8_t> expected = RunJpegtran("-copy all -perfect -rotate 90", source, Path("jt.jpg"));
  if (expected.empty()) GTEST_SKIP() << "jpegtran is not installed";
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("turned.jpg"))), ReadCoefficients(expected));

  // A plain save right after another open keeps the file's own coefficients.
  doc = Open(Jpeg("second.jpg", 4));
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(Save(*doc, "second-saved.jpg")) << Formats->LastError;
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("second-saved.jpg"))),
                         ReadCoefficients(ReadFile(Path("second.jpg"))));
}

TEST_F(LosslessJpegBackgroundTest, FileReplacedOnDiskRightAfterTheOpenDoesNotReachTheForm) {
  const std::string source = Jpeg("photo.jpg", 5);
  const std::vector<uint8_t> opened = ReadFile(source);
  TWKGraphicsDocument* doc = Open(source);
  ASSERT_NE(doc, nullptr);
  WriteFile(source, EncodeJpeg(TPicture::Synthetic(W, H, 6), {}));
  ASSERT_TRUE(Save(*doc, "saved.jpg")) << Formats->LastError;
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("saved.jpg"))), ReadCoefficients(opened));
}

TEST_F(LosslessJpegBackgroundTest, ClosingOrOpeningAnotherFileWhileTheFormLoadsIsSafe) {
  const std::string first = Jpeg("first.jpg", 7), second = Jpeg("second.jpg", 8);
  ASSERT_NE(Open(first), nullptr);
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);

  // A document destroyed straight after its open.
  {
    TWKGraphicsDocument doc(*Editor);
    int32_t format = -1;
    ASSERT_TRUE(Formats->LoadDocument(doc, first, format)) << Formats->LastError;
  }

  // Another file opened into the same document while the first one's form still loads: the
  // form ends up holding the second file only.
  TWKGraphicsDocument doc(*Editor);
  int32_t format = -1;
  ASSERT_TRUE(Formats->LoadDocument(doc, first, format));
  ASSERT_TRUE(Formats->LoadDocument(doc, second, format));
  EXPECT_EQ(format, gfJPEG);
  ASSERT_TRUE(Save(doc, "saved.jpg")) << Formats->LastError;
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("saved.jpg"))), ReadCoefficients(ReadFile(second)));

  // Opening another file in the editor replaces a document whose form is still loading.
  ASSERT_NE(Open(first), nullptr);
  TWKGraphicsDocument* replaced = Open(second);
  ASSERT_NE(replaced, nullptr);
  EXPECT_TRUE(replaced->LosslessJpeg->HoldsData());
}

TEST_F(LosslessJpegBackgroundTest, RefusedOrReleasedFormMakesTheSaveAskForAQuality) {
  int calls = 0;
  Formats->SetQualityDialog(std::make_unique<TCountingQualityDialog>(calls));
  TJpegOptions grey;
  grey.Kind = TJpegOptions::Grey;
  // The codec reads a grey JPEG; the form refuses it on its thread.
  TWKGraphicsDocument* doc = Open(Jpeg("grey.jpg", 9, grey));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->ImageRect(), Rect(0, 0, W, H));
  ASSERT_TRUE(Save(*doc, "grey-saved.jpg")) << Formats->LastError;
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
  TJpegOptions q40;
  q40.Quality = 40;
  EXPECT_EQ(ReadCoefficients(ReadFile(Path("grey-saved.jpg"))).QuantTables[0],
            ReadCoefficients(EncodeJpeg(TPicture::Synthetic(8, 8), q40)).QuantTables[0]);

  // A resize straight after the open lets go of the form even while it was loading.
  doc = Open(Jpeg("colour.jpg", 10));
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(doc->Resize(W / 2, H / 2, true));
  EXPECT_FALSE(doc->LosslessJpeg->HoldsData());
  ASSERT_TRUE(Save(*doc, "resized.jpg")) << Formats->LastError;
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(DecodeJpeg(ReadFile(Path("resized.jpg"))).Width, W / 2);
}

namespace {

TWKLosslessJpeg& FormOf(TWKGraphicsDocument& doc) { return dynamic_cast<TWKLosslessJpeg&>(*doc.LosslessJpeg); }

// Steps of a session on the W x H photo; the tool paints.
using TSteps = void (*)(TWKGraphicsDocument&, TLoggingTool&);
struct TNamedSteps {
  const char* name;
  TSteps steps;
};

void PaintAndEnd(TWKGraphicsDocument& doc, TLoggingTool& tool, const TRect& rect) {
  tool.Paint(doc, rect, {20, 240, 60});
  doc.EndEditTransaction(&doc);
}

}  // namespace

TEST_F(LosslessJpegBackgroundTest, TheOpenReadsHeadersOnlyAndTheFirstChangeReadsTheCoefficients) {
  const std::string source = Jpeg("photo.jpg", 11);
  auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
  const TNamedSteps cases[] = {
      {"paint", [](TWKGraphicsDocument& d, TLoggingTool& t) { PaintAndEnd(d, t, Rect(10, 10, 40, 40)); }},
      {"turn", [](TWKGraphicsDocument& d, TLoggingTool&) { d.RotateLeft(); }},
      {"mirror", [](TWKGraphicsDocument& d, TLoggingTool&) { d.MirrorHorizontal(); }},
      {"crop", [](TWKGraphicsDocument& d, TLoggingTool&) { d.Crop(Rect(16, 16, 800, 600)); }},
      {"resize", [](TWKGraphicsDocument& d, TLoggingTool&) { d.Resize(W / 2, H / 2, true); }},
  };
  for (const TNamedSteps& c : cases) {
    SCOPED_TRACE(c.name);
    TWKGraphicsDocument* doc = Open(source);
    ASSERT_NE(doc, nullptr);
    TWKLosslessJpeg& form = FormOf(*doc);
    ASSERT_TRUE(form.HoldsData());
    EXPECT_EQ(form.Component().CoefficientBytes(), 0u);
    c.steps(*doc, *tool);
    const bool held = std::string(c.name) != "resize";
    EXPECT_EQ(form.HoldsData(), held);
    if (held) {
      EXPECT_GE(form.Component().CoefficientBytes(), size_t(W) * H * 3 / 2 * 2);
    }
    doc->History().MarkSaved();
  }
}

TEST_F(LosslessJpegBackgroundTest, SessionsSaveTheSameFilesAsWithTheCoefficientsReadAtTheOpen) {
  const std::string source = Jpeg("photo.jpg", 12);
  auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
  const TNamedSteps cases[] = {
      {"unchanged", [](TWKGraphicsDocument&, TLoggingTool&) {}},
      {"one eye", [](TWKGraphicsDocument& d, TLoggingTool& t) { PaintAndEnd(d, t, Rect(700, 500, 760, 560)); }},
      {"most blocks", [](TWKGraphicsDocument& d, TLoggingTool& t) { PaintAndEnd(d, t, Rect(0, 0, W - 100, H - 100)); }},
      {"turn, crop on the grid, eye",
       [](TWKGraphicsDocument& d, TLoggingTool& t) {
         d.RotateRight();
         d.Crop(Rect(32, 48, 800, 1000));
         PaintAndEnd(d, t, Rect(100, 100, 130, 130));
       }},
      {"crop off the grid", [](TWKGraphicsDocument& d, TLoggingTool&) { d.Crop(Rect(5, 7, 900, 700)); }},
  };
  for (const TNamedSteps& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> files[2];
    for (const bool atOpen : {true, false}) {
      TWKGraphicsDocument* doc = Open(source);
      ASSERT_NE(doc, nullptr);
      if (atOpen) {
        ASSERT_TRUE(FormOf(*doc).ReadCoefficients());
      }
      c.steps(*doc, *tool);
      ASSERT_TRUE(Save(*doc, "saved.jpg")) << Formats->LastError;
      files[atOpen ? 0 : 1] = ReadFile(Path("saved.jpg"));
      doc->History().MarkSaved();
    }
    EXPECT_TRUE(files[0] == files[1]);
  }
}

TEST_F(LosslessJpegBackgroundTest, DamagedCodedDataFoundAfterTheOpenMakesTheSaveAskForAQuality) {
  int calls = 0;
  Formats->SetQualityDialog(std::make_unique<TCountingQualityDialog>(calls));
  TJpegOptions restarts;
  restarts.RestartRows = 1;
  const std::vector<uint8_t> damaged = WithRestartOutOfTurn(EncodeJpeg(TPicture::Synthetic(W, H, 13), restarts));
  ASSERT_FALSE(damaged.empty());
  WriteFile(Path("damaged.jpg"), damaged);
  auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
  const TNamedSteps cases[] = {
      {"saved at once", [](TWKGraphicsDocument&, TLoggingTool&) {}},
      {"edited first", [](TWKGraphicsDocument& d, TLoggingTool& t) { PaintAndEnd(d, t, Rect(10, 10, 40, 40)); }},
  };
  for (const TNamedSteps& c : cases) {
    SCOPED_TRACE(c.name);
    calls = 0;
    // The codec decodes what it can of the file; the form holds its sound headers.
    TWKGraphicsDocument* doc = Open(Path("damaged.jpg"));
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->ImageRect(), Rect(0, 0, W, H));
    EXPECT_TRUE(FormOf(*doc).HoldsData());
    c.steps(*doc, *tool);
    const auto picture = [](const TWKPixels& pixels) {
      TPicture p(pixels.Width, pixels.Height);
      for (int32_t y = 0; y < pixels.Height; ++y)
        std::memcpy(p.Row(y), pixels.PixelAddress(0, y), size_t(pixels.Width) * 3);
      return p;
    };
    const TPicture before = picture(*doc->CurrentPixels());
    ASSERT_TRUE(Save(*doc, "saved.jpg")) << Formats->LastError;
    EXPECT_TRUE(picture(*doc->CurrentPixels()).SameBytes(before)) << "the document keeps its picture";
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(FormOf(*doc).HoldsData());
    // The picture on screen, encoded anew at the quality asked for.
    const TPicture saved = DecodeJpeg(ReadFile(Path("saved.jpg")));
    ASSERT_EQ(saved.Width, W);
    EXPECT_LT(saved.MeanDifference(before), 6.0);
    doc->History().MarkSaved();
  }
}
