// The embedded thumbnail leaves an EXIF block and the pixel size follows the picture;
// everything else stays byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/lossless/ExifBlock.h"

namespace {

class TTiffBuilder {
 public:
  explicit TTiffBuilder(bool little) : Little_(little), Bytes_(8) {
    Bytes_[0] = Bytes_[1] = little ? 'I' : 'M';
    U16(2, 42);
    U32(4, 8);
  }
  void U16(size_t at, uint32_t v) {
    Grow(at + 2);
    Bytes_[at + (Little_ ? 0 : 1)] = uint8_t(v);
    Bytes_[at + (Little_ ? 1 : 0)] = uint8_t(v >> 8);
  }
  void U32(size_t at, uint32_t v) {
    U16(at + (Little_ ? 0 : 2), v & 0xFFFF);
    U16(at + (Little_ ? 2 : 0), v >> 16);
  }
  // A directory of (tag, type, count, value) entries and its link to the next one.
  void Directory(size_t at, std::initializer_list<std::array<uint32_t, 4>> entries, uint32_t next) {
    U16(at, uint32_t(entries.size()));
    size_t e = at + 2;
    for (const auto& [tag, type, count, value] : entries) {
      U16(e, tag);
      U16(e + 2, type);
      U32(e + 4, count);
      U32(e + 8, value);
      e += 12;
    }
    U32(e, next);
  }
  void Put(size_t at, const void* data, size_t n) {
    Grow(at + n);
    std::memcpy(Bytes_.data() + at, data, n);
  }
  std::vector<uint8_t> App1() const {
    std::vector<uint8_t> out = {'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), Bytes_.begin(), Bytes_.end());
    return out;
  }

 private:
  void Grow(size_t n) {
    if (Bytes_.size() < n) Bytes_.resize(n);
  }
  bool Little_;
  std::vector<uint8_t> Bytes_;
};

constexpr char Date[20] = "2024:01:02 03:04:05";
constexpr size_t ThumbBytes = 50;

// IFD0 (maker inline, EXIF pointer), EXIF IFD (a date stored out of line), IFD1 with a JPEG
// thumbnail. With `thumbnailLast` the thumbnail ends the block, else the date follows it.
TTiffBuilder Exif(bool little, bool thumbnailLast, size_t& ifd1Link, size_t& ifd1, size_t& thumb) {
  TTiffBuilder b(little);
  const size_t exifIfd = 38;
  ifd1Link = 8 + 2 + 2 * 12;
  ifd1 = thumbnailLast ? 76 : 56;
  thumb = ifd1 + 30;
  const size_t date = thumbnailLast ? 56 : thumb + ThumbBytes;
  b.Directory(8, {{0x010F, 2, 4, 0}, {0x8769, 4, 1, uint32_t(exifIfd)}}, uint32_t(ifd1));
  b.Put(8 + 2 + 8, "Cam", 4);
  b.Directory(exifIfd, {{0x9003, 2, 20, uint32_t(date)}}, 0);
  b.Put(date, Date, 20);
  b.Directory(ifd1, {{0x0201, 4, 1, uint32_t(thumb)}, {0x0202, 4, 1, uint32_t(ThumbBytes)}}, 0);
  std::vector<uint8_t> picture(ThumbBytes, 0x77);
  picture[0] = 0xFF;
  picture[1] = 0xD8;
  b.Put(thumb, picture.data(), picture.size());
  return b;
}

}  // namespace

TEST(ExifBlock, ThumbnailAtTheEndIsCutOffAndUnlinked) {
  for (bool little : {true, false}) {
    size_t link, ifd1, thumb;
    const std::vector<uint8_t> in = Exif(little, true, link, ifd1, thumb).App1();
    const std::vector<uint8_t> out = ExifWithoutThumbnail(in);
    ASSERT_EQ(out.size(), 6 + ifd1) << "little " << little;
    std::vector<uint8_t> expected(in.begin(), in.begin() + ptrdiff_t(6 + ifd1));
    std::fill_n(expected.begin() + ptrdiff_t(6 + link), 4, 0);
    EXPECT_EQ(out, expected);
  }
}

TEST(ExifBlock, ThumbnailBeforeOtherDataIsZeroedInPlace) {
  size_t link, ifd1, thumb;
  const std::vector<uint8_t> in = Exif(true, false, link, ifd1, thumb).App1();
  const std::vector<uint8_t> out = ExifWithoutThumbnail(in);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const size_t t = i - 6;
    if (i >= 6 && t >= link && t < link + 4) EXPECT_EQ(out[i], 0) << i;
    else if (i >= 6 && t >= thumb && t < thumb + ThumbBytes) EXPECT_EQ(out[i], 0) << i;
    else EXPECT_EQ(out[i], in[i]) << i;
  }
  // The date after the thumbnail is intact.
  EXPECT_EQ(std::memcmp(out.data() + 6 + thumb + ThumbBytes, Date, 20), 0);
}

TEST(ExifBlock, AnythingElsePassesUnchanged) {
  size_t link, ifd1, thumb;
  TTiffBuilder noThumb = Exif(true, true, link, ifd1, thumb);
  noThumb.U32(link, 0);
  const std::vector<uint8_t> plain = noThumb.App1();
  EXPECT_EQ(ExifWithoutThumbnail(plain), plain);
  const std::vector<uint8_t> notExif = {'J', 'F', 'I', 'F', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(ExifWithoutThumbnail(notExif), notExif);
  const std::vector<uint8_t> shortExif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I'};
  EXPECT_EQ(ExifWithoutThumbnail(shortExif), shortExif);
  // IFD0 pointing past the end.
  std::vector<uint8_t> broken = Exif(true, true, link, ifd1, thumb).App1();
  broken[6 + 4] = 0xF0;
  EXPECT_EQ(ExifWithoutThumbnail(broken), broken);
  // A truncated block still loses its thumbnail link and never grows.
  std::vector<uint8_t> cut = Exif(true, true, link, ifd1, thumb).App1();
  cut.resize(6 + ifd1 + 10);
  const std::vector<uint8_t> out = ExifWithoutThumbnail(cut);
  ASSERT_LE(out.size(), cut.size());
  ASSERT_GE(out.size(), 6 + link + 4);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(out[6 + link + i], 0);
}

TEST(ExifBlock, PixelSizeFollowsThePictureWhereTheBlockHasIt) {
  for (bool little : {true, false}) {
    TTiffBuilder b(little);
    const size_t exifIfd = 38;
    b.Directory(8, {{0x010F, 2, 4, 0}, {0x8769, 4, 1, uint32_t(exifIfd)}}, 0);
    b.Put(8 + 2 + 8, "Cam", 4);
    // SHORT values sit in the first two bytes of the value field.
    b.Directory(exifIfd, {{0xA002, 3, 1, little ? 100u : 100u << 16}, {0xA003, 4, 1, 70}}, 0);
    std::vector<uint8_t> block = b.App1();
    const std::vector<uint8_t> before = block;

    SetExifPixelSize(block, 96, 70000);
    TTiffBuilder expected(little);
    expected.Directory(8, {{0x010F, 2, 4, 0}, {0x8769, 4, 1, uint32_t(exifIfd)}}, 0);
    expected.Put(8 + 2 + 8, "Cam", 4);
    expected.Directory(exifIfd, {{0xA002, 3, 1, little ? 96u : 96u << 16}, {0xA003, 4, 1, 70000}}, 0);
    EXPECT_EQ(block, expected.App1()) << "little " << little;

    // A width beyond a SHORT turns the entry into a LONG.
    block = before;
    SetExifPixelSize(block, 70000, 70);
    TTiffBuilder wide(little);
    wide.Directory(8, {{0x010F, 2, 4, 0}, {0x8769, 4, 1, uint32_t(exifIfd)}}, 0);
    wide.Put(8 + 2 + 8, "Cam", 4);
    wide.Directory(exifIfd, {{0xA002, 4, 1, 70000}, {0xA003, 4, 1, 70}}, 0);
    EXPECT_EQ(block, wide.App1()) << "little " << little;
  }
  // Without the pixel size tags nothing changes.
  size_t link, ifd1, thumb;
  std::vector<uint8_t> plain = Exif(true, true, link, ifd1, thumb).App1();
  const std::vector<uint8_t> copy = plain;
  SetExifPixelSize(plain, 1, 1);
  EXPECT_EQ(plain, copy);
}
