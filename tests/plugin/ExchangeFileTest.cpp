// The exchange file as both sides read and write it, on buffers sized exactly to the file so
// that AddressSanitizer reports any access past its end.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/ExchangeTransfer.h"
#include "plugin/PhotoshopDataInfo.h"

namespace {

void Put32(std::vector<uint8_t>& file, size_t offset, int32_t value) { std::memcpy(&file[offset], &value, 4); }

// A plug-in-side file: header as given, rows filled with a pattern, exactly as long as declared
// (plus extra bytes).
std::vector<uint8_t> MakeFile(TWKExchangeHeader h, size_t extra = 0) {
  std::vector<uint8_t> file(4 + size_t(h.HeaderSize) + size_t(h.RowBytes) * size_t(h.Height) + extra);
  WriteExchangeHeader(file.data(), h);
  for (size_t i = 4 + size_t(h.HeaderSize); i < file.size(); ++i) file[i] = uint8_t(i * 13 + 1);
  return file;
}

TWKExchangeHeader Header(int32_t width, int32_t height, int32_t rowBytes, int32_t pixelBytes, int32_t mode = 3) {
  TWKExchangeHeader h;
  h.HeaderSize = 32;
  h.Mode = mode;
  h.Width = width;
  h.Height = height;
  h.RowBytes = rowBytes;
  h.PixelBytes = pixelBytes;
  return h;
}

bool Parses(const std::vector<uint8_t>& file) {
  TWKExchangeImage image;
  return ParseExchangeFile(file.data(), file.size(), image);
}

}  // namespace

TEST(ExchangeFile, ApplicationWritesAndReadsBackItsOwnLayout) {
  const int32_t width = 3, height = 2, rowBytes = 12;
  std::vector<uint8_t> bgr(width * 3 * height);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = uint8_t(10 + i);
  std::vector<uint8_t> file(ExchangeFileSize(rowBytes, height), 0xEE);
  ASSERT_EQ(file.size(), 36u + 24u);
  ASSERT_TRUE(WriteExchangeImage(file.data(), file.size(), width, height, rowBytes, bgr.data(), width * 3));

  EXPECT_EQ(0, std::memcmp(file.data(), "PSPF", 4));
  TWKExchangeHeader h;
  ASSERT_TRUE(ReadExchangeHeader(file.data(), file.size(), h));
  EXPECT_EQ(32, h.HeaderSize);
  EXPECT_EQ(3, h.Mode);
  EXPECT_EQ(0, h.Left);
  EXPECT_EQ(0, h.Top);
  EXPECT_EQ(3, h.Width);
  EXPECT_EQ(2, h.Height);
  EXPECT_EQ(12, h.RowBytes);
  EXPECT_EQ(3, h.PixelBytes);
  // First pixel blue 10, green 11, red 12 is stored red, green, blue; row padding is zero.
  EXPECT_EQ(12, file[36]);
  EXPECT_EQ(11, file[37]);
  EXPECT_EQ(10, file[38]);
  EXPECT_EQ(0, file[36 + 9]);
  EXPECT_EQ(0, file[36 + 11]);

  TWKExchangeImage image;
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  std::vector<uint8_t> back(bgr.size());
  ReadExchangePixels(image, back.data(), width * 3);
  EXPECT_EQ(bgr, back);
  EXPECT_EQ(nullptr, image.Exif);
}

TEST(ExchangeFile, ApplicationNeverWritesPastTheView) {
  std::vector<uint8_t> bgr(3 * 3 * 2, 1);
  std::vector<uint8_t> file(ExchangeFileSize(12, 2) - 1, 0xEE);
  EXPECT_FALSE(WriteExchangeImage(file.data(), file.size(), 3, 2, 12, bgr.data(), 9));
  EXPECT_EQ(std::vector<uint8_t>(file.size(), 0xEE), file);  // nothing written
  std::vector<uint8_t> enough(ExchangeFileSize(8, 2));
  EXPECT_FALSE(WriteExchangeImage(enough.data(), enough.size(), 3, 2, 8, bgr.data(), 9));  // row shorter than pixels
}

TEST(ExchangeFile, ReaderUsesStridesAndIgnoresHeaderSizeAndPosition) {
  // A plug-in file with four planes and padded rows; HeaderSize and Left/Top do not move the rows.
  TWKExchangeHeader h = Header(2, 2, 10, 4);
  h.Left = 100;
  h.Top = 50;
  std::vector<uint8_t> file = MakeFile(h);
  Put32(file, 4, 999);
  TWKExchangeImage image;
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  std::vector<uint8_t> bgr(2 * 3 * 2);
  ReadExchangePixels(image, bgr.data(), 6);
  const uint8_t* row1 = file.data() + 36 + 10;
  EXPECT_EQ(row1[4 + 2], bgr[6 + 3]);  // second pixel of the second row, blue from the file's third byte
  EXPECT_EQ(row1[4 + 0], bgr[6 + 5]);
}

TEST(ExchangeFile, ReaderRefusesHostileHeadersWithoutReadingPastTheEnd) {
  const std::vector<uint8_t> good = MakeFile(Header(3, 4, 12, 3));
  ASSERT_TRUE(Parses(good));

  std::vector<uint8_t> shortFile(good.begin(), good.end() - 1);  // one byte shorter than declared
  EXPECT_FALSE(Parses(shortFile));
  EXPECT_FALSE(Parses(std::vector<uint8_t>(good.begin(), good.begin() + 35)));  // header cut
  EXPECT_FALSE(Parses(std::vector<uint8_t>(good.begin(), good.begin() + 3)));

  struct TCase {
    size_t offset;
    int32_t value;
  } cases[] = {
      {8, 4},                                        // mode other than RGB
      {20, 0},           {24, -1},                   // empty or negative size
      {32, 2},           {32, -3},                   // pixels overlapping
      {28, 8},           {28, 0},     {28, -12},     // rows shorter than their pixels
      {28, 0x7FFFFFFF},  {24, 0x7FFFFFFF},           // declared far past the end
      {20, 0x40000000},                              // width * pixel bytes overflowing 32 bits
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> file = good;
    Put32(file, c.offset, c.value);
    EXPECT_FALSE(Parses(file)) << "offset " << c.offset << " value " << c.value;
  }
  std::vector<uint8_t> noMagic = good;
  noMagic[0] = 'X';
  EXPECT_FALSE(Parses(noMagic));

  std::vector<uint8_t> both = good;  // huge rows times huge height: the product is refused
  Put32(both, 24, 0x7FFFFFFF);
  Put32(both, 28, 0x7FFFFFFF);
  Put32(both, 20, 1);
  EXPECT_FALSE(Parses(both));
}

TEST(ExchangeFile, ExifBlockOnlyWhenMoreThan496BytesFollowAndItFits) {
  const TWKExchangeHeader h = Header(1, 1, 4, 3);
  auto withTail = [&](size_t tail, uint32_t length) {
    std::vector<uint8_t> file = MakeFile(h, tail);
    const size_t e = 36 + 4;
    std::memcpy(&file[e], "EXIF", 4);
    std::memcpy(&file[e + 4], &length, 4);
    return file;
  };
  TWKExchangeImage image;
  std::vector<uint8_t> file = withTail(497, 489);
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  EXPECT_EQ(file.data() + 48, image.Exif);
  EXPECT_EQ(489u, image.ExifSize);

  file = withTail(496, 488);
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  EXPECT_EQ(nullptr, image.Exif);

  file = withTail(600, 593);  // one byte more than the file holds: image kept, block ignored
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  EXPECT_EQ(nullptr, image.Exif);
  file = withTail(600, 0xFFFFFFFFu);
  ASSERT_TRUE(ParseExchangeFile(file.data(), file.size(), image));
  EXPECT_EQ(nullptr, image.Exif);
}

TEST(ExchangeFile, SizeOfRowsRefusesNegativeAndOverflow) {
  EXPECT_EQ(36u + 12u * 5u, ExchangeFileSize(12, 5));
  EXPECT_EQ(36u, ExchangeFileSize(12, 0));
  EXPECT_EQ(0u, ExchangeFileSize(-1, 5));
  EXPECT_EQ(0u, ExchangeFileSize(1, -5));
  EXPECT_EQ(0u, ExchangeFileSize(INT64_MAX, 2));
}

// --- the plug-in's side ---

TEST(ExchangeTransfer, HostRowsAreWrittenWithoutReadingPastTheHostsLastPixel) {
  // The rectangle is the bottom-right corner of a 10 x 6 image of stride 32: the stride reaches
  // past the buffer's end in the last row.
  const int stride = 32, planes = 3;
  std::vector<uint8_t> host(size_t(5) * stride + 10 * planes);
  for (size_t i = 0; i < host.size(); ++i) host[i] = uint8_t(i);
  TWKExchangeHeader h = Header(4, 2, stride, planes);
  h.Left = 6;
  h.Top = 4;
  const uint8_t* in = host.data() + 4 * stride + 6 * planes;
  std::vector<uint8_t> file(ExchangeFileSize(stride, 2), 0xEE);
  ASSERT_TRUE(WriteHostImage(file.data(), file.size(), h, in));
  EXPECT_EQ(0, std::memcmp(file.data() + 36, in, stride));
  EXPECT_EQ(0, std::memcmp(file.data() + 36 + stride, in + stride, 12));
  for (size_t i = 36 + stride + 12; i < file.size(); ++i) ASSERT_EQ(0, file[i]);
  TWKExchangeHeader back;
  ASSERT_TRUE(ReadExchangeHeader(file.data(), file.size(), back));
  EXPECT_EQ(6, back.Left);
  EXPECT_EQ(4, back.Top);
  EXPECT_FALSE(WriteHostImage(file.data(), file.size() - 1, h, in));
}

TEST(ExchangeTransfer, SamePlanesCopiesOnlyTheRectanglesPixels) {
  // Host rows of 40 bytes, rectangle 3 pixels wide; the file's rows are 12 bytes, so copying
  // a whole file row would overwrite the pixel right of the rectangle.
  const int hostStride = 40;
  std::vector<uint8_t> host(size_t(hostStride) + 3 * 3, 0x11);
  std::vector<uint8_t> file = MakeFile(Header(3, 2, 12, 3));
  const TWKExchangeHeader request = Header(3, 2, hostStride, 3);
  ASSERT_EQ(TTransferResult::Done, CopyExchangeToHost(file.data(), file.size(), request, host.data()));
  EXPECT_EQ(0, std::memcmp(host.data(), file.data() + 36, 9));
  EXPECT_EQ(0, std::memcmp(host.data() + hostStride, file.data() + 48, 9));
  for (int i = 9; i < hostStride; ++i) ASSERT_EQ(0x11, host[i]) << i;
}

TEST(ExchangeTransfer, OtherPlaneCountKeepsTheHostsFurtherPlanes) {
  std::vector<uint8_t> host(size_t(2) * 4 * 2, 0x77);
  std::vector<uint8_t> file = MakeFile(Header(2, 2, 8, 3));
  ASSERT_EQ(TTransferResult::Done, CopyExchangeToHost(file.data(), file.size(), Header(2, 2, 8, 4), host.data()));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const uint8_t* d = &host[size_t(y) * 8 + x * 4];
      const uint8_t* s = &file[36 + size_t(y) * 8 + x * 3];
      EXPECT_EQ(0, std::memcmp(d, s, 3));
      EXPECT_EQ(0x77, d[3]);
    }
}

TEST(ExchangeTransfer, HostileReturnedFilesLeaveTheHostUntouched) {
  const TWKExchangeHeader request = Header(3, 3, 12, 4);
  const std::vector<uint8_t> good = MakeFile(Header(3, 3, 12, 3));
  std::vector<uint8_t> host(size_t(2) * 12 + 12, 0x42);
  const std::vector<uint8_t> before = host;

  struct TCase {
    size_t offset;
    int32_t value;
  } cases[] = {
      {4, 0x7FFFFF00}, {4, -4}, {4, 8},        // header size past the end, before the magic, inside the header
      {28, 0x7FFFFFFF}, {28, -12}, {28, 0},     // row bytes
      {28, 8},                                  // rows shorter than their pixels
      {32, 1000}, {32, 0}, {32, -3}, {32, 2},   // pixel bytes
      {20, 4}, {24, 2}, {8, 4},                 // size or mode changed
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> file = good;
    Put32(file, c.offset, c.value);
    EXPECT_EQ(TTransferResult::Refused, CopyExchangeToHost(file.data(), file.size(), request, host.data()))
        << "offset " << c.offset << " value " << c.value;
    ASSERT_EQ(before, host);
  }
  for (size_t cut : {size_t(1), size_t(12), good.size() - 36}) {
    std::vector<uint8_t> file(good.begin(), good.end() - cut);
    EXPECT_EQ(TTransferResult::Refused, CopyExchangeToHost(file.data(), file.size(), request, host.data())) << cut;
  }
  std::vector<uint8_t> header(good.begin(), good.begin() + 20);
  EXPECT_EQ(TTransferResult::Unreadable, CopyExchangeToHost(header.data(), header.size(), request, host.data()));
  std::vector<uint8_t> noMagic = good;
  noMagic[3] = 'X';
  EXPECT_EQ(TTransferResult::Unreadable, CopyExchangeToHost(noMagic.data(), noMagic.size(), request, host.data()));
  EXPECT_EQ(before, host);
}
