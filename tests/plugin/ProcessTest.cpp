#include <gtest/gtest.h>

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
