// Saves: coefficient-exact where nothing changed, re-encoded where pixels changed, and always
// the picture the document shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "framework/TempFolder.h"
#include "imaging/WKParallel.h"
#include "platform/lossless/ITarnwick.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "support/ForcedParts.h"

using namespace lossless_test;

namespace {

// A picture with hard edges every few pixels, so that a shift by a few pixels shows.
TPicture Striped(int32_t w, int32_t h) {
  TPicture p = TPicture::Synthetic(w, h, 3);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if ((x / 6 + y / 9) % 3 == 0) p.At(x, y)[1] = uint8_t(p.At(x, y)[1] / 4);
  return p;
}

// The document's side: current and original pictures kept in step with the component.
struct TDocument {
  std::unique_ptr<ITarnwick> T = CreateTarnwickObject();
  TPicture Current, Original;

  explicit TDocument(const std::vector<uint8_t>& jpeg) {
    if (!T->LoadMemory(jpeg.data(), jpeg.size())) ADD_FAILURE() << T->LastError();
    Current = TPicture(T->Width(), T->Height());
    if (!T->ReadPixels(Current.Bits.data(), Current.RowBytes, 0)) ADD_FAILURE() << T->LastError();
    Original = Current;
  }
  void RotateRight() {
    T->RotateRight(0);
    Current = Current.RotatedRight();
    Original = Original.RotatedRight();
  }
  void RotateLeft() {
    T->RotateLeft(0);
    Current = Current.RotatedLeft();
    Original = Original.RotatedLeft();
  }
  void Mirror() {
    T->Mirror(0);
    Current = Current.Mirrored();
    Original = Original.Mirrored();
  }
  void Flip() {
    T->Flip(0);
    Current = Current.Flipped();
    Original = Original.Flipped();
  }
  void Crop(int32_t l, int32_t t, int32_t r, int32_t b) {
    T->SetRegion(l, t, r, b);
    Current = Current.Cropped(l, t, r, b);
    Original = Original.Cropped(l, t, r, b);
  }
  void Paint(int32_t l, int32_t t, int32_t r, int32_t b) {
    for (int32_t y = t; y < b; ++y)
      for (int32_t x = l; x < r; ++x) {
        uint8_t* p = Current.At(x, y);
        p[0] = uint8_t(p[0] / 3);
        p[1] = uint8_t(p[1] / 3);
        p[2] = uint8_t(255 - p[2] / 5);
      }
  }
  int32_t Save(const std::string& file, int32_t mode) {
    EXPECT_EQ(T->Width(), Current.Width);
    EXPECT_EQ(T->Height(), Current.Height);
    uint8_t* first = Current.Bits.data();
    T->SetPixels(&first, Current.RowBytes, 0, 0);
    T->SetOriginalPixels(Original.Bits.data(), Original.RowBytes);
    const int32_t parameters[9] = {0, 100, 0, 0, -1, -1, -1, mode, 90};
    const int32_t result = T->Save(file, parameters);
    T->FinishSave();
    return result;
  }
  // The save path of the document: exact first, then everything re-encoded.
  int32_t SaveAnyway(const std::string& file) { return Save(file, 2) ? 2 : Save(file, 0) ? 1 : 0; }
};

std::vector<uint8_t> Jpeg(const TPicture& p, int h = 2, int v = 2, bool progressive = false,
                          std::vector<TMarker> markers = {}) {
  TJpegOptions options;
  options.LumaH = h;
  options.LumaV = v;
  options.Progressive = progressive;
  options.Markers = std::move(markers);
  return EncodeJpeg(p, options);
}

// How far a plain encode with the same quality and sampling (either way round) strays from
// the picture: the quantisation error a re-encoded save is allowed.
struct TError {
  int Max = 0;
  double Mean = 0;
};
TError QuantisationError(const TPicture& picture, int h, int v) {
  TError worst;
  for (const auto& [hh, vv] : {std::pair{h, v}, std::pair{v, h}}) {
    TJpegOptions options;
    options.LumaH = hh;
    options.LumaV = vv;
    const TPicture decoded = DecodeJpeg(EncodeJpeg(picture, options));
    worst.Max = std::max(worst.Max, decoded.MaxDifference(picture));
    worst.Mean = std::max(worst.Mean, decoded.MeanDifference(picture));
  }
  return worst;
}

void ExpectWithinQuantisation(const TPicture& saved, const TPicture& shown, int h, int v) {
  ASSERT_EQ(saved.Width, shown.Width);
  ASSERT_EQ(saved.Height, shown.Height);
  const TError allowed = QuantisationError(shown, h, v);
  EXPECT_LE(saved.MaxDifference(shown), allowed.Max + 8);
  EXPECT_LE(saved.MeanDifference(shown), allowed.Mean + 0.5);
}

void ExpectSameCoefficients(const TCoefficients& a, const TCoefficients& b) {
  ASSERT_EQ(a.Width, b.Width);
  ASSERT_EQ(a.Height, b.Height);
  ASSERT_EQ(a.Components.size(), b.Components.size());
  for (size_t c = 0; c < a.Components.size(); ++c) {
    EXPECT_EQ(a.Components[c].H, b.Components[c].H) << "component " << c;
    EXPECT_EQ(a.Components[c].V, b.Components[c].V) << "component " << c;
    EXPECT_EQ(a.Components[c].Coefficients, b.Components[c].Coefficients) << "component " << c;
  }
  EXPECT_EQ(a.QuantTables, b.QuantTables);
}

class TarnwickSave : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return Folder_ / name; }
  std::string Source(const std::vector<uint8_t>& bytes) {
    WriteFile(Path("source.jpg"), bytes);
    return Path("source.jpg");
  }
  std::vector<uint8_t> Jpegtran(const std::string& arguments, const std::vector<uint8_t>& in) {
    return RunJpegtran(arguments, Source(in), Path("jpegtran.jpg"));
  }
  TTempFolder Folder_;
};

}  // namespace

TEST_F(TarnwickSave, UnchangedSaveKeepsEveryCoefficientForEachSampling) {
  struct Case {
    int h, v;
    bool progressive;
  };
  for (const Case c : {Case{2, 2, false}, Case{1, 1, false}, Case{2, 1, true}}) {
    const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(100, 70), c.h, c.v, c.progressive);
    TDocument doc(source);
    ASSERT_EQ(doc.Save(Path("out.jpg"), 2), 1) << doc.T->LastError();
    const TCoefficients out = ReadCoefficients(ReadFile(Path("out.jpg")));
    ExpectSameCoefficients(out, ReadCoefficients(source));
    EXPECT_EQ(out.Progressive, c.progressive);
  }
}

TEST_F(TarnwickSave, RepairedEyeReencodesOnlyTheMcusItTouched) {
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(160, 128));
  TDocument doc(source);
  doc.Paint(37, 45, 47, 55);  // inside MCU column 2, MCU rows 2 and 3
  ASSERT_EQ(doc.Save(Path("out.jpg"), 2), 1) << doc.T->LastError();
  const std::vector<uint8_t> saved = ReadFile(Path("out.jpg"));
  const TCoefficients in = ReadCoefficients(source), out = ReadCoefficients(saved);
  size_t changedInside = 0;
  for (size_t c = 0; c < 3; ++c) {
    const TComponentBlocks& a = in.Components[c];
    const TComponentBlocks& b = out.Components[c];
    for (uint32_t by = 0; by < a.BlocksHigh; ++by)
      for (uint32_t bx = 0; bx < a.BlocksWide; ++bx) {
        const bool inside = bx / uint32_t(a.H) == 2 && (by / uint32_t(a.V) == 2 || by / uint32_t(a.V) == 3);
        const bool same = std::memcmp(a.Block(bx, by), b.Block(bx, by), 128) == 0;
        if (inside) changedInside += !same;
        else ASSERT_TRUE(same) << "component " << c << " block " << bx << "," << by;
      }
  }
  EXPECT_GT(changedInside, 0u);
  // The repaired MCUs decode to the edited pixels as a fresh encode of them would.
  const TPicture decoded = DecodeJpeg(saved);
  const TPicture fresh = DecodeJpeg(Jpeg(doc.Current));
  EXPECT_LE(decoded.MaxDifference(doc.Current, 32, 32, 48, 64),
            fresh.MaxDifference(doc.Current, 32, 32, 48, 64) + 8);
  ExpectWithinQuantisation(decoded, doc.Current, 2, 2);

  // The held coefficients are untouched by the save: with the repair undone the source's
  // coefficients are saved again.
  doc.Current = doc.Original;
  ASSERT_EQ(doc.Save(Path("undone.jpg"), 2), 1);
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("undone.jpg"))), in);
}

TEST_F(TarnwickSave, TurnsAndFlipsBackToTheStartAreCoefficientExact) {
  // 100 x 70 has partial edge blocks; they never move when the geometry ends where it began.
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(100, 70));
  TDocument doc(source);
  for (int i = 0; i < 4; ++i) doc.RotateRight();
  ASSERT_EQ(doc.Save(Path("four.jpg"), 2), 1);
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("four.jpg"))), ReadCoefficients(source));
  doc.Mirror();
  doc.Mirror();
  doc.Flip();
  doc.RotateLeft();
  doc.RotateRight();
  doc.Flip();
  ASSERT_EQ(doc.Save(Path("mirrors.jpg"), 2), 1);
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("mirrors.jpg"))), ReadCoefficients(source));
}

TEST_F(TarnwickSave, EachTurnAndFlipEqualsThePerfectTransformOfJpegtran) {
  struct Case {
    const char* arguments;
    void (*apply)(TDocument&);
  };
  const Case cases[] = {
      {"-rotate 90", [](TDocument& d) { d.RotateRight(); }},
      {"-rotate 270", [](TDocument& d) { d.RotateLeft(); }},
      {"-rotate 180", [](TDocument& d) { d.RotateRight(); d.RotateRight(); }},
      {"-flip horizontal", [](TDocument& d) { d.Mirror(); }},
      {"-flip vertical", [](TDocument& d) { d.Flip(); }},
      {"-transpose", [](TDocument& d) { d.RotateRight(); d.Mirror(); }},
  };
  for (const auto& [h, v] : {std::pair{2, 2}, std::pair{2, 1}}) {
    const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(128, 96), h, v);
    for (const Case& c : cases) {
      const std::vector<uint8_t> expected = Jpegtran(std::string("-copy all -perfect ") + c.arguments, source);
      if (expected.empty()) GTEST_SKIP() << "jpegtran is not installed";
      TDocument doc(source);
      c.apply(doc);
      ASSERT_EQ(doc.Save(Path("out.jpg"), 2), 1) << c.arguments;
      SCOPED_TRACE(std::string(c.arguments) + " sampling " + std::to_string(h) + "x" + std::to_string(v));
      ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("out.jpg"))), ReadCoefficients(expected));
    }
  }
}

TEST_F(TarnwickSave, BlockCropOfATurnAndItsUndo) {
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(128, 96));
  TDocument doc(source);
  doc.RotateRight();
  const TTarnwickGeometry turned = doc.T->Geometry();
  const TPicture current = doc.Current, original = doc.Original;
  doc.Crop(16, 32, 80, 96);
  ASSERT_EQ(doc.Save(Path("crop.jpg"), 2), 1);
  const std::vector<uint8_t> rotated = Jpegtran("-copy all -perfect -rotate 90", source);
  if (rotated.empty()) GTEST_SKIP() << "jpegtran is not installed";
  const std::vector<uint8_t> cropped = Jpegtran("-copy all -perfect -crop 64x64+16+32", rotated);
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("crop.jpg"))), ReadCoefficients(cropped));

  // Undo of the crop puts back the geometry and both pictures.
  ASSERT_TRUE(doc.T->SetGeometry(turned));
  doc.Current = current;
  doc.Original = original;
  ASSERT_EQ(doc.Save(Path("undone.jpg"), 2), 1);
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("undone.jpg"))), ReadCoefficients(rotated));
}

TEST_F(TarnwickSave, CropOffTheBlockGridIsReencodedAndNotShifted) {
  const std::vector<uint8_t> source = Jpeg(Striped(128, 96));
  TDocument doc(source);
  doc.Crop(5, 5, 101, 77);
  WriteFile(Path("out.jpg"), {1, 2, 3});
  EXPECT_EQ(doc.Save(Path("out.jpg"), 2), 0);
  EXPECT_FALSE(doc.T->LastError().empty());
  EXPECT_EQ(ReadFile(Path("out.jpg")), (std::vector<uint8_t>{1, 2, 3}));  // untouched
  ASSERT_EQ(doc.Save(Path("out.jpg"), 0), 1) << doc.T->LastError();
  const std::vector<uint8_t> saved = ReadFile(Path("out.jpg"));
  const TPicture decoded = DecodeJpeg(saved);
  ASSERT_EQ(decoded.Width, 96);
  ASSERT_EQ(decoded.Height, 72);
  ExpectWithinQuantisation(decoded, doc.Current, 2, 2);
  // One pixel of shift shows on the stripes well beyond the quantisation error.
  EXPECT_GT(decoded.Cropped(1, 0, 96, 72).MeanDifference(doc.Current.Cropped(0, 0, 95, 72)),
            2 * QuantisationError(doc.Current, 2, 2).Mean);
  const TCoefficients out = ReadCoefficients(saved), in = ReadCoefficients(source);
  EXPECT_EQ(out.QuantTables, in.QuantTables);
  EXPECT_EQ(out.Components[0].H, 2);
  EXPECT_EQ(out.Components[0].V, 2);
}

TEST_F(TarnwickSave, PartialEdgeBlocksCannotMoveButStayingAtTheEdgeIsExact) {
  // 100 is not a multiple of 16 across, 96 is; 70 is not down.
  {
    TDocument doc(Jpeg(Striped(100, 70)));
    doc.RotateRight();
    EXPECT_EQ(doc.Save(Path("turn.jpg"), 2), 0);
    ASSERT_EQ(doc.Save(Path("turn.jpg"), 0), 1);
    ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("turn.jpg"))), doc.Current, 2, 2);
  }
  const std::vector<uint8_t> source = Jpeg(Striped(96, 70));
  {
    TDocument doc(source);
    doc.Flip();
    EXPECT_EQ(doc.Save(Path("flip.jpg"), 2), 0);
  }
  TDocument doc(source);
  doc.Mirror();
  ASSERT_EQ(doc.Save(Path("mirror.jpg"), 2), 1);
  const std::vector<uint8_t> expected = Jpegtran("-copy all -perfect -flip horizontal", source);
  if (expected.empty()) GTEST_SKIP() << "jpegtran is not installed";
  ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("mirror.jpg"))), ReadCoefficients(expected));
}

TEST_F(TarnwickSave, RandomEditingSessionsAlwaysSaveThePictureOnScreen) {
  std::mt19937 random(11);
  const std::vector<uint8_t> source = Jpeg(Striped(144, 112), 2, 1);
  int exact = 0;
  for (int run = 0; run < 24; ++run) {
    TDocument doc(source);
    for (int step = 0; step < 4; ++step) {
      switch (random() % 6) {
        case 0: doc.RotateRight(); break;
        case 1: doc.RotateLeft(); break;
        case 2: doc.Mirror(); break;
        case 3: doc.Flip(); break;
        case 4: {
          // Mostly on the block grid of the shown picture, sometimes off it.
          const int32_t grid = random() % 3 ? 16 : 1;
          const int32_t w = doc.Current.Width, h = doc.Current.Height;
          const int32_t l = int32_t(random() % uint32_t(w / 2)) / grid * grid;
          const int32_t t = int32_t(random() % uint32_t(h / 2)) / grid * grid;
          doc.Crop(l, t, l + w / 2, t + h / 2);
          break;
        }
        default: {
          const int32_t x = int32_t(random() % uint32_t(doc.Current.Width - 8));
          const int32_t y = int32_t(random() % uint32_t(doc.Current.Height - 8));
          doc.Paint(x, y, x + 8, y + 8);
        }
      }
    }
    const int32_t how = doc.SaveAnyway(Path("out.jpg"));
    ASSERT_NE(how, 0) << doc.T->LastError();
    exact += how == 2;
    SCOPED_TRACE("run " + std::to_string(run));
    ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("out.jpg"))), doc.Current, 2, 1);
  }
  EXPECT_GT(exact, 0);
}

TEST_F(TarnwickSave, MarkersTravelExceptTheExifThumbnail) {
  // EXIF: IFD0 with the maker, then IFD1 with a 40-byte JPEG thumbnail that ends the block.
  std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                               1, 0, 0x0F, 1, 2, 0, 4, 0, 0, 0, 'C', 'a', 'm', 0, 26, 0, 0, 0,
                               2, 0, 1, 2, 4, 0, 1, 0, 0, 0, 56, 0, 0, 0, 2, 2, 4, 0, 1, 0, 0, 0,
                               40, 0, 0, 0, 0, 0, 0, 0};
  exif.resize(6 + 56, 0);
  exif.insert(exif.end(), 40, 0x55);
  const std::vector<uint8_t> icc = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1, 9, 8, 7};
  const std::vector<uint8_t> comment = {'h', 'e', 'l', 'l', 'o'};
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(64, 48), 2, 2, false,
                                           {{0xE1, exif}, {0xE2, icc}, {0xFE, comment}});
  for (int mode : {2, 0}) {
    TDocument doc(source);
    ASSERT_EQ(doc.Save(Path("out.jpg"), mode), 1);
    const TCoefficients out = ReadCoefficients(ReadFile(Path("out.jpg")));
    std::vector<int> codes;
    for (const TMarker& m : out.Markers) codes.push_back(m.Code);
    EXPECT_EQ(codes, (std::vector<int>{0xE0, 0xE1, 0xE2, 0xFE})) << "mode " << mode;
    ASSERT_EQ(out.Markers.size(), 4u);
    // The thumbnail directory (offset 26) and its picture are gone; IFD0 now ends the chain.
    std::vector<uint8_t> expected(exif.begin(), exif.begin() + 6 + 26);
    std::fill(expected.end() - 4, expected.end(), 0);
    EXPECT_EQ(out.Markers[1].Data, expected);
    EXPECT_EQ(out.Markers[2].Data, icc);
    EXPECT_EQ(out.Markers[3].Data, comment);
  }
}

TEST_F(TarnwickSave, RefusedSavesWriteNothing) {
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(64, 48));
  TDocument doc(source);
  const int32_t unknownMode[9] = {0, 100, 0, 0, -1, -1, -1, 5, 90};
  uint8_t* first = doc.Current.Bits.data();
  doc.T->SetPixels(&first, doc.Current.RowBytes, 0, 0);
  EXPECT_EQ(doc.T->Save(Path("a.jpg"), unknownMode), 0);
  EXPECT_EQ(doc.T->Save(Path("a.jpg"), nullptr), 0);
  doc.T->FinishSave();
  const int32_t exact[9] = {0, 100, 0, 0, -1, -1, -1, 2, 90};
  EXPECT_EQ(doc.T->Save(Path("a.jpg"), exact), 0);  // no pixels
  EXPECT_FALSE(std::filesystem::exists(Path("a.jpg")));
  // A folder in the way of the target stays a folder; no temporary file is left behind.
  std::filesystem::create_directory(Path("folder.jpg"));
  EXPECT_EQ(doc.Save(Path("folder.jpg"), 2), 0);
  EXPECT_TRUE(std::filesystem::is_directory(Path("folder.jpg")));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder_.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 0u);
  // Without the original picture every MCU counts as changed: still the same picture.
  uint8_t* pixels = doc.Current.Bits.data();
  doc.T->SetPixels(&pixels, doc.Current.RowBytes, 0, 0);
  ASSERT_EQ(doc.T->Save(Path("b.jpg"), exact), 1);
  ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("b.jpg"))), doc.Current, 2, 2);
}

TEST_F(TarnwickSave, GeometryFromElsewhereIsRefused) {
  TDocument doc(Jpeg(TPicture::Synthetic(64, 48)));
  TTarnwickGeometry g = doc.T->Geometry();
  g.Crop = Rect(0, 0, 65, 48);
  EXPECT_FALSE(doc.T->SetGeometry(g));
  g.Crop = Rect(10, 10, 10, 20);
  EXPECT_FALSE(doc.T->SetGeometry(g));
  EXPECT_EQ(doc.T->Width(), 64);
  doc.T->Release();
  EXPECT_EQ(doc.T->HasImage(), 0);
  EXPECT_FALSE(doc.T->SetGeometry(TTarnwickGeometry::Identity(64, 48)));
}

TEST_F(TarnwickSave, RestartIntervalsOfTheFileAreKeptByEverySave) {
  for (const char* arguments : {"-quality 90 -restart 1", "-quality 90 -restart 1 -progressive"}) {
    SCOPED_TRACE(arguments);
    const std::vector<uint8_t> source = RunCjpeg(arguments, TPicture::Synthetic(100, 70), Path("in.ppm"), Path("cjpeg.jpg"));
    if (source.empty()) GTEST_SKIP() << "cjpeg is not installed";
    const TCoefficients in = ReadCoefficients(source);
    ASSERT_EQ(in.RestartInterval, 7u) << "one row of 16 x 16 MCUs";
    // Every MCU row starts an interval: a turned picture restarts at each of its own rows.
    const auto expectRestarts = [&](const std::string& name, uint32_t interval) {
      const std::vector<uint8_t> out = ReadFile(Path(name));
      EXPECT_EQ(ReadCoefficients(out).RestartInterval, interval) << name;
      EXPECT_GT(RestartMarkers(out), 0u) << name;
      return RestartMarkers(out);
    };
    TDocument doc(source);
    ASSERT_EQ(doc.Save(Path("same.jpg"), 2), 1) << doc.T->LastError();
    ExpectSameCoefficients(ReadCoefficients(ReadFile(Path("same.jpg"))), in);
    EXPECT_EQ(expectRestarts("same.jpg", 7), RestartMarkers(source)) << "the same restarts in every scan";
    doc.Paint(20, 20, 30, 30);
    ASSERT_EQ(doc.Save(Path("repaired.jpg"), 2), 1) << doc.T->LastError();
    EXPECT_EQ(expectRestarts("repaired.jpg", 7), RestartMarkers(source));
    ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("repaired.jpg"))), doc.Current, 2, 2);
    doc.Crop(0, 0, 96, 64);
    doc.RotateRight();
    ASSERT_EQ(doc.Save(Path("turned.jpg"), 2), 1) << doc.T->LastError();
    expectRestarts("turned.jpg", 4);
    ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("turned.jpg"))), doc.Current, 2, 2);
    ASSERT_EQ(doc.Save(Path("reencoded.jpg"), 0), 1) << doc.T->LastError();
    expectRestarts("reencoded.jpg", 4);
  }
}

// 160 x 160 at 4:2:0 is 10 x 10 MCUs; painting n whole MCUs row by row changes exactly n.
TEST_F(TarnwickSave, SaveByChangeSwitchesToOneReencodeAboveTheShareOfChangedMcus) {
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(160, 160));
  const TCoefficients in = ReadCoefficients(source);
  struct Case {
    int32_t mcus;
    int32_t mode;
  };
  for (const Case c : {Case{0, TarnwickSaveExact}, Case{1, TarnwickSaveExact},
                       Case{TarnwickReencodePercent, TarnwickSaveExact},
                       Case{TarnwickReencodePercent + 1, TarnwickSaveReencode}, Case{100, TarnwickSaveReencode}}) {
    SCOPED_TRACE(c.mcus);
    TDocument doc(source);
    for (int32_t m = 0; m < c.mcus; ++m) doc.Paint(m % 10 * 16, m / 10 * 16, m % 10 * 16 + 16, m / 10 * 16 + 16);
    ASSERT_EQ(doc.Save(Path("out.jpg"), TarnwickSaveByChange), 1) << doc.T->LastError();
    EXPECT_EQ(doc.T->LastSaveMode(), c.mode);
    const std::vector<uint8_t> saved = ReadFile(Path("out.jpg"));
    ExpectWithinQuantisation(DecodeJpeg(saved), doc.Current, 2, 2);
    // Either way the file's own tables and sampling: no quality was asked for.
    const TCoefficients out = ReadCoefficients(saved);
    EXPECT_EQ(out.QuantTables, in.QuantTables);
    EXPECT_EQ(out.Components[0].H, 2);
    EXPECT_EQ(out.Components[0].V, 2);
    // An exact save keeps every block of the MCUs past the painted ones.
    if (c.mode == TarnwickSaveExact && c.mcus < 100) {
      const TComponentBlocks& a = in.Components[0];
      const TComponentBlocks& b = out.Components[0];
      EXPECT_EQ(std::memcmp(a.Block(19, 19), b.Block(19, 19), 128), 0);
      const uint32_t after = uint32_t(c.mcus);  // the first unpainted MCU
      EXPECT_EQ(std::memcmp(a.Block(after % 10 * 2, after / 10 * 2), b.Block(after % 10 * 2, after / 10 * 2), 128), 0);
    }
    // The memory save writes the same bytes as the file save.
    std::vector<uint8_t> memory;
    uint8_t* first = doc.Current.Bits.data();
    doc.T->SetPixels(&first, doc.Current.RowBytes, 0, 0);
    doc.T->SetOriginalPixels(doc.Original.Bits.data(), doc.Original.RowBytes);
    const int32_t parameters[9] = {0, 100, 0, 0, -1, -1, -1, TarnwickSaveByChange, 90};
    ASSERT_EQ(doc.T->SaveMemory(memory, parameters), 1);
    doc.T->FinishSave();
    EXPECT_EQ(memory, saved);
  }
}

TEST_F(TarnwickSave, SaveByChangeReencodesWhatCannotStayExactInsteadOfFailing) {
  TDocument doc(Jpeg(Striped(128, 96)));
  doc.Crop(5, 5, 101, 77);
  ASSERT_EQ(doc.Save(Path("out.jpg"), TarnwickSaveByChange), 1) << doc.T->LastError();
  EXPECT_EQ(doc.T->LastSaveMode(), TarnwickSaveReencode);
  ExpectWithinQuantisation(DecodeJpeg(ReadFile(Path("out.jpg"))), doc.Current, 2, 2);
  EXPECT_EQ(doc.Save(Path("bad.jpg"), 7), 0);
  EXPECT_FALSE(std::filesystem::exists(Path("bad.jpg")));
}

// The block moves and the change flags run on every core: the saved bytes do not depend on the
// number of parts.
TEST_F(TarnwickSave, SavedBytesDoNotDependOnThePartCount) {
  const std::vector<uint8_t> source = Jpeg(TPicture::Synthetic(208, 144));
  std::vector<std::vector<uint8_t>> saves;
  for (const int32_t parts : {1, 2, 3, 8}) {
    const TForcedParts forced(parts);
    TDocument doc(source);
    doc.RotateRight();
    doc.Paint(20, 30, 70, 41);
    for (const int32_t mode : {TarnwickSaveExact, TarnwickSaveByChange}) {
      ASSERT_EQ(doc.Save(Path("out.jpg"), mode), 1) << doc.T->LastError();
      saves.push_back(ReadFile(Path("out.jpg")));
    }
  }
  for (size_t i = 2; i < saves.size(); ++i) EXPECT_EQ(saves[i], saves[i % 2]) << "save " << i;
}

namespace {

// The file with a comment marker put before its second scan, where only a whole read meets it.
std::vector<uint8_t> WithCommentBeforeSecondScan(const std::vector<uint8_t>& jpeg, const std::string& text) {
  int scans = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA && ++scans == 2) {
      std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(i));
      const size_t length = text.size() + 2;
      out.insert(out.end(), {0xFF, 0xFE, uint8_t(length >> 8), uint8_t(length)});
      out.insert(out.end(), text.begin(), text.end());
      out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(i), jpeg.end());
      return out;
    }
  return {};
}

}  // namespace

TEST_F(TarnwickSave, FilesDoNotDependOnWhenTheCoefficientsAreRead) {
  const std::string late = "said after the first scan";
  const std::vector<uint8_t> source =
      WithCommentBeforeSecondScan(Jpeg(Striped(160, 128), 2, 2, true), late);
  ASSERT_FALSE(source.empty());
  struct Case {
    const char* name;
    void (*apply)(TDocument&);
    int32_t mode, savedAs;
  };
  const Case cases[] = {
      {"unchanged", [](TDocument&) {}, TarnwickSaveExact, TarnwickSaveExact},
      {"one eye", [](TDocument& d) { d.Paint(37, 45, 47, 55); }, TarnwickSaveByChange, TarnwickSaveExact},
      {"most blocks", [](TDocument& d) { d.Paint(0, 0, 150, 120); }, TarnwickSaveByChange, TarnwickSaveReencode},
      {"re-encode", [](TDocument& d) { d.Paint(37, 45, 47, 55); }, TarnwickSaveReencode, TarnwickSaveReencode},
      {"turn, crop on the grid, eye",
       [](TDocument& d) {
         d.RotateRight();
         d.Mirror();
         d.Crop(16, 32, 112, 128);
         d.Paint(20, 20, 30, 28);
       },
       TarnwickSaveExact, TarnwickSaveExact},
      {"crop off the grid", [](TDocument& d) { d.Crop(5, 3, 150, 120); }, TarnwickSaveByChange, TarnwickSaveReencode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Read at once (as the load used to) against read only by the save, after the same steps.
    TDocument early(source), lazy(source);
    ASSERT_EQ(early.T->ReadCoefficients(), 1) << early.T->LastError();
    EXPECT_GT(early.T->CoefficientBytes(), 0u);
    EXPECT_EQ(lazy.T->CoefficientBytes(), 0u);
    c.apply(early);
    c.apply(lazy);
    EXPECT_EQ(lazy.T->CoefficientBytes(), 0u) << "the steps need no coefficients";
    ASSERT_EQ(early.Save(Path("early.jpg"), c.mode), 1) << early.T->LastError();
    ASSERT_EQ(lazy.Save(Path("lazy.jpg"), c.mode), 1) << lazy.T->LastError();
    EXPECT_EQ(lazy.T->CoefficientBytes(), early.T->CoefficientBytes());
    EXPECT_EQ(lazy.T->LastSaveMode(), c.savedAs);
    EXPECT_EQ(early.T->LastSaveMode(), c.savedAs);
    const std::vector<uint8_t> saved = ReadFile(Path("lazy.jpg"));
    EXPECT_TRUE(saved == ReadFile(Path("early.jpg")));
    EXPECT_NE(std::search(saved.begin(), saved.end(), late.begin(), late.end()), saved.end())
        << "the comment after the first scan travels";
  }
}
