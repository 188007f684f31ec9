// Scan bombs, headers that claim huge pictures and decompression bombs, through the paths a
// document and the open dialog's preview take: each is refused at once, or opens within the
// memory the machine (here: an assumed amount) has; a preview never decodes a whole picture that
// would not fit its own small budget.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "documents/WKGraphicsCodec.h"
#include "documents/WKGraphicsFormatsMetadata.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/CodecTestSupport.h"
#include "support/HostileFiles.h"

using codec_test::TTempFolder;
using codec_test::WriteAll;

namespace {

constexpr uint64_t kMB = uint64_t{1} << 20;

class TAssumedMemory {
 public:
  explicit TAssumedMemory(uint64_t bytes) { SetAvailableMemoryForTesting(bytes); }
  ~TAssumedMemory() { SetAvailableMemoryForTesting(0); }
};

int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// Runs work in a child process and returns how far its resident memory rose above where it
// started (the child's peak starts at its size when forked); -1 when work failed.
int64_t PeakGrowth(const std::function<bool()>& work) {
  int pipe[2];
  if (::pipe(pipe) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    const int64_t start = ResidentBytes();
    const bool ok = work();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const int64_t growth = ok ? int64_t(usage.ru_maxrss) * 1024 - start : -1;
    (void)!::write(pipe[1], &growth, sizeof growth);
    ::_exit(0);
  }
  int64_t growth = -1;
  ::close(pipe[1]);
  if (::read(pipe[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  ::close(pipe[0]);
  ::waitpid(child, nullptr, 0);
  return growth;
}

class HostileFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Folder = new TTempFolder;
    for (hostile::TFile& file : hostile::MakeAll()) {
      WriteAll(Folder->File(file.Name), file.Bytes);
      Files.push_back({file.Name, file.Class});
    }
  }
  static void TearDownTestSuite() {
    delete Folder;
    Folder = nullptr;
    Files.clear();
  }
  struct TEntry {
    std::string Name, Class;
  };
  static inline TTempFolder* Folder = nullptr;
  static inline std::vector<TEntry> Files;
};

}  // namespace

TEST_F(HostileFiles, AreRefusedBeforeTheirPicturesAreAllocated) {
  // Memory enough for any picture: every refusal here is for the file's own sake.
  TAssumedMemory memory(uint64_t{1} << 40);
  for (const TEntry& file : Files) {
    if (file.Class == "decompression bomb") continue;
    SCOPED_TRACE(file.Name);
    TWKLTBitmap current, original;
    TImageInfo info;
    std::string error;
    const int64_t growth = PeakGrowth([&] {
      return !DecodeImageFile(Folder->File(file.Name), current, original, info, error) && !error.empty();
    });
    EXPECT_GE(growth, 0) << "opened, or refused without a reason";
    EXPECT_LT(growth, int64_t(64 * kMB));
  }
}

TEST_F(HostileFiles, DecompressionBombsOpenOnlyWithinTheMemoryAtHand) {
  // 400 MB: the bombs' pictures (1.2 GB, 1.2 GB and 768 MB, three copies each) do not fit.
  TAssumedMemory memory(400 * kMB);
  for (const TEntry& file : Files) {
    if (file.Class != "decompression bomb") continue;
    SCOPED_TRACE(file.Name);
    TWKLTBitmap current, original;
    TImageInfo info;
    std::string error;
    EXPECT_FALSE(DecodeImageFile(Folder->File(file.Name), current, original, info, error));
    EXPECT_NE(error.find("pixels would need"), std::string::npos) << error;
    EXPECT_TRUE(current.Empty());
  }
  // The same kind of file, small enough, opens.
  WriteAll(Folder->File("zeros-small.png"), hostile::ZeroPng(3000, 2000, true));
  WriteAll(Folder->File("zeros-small.jpg"), hostile::ProgressiveGreyJpeg(3000, 2000, 2));
  for (const char* name : {"zeros-small.png", "zeros-small.jpg"}) {
    TWKLTBitmap current, original;
    TImageInfo info;
    std::string error;
    EXPECT_TRUE(DecodeImageFile(Folder->File(name), current, original, info, error)) << name << ": " << error;
    EXPECT_EQ(current.Width(), 3000);
  }
}

TEST_F(HostileFiles, PreviewsNeverTakeMoreThanTheirBudget) {
  for (const TEntry& file : Files) {
    SCOPED_TRACE(file.Name);
    std::unique_ptr<TWKThumbnail> thumbnail;
    const int64_t growth = PeakGrowth([&] {
      MakeGraphicsThumbnail(Folder->File(file.Name), 200, 150, thumbnail);
      return true;
    });
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, int64_t(300 * kMB));
  }
  // A picture of 1.2 GB whose rows come one after another is reduced as they come.
  std::unique_ptr<TWKThumbnail> thumbnail;
  const int64_t growth = PeakGrowth([&] {
    return MakeGraphicsThumbnail(Folder->File("zeros-20000x20000.png"), 200, 150, thumbnail);
  });
  EXPECT_GE(growth, 0) << "no preview";
  EXPECT_LT(growth, int64_t(64 * kMB));
}
