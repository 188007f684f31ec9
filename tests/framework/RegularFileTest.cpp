// Files the program reads as data are opened only when they are regular files, without ever
// waiting on a named pipe.
#include <gtest/gtest.h>

#include <cerrno>

#include "TempFolder.h"
#include "framework/WKLanguageFile.h"
#include "framework/WKRegularFile.h"
#include "framework/WKStreams.h"
#include "support/Fifo.h"

using test_support::MakeFifo;
using test_support::ReturnsWithoutAWriter;

TEST(RegularFile, PipesFoldersAndMissingFilesAreRefusedAtOnce) {
  TTempFolder folder;
  ASSERT_TRUE(MakeFifo(folder / "pipe"));
  folder.Write("sub/file", "x");
  const struct {
    std::string Name;
    bool NotRegular;
    int Errno;
  } cases[] = {{folder / "pipe", true, 0}, {folder / "sub", true, 0}, {folder / "missing", false, ENOENT}};
  for (const auto& c : cases) {
    TWKFileFailure failure;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReturnsWithoutAWriter(folder / "pipe", [&] { EXPECT_FALSE(ReadRegularFile(c.Name, bytes, failure)); }))
        << c.Name;
    EXPECT_EQ(failure.NotRegular, c.NotRegular) << c.Name;
    EXPECT_EQ(failure.Errno, c.Errno) << c.Name;
  }
  EXPECT_EQ(TWKFileFailure{.NotRegular = true}.Text(), "not a regular file");
  EXPECT_EQ(TWKFileFailure{.Errno = ENOENT}.Text(), "No such file or directory");
}

TEST(RegularFile, ReadsWholeFilesWithinTheirLimit) {
  TTempFolder folder;
  folder.Write("ten", "0123456789");
  std::string bytes;
  TWKFileFailure failure;
  EXPECT_TRUE(ReadRegularFile(folder / "ten", bytes, failure, 10));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_FALSE(ReadRegularFile(folder / "ten", bytes, failure, 9));
  EXPECT_TRUE(failure.TooLarge);
  EXPECT_TRUE(bytes.empty());
}

TEST(RegularFile, LanguageFilesAndSettingsStreamsDoNotWaitOnAPipe) {
  TTempFolder folder;
  ASSERT_TRUE(MakeFifo(folder / "English.ini"));
  EXPECT_TRUE(ReturnsWithoutAWriter(folder / "English.ini", [&] {
    TWKLanguageFile file;
    TWKFileFailure failure;
    EXPECT_FALSE(file.LoadFromFile(folder / "English.ini", &failure));
    EXPECT_TRUE(failure.NotRegular);
  }));
  EXPECT_TRUE(ReturnsWithoutAWriter(folder / "English.ini", [&] {
    std::string bytes;
    EXPECT_FALSE(TWKLanguageFile::ReadTextFile(folder / "English.ini", bytes));
  }));
  EXPECT_TRUE(ReturnsWithoutAWriter(folder / "English.ini", [&] {
    TWKFileStream stream(folder / "English.ini", TWKFileStream::TMode::Read);
    EXPECT_FALSE(stream.IsOpen());
  }));
}
