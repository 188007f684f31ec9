// Every demonstration the program ships, played in the program's own composition on the
// offscreen desktop, in English and in German: it plays to its end with no error message, its
// texts exist in the language, and the image it ends with differs from the photo it opened
// where its tool works and nowhere else. A script says where that is in its "Info" section:
//   Changes=<left> <top> <right> <bottom>[; ...]   rectangles that change, nothing outside
//   Changes=All                                    the whole picture may change
//   ResultSize=<width>x<height>                    a geometry tool: the picture gets this size
// Without them, the places the script points at on the image, grown by Reach (default 24)
// pixels, are where it may change. Adding a demonstration needs no change here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include <QImage>

#include "ProgramFixture.h"
#include "demo/WKDemoScript.h"
#include "platform/codec/StillImageCodec.h"
#include "support/QtTestApplication.h"

namespace fs = std::filesystem;

namespace {

constexpr int kClockSpeed = 8;
constexpr int kTimeoutMs = 120000;

std::string SourceDemoFolder() {
  const char* data = std::getenv("QM_DATA");
  return std::string(data != nullptr ? data : "data") + "/Demo";
}

std::vector<std::string> ShippedScripts() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(SourceDemoFolder(), error))
    if (entry.path().extension() == ".dsc") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct TPicture {
  int32_t Width = 0, Height = 0;
  std::vector<uint8_t> Bits;  // B, G, R rows without padding
  const uint8_t* At(int32_t x, int32_t y) const { return Bits.data() + (static_cast<size_t>(y) * Width + x) * 3; }
};

TPicture Decode(const std::string& file) {
  TPicture picture;
  TCodecError error;
  std::unique_ptr<TImageDecoder> decoder = TStillImageCodec::OpenFile(file, error);
  if (decoder == nullptr) return picture;
  picture.Width = decoder->Info().Width;
  picture.Height = decoder->Info().Height;
  const ptrdiff_t rowBytes = (picture.Width * 3 + 3) & ~3;
  std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) * picture.Height);
  if (!decoder->ReadPixels({rows.data(), rowBytes, picture.Width, picture.Height}, error)) return {};
  for (int32_t y = 0; y < picture.Height; ++y)
    picture.Bits.insert(picture.Bits.end(), rows.begin() + y * rowBytes, rows.begin() + y * rowBytes + picture.Width * 3);
  return picture;
}

TPicture Current(TWKGraphicsDocument& document) {
  TPicture picture;
  const TWKBitmapStorage& rows = document.CurrentImage.Storage();
  picture.Width = rows.Width;
  picture.Height = rows.Height;
  for (int32_t y = 0; y < rows.Height; ++y) {
    const uint8_t* row = rows.Bits + static_cast<ptrdiff_t>(y) * rows.RowBytes;
    picture.Bits.insert(picture.Bits.end(), row, row + rows.Width * 3);
  }
  return picture;
}

// Where the script's tool may change the picture.
struct TExpectation {
  bool Anywhere = false;
  TSize ResultSize;
  std::vector<TRect> Regions;
};

TExpectation Expectation(const TWKDemoScript& script) {
  TExpectation e;
  const std::string size = script.InfoValue("ResultSize");
  if (!size.empty()) {
    std::sscanf(size.c_str(), "%dx%d", &e.ResultSize.Width, &e.ResultSize.Height);
    return e;
  }
  const std::string changes = script.InfoValue("Changes");
  if (DemoName(changes) == "ALL") {
    e.Anywhere = true;
    return e;
  }
  std::stringstream list(changes);
  for (std::string item; std::getline(list, item, ';');) {
    TRect r;
    if (std::sscanf(item.c_str(), "%d %d %d %d", &r.Left, &r.Top, &r.Right, &r.Bottom) == 4) e.Regions.push_back(r);
  }
  if (!e.Regions.empty()) return e;
  // The points the script aims at: "Image, x, y" and the points of #TOIMAGE and #START.
  const std::string reachText = script.InfoValue("Reach");
  const int32_t reach = reachText.empty() ? 24 : std::atoi(reachText.c_str());
  const std::regex image(R"(Image\s*,\s*(-?\d+)\s*,\s*(-?\d+))", std::regex::icase);
  const std::regex directive(R"(^\s*#(TOIMAGE|START)\s+(-?\d+)\s*,\s*(-?\d+))", std::regex::icase);
  for (const std::string& line : script.ScriptLines()) {
    std::smatch m;
    TPoint p;
    if (std::regex_search(line, m, directive))
      p = {std::stoi(m[2]), std::stoi(m[3])};
    else if (std::regex_search(line, m, image))
      p = {std::stoi(m[1]), std::stoi(m[2])};
    else
      continue;
    e.Regions.push_back(Rect(p.X - reach, p.Y - reach, p.X + reach + 1, p.Y + reach + 1));
  }
  return e;
}

// The "%key" texts the script's messages refer to.
std::vector<std::string> TextKeys(const TWKDemoScript& script) {
  std::vector<std::string> keys;
  const std::regex reference(R"((^|[\s,"'])%([A-Za-z0-9_]+))");
  for (const std::string& line : script.ScriptLines())
    for (std::sregex_iterator it(line.begin(), line.end(), reference), end; it != end; ++it)
      keys.push_back((*it)[2]);
  return keys;
}

class DemoScriptsTest : public ::testing::TestWithParam<std::tuple<std::string, uint16_t>> {};

}  // namespace

TEST(DemoScripts, TheProgramShipsDemonstrationsAndTheBuildCopiesThem) {
  const std::vector<std::string> scripts = ShippedScripts();
  EXPECT_FALSE(scripts.empty());
  for (const std::string& name : scripts)
    EXPECT_TRUE(fs::exists(TProgram::DataFolder("Demo") + name)) << name << " is not beside the program";
}

TEST_P(DemoScriptsTest, PlaysToItsEndAndChangesThePictureWhereItsToolWorks) {
  const auto& [name, language] = GetParam();
  TProgram program(kClockSpeed, language);
  program.Start();
  ASSERT_EQ(CurrentLanguageId(), language);

  TWKDemoScript script;
  ASSERT_TRUE(script.LoadFromFile(program.Demo->DemoFolder + name));
  EXPECT_TRUE(script.Utf8) << "a shipped script is UTF-8 with the byte order mark";
  const std::string section = std::to_string(language);
  int32_t index = -1;
  ASSERT_TRUE(script.FindSection(section, index)) << "no texts in " << section;
  EXPECT_FALSE(DemoKeyValue(script.SectionLines(index), "Title").empty());
  for (const std::string& key : TextKeys(script))
    EXPECT_FALSE(DemoKeyValue(script.SectionLines(index), key).empty()) << "%" << key << " has no text in " << section;

  const std::string title = script.Title();
  ASSERT_TRUE(program.Demo->PlayScript(script, false));
  EXPECT_EQ(program.App.GetTitle(), "Quillmoor - " + title);
  const bool ended = RunUntil([&] { return !program.Demo->Playback().IsPlaying(); }, kTimeoutMs);
  if (!ended) program.Demo->Playback().RequestStop();
  ASSERT_TRUE(ended) << "still playing line " << program.Demo->Playback().LineIndex();

  for (const TShownMessage& m : program.ErrorMessages()) {
    ADD_FAILURE() << m.Text;
  }
  ASSERT_FALSE(program.Messages.empty());
  EXPECT_EQ(program.Messages.back().Text, LanguageString(TWKDemonstrationModule::kFinishedText));
  EXPECT_EQ(program.App.GetTitle(), "Quillmoor");
  EXPECT_FALSE(program.Balloons.empty());
  for (const std::string& text : program.Balloons) EXPECT_FALSE(text.empty());

  TWKGraphicsDocument* document = program.Document();
  ASSERT_NE(document, nullptr) << "the demonstration opened no photo";
  const TPicture start = Decode(document->FileName);
  ASSERT_GT(start.Width, 0) << document->FileName;
  const TPicture result = Current(*document);
  // With QM_DEMO_RESULTS naming a folder, the picture each demonstration ends with is kept there.
  if (const char* folder = std::getenv("QM_DEMO_RESULTS"))
    QImage(result.Bits.data(), result.Width, result.Height, result.Width * 3, QImage::Format_BGR888)
        .save(QString::fromStdString(std::string(folder) + "/" + fs::path(name).stem().string() + ".png"));
  const TExpectation expected = Expectation(script);
  if (expected.ResultSize.Width > 0) {
    EXPECT_EQ(result.Width, expected.ResultSize.Width);
    EXPECT_EQ(result.Height, expected.ResultSize.Height);
    if (result.Width == start.Width && result.Height == start.Height) {
      EXPECT_NE(result.Bits, start.Bits);
    }
    return;
  }
  ASSERT_EQ(result.Width, start.Width);
  ASSERT_EQ(result.Height, start.Height);
  if (expected.Anywhere) {
    EXPECT_NE(result.Bits, start.Bits);
    return;
  }
  ASSERT_FALSE(expected.Regions.empty()) << "the script names no place on the image";
  std::vector<int> changedIn(expected.Regions.size(), 0);
  int outside = 0;
  TPoint firstOutside;
  for (int32_t y = 0; y < start.Height; ++y)
    for (int32_t x = 0; x < start.Width; ++x) {
      if (std::equal(start.At(x, y), start.At(x, y) + 3, result.At(x, y))) continue;
      bool inside = false;
      for (size_t i = 0; i < expected.Regions.size(); ++i)
        if (expected.Regions[i].Contains({x, y})) {
          ++changedIn[i];
          inside = true;
        }
      if (!inside && outside++ == 0) firstOutside = {x, y};
    }
  EXPECT_EQ(outside, 0) << "changed outside the tool's places, first at " << firstOutside.X << "," << firstOutside.Y;
  for (size_t i = 0; i < expected.Regions.size(); ++i)
    EXPECT_GT(changedIn[i], 0) << "nothing changed in region " << i;
}

INSTANTIATE_TEST_SUITE_P(Shipped, DemoScriptsTest,
                         ::testing::Combine(::testing::ValuesIn(ShippedScripts()), ::testing::Values(uint16_t{1033}, uint16_t{1031})),
                         [](const ::testing::TestParamInfo<DemoScriptsTest::ParamType>& param) {
                           std::string name = fs::path(std::get<0>(param.param)).stem().string();
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name + (std::get<1>(param.param) == 1031 ? "_German" : "_English");
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DemoScriptsTest);
