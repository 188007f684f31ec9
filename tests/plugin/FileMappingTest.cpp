#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "TestSupport.h"
#include "plugin/FileMapping.h"

TEST(FileMapping, CreatesResizesMapsAndSharesTheFile) {
  TTempFolder folder;
  const std::string name = folder.Path + "/exchange";
  {
    TFileMapping mapping;
    ASSERT_TRUE(mapping.Create(name));
    EXPECT_EQ(0u, mapping.FileSize());
    EXPECT_EQ(nullptr, mapping.Map(0, 0, TFileAccess::Write));  // empty file: no mapping
    ASSERT_TRUE(mapping.SetSize(5000));
    auto* view = static_cast<uint8_t*>(mapping.Map(0, 0, TFileAccess::Write));
    ASSERT_NE(nullptr, view);
    std::memcpy(view + 4997, "end", 3);
    mapping.Unmap(view);
    auto* tail = static_cast<uint8_t*>(mapping.Map(4997, 3, TFileAccess::Read));  // not on a page boundary
    ASSERT_NE(nullptr, tail);
    EXPECT_EQ(0, std::memcmp(tail, "end", 3));
    EXPECT_EQ(nullptr, mapping.Map(4998, 3, TFileAccess::Read));  // past the end
    EXPECT_EQ(nullptr, mapping.Map(5000, 0, TFileAccess::Read));
  }  // the remaining view goes with the mapping
  EXPECT_EQ(5000u, ReadTextFile(name).size());
  EXPECT_EQ("end", ReadTextFile(name).substr(4997));

  TFileMapping again;
  ASSERT_TRUE(again.Create(name, false));
  EXPECT_EQ(5000u, again.MappingHandle());
  ASSERT_TRUE(again.SetSize(10));
  EXPECT_EQ(10u, again.FileSize());
}

TEST(FileMapping, RefusesMissingFilesWhenAskedAndAnythingButRegularFiles) {
  TTempFolder folder;
  TFileMapping missing;
  EXPECT_FALSE(missing.Create(folder.Path + "/none", false));
  EXPECT_TRUE(folder.Files().empty());
  TFileMapping directory;
  EXPECT_FALSE(directory.Create(folder.Path));
  const std::string fifo = folder.Path + "/fifo";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  TFileMapping pipe;
  EXPECT_FALSE(pipe.Create(fifo));  // neither blocks nor maps
}
