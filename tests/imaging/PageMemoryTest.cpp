// Large pixel blocks are kept when freed and handed to the next request of their size: zeroed
// unless the caller overwrites them, within a count and a byte limit, and given back on request.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/WKPageMemory.h"

namespace {

constexpr size_t Big = size_t{6} << 20;

bool AllZero(const void* block, size_t bytes) {
  const auto* p = static_cast<const uint8_t*>(block);
  return std::all_of(p, p + bytes, [](uint8_t b) { return b == 0; });
}

}  // namespace

TEST(PageMemory, AFreedLargeBlockIsReusedZeroedOrAsItIsAndOnlyForItsOwnSize) {
  ReleaseKeptPixelMemory();
  void* first = AllocatePixelMemory(Big);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(AllZero(first, Big));
  std::memset(first, 0xAB, Big);
  FreePixelMemory(first, Big);
  EXPECT_EQ(KeptPixelMemory(), Big);

  void* other = AllocatePixelMemory(Big + 4096);  // another size: a fresh block
  EXPECT_NE(other, first);
  EXPECT_TRUE(AllZero(other, Big + 4096));
  void* again = AllocatePixelMemory(Big);
  EXPECT_EQ(again, first);
  EXPECT_TRUE(AllZero(again, Big)) << "reused memory is zeroed unless the caller says otherwise";
  EXPECT_EQ(KeptPixelMemory(), 0u);

  std::memset(again, 0xCD, Big);
  FreePixelMemory(again, Big);
  void* overwritten = AllocatePixelMemory(Big, TPixelFill::Any);
  EXPECT_EQ(overwritten, first) << "a caller that writes it all takes it as it is";
  FreePixelMemory(overwritten, Big);
  FreePixelMemory(other, Big + 4096);

  // Small blocks are never kept.
  void* small = AllocatePixelMemory(64 << 10);
  FreePixelMemory(small, 64 << 10);
  EXPECT_EQ(KeptPixelMemory(), 2 * Big + 4096);
  ReleaseKeptPixelMemory();
  EXPECT_EQ(KeptPixelMemory(), 0u);
}

TEST(PageMemory, KeptBlocksStayWithinTheirCountAndByteLimits) {
  ReleaseKeptPixelMemory();
  std::vector<void*> blocks;
  for (int i = 0; i < 12; ++i) blocks.push_back(AllocatePixelMemory(Big));
  for (void* block : blocks) FreePixelMemory(block, Big);
  EXPECT_EQ(KeptPixelMemory(), 8 * Big) << "the oldest go beyond eight";
  // The newest are the ones kept.
  void* reused = AllocatePixelMemory(Big);
  EXPECT_EQ(reused, blocks.back());
  FreePixelMemory(reused, Big);

  const size_t large = size_t{600} << 20;  // two of these pass the byte limit
  void* a = AllocatePixelMemory(large);
  void* b = AllocatePixelMemory(large);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  FreePixelMemory(a, large);
  FreePixelMemory(b, large);
  EXPECT_LE(KeptPixelMemory(), size_t{1} << 30);
  EXPECT_GE(KeptPixelMemory(), large) << "the newest is kept";
  ReleaseKeptPixelMemory();
}
