// Replacing a file: a failed write says why and leaves the old file and no temporary behind;
// temporaries an interrupted save left are cleared by the next save; a file the user may not
// write is not replaced.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "TempFolder.h"
#include "framework/WKAtomicFile.h"
#include "support/OtherUser.h"

namespace {

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void MakeOld(const std::string& path) {
  const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

TEST(AtomicFile, AFullDiskSaysSoAndLeavesTheOldFileAlone) {
  TTempFolder folder;
  folder.Write("photo.png", "old bytes");
  SetAtomicWriteSpaceLimitForTesting(3);
  std::string error;
  const std::string text(1000, 'n');
  EXPECT_FALSE(WriteFileAtomically(folder / "photo.png", text.data(), text.size(), error));
  SetAtomicWriteSpaceLimitForTesting(-1);
  EXPECT_EQ(error, "No space left on device");
  EXPECT_EQ(TTempFolder::Read(folder / "photo.png"), "old bytes");
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"photo.png"});
}

TEST(AtomicFile, TemporariesOfAnInterruptedSaveGoWithTheNextSave) {
  TTempFolder folder;
  folder.Write("photo.png", "old");
  for (const char* name : {".photo.png.Ab12Cd", ".photo.png.Locked", ".photo.png.Recent", ".other.png.Qq11Ww",
                           ".photo.png.ab12cd7", "photo.png.Zz99Yy"}) {
    folder.Write(name, "partial");
    if (std::string(name) != ".photo.png.Recent") MakeOld(folder / name);
  }
  // A save under way in another program holds its temporary locked.
  const int held = ::open((folder / ".photo.png.Locked").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(folder / "photo.png", "new", 3, error)) << error;
  ::close(held);
  EXPECT_EQ(TTempFolder::Read(folder / "photo.png"), "new");
  EXPECT_EQ(Entries(folder.Path()),
            (std::vector<std::string>{".other.png.Qq11Ww", ".photo.png.Locked", ".photo.png.Recent",
                                      ".photo.png.ab12cd7", "photo.png", "photo.png.Zz99Yy"}));
}

TEST(AtomicFile, AFileTheUserMayNotWriteIsNotReplaced) {
  TTempFolder folder;
  folder.Write("locked.png", "keep me");
  ::chmod((folder / "locked.png").c_str(), 0444);
  test_support::HandOver(folder.Path());
  const std::string result = test_support::RunAsWorkingUser([&] {
    std::string error;
    const bool written = WriteFileAtomically(folder / "locked.png", "new", 3, error);
    return (written ? "written: " : "refused: ") + error;
  });
  EXPECT_EQ(result, "refused: Permission denied");
  EXPECT_EQ(TTempFolder::Read(folder / "locked.png"), "keep me");
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"locked.png"});
}
