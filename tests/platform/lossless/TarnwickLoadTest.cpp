// What the component takes, what it refuses, and what it reads from a held file.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/TempFolder.h"
#include "platform/lossless/ITarnwick.h"
#include "platform/lossless/LosslessTestSupport.h"

using namespace lossless_test;

namespace {

std::vector<uint8_t> Jpeg(int32_t w, int32_t h, TJpegOptions options = {}) {
  return EncodeJpeg(TPicture::Synthetic(w, h), options);
}

void ExpectRefused(const std::vector<uint8_t>& bytes) {
  auto t = CreateTarnwickObject();
  EXPECT_EQ(t->LoadMemory(bytes.data(), bytes.size()), 0);
  EXPECT_EQ(t->HasImage(), 0);
  EXPECT_EQ(t->Width(), 0);
  EXPECT_FALSE(t->LastError().empty());
}

}  // namespace

TEST(TarnwickLoad, RefusesWhatTheCodecMustTake) {
  TJpegOptions grey;
  grey.Kind = TJpegOptions::Grey;
  ExpectRefused(Jpeg(40, 24, grey));
  TJpegOptions cmyk;
  cmyk.Kind = TJpegOptions::Cmyk;
  ExpectRefused(Jpeg(40, 24, cmyk));
  ExpectRefused({'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});
  ExpectRefused({0xFF, 0xD8, 0xFF});
  // Truncated in the middle of the entropy-coded data.
  std::vector<uint8_t> cut = Jpeg(200, 120);
  cut.resize(cut.size() / 2);
  ExpectRefused(cut);
  // A frame header claiming a huge picture.
  std::vector<uint8_t> huge = Jpeg(16, 16);
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
      break;
    }
  ExpectRefused(huge);
  // A zero in a quantisation table (libjpeg decodes it, but no block could be encoded with it).
  std::vector<uint8_t> zeroTable = Jpeg(32, 32);
  for (size_t i = 0; i + 5 < zeroTable.size(); ++i)
    if (zeroTable[i] == 0xFF && zeroTable[i + 1] == 0xDB) {
      zeroTable[i + 5] = 0;
      break;
    }
  ExpectRefused(zeroTable);

  TTempFolder folder;
  auto t = CreateTarnwickObject();
  EXPECT_EQ(t->Load(folder / "missing.jpg", 0), 0);
  folder.Write("empty.jpg", "");
  EXPECT_EQ(t->Load(folder / "empty.jpg", 0), 0);
  EXPECT_EQ(t->HasImage(), 0);
  folder.Write("picture.png", std::string("\x89PNG\r\n\x1A\n", 8) + std::string(100, 'x'));
  EXPECT_EQ(t->Load(folder / "picture.png", 0), 0);
  const std::vector<uint8_t> good = Jpeg(48, 32);
  folder.Write("good.jpg", std::string(good.begin(), good.end()));
  EXPECT_EQ(t->Load(folder / "good.jpg", 0), 1);
  EXPECT_EQ(t->Load(folder / "missing.jpg", 0), 0);  // a failed load lets go of the last one
  EXPECT_EQ(t->HasImage(), 0);
}

TEST(TarnwickLoad, RefusingAFileLetsGoOfThePreviousOne) {
  auto t = CreateTarnwickObject();
  const std::vector<uint8_t> good = Jpeg(32, 32);
  ASSERT_EQ(t->LoadMemory(good.data(), good.size()), 1);
  const std::vector<uint8_t> bad = {1, 2, 3};
  EXPECT_EQ(t->LoadMemory(bad.data(), bad.size()), 0);
  EXPECT_EQ(t->HasImage(), 0);
}

TEST(TarnwickLoad, SizesAndBlocksOfEachSampling) {
  struct Case {
    int h, v, blockW, blockH;
    bool progressive;
  };
  for (const Case c : {Case{2, 2, 16, 16, false}, Case{1, 1, 8, 8, false}, Case{2, 1, 16, 8, true},
                       Case{2, 2, 16, 16, true}}) {
    TJpegOptions options;
    options.LumaH = c.h;
    options.LumaV = c.v;
    options.Progressive = c.progressive;
    const std::vector<uint8_t> bytes = Jpeg(101, 57, options);
    auto t = CreateTarnwickObject();
    ASSERT_EQ(t->LoadMemory(bytes.data(), bytes.size()), 1) << t->LastError();
    EXPECT_EQ(t->Width(), 101);
    EXPECT_EQ(t->Height(), 57);
    EXPECT_EQ(t->BlockWidth(), c.blockW);
    EXPECT_EQ(t->BlockHeight(), c.blockH);
    // Only the headers are read with the file; the coefficients wait for a save or for the call.
    EXPECT_EQ(t->CoefficientBytes(), 0u);
    ASSERT_EQ(t->ReadCoefficients(), 1) << t->LastError();
    EXPECT_GE(t->CoefficientBytes(), size_t(101 * 57) * 2);
    EXPECT_EQ(t->Width(), 101);
  }
}

TEST(TarnwickLoad, ReadPixelsDecodesIntoPaddedRowsWithoutTouchingThePadding) {
  const TPicture source = TPicture::Synthetic(61, 35);
  TJpegOptions options;
  options.Quality = 95;
  const std::vector<uint8_t> bytes = EncodeJpeg(source, options);
  auto t = CreateTarnwickObject();
  ASSERT_EQ(t->LoadMemory(bytes.data(), bytes.size()), 1);
  TPicture out(61, 35);
  const ptrdiff_t stride = out.RowBytes + 16;
  std::vector<uint8_t> rows(size_t(stride) * 35, 0xAB);
  ASSERT_EQ(t->ReadPixels(rows.data(), stride, 0), 1);
  for (int32_t y = 0; y < 35; ++y) {
    std::memcpy(out.Row(y), rows.data() + y * stride, 61 * 3);
    for (ptrdiff_t i = 61 * 3; i < stride; ++i) ASSERT_EQ(rows[size_t(y * stride + i)], 0xAB);
  }
  EXPECT_LE(out.MaxDifference(source), 24);
  EXPECT_LT(out.MeanDifference(source), 2.5);
  EXPECT_TRUE(out.SameBytes(DecodeJpeg(bytes)));
}

TEST(TarnwickLoad, ReadPixelsOnceOnlyAndTheHeldImageStaysWhole) {
  TTempFolder folder;
  const TPicture source = TPicture::Synthetic(48, 32);
  const std::vector<uint8_t> bytes = EncodeJpeg(source, {});
  auto t = CreateTarnwickObject();
  std::vector<uint8_t> rows(size_t(48 * 3) * 32, 0xCD);
  EXPECT_EQ(t->ReadPixels(rows.data(), 48 * 3, 0), 0) << "nothing held";
  EXPECT_FALSE(t->LastError().empty());

  const std::string file = folder / "photo.jpg";
  WriteFile(file, bytes);
  ASSERT_EQ(t->Load(file, 0), 1) << t->LastError();
  t->RotateRight(0);
  EXPECT_EQ(t->ReadPixels(rows.data(), 48 * 3, 0), 0) << "the loaded picture no longer fits";
  EXPECT_EQ(rows, std::vector<uint8_t>(rows.size(), 0xCD));
  t->RotateLeft(0);
  ASSERT_EQ(t->ReadPixels(rows.data(), 48 * 3, 0), 1) << t->LastError();
  const std::vector<uint8_t> decoded = rows;

  // A second decode fails clearly, rows untouched (the file's bytes go once the coefficients are
  // read as well).
  std::fill(rows.begin(), rows.end(), uint8_t(0xCD));
  EXPECT_EQ(t->ReadPixels(rows.data(), 48 * 3, 0), 0);
  EXPECT_NE(t->LastError().find("decoded"), std::string::npos) << t->LastError();
  EXPECT_EQ(rows, std::vector<uint8_t>(rows.size(), 0xCD));
  EXPECT_EQ(t->HasImage(), 1);

  // The coefficients, read by the save from the bytes still held, save the file exactly.
  uint8_t* first = const_cast<uint8_t*>(decoded.data());
  t->SetPixels(&first, 48 * 3, 0, 0);
  t->SetOriginalPixels(decoded.data(), 48 * 3);
  const int32_t parameters[9] = {0, 100, 0, 0, -1, -1, -1, 2, 90};
  ASSERT_EQ(t->Save(folder / "out.jpg", parameters), 1) << t->LastError();
  t->FinishSave();
  const TCoefficients in = ReadCoefficients(bytes), out = ReadCoefficients(ReadFile(folder / "out.jpg"));
  EXPECT_EQ(DifferingBlocks(in, out), 0u);
}

TEST(TarnwickLoad, QualityFiguresFollowTheTables) {
  for (int q : {30, 75, 90, 100}) {
    TJpegOptions options;
    options.Quality = q;
    const std::vector<uint8_t> bytes = Jpeg(24, 24, options);
    auto t = CreateTarnwickObject();
    ASSERT_EQ(t->LoadMemory(bytes.data(), bytes.size()), 1);
    const uint32_t figures = t->QualityFigures();
    // At 100 every entry is 1 from about 98 on; the estimate must then say at least that.
    if (q == 100) {
      EXPECT_GE(int(figures & 0xFFFF), 98);
      EXPECT_GE(int(figures >> 16), 98);
    } else {
      EXPECT_EQ(int(figures & 0xFFFF), q);
      EXPECT_EQ(int(figures >> 16), q);
    }
  }
}

TEST(TarnwickLoad, AFileOfEndlessScansIsRefusedBeforeTheLibraryReadsThem) {
  TJpegOptions progressive;
  progressive.Progressive = true;
  const std::vector<uint8_t> photo = Jpeg(640, 480, progressive);
  // The last scan (a refinement) repeated until the file holds 2000 scans.
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < photo.size(); ++i)
    if (photo[i] == 0xFF && photo[i + 1] == 0xDA) lastScan = i;
  ASSERT_NE(lastScan, 0u);
  std::vector<uint8_t> bomb(photo.begin(), photo.end() - 2);
  const std::vector<uint8_t> scan(photo.begin() + std::ptrdiff_t(lastScan), photo.end() - 2);
  int scans = 0;
  for (size_t i = 0; i + 1 < photo.size(); ++i) scans += photo[i] == 0xFF && photo[i + 1] == 0xDA;
  for (; scans < 2000; ++scans) bomb.insert(bomb.end(), scan.begin(), scan.end());
  bomb.push_back(0xFF);
  bomb.push_back(0xD9);
  auto t = CreateTarnwickObject();
  EXPECT_EQ(t->LoadMemory(bomb.data(), bomb.size()), 0);
  EXPECT_EQ(t->LastError(), "2000 scans, more than a photograph needs");
  EXPECT_EQ(t->LoadMemory(photo.data(), photo.size()), 1) << t->LastError();
}

TEST(TarnwickLoad, DamagedCodedDataIsFoundByTheFirstCallThatReadsIt) {
  TJpegOptions restarts;
  restarts.RestartRows = 1;
  const std::vector<uint8_t> damaged = WithRestartOutOfTurn(Jpeg(200, 120, restarts));
  ASSERT_FALSE(damaged.empty());
  TTempFolder folder;
  const std::string target = folder / "kept.jpg";
  struct Case {
    const char* name;
    int32_t (*act)(ITarnwick&, const std::string&);
    bool lets_go;  // the held file is let go, as a refused load
  };
  const Case cases[] = {
      {"read", [](ITarnwick& t, const std::string&) { return t.ReadCoefficients(); }, true},
      {"exact save", [](ITarnwick& t, const std::string& f) {
         const int32_t p[9] = {0, 100, 0, 0, -1, -1, -1, TarnwickSaveExact, 90};
         return t.Save(f, p);
       }, true},
      {"re-encode", [](ITarnwick& t, const std::string& f) {
         const int32_t p[9] = {0, 100, 0, 0, -1, -1, -1, TarnwickSaveReencode, 90};
         return t.Save(f, p);
       }, true},
      {"save to memory by change", [](ITarnwick& t, const std::string&) {
         const int32_t p[9] = {0, 100, 0, 0, -1, -1, -1, TarnwickSaveByChange, 90};
         std::vector<uint8_t> out;
         const int32_t result = t.SaveMemory(out, p);
         EXPECT_TRUE(out.empty());
         return result;
       }, true},
      {"decode", [](ITarnwick& t, const std::string&) {
         std::vector<uint8_t> rows(size_t(200 * 3) * 120);
         return t.ReadPixels(rows.data(), 200 * 3, 0);
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write("kept.jpg", "the user's earlier file");
    auto t = CreateTarnwickObject();
    ASSERT_EQ(t->LoadMemory(damaged.data(), damaged.size()), 1) << "the headers are sound";
    EXPECT_EQ(t->CoefficientBytes(), 0u);
    std::vector<uint8_t> pixels(size_t(200 * 3) * 120, 0x80);
    uint8_t* first = pixels.data();
    t->SetPixels(&first, 200 * 3, 0, 0);
    EXPECT_EQ(c.act(*t, target), 0);
    EXPECT_NE(t->LastError().find("damaged"), std::string::npos) << t->LastError();
    EXPECT_EQ(t->HasImage(), c.lets_go ? 0 : 1);
    EXPECT_EQ(t->CoefficientBytes(), 0u);
    EXPECT_EQ(ReadFile(target), std::vector<uint8_t>({'t', 'h', 'e', ' ', 'u', 's', 'e', 'r', '\'', 's', ' ', 'e',
                                                      'a', 'r', 'l', 'i', 'e', 'r', ' ', 'f', 'i', 'l', 'e'}));
  }
}
