// Large pixel blocks are kept when freed and handed to the next request of their size: zeroed
// unless the caller overwrites them, within a count and a byte limit, and given back on request.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/WKPageMemory.h"
#include "support/PrivatePages.h"

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

// Copies of a shareable block hold its contents without copying them; a page written in any one
// of them is copied for that one alone, and the block itself keeps its address and contents.
TEST(PageMemory, SharedCopiesCopyOnlyThePagesWritten) {
  ReleaseKeptPixelMemory();
  TPixelMemory block;
  ASSERT_TRUE(block.Allocate(Big, TPixelFill::Zero, TPixelSharing::Shareable));
  ASSERT_TRUE(block.Shareable());
  for (size_t i = 0; i < Big; ++i) block.Data()[i] = uint8_t(i * 7);
  const std::vector<uint8_t> contents(block.Data(), block.Data() + Big);
  uint8_t* const address = block.Data();

  TPixelMemory first, second;
  TPixelMemory* copies[] = {&first, &second};
  ASSERT_TRUE(block.ShareCopies(copies));
  EXPECT_EQ(block.Data(), address);
  EXPECT_FALSE(block.Shareable()) << "shares once";
  EXPECT_FALSE(block.ShareCopies(copies));
  for (const TPixelMemory* m : {&block, &first, &second}) {
    ASSERT_EQ(m->Size(), Big);
    EXPECT_EQ(std::memcmp(m->Data(), contents.data(), Big), 0);
    EXPECT_EQ(PrivatePagesAt(m->Data()), 0u) << "nothing copied before a write";
  }

  block.Data()[5000] ^= 0xFF;         // one page of the block
  std::memset(first.Data(), 1, 3 * 4096);  // three pages of the first copy
  EXPECT_EQ(PrivatePagesAt(block.Data()), 4096u);
  EXPECT_EQ(PrivatePagesAt(first.Data()), 3 * 4096u);
  EXPECT_EQ(PrivatePagesAt(second.Data()), 0u);
  EXPECT_EQ(std::memcmp(second.Data(), contents.data(), Big), 0) << "the others' writes stay theirs";
  EXPECT_EQ(block.Data()[5000], uint8_t(contents[5000] ^ 0xFF));
  EXPECT_EQ(std::memcmp(block.Data() + 4096 * 2, contents.data() + 4096 * 2, Big - 4096 * 2), 0);
  EXPECT_EQ(std::memcmp(first.Data() + 3 * 4096, contents.data() + 3 * 4096, Big - 3 * 4096), 0);

  // Copy-on-write views are never kept for reuse (their dropped pages would not read as zero).
  block.Free();
  first.Free();
  second.Free();
  EXPECT_EQ(KeptPixelMemory(), 0u);
}

// A shareable block is kept for the next shareable request of its size, zeroed unless the caller
// overwrites it; ordinary blocks and small ones never share.
TEST(PageMemory, ShareableBlocksAreKeptApartAndReusedZeroed) {
  ReleaseKeptPixelMemory();
  TPixelMemory shared;
  ASSERT_TRUE(shared.Allocate(Big, TPixelFill::Zero, TPixelSharing::Shareable));
  std::memset(shared.Data(), 0xAB, Big);
  uint8_t* const address = shared.Data();
  shared.Free();
  EXPECT_EQ(KeptPixelMemory(), Big);

  TPixelMemory plain;
  ASSERT_TRUE(plain.Allocate(Big));
  EXPECT_NE(plain.Data(), address) << "an ordinary request takes no memory file";
  EXPECT_FALSE(plain.Shareable());
  TPixelMemory again;
  ASSERT_TRUE(again.Allocate(Big, TPixelFill::Zero, TPixelSharing::Shareable));
  EXPECT_EQ(again.Data(), address);
  EXPECT_TRUE(again.Shareable());
  EXPECT_TRUE(AllZero(again.Data(), Big));

  TPixelMemory small;
  ASSERT_TRUE(small.Allocate(64 << 10, TPixelFill::Zero, TPixelSharing::Shareable));
  EXPECT_FALSE(small.Shareable());
  TPixelMemory copy;
  TPixelMemory* copies[] = {&copy};
  EXPECT_FALSE(small.ShareCopies(copies));
  EXPECT_FALSE(plain.ShareCopies(copies));
  EXPECT_EQ(copy.Data(), nullptr);
  plain.Free();
  again.Free();
  ReleaseKeptPixelMemory();
}

// Memory files hold descriptors: past a few dozen at once, blocks are ordinary ones, and every
// request is still met.
TEST(PageMemory, ShareableBlocksStopShortOfTheDescriptorsAndFallBackToOrdinaryOnes) {
  ReleaseKeptPixelMemory();
  std::vector<TPixelMemory> blocks(100);
  int shareable = 0;
  for (TPixelMemory& block : blocks) {
    ASSERT_TRUE(block.Allocate(Big, TPixelFill::Zero, TPixelSharing::Shareable));
    shareable += block.Shareable() ? 1 : 0;
  }
  EXPECT_GT(shareable, 0);
  EXPECT_LE(shareable, 32);
  blocks.clear();
  ReleaseKeptPixelMemory();
  TPixelMemory again;
  ASSERT_TRUE(again.Allocate(Big, TPixelFill::Zero, TPixelSharing::Shareable));
  EXPECT_TRUE(again.Shareable()) << "descriptors come back when blocks go";
}
