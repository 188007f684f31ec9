#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/WKAtomicFile.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

std::vector<uint8_t> Bytes(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
  return v;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

}  // namespace

namespace {

bool Replace(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  return WriteFileAtomically(path, bytes.data(), bytes.size(), error);
}

}  // namespace

TEST(AtomicSave, CreatesAndReplacesKeepingPermissions) {
  TTempFolder folder;
  std::string path = folder.File("photo.png");
  std::string error;
  ASSERT_TRUE(Replace(path, Bytes(1000, 1), error)) << error;
  EXPECT_EQ(ReadAll(path), Bytes(1000, 1));
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(Replace(path, Bytes(10, 2), error)) << error;
  EXPECT_EQ(ReadAll(path), Bytes(10, 2));
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(folder.EntryCount(), 1u);
}

// The space seam stops the write after some bytes with ENOSPC, as a full disk does.
TEST(AtomicSave, WriteStoppedMidwayLeavesTheOldFile) {
  TTempFolder folder;
  std::string path = folder.File("photo.jpg");
  WriteAll(path, Bytes(500, 3));
  TPicture picture = TPicture::Synthetic(64, 64);
  SetAtomicWriteSpaceLimitForTesting(100);
  TCodecError err;
  EXPECT_FALSE(TStillImageCodec::SaveToFile("image/bmp", picture.ConstRows(), {}, path, err));
  EXPECT_EQ(err.Status, TCodecStatus::FileError);
  EXPECT_NE(err.Message.find("No space"), std::string::npos) << err.Message;
  EXPECT_EQ(ReadAll(path), Bytes(500, 3));
  EXPECT_EQ(folder.EntryCount(), 1u);
  // The seam holds for one write only.
  EXPECT_TRUE(TStillImageCodec::SaveToFile("image/bmp", picture.ConstRows(), {}, path, err)) << err.Message;
}

TEST(AtomicSave, SymbolicLinkKeepsPointingAtTheReplacedFile) {
  TTempFolder folder;
  std::string real = folder.File("real.tif"), link = folder.File("link.tif");
  WriteAll(real, Bytes(20, 4));
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  std::string error;
  ASSERT_TRUE(Replace(link, Bytes(30, 5), error)) << error;
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadAll(real), Bytes(30, 5));
}

// A disk that fills up midway: the file-size limit makes the kernel refuse the write even for
// root. The save runs in a child so the limit stays there.
TEST(AtomicSave, FullDiskMidwayLeavesTheOldFileByteIdentical) {
  TTempFolder folder;
  std::string path = folder.File("photo.png");
  std::vector<uint8_t> old = Bytes(3000, 6);
  WriteAll(path, old);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    TPicture picture = TPicture::Synthetic(400, 300);
    TCodecError err;
    bool saved = TStillImageCodec::SaveToFile("image/bmp", picture.ConstRows(), {}, path, err);
    _exit(saved ? 1 : (err.Status == TCodecStatus::FileError && !err.Message.empty() ? 0 : 2));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must fail with a file error";
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(folder.EntryCount(), 1u) << "the temporary file must be removed";
}

TEST(AtomicSave, UnwritableFolderAndFailedEncodeLeaveTheOldFile) {
  TTempFolder folder;
  std::string path = folder.File("photo.jpg");
  std::vector<uint8_t> old = Bytes(800, 7);
  WriteAll(path, old);
  TPicture picture = TPicture::Synthetic(16, 16);
  TCodecError err;
  TEncodeOptions bad;
  bad.Quality = 150;
  EXPECT_FALSE(TStillImageCodec::SaveToFile("image/jpeg", picture.ConstRows(), bad, path, err));
  EXPECT_FALSE(TStillImageCodec::SaveToFile("image/x-none", picture.ConstRows(), {}, path, err));
  EXPECT_FALSE(TStillImageCodec::SaveToFile("image/png", TConstPixelRows{}, {}, path, err));
  EXPECT_EQ(ReadAll(path), old);

  EXPECT_FALSE(TStillImageCodec::SaveToFile("image/png", picture.ConstRows(), {}, folder.File("no/such/dir.png"), err));
  EXPECT_EQ(err.Status, TCodecStatus::FileError);
  if (geteuid() != 0) {  // root writes into read-only folders anyway
    chmod(folder.Path().c_str(), 0555);
    EXPECT_FALSE(TStillImageCodec::SaveToFile("image/png", picture.ConstRows(), {}, path, err));
    chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(ReadAll(path), old);
  }
  EXPECT_EQ(folder.EntryCount(), 1u);
}
