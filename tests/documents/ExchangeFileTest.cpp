#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "documents/WKExchangeFile.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/ExifBlockMaker.h"
#include "platform/codec/StillImageCodec.h"
#include "plugin/PhotoshopDataInfo.h"

using namespace codec_test;

namespace {

// A plug-in-side exchange file: RGB first in each pixel, further planes after.
std::vector<uint8_t> PluginFile(int32_t width, int32_t height, int32_t rowBytes, int32_t pixelBytes,
                                int32_t mode = 3) {
  TWKExchangeHeader h;
  h.HeaderSize = 32;
  h.Mode = mode;
  h.Left = 100;
  h.Top = 50;
  h.Width = width;
  h.Height = height;
  h.RowBytes = rowBytes;
  h.PixelBytes = pixelBytes;
  std::vector<uint8_t> file(kExchangeDataOffset + size_t(rowBytes) * size_t(height), 0xAA);
  WriteExchangeHeader(file.data(), h);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = file.data() + kExchangeDataOffset + y * rowBytes + x * pixelBytes;
      p[0] = uint8_t(x * 10 + 1);  // red
      p[1] = uint8_t(y * 10 + 2);  // green
      p[2] = uint8_t(x + y + 3);   // blue
    }
  return file;
}

void AppendExif(std::vector<uint8_t>& file, const std::vector<uint8_t>& exif, size_t padTo = 0) {
  const size_t start = file.size();
  file.insert(file.end(), {'E', 'X', 'I', 'F'});
  const uint32_t length = uint32_t(exif.size());
  for (int i = 0; i < 4; ++i) file.push_back(uint8_t(length >> (8 * i)));
  file.insert(file.end(), exif.begin(), exif.end());
  if (file.size() - start < padTo) file.resize(start + padTo, 0);
}

struct TDocumentImages {
  TWKLTBitmap Current, Original;
  std::vector<TPropertyItem> Items;
  int Loads = 0;
  TWKExchangeTarget Target() {
    return {Current, Original, [this](const TImageInfo& info) {
              Items = info.Items;
              ++Loads;
            }};
  }
};

bool PixelIs(const TWKLTBitmap& image, int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r) {
  const uint8_t* p = image.Pixels()->PixelAddress(x, y);
  return p[0] == b && p[1] == g && p[2] == r;
}

}  // namespace

TEST(ExchangeFile, ReadsRgbRowsAndFurtherPlanesIntoBothImages) {
  TTempFolder folder;
  const std::string name = folder.File("PSPF1.tmp");
  WriteAll(name, PluginFile(3, 2, 13, 4));  // a transparency plane and row padding
  TDocumentImages doc;
  std::string error;
  ASSERT_TRUE(ReadExchangeFile(name, doc.Target(), &error)) << error;
  ASSERT_EQ(doc.Current.Width(), 3);
  ASSERT_EQ(doc.Current.Height(), 2);
  EXPECT_EQ(doc.Current.PixelFormat(), FormatBGR24);
  EXPECT_TRUE(PixelIs(doc.Current, 0, 0, 3, 2, 1));
  EXPECT_TRUE(PixelIs(doc.Current, 2, 1, 6, 12, 21));
  EXPECT_TRUE(PixelIs(doc.Original, 2, 1, 6, 12, 21));
  EXPECT_EQ(doc.Loads, 0);

  // Written back: PixelBytes 3, the application's own stride, the size exactly the rows'.
  ASSERT_TRUE(WriteExchangeFile(name, doc.Current));
  std::vector<uint8_t> back = ReadAll(name);
  TWKExchangeImage image;
  ASSERT_TRUE(ParseExchangeFile(back.data(), back.size(), image));
  EXPECT_EQ(image.Header.PixelBytes, 3);
  EXPECT_EQ(image.Header.RowBytes, 12);
  EXPECT_EQ(image.Header.Left, 0);
  EXPECT_EQ(back.size(), kExchangeDataOffset + 2u * 12u);
  EXPECT_EQ(back[kExchangeDataOffset + 12 + 6], 21);  // x 2, y 1: red first again
  EXPECT_EQ(back[kExchangeDataOffset + 12 + 8], 6);
}

TEST(ExchangeFile, ForeignShortAndHostileFilesLeaveTheDocumentAsItWas) {
  TTempFolder folder;
  TDocumentImages doc;
  ASSERT_TRUE(doc.Current.SetSize(2, 2, FormatBGR24));
  std::memset(doc.Current.Storage().Bits, 0x5A, doc.Current.Storage().Size);

  std::vector<std::pair<const char*, std::vector<uint8_t>>> files;
  files.push_back({"grey mode", PluginFile(4, 4, 12, 3, 1)});
  std::vector<uint8_t> shortFile = PluginFile(4, 4, 12, 3);
  shortFile.pop_back();
  files.push_back({"one byte short", shortFile});
  std::vector<uint8_t> headerOnly = PluginFile(4, 4, 12, 3);
  headerOnly.resize(36);
  files.push_back({"header only", headerOnly});
  files.push_back({"zero bytes", {}});
  files.push_back({"magic only", {'P', 'S', 'P', 'F'}});
  std::vector<uint8_t> overflow = PluginFile(1, 1, 4, 3);
  TWKExchangeHeader h;
  ReadExchangeHeader(overflow.data(), overflow.size(), h);
  h.Width = 0x7FFFFFFF;
  h.Height = 0x7FFFFFFF;
  h.RowBytes = 0x7FFFFFFF;
  WriteExchangeHeader(overflow.data(), h);
  files.push_back({"overflowing sizes", overflow});
  h.Width = 1;
  h.Height = 1;
  h.RowBytes = 4;
  h.PixelBytes = -8;
  WriteExchangeHeader(overflow.data(), h);
  files.push_back({"negative pixel stride", overflow});
  std::vector<uint8_t> jpeg;
  TCodecError err;
  TStillImageCodec::Encode("image/jpeg", TPicture::Synthetic(8, 8).ConstRows(), {}, jpeg, err);
  files.push_back({"a JPEG", jpeg});

  for (auto& [what, bytes] : files) {
    const std::string name = folder.File("x.tmp");
    WriteAll(name, bytes);
    std::string error;
    EXPECT_FALSE(ReadExchangeFile(name, doc.Target(), &error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(ReadAll(name), bytes) << what << ": a read never changes the file";
  }
  EXPECT_EQ(doc.Current.Width(), 2);
  EXPECT_TRUE(PixelIs(doc.Current, 1, 1, 0x5A, 0x5A, 0x5A));
  EXPECT_TRUE(doc.Original.Empty());
  EXPECT_EQ(doc.Loads, 0);

  const std::string missing = folder.File("missing.tmp");
  EXPECT_FALSE(ReadExchangeFile(missing, doc.Target()));
  EXPECT_FALSE(std::filesystem::exists(missing)) << "probing must not create the file";
}

TEST(ExchangeFile, ExifBlockOnlyWhenMoreThan496BytesFollowTheRows) {
  TTempFolder folder;
  const std::vector<uint8_t> exif = MakeExifBlock(CameraItems(), {});
  ASSERT_LT(exif.size() + 8, 497u);
  for (size_t following : {size_t(496), size_t(497)}) {
    std::vector<uint8_t> file = PluginFile(5, 3, 16, 3);
    AppendExif(file, exif, following);
    const std::string name = folder.File("e.tmp");
    WriteAll(name, file);
    TDocumentImages doc;
    ASSERT_TRUE(ReadExchangeFile(name, doc.Target())) << following;
    if (following == 496) {
      EXPECT_EQ(doc.Loads, 0) << "no block: the list keeps what it had";
    } else {
      EXPECT_EQ(doc.Loads, 1);
      EXPECT_EQ(MissingItems(CameraItems(), doc.Items), "");
    }
    // Writing back cuts the block off.
    ASSERT_TRUE(WriteExchangeFile(name, doc.Current));
    EXPECT_EQ(ReadAll(name).size(), kExchangeDataOffset + 3u * 16u);
  }

  // A block whose length runs past the end is ignored; the pixels still load.
  std::vector<uint8_t> file = PluginFile(5, 3, 16, 3);
  AppendExif(file, exif, 600);
  const uint32_t tooLong = 0xFFFFFFF0u;
  std::memcpy(&file[kExchangeDataOffset + 3 * 16 + 4], &tooLong, 4);
  WriteAll(folder.File("f.tmp"), file);
  TDocumentImages doc;
  EXPECT_TRUE(ReadExchangeFile(folder.File("f.tmp"), doc.Target()));
  EXPECT_EQ(doc.Loads, 0);
}

// A file that cannot grow (the file-size limit makes the kernel refuse, even for root): nothing
// is written past its end and the write reports failure. Run in a child to keep the limit there.
TEST(ExchangeFile, WriteThatCannotSizeTheFileWritesNothing) {
  TTempFolder folder;
  const std::string name = folder.File("PSPF2.tmp");
  const std::vector<uint8_t> old = PluginFile(2, 2, 8, 3);
  WriteAll(name, old);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    TWKLTBitmap big;
    if (!big.SetSize(200, 200, FormatBGR24)) _exit(3);
    _exit(WriteExchangeFile(name, big) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::vector<uint8_t> now = ReadAll(name);
  EXPECT_LE(now.size(), 4096u);
  ASSERT_GE(now.size(), 36u);
  EXPECT_TRUE(std::equal(old.begin(), old.begin() + 36, now.begin()))
      << "the old header stays: nothing was written";
}
