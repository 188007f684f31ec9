// Opens and saves that fail say so: the message names the file and gives the reason on a second
// line, a failed save leaves the document modified and no file behind, and a file the user may
// not write is not replaced but another name is asked for.
#include <sys/stat.h>

#include <fstream>

#include "GraphicsEditorFixture.h"
#include "documents/WKLoadProgress.h"
#include "framework/WKAtomicFile.h"
#include "support/Fifo.h"
#include "support/HostileFiles.h"
#include "support/OtherUser.h"

using ::testing::_;
using ::testing::Invoke;

namespace {

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class OpenSaveFailureTest : public GraphicsEditorTest {
 protected:
  OpenSaveFailureTest() {
    ON_CALL(*Messages, MessageBox(_, _, _)).WillByDefault(Invoke([this](const std::string& text, const std::string&, int flags) {
      Shown += text + "|";
      return (flags & MB_BUTTONMASK) == MB_YESNO ? IDYES : IDOK;
    }));
  }

  // An opened photo with one changed pixel, not yet saved.
  TWKGraphicsDocument* ChangedPhoto() {
    TWKGraphicsDocument* doc = Open(MakeImage("photo.png", 8, 6));
    if (doc == nullptr) return nullptr;
    Tool = new TLoggingTool(&App, "T", Log);  // owned by App
    Change(*doc);
    return doc;
  }
  void Change(TWKGraphicsDocument& doc) {
    Tool->Paint(doc, Rect(0, 0, 1, 1), {7, 8, uint8_t(++Changes)});
    doc.EndEditTransaction(&doc);
  }

  TLoggingTool* Tool = nullptr;
  int Changes = 0;
  std::string Shown;  // every message, each ended by "|"
  static constexpr int32_t kPngFilter = 3;
};

}  // namespace

TEST_F(OpenSaveFailureTest, ARefusedOpenGivesTheDecodersReasonOnASecondLine) {
  std::vector<uint8_t> cut = hostile::BaselineGreyJpeg(64, 48);
  cut.resize(cut.size() - 2);
  WriteBytes(Folder / "cut.jpg", cut);
  WriteBytes(Folder / "huge.jpg", hostile::BaselineGreyJpeg(65535, 6200, 0.01));
  ASSERT_TRUE(test_support::MakeFifo((Folder / "pipe.jpg").string()));
  const struct {
    const char* Name;
    std::string Reason;
  } cases[] = {
      {"cut.jpg", "truncated at byte " + std::to_string(cut.size())},
      {"huge.jpg", "65535 × 6200 pixels are more than can be opened"},
      {"pipe.jpg", "not a regular file"},
      {"missing.jpg", "No such file or directory"},
  };
  for (const auto& c : cases) {
    Shown.clear();
    const std::string path = (Folder / c.Name).string();
    EXPECT_TRUE(test_support::ReturnsWithoutAWriter((Folder / "pipe.jpg").string(), [&] { EXPECT_EQ(Open(path), nullptr); }))
        << c.Name;
    EXPECT_EQ(Shown, "The file " + path + " cannot be opened.\n" + c.Reason + "|");
  }
  EXPECT_EQ(Editor->DocumentCount(), 0);
}

TEST_F(OpenSaveFailureTest, ASaveOntoAFullDiskSaysSoAndTheDocumentStaysModified) {
  TWKGraphicsDocument* doc = ChangedPhoto();
  ASSERT_NE(doc, nullptr);
  const std::string before = FileText(Folder / "photo.png");
  Dialogs.SaveName = (Folder / "photo.png").string();
  Dialogs.SaveFilter = kPngFilter;
  SetAtomicWriteSpaceLimitForTesting(10);
  Editor->SaveAsClick();
  SetAtomicWriteSpaceLimitForTesting(-1);
  EXPECT_EQ(Shown, "The file " + Dialogs.SaveName + " already exists. Do you want to replace it?|The file " + Dialogs.SaveName +
                       " cannot be saved.\nNo space left on device|");
  EXPECT_FALSE(doc->Saved());
  EXPECT_EQ(FileText(Folder / "photo.png"), before);
  EXPECT_EQ(Entries(Folder), std::vector<std::string>{"photo.png"});
}

// Root may write any file: the saves run as an ordinary user, who reports what was shown.
TEST_F(OpenSaveFailureTest, AFileOrFolderTheUserMayNotWriteIsNeitherReplacedNorWrittenSilently) {
  TWKGraphicsDocument* doc = ChangedPhoto();
  ASSERT_NE(doc, nullptr);
  std::filesystem::create_directories(Folder / "shut");
  std::ofstream(Folder / "locked.png") << "keep me";
  ::chmod((Folder / "locked.png").c_str(), 0444);
  test_support::HandOver(Folder.string());
  ::chmod((Folder / "shut").c_str(), 0555);
  const std::string locked = (Folder / "locked.png").string(), other = (Folder / "other.png").string(),
                    shut = (Folder / "shut" / "new.png").string();
  const std::string shown = test_support::RunAsWorkingUser([&] {
    // The write-protected file: the dialog comes again, and the second name is saved.
    Dialogs.SaveName = locked;
    Dialogs.SaveFilter = kPngFilter;
    Dialogs.LaterSaveNames = {other};
    Editor->SaveAsClick();
    const std::string first = Shown + (doc->Saved() ? "saved" : "modified") + "|";
    Shown.clear();
    Change(*doc);
    Dialogs.SaveName = shut;
    Editor->SaveAsClick();
    return first + Shown + (doc->Saved() ? "saved" : "modified");
  });
  EXPECT_EQ(shown, "The file " + locked + " is write-protected. Please choose another name.|saved|The file " + shut +
                       " cannot be saved.\nPermission denied|modified");
  EXPECT_EQ(FileText(locked), "keep me");
  EXPECT_EQ(Entries(Folder), (std::vector<std::string>{"locked.png", "other.png", "photo.png", "shut"}));
  EXPECT_TRUE(Entries(Folder / "shut").empty());
}

TEST_F(OpenSaveFailureTest, ALongOpenShowsItsProgressAndCanBeCalledOff) {
  WriteBytes(Folder / "large.png", hostile::ZeroPng(4096, 4096, true));  // 48 MB of rows
  WriteBytes(Folder / "small.png", hostile::ZeroPng(64, 64, true));
  std::vector<std::string> events;
  double last = 0;
  bool callOff = true;
  TWKLoadProgress::SetHooks({
      .Begin = [&](const std::string& fileName) { events.push_back("begin " + std::filesystem::path(fileName).filename().string()); },
      .Update =
          [&](double done) {
            EXPECT_GE(done, last);
            last = done;
            return !(callOff && done > 0.5);
          },
      .End = [&] { events.push_back("end"); },
  });
  // Called off half-way: no document and no message.
  EXPECT_EQ(Open((Folder / "large.png").string()), nullptr);
  EXPECT_EQ(Shown, "");
  EXPECT_EQ(events, (std::vector<std::string>{"begin large.png", "end"}));
  EXPECT_EQ(Editor->DocumentCount(), 0);
  // Left to run, it opens; a small picture shows nothing.
  callOff = false;
  last = 0;
  events.clear();
  EXPECT_NE(Open((Folder / "small.png").string()), nullptr);
  EXPECT_TRUE(events.empty());
  EXPECT_NE(Open((Folder / "large.png").string()), nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"begin large.png", "end"}));
  EXPECT_GT(last, 0.9);
  TWKLoadProgress::SetHooks({});
}
