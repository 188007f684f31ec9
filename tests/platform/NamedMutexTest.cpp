#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/system/NamedMutex.h"

TEST(NamedMutex, IsSeenWhileHeldAndReleasedWithTheObject) {
  const std::string name = "QuillmoorTestMutex" + std::to_string(::getpid());
  EXPECT_FALSE(TNamedMutex::IsHeld(name));
  {
    auto first = TNamedMutex::Create(name);
    ASSERT_NE(first, nullptr);
    auto second = TNamedMutex::Create(name);  // shared: a second holder never waits
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(TNamedMutex::IsHeld(name));
  }
  EXPECT_FALSE(TNamedMutex::IsHeld(name));
  ::unlink(TNamedMutex::PathFor(name).c_str());
}

TEST(NamedMutex, IsReleasedWhenTheHoldingProcessEnds) {
  const std::string name = "QuillmoorTestMutexChild" + std::to_string(::getpid());
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    auto held = TNamedMutex::Create(name);
    char c = held ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  EXPECT_TRUE(TNamedMutex::IsHeld(name));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(TNamedMutex::IsHeld(name));
  ::unlink(TNamedMutex::PathFor(name).c_str());
  ::close(ready[0]);
  ::close(ready[1]);
}

namespace {

// Sets or clears an environment variable for the life of the object.
class TEnvironment {
 public:
  TEnvironment(const char* name, const char* value) : Name_(name) {
    if (const char* old = std::getenv(name)) Old_ = old, Had_ = true;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~TEnvironment() {
    if (Had_) ::setenv(Name_.c_str(), Old_.c_str(), 1);
    else ::unsetenv(Name_.c_str());
  }

 private:
  std::string Name_, Old_;
  bool Had_ = false;
};

std::string MakeTemporaryFolder() {
  char pattern[] = "/tmp/qm-mutex-XXXXXX";
  return ::mkdtemp(pattern);
}

}  // namespace

TEST(NamedMutex, WithoutARuntimeFolderTheLockLiesInAFolderOnlyTheUserCanWrite) {
  const std::string temporary = MakeTemporaryFolder();
  TEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
  TEnvironment tmpdir("TMPDIR", temporary.c_str());
  const std::string folder = temporary + "/quillmoor-" + std::to_string(::geteuid());
  EXPECT_EQ(TNamedMutex::LockFolder(), folder);
  struct stat st {};
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  auto held = TNamedMutex::Create("QuillmoorTestMutexTmp");
  EXPECT_NE(held, nullptr);
  EXPECT_EQ(TNamedMutex::PathFor("QuillmoorTestMutexTmp"), folder + "/QuillmoorTestMutexTmp.lock");
  held.reset();
  std::filesystem::remove_all(temporary);
}

TEST(NamedMutex, ALinkOrAFolderOthersMayWriteIsNeverUsed) {
  const std::string temporary = MakeTemporaryFolder();
  TEnvironment tmpdir("TMPDIR", temporary.c_str());
  // A runtime folder anyone may write is passed over for the user's own folder.
  const std::string shared = temporary + "/shared";
  ::mkdir(shared.c_str(), 0777);
  ::chmod(shared.c_str(), 0777);
  TEnvironment runtime("XDG_RUNTIME_DIR", shared.c_str());
  const std::string own = temporary + "/quillmoor-" + std::to_string(::geteuid());
  EXPECT_EQ(TNamedMutex::LockFolder(), own);
  // A link planted where the lock file goes is not followed: the file it names stays as it was.
  const std::string victim = temporary + "/victim";
  { std::ofstream(victim) << "precious"; }
  ASSERT_EQ(::symlink(victim.c_str(), (own + "/QuillmoorTestMutexLink.lock").c_str()), 0);
  EXPECT_EQ(TNamedMutex::Create("QuillmoorTestMutexLink"), nullptr);
  EXPECT_FALSE(TNamedMutex::IsHeld("QuillmoorTestMutexLink"));
  std::ifstream in(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
  // The user's folder made writable by others is not used at all.
  ::chmod(own.c_str(), 0777);
  EXPECT_EQ(TNamedMutex::LockFolder(), "");
  EXPECT_EQ(TNamedMutex::Create("QuillmoorTestMutexLink"), nullptr);
  std::filesystem::remove_all(temporary);
}
