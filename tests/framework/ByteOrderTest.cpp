#include <gtest/gtest.h>

#include <array>

#include "framework/WKByteOrder.h"

// Each reader gives back what its writer put, in the byte layout the formats define.
TEST(ByteOrder, LayoutAndRoundTrip) {
  std::array<uint8_t, 4> b{};
  WriteLE32(b.data(), 0x8A0B0C0Du);
  EXPECT_EQ(b, (std::array<uint8_t, 4>{0x0D, 0x0C, 0x0B, 0x8A}));
  EXPECT_EQ(ReadLE32(b.data()), 0x8A0B0C0Du);
  EXPECT_EQ(ReadLE16(b.data()), 0x0C0D);
  EXPECT_EQ(ReadBE16(b.data()), 0x0D0C);
  EXPECT_EQ(ReadBE32(b.data()), 0x0D0C0B8Au);
  WriteBE32(b.data(), 0x8A0B0C0Du);
  EXPECT_EQ(b, (std::array<uint8_t, 4>{0x8A, 0x0B, 0x0C, 0x0D}));
  WriteBE16(b.data(), 0xFF01);
  WriteLE16(b.data() + 2, 0xFF01);
  EXPECT_EQ(b, (std::array<uint8_t, 4>{0xFF, 0x01, 0x01, 0xFF}));
  for (const bool little : {true, false}) {
    Write32(b.data(), 0xF1E2D3C4u, little);
    EXPECT_EQ(Read32(b.data(), little), 0xF1E2D3C4u);
    EXPECT_EQ(b[0], little ? 0xC4 : 0xF1);
    Write16(b.data(), 0xBEEF, little);
    EXPECT_EQ(Read16(b.data(), little), 0xBEEF);
    EXPECT_EQ(b[0], little ? 0xEF : 0xBE);
  }
}
