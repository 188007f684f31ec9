#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "TestSupport.h"
#include "platform/system/Process.h"

TEST(Process, ExitCodesAsTheParentSeesThem) {
  struct TCase {
    const char* exit;
    int expected;
  } cases[] = {{"0", 0}, {"7", 7}, {"-1", 255}};
  for (const TCase& c : cases) {
    TScopedEnv e("QM_EDITOR_EXIT", std::string(c.exit));
    int error = -1;
    auto process = TProcess::Start(QM_TEST_EDITOR, {"/nonexistent"}, "", error);
    ASSERT_NE(nullptr, process);
    EXPECT_EQ(0, error);
    int passes = 0;
    EXPECT_EQ(c.expected, process->Wait([&] { ++passes; }, 1)) << c.exit;
    EXPECT_EQ(c.expected, process->ExitCode());
    EXPECT_FALSE(process->Running());
  }
  int error = 0;
  auto killed = TProcess::Start("/bin/sh", {"-c", "kill -9 $$"}, "", error);
  ASSERT_NE(nullptr, killed);
  EXPECT_EQ(128 + 9, killed->Wait());
}

TEST(Process, WorkingDirectoryArgumentsAndStartFailures) {
  TTempFolder folder;
  TScopedEnv record("QM_EDITOR_RECORD", folder.Path + "/record");
  int error = 0;
  auto process = TProcess::Start(QM_TEST_EDITOR, {"a file \"quoted\" with blanks"}, folder.Path, error);
  ASSERT_NE(nullptr, process);
  process->Wait();
  EXPECT_EQ("1\na file \"quoted\" with blanks\n" + folder.Path + "\n", ReadTextFile(folder.Path + "/record"));

  EXPECT_EQ(nullptr, TProcess::Start("/nonexistent/program", {}, "", error));
  EXPECT_EQ(ENOENT, error);
  EXPECT_EQ(nullptr, TProcess::Start(QM_TEST_EDITOR, {}, folder.Path + "/missing", error));
  EXPECT_NE(0, error);
}

TEST(Process, ChildGetsNeitherTheCallersSignalMaskNorItsDescriptors) {
  sigset_t term, old;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  ASSERT_EQ(0, ::pthread_sigmask(SIG_BLOCK, &term, &old));
  int error = 0;
  auto process = TProcess::Start("/bin/sh", {"-c", "kill -TERM $$; exit 0"}, "", error);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  ASSERT_NE(nullptr, process);
  EXPECT_EQ(128 + SIGTERM, process->Wait());

  const int fd = ::open("/dev/null", O_RDONLY);  // inheritable
  ASSERT_GE(fd, 3);
  const std::string probe = "test -e /proc/self/fd/" + std::to_string(fd);
  auto child = TProcess::Start("/bin/sh", {"-c", probe}, "", error);
  ::close(fd);
  ASSERT_NE(nullptr, child);
  EXPECT_EQ(1, child->Wait());
}
