#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "HelpFakes.h"
#include "help/WKInetUpdater.h"
#include "help/WKVersion.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(Versions, CompareNumbersPartByPart) {
  struct {
    const char *A, *B;
    int Order;
  } cases[] = {
      {"1.2.4", "1.2.10", -1},  // as numbers, not as text
      {"1.2.10", "1.2.4", 1},
      {"1.2", "1.2.0", 0},
      {"1.02", "1.2", 0},
      {"2", "10", -1},
      {"0.1.0", "0.1.0", 0},
      {"1.2.4", "1.2.4b", -1},
      {"1.2.4b", "1.2.4c", -1},
      {"1.99999999999999999999", "1.100000000000000000000", -1},
      {"", "0", 0},
      {"1..2", "1.0.2", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(CompareVersions(c.A, c.B)), c.Order) << c.A << " vs " << c.B;
    EXPECT_EQ(Sign(CompareVersions(c.B, c.A)), -c.Order) << c.B << " vs " << c.A;
  }
  EXPECT_TRUE(IsNewerVersion("1.2.4", "1.2.10"));
  EXPECT_TRUE(IsNewerVersion("0.1.0", "0.1.1"));
  EXPECT_FALSE(IsNewerVersion("0.1.0", "0.1.0"));
  EXPECT_FALSE(IsNewerVersion("0.1.0", "0.0.9"));
  EXPECT_FALSE(IsNewerVersion("0.1.0", ""));  // nothing downloaded
}

TEST(UpdateFile, RequestCarriesTheLocalTime) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 2;
  EXPECT_EQ(UpdateRequestUrl("http://h.example/update.ini", t), "http://h.example/update.ini?07032024090502");
  EXPECT_EQ(UpdateRequestUrl("http://h.example/u?p=1", t), "http://h.example/u?p=1&07032024090502");
}

TEST(UpdateFile, FirstSectionInOrderWithAVersionWins) {
  const std::vector<std::string> sections = {"Quillmoor-English", "Quillmoor"};
  EXPECT_EQ(ReadUpdateVersion("[Quillmoor]\nVersion=1.0\n[Quillmoor-English]\nVersion=1.1\n", sections), "1.1");
  EXPECT_EQ(ReadUpdateVersion("[Other]\nVersion=9\n[QUILLMOOR]\nversion =   2.0.1  \n", sections), "2.0.1");
  EXPECT_EQ(ReadUpdateVersion("[Quillmoor-English]\nDate=today\n[Quillmoor]\nVersion=3\n", sections), "3");
  EXPECT_EQ(ReadUpdateVersion("[Quillmoor-German]\nVersion=4\n", sections), "");
  EXPECT_EQ(ReadUpdateVersion("<html><body>Not found</body></html>", sections), "");
  EXPECT_EQ(ReadUpdateVersion(std::string("\0\xff[Quillmoor\n", 13), sections), "");
}

class UpdaterTest : public ::testing::Test {
 protected:
  bool TempIsEmpty() const { return Temp.IsEmpty(); }
  TTemporaryFolderInUse Temp;
};

TEST_F(UpdaterTest, ReadsTheVersionFromATemporaryFileAndRemovesIt) {
  TFakeDownloader downloader;
  downloader.Answer = "[Quillmoor]\nVersion = 0.2.0\n";
  TWKInetUpdater updater("http://u.example/update.ini", {"Quillmoor-English", "Quillmoor"}, downloader);
  EXPECT_EQ(updater.Version, "0.2.0");
  EXPECT_TRUE(downloader.FileExisted);
  EXPECT_EQ(std::filesystem::path(downloader.FileName).parent_path(), Temp.Path);
  EXPECT_EQ(std::filesystem::path(downloader.FileName).filename().string().rfind('~', 0), 0u);
  EXPECT_EQ(downloader.Url.rfind("http://u.example/update.ini?", 0), 0u);
  EXPECT_EQ(downloader.Url.size(), std::string("http://u.example/update.ini?").size() + 14);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdaterTest, AFailedDownloadFindsNothingAndLeavesNoFile) {
  TFakeDownloader downloader;
  downloader.Answer = "[Quillmoor]\nVersion=9.9\n";  // written, but the download reports failure
  downloader.Succeeds = false;
  TWKInetUpdater updater("http://u.example/update.ini", {"Quillmoor"}, downloader);
  EXPECT_EQ(updater.Version, "");
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdaterTest, NoTemporaryFolderMeansNoDownload) {
  ::setenv("TMPDIR", (Temp.Path + "/missing").c_str(), 1);
  TFakeDownloader downloader;
  TWKInetUpdater updater("http://u.example/update.ini", {"Quillmoor"}, downloader);
  EXPECT_EQ(updater.Version, "");
  EXPECT_TRUE(downloader.Url.empty());
}

}  // namespace
