#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
