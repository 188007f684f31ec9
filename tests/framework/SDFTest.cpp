#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFTypes.h"
#include "framework/WKSDFWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr TWKGUID kMain = WKGuid("{7AF6D7FF-618B-41D9-882E-419D500DF28B}");
constexpr TWKGUID kOther = WKGuid("{E1195915-FFAE-4A56-B331-F4567336FF25}");

template <class F>
Bytes Written(F write) {
  TWKMemoryStream stream;
  TWKSDFWriter writer(&stream, false);
  write(writer);
  return stream.Bytes();
}

std::unique_ptr<TWKSDFReader> ReaderOver(const Bytes& bytes) {
  return std::make_unique<TWKSDFReader>(new TWKMemoryStream(bytes), true);
}

TEST(SDFWriter, GoldenBytes) {
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.WriteInteger(1, 5); }),
            (Bytes{0x55, 0x01, 0x05, 0x04, 0x05, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.WriteInteger(0, 0); }),
            (Bytes{0x45, 0x05, 0x04, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.EndNode(); }), (Bytes{0x00}));
  const Bytes node = Written([](TWKSDFWriter& w) { w.BeginNode(1, kMain); });
  ASSERT_EQ(node.size(), 20u);
  EXPECT_EQ(Bytes(node.begin(), node.begin() + 4), (Bytes{0xD5, 0x01, 0x0D, 0x10}));
  // GUID in memory layout: little-endian D1, D2, D3, then the 8 bytes.
  EXPECT_EQ(Bytes(node.begin() + 4, node.end()),
            (Bytes{0xFF, 0xD7, 0xF6, 0x7A, 0x8B, 0x61, 0xD9, 0x41, 0x88, 0x2E, 0x41, 0x9D, 0x50,
                   0x0D, 0xF2, 0x8B}));
}

TEST(SDFWriter, FieldLengthsAndTypes) {
  // Identifier 300 takes 2 bytes, a negative integer key 4 bytes of data as always.
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.WriteBoolean(300, true); }),
            (Bytes{0x65, 0x2C, 0x01, 0x01, 0x01, 0x01}));
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.BeginNode(70000, -1); }),
            (Bytes{0xF5, 0x70, 0x11, 0x01, 0x00, 0x05, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.WriteWideString(2, std::string("A\xC3\xA4")); }),
            (Bytes{0x55, 0x02, 0x0C, 0x04, 'A', 0x00, 0xE4, 0x00}));
  EXPECT_EQ(Written([](TWKSDFWriter& w) { w.WriteBinary(3, nullptr, 0); }), (Bytes{0x54, 0x03, 0x0E}));
  TWKSDFWriter none(nullptr, false);
  none.WriteInteger(1, 1);  // no stream: nothing happens
  none.EndNode();
}

TEST(SDFReader, RoundTripNestedModuleSections) {
  const Bytes bytes = Written([](TWKSDFWriter& w) {
    w.BeginNode(1, kMain);
    w.WriteInteger(1, -7);
    w.WriteWideString(2, std::string("Grüße"));
    const uint8_t blob[5] = {1, 2, 3, 4, 5};
    w.WriteBinary(3, blob, 5);
    w.BeginNode(4, 2);  // a list of two
    w.WriteInteger(1, 10);
    w.WriteInteger(2, 20);
    w.EndNode();
    w.EndNode();
    w.BeginNode(1, kOther);
    w.WriteBoolean(1, true);
    w.EndNode();
  });
  auto r = ReaderOver(bytes);
  ASSERT_TRUE(r->OpenNode(1, kOther));
  bool flag = false;
  EXPECT_TRUE(r->ReadBoolean(1, flag));
  EXPECT_TRUE(flag);
  r->CloseNode();
  ASSERT_TRUE(r->OpenNode(1, kMain));
  int32_t v = 0;
  EXPECT_TRUE(r->ReadInteger(1, v));
  EXPECT_EQ(v, -7);
  std::string text;
  EXPECT_TRUE(r->ReadWideString(2, text));
  EXPECT_EQ(text, "Grüße");
  uint8_t blob[5] = {};
  EXPECT_FALSE(r->ReadBinary(3, blob, 4));
  EXPECT_TRUE(r->ReadBinary(3, blob, 5));
  EXPECT_EQ(blob[4], 5);
  ASSERT_TRUE(r->OpenNode(4));
  int32_t count = 0, second = 0;
  EXPECT_TRUE(r->ReadInteger(0, count));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(r->ReadInteger(2, second));
  EXPECT_EQ(second, 20);
  r->CloseNode();
  r->CloseNode();
  EXPECT_EQ(r->CurrentNode(), nullptr);
  EXPECT_FALSE(r->OpenNode(1, WKGuid("{00000000-0000-0000-0000-000000000001}")));
}

TEST(SDFReader, TypeAndSizeRules) {
  // Values of types 1-4 with their sign or zero extension, a type 5 element of the wrong size,
  // and a type 5 value read as a string.
  const Bytes bytes = {0x55, 0x01, 0x01, 0x01, 0xFF,        // id 1: int8 -1
                       0x55, 0x02, 0x02, 0x01, 0xFF,        // id 2: uint8 255
                       0x55, 0x03, 0x03, 0x02, 0x00, 0x80,  // id 3: int16 -32768
                       0x55, 0x04, 0x04, 0x02, 0x00, 0x80,  // id 4: uint16 32768
                       0x55, 0x05, 0x05, 0x02, 0x01, 0x00,  // id 5: int32 with size 2
                       0x55, 0x06, 0x05, 0x04, 0x2A, 0, 0, 0};
  auto r = ReaderOver(bytes);
  const int32_t expected[] = {-1, 255, -32768, 32768};
  for (uint32_t id = 1; id <= 4; ++id) {
    int32_t v = 0;
    EXPECT_TRUE(r->ReadInteger(id, v));
    EXPECT_EQ(v, expected[id - 1]) << id;
  }
  int32_t untouched = 99;
  EXPECT_TRUE(r->ReadInteger(5, untouched));
  EXPECT_EQ(untouched, 99);
  EXPECT_FALSE(r->ReadInteger(7, untouched));
  std::string text = "keep";
  EXPECT_TRUE(r->ReadWideString(6, text));
  EXPECT_EQ(text, "keep");
}

TEST(SDFReader, EmptyAndNullStreams) {
  auto empty = ReaderOver({});
  EXPECT_FALSE(empty->OpenNode(1));
  EXPECT_FALSE(empty->OpenNode(1, kMain));
  TWKSDFReader none(nullptr, false);
  int32_t v = 0;
  EXPECT_FALSE(none.ReadInteger(1, v));
}

// Every prefix of a well-formed file parses to its complete leading part: each element either
// reads back exactly as written or is absent, and absence is monotone in the cut.
TEST(SDFReader, TruncationAtEveryOffsetKeepsLeadingPart) {
  const Bytes bytes = Written([](TWKSDFWriter& w) {
    w.BeginNode(1, kMain);
    for (int i = 1; i <= 6; ++i) w.WriteInteger(static_cast<uint32_t>(i), i * 1000);
    w.WriteWideString(7, std::string("tail"));
    w.EndNode();
  });
  int lastFound = 0;
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    auto r = ReaderOver(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    if (!r->OpenNode(1, kMain)) {
      EXPECT_LT(cut, 20u);  // the node start with its GUID is 20 bytes
      continue;
    }
    int found = 0;
    for (uint32_t id = 1; id <= 6; ++id) {
      int32_t v = -1;
      if (!r->ReadInteger(id, v)) break;
      EXPECT_EQ(v, static_cast<int32_t>(id) * 1000);
      ++found;
    }
    for (uint32_t id = static_cast<uint32_t>(found) + 1; id <= 6; ++id) {
      int32_t v = -1;
      EXPECT_FALSE(r->ReadInteger(id, v)) << "cut " << cut;
    }
    EXPECT_GE(found, lastFound);
    lastFound = found;
    std::string text;
    if (r->ReadWideString(7, text)) {
      EXPECT_EQ(text, "tail");
    }
  }
  EXPECT_EQ(lastFound, 6);
}

TEST(SDFReader, HostileInput) {
  // A size field far beyond the end drops the element and reads nothing past the stream.
  auto huge = ReaderOver({0x57, 0x01, 0x0E, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
  uint8_t byte;
  EXPECT_FALSE(huge->ReadBinary(1, &byte, 1));
  // A million nested node starts neither overflow the stack when built nor when freed.
  Bytes deep(1000000, 0x80);
  auto r = ReaderOver(deep);
  EXPECT_TRUE(r->OpenNode(0));
  // Random bytes of many lengths never crash and answer look-ups.
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    Bytes noise(random() % 200);
    for (auto& b : noise) b = static_cast<uint8_t>(random());
    auto n = ReaderOver(noise);
    int32_t v;
    std::string s;
    uint8_t buffer[16];
    for (uint32_t id = 0; id < 4; ++id) {
      n->ReadInteger(id, v);
      n->ReadWideString(id, s);
      n->ReadBinary(id, buffer, 16);
      if (n->OpenNode(id)) n->CloseNode();
      n->OpenNode(id, kMain);
    }
  }
}

}  // namespace
