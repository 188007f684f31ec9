#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "platform/system/Registry.h"

namespace {

const char* kKey = "SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor";

class RegistryTest : public ::testing::Test {
 protected:
  TTempFolder User, SystemA, SystemB;
  TScopedEnv Home{"XDG_CONFIG_HOME", User.Path};
  TScopedEnv Dirs{"XDG_CONFIG_DIRS", SystemA.Path + ":relative:" + SystemB.Path};
};

}  // namespace

TEST_F(RegistryTest, LocalMachineLooksInTheUserFolderThenTheSystemFoldersInOrder) {
  EXPECT_FALSE(TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey));
  ASSERT_TRUE(TRegistry::WriteString(SystemB.Path, kKey, "", "/b/quillmoor"));
  EXPECT_EQ("/b/quillmoor", TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey).value_or("?"));
  EXPECT_FALSE(TRegistry::ReadString(TRegistryRoot::CurrentUser, kKey));
  ASSERT_TRUE(TRegistry::WriteString(SystemA.Path, kKey, "", "/a/quillmoor"));
  EXPECT_EQ("/a/quillmoor", TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey).value_or("?"));
  ASSERT_TRUE(TRegistry::WriteString(User.Path, kKey, "", "/u/quillmoor"));
  EXPECT_EQ("/u/quillmoor", TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey).value_or("?"));
  EXPECT_EQ("/u/quillmoor", TRegistry::ReadString(TRegistryRoot::CurrentUser, kKey).value_or("?"));
  EXPECT_EQ(SystemA.Path + "/Quillmoor/registry.conf", TRegistry::FileIn(SystemA.Path));
}

TEST_F(RegistryTest, KeysAndNamesIgnoreCaseAndWritesKeepTheRest) {
  const std::string file = TRegistry::FileIn(User.Path);
  ASSERT_TRUE(TRegistry::WriteString(User.Path, "Control Panel\\International", "iMeasure", "1"));
  ASSERT_TRUE(TRegistry::WriteString(User.Path, kKey, "", "/old"));
  ASSERT_TRUE(TRegistry::WriteString(User.Path, kKey, "Other", "x=y"));
  ASSERT_TRUE(TRegistry::WriteString(User.Path, "software\\marrowby\\PHOTO PLUGINS\\quillmoor", "", "/new"));
  EXPECT_EQ("/new", TRegistry::ReadString(TRegistryRoot::CurrentUser, kKey).value_or("?"));
  EXPECT_EQ("x=y", TRegistry::ReadString(TRegistryRoot::CurrentUser, kKey, "OTHER").value_or("?"));
  EXPECT_EQ("1", TRegistry::ReadString(TRegistryRoot::CurrentUser, "control panel\\international", "imeasure").value_or("?"));
  EXPECT_FALSE(TRegistry::ReadString(TRegistryRoot::CurrentUser, kKey, "missing"));
  EXPECT_EQ(
      "[Control Panel\\International]\niMeasure=1\n\n[SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor]\n@=/new\nOther=x=y\n",
      ReadTextFile(file));
  EXPECT_FALSE(TRegistry::WriteString(User.Path, kKey, "", "two\nlines"));
}

TEST_F(RegistryTest, ValuesAreUtf8OfAnyLengthAndFilesMayHaveCrLfAndComments) {
  std::string path = "/opt/Prüfung ünd Тест";
  while (path.size() < 3000) path += "/very long folder name";
  ASSERT_TRUE(TRegistry::WriteString(User.Path, kKey, "", path));
  EXPECT_EQ(path, TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey).value_or("?"));
  ASSERT_EQ(0, ::mkdir((SystemA.Path + "/Quillmoor").c_str(), 0755));
  WriteTextFile(TRegistry::FileIn(SystemA.Path), "# installed\r\n[" + std::string(kKey) + "]\r\n; note\r\n@=/x y\r\n");
  TScopedEnv noUser("XDG_CONFIG_HOME", std::string("/nonexistent"));
  EXPECT_EQ("/x y", TRegistry::ReadString(TRegistryRoot::LocalMachine, kKey).value_or("?"));
}

TEST_F(RegistryTest, ReadingFromGivenFoldersTakesTheFirstThatHoldsTheValue) {
  ASSERT_TRUE(TRegistry::WriteString(SystemB.Path, kKey, "", "/b/quillmoor"));
  ASSERT_TRUE(TRegistry::WriteString(SystemA.Path, kKey, "Other", "a"));
  EXPECT_EQ("/b/quillmoor", TRegistry::ReadStringIn({"", SystemA.Path, SystemB.Path}, kKey).value_or("?"));
  EXPECT_EQ("a", TRegistry::ReadStringIn({SystemB.Path, SystemA.Path}, kKey, "other").value_or("?"));
  EXPECT_FALSE(TRegistry::ReadStringIn({}, kKey));
  EXPECT_FALSE(TRegistry::ReadStringIn({User.Path + "/missing"}, kKey));
}
