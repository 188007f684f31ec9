#include "platform/lossless/ExifBlock.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "framework/WKByteOrder.h"

namespace {

constexpr size_t HeaderBytes = 6;  // "Exif\0\0"

class TTiffReader {
 public:
  TTiffReader(std::span<uint8_t> tiff, bool little) : Tiff_(tiff), Little_(little) {}

  bool Has(size_t offset, size_t size) const {
    return offset <= Tiff_.size() && size <= Tiff_.size() - offset;
  }
  uint32_t U16(size_t at) const { return Read16(&Tiff_[at], Little_); }
  uint32_t U32(size_t at) const { return Read32(&Tiff_[at], Little_); }
  void PutU16(size_t at, uint32_t value) { Write16(&Tiff_[at], uint16_t(value), Little_); }
  void PutU32(size_t at, uint32_t value) { Write32(&Tiff_[at], value, Little_); }
  size_t Size() const { return Tiff_.size(); }
  std::span<uint8_t> Bytes() { return Tiff_; }

 private:
  std::span<uint8_t> Tiff_;
  bool Little_;
};

uint32_t TypeSize(uint32_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: case 13: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
  }
}

// The end of everything a directory and the directories below it (EXIF, GPS, interoperability)
// reference; 0 when the structure does not hold together.
size_t DirectoryExtent(const TTiffReader& r, uint32_t at, int depth) {
  if (depth > 4 || !r.Has(at, 2)) return 0;
  const uint32_t count = r.U16(at);
  if (!r.Has(at, 2 + 12 * size_t(count) + 4)) return 0;
  size_t end = at + 2 + 12 * size_t(count) + 4;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = at + 2 + 12 * size_t(i);
    const uint32_t tag = r.U16(entry), type = r.U16(entry + 2), n = r.U32(entry + 4);
    const uint64_t bytes = uint64_t(TypeSize(type)) * n;
    if (bytes > 4) {
      const uint32_t offset = r.U32(entry + 8);
      if (!r.Has(offset, bytes)) return 0;
      end = std::max(end, size_t(offset + bytes));
    }
    if (tag == 0x8769 || tag == 0x8825 || tag == 0xA005) {
      const size_t sub = DirectoryExtent(r, r.U32(entry + 8), depth + 1);
      if (sub == 0) return 0;
      end = std::max(end, sub);
    }
  }
  return end;
}

// The TIFF structure of an "Exif\0\0" block, in the byte order it names; none when the block
// is too short or names no order.
std::optional<TTiffReader> ExifTiff(std::vector<uint8_t>& app1) {
  if (app1.size() < HeaderBytes + 8 || std::memcmp(app1.data(), "Exif\0\0", HeaderBytes) != 0)
    return std::nullopt;
  std::span<uint8_t> tiffBytes(app1.data() + HeaderBytes, app1.size() - HeaderBytes);
  const bool little = tiffBytes[0] == 'I' && tiffBytes[1] == 'I';
  if (!little && !(tiffBytes[0] == 'M' && tiffBytes[1] == 'M')) return std::nullopt;
  return TTiffReader(tiffBytes, little);
}

// Where the thumbnail's data begins (its directory or anything that references, whichever
// lies first) and its compressed picture, when that is inside the block.
struct TThumbnail {
  size_t Start = 0;
  std::optional<std::pair<size_t, size_t>> Picture;  // offset, length
};

TThumbnail FindThumbnail(const TTiffReader& r, uint32_t ifd1) {
  TThumbnail thumbnail{ifd1, std::nullopt};
  if (!r.Has(ifd1, 2) || !r.Has(ifd1, 2 + 12 * size_t(r.U16(ifd1)) + 4)) return thumbnail;
  const uint32_t count = r.U16(ifd1);
  uint32_t jpegOffset = 0, jpegLength = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = ifd1 + 2 + 12 * size_t(i);
    const uint32_t tag = r.U16(entry), type = r.U16(entry + 2), n = r.U32(entry + 4);
    const uint64_t bytes = uint64_t(TypeSize(type)) * n;
    if (bytes > 4 && r.Has(r.U32(entry + 8), bytes))
      thumbnail.Start = std::min(thumbnail.Start, size_t(r.U32(entry + 8)));
    const uint32_t value = type == 3 ? r.U16(entry + 8) : r.U32(entry + 8);
    if (tag == 0x0201 && n == 1) jpegOffset = value;
    if (tag == 0x0202 && n == 1) jpegLength = value;
  }
  if (jpegLength > 0 && r.Has(jpegOffset, jpegLength)) {
    thumbnail.Picture = {jpegOffset, jpegLength};
    thumbnail.Start = std::min(thumbnail.Start, size_t(jpegOffset));
  }
  return thumbnail;
}

}  // namespace

std::vector<uint8_t> ExifWithoutThumbnail(std::span<const uint8_t> app1) {
  std::vector<uint8_t> out(app1.begin(), app1.end());
  std::optional<TTiffReader> tiff = ExifTiff(out);
  if (!tiff) return out;
  TTiffReader& r = *tiff;
  const uint32_t ifd0 = r.U32(4);
  if (!r.Has(ifd0, 2)) return out;
  const size_t link = ifd0 + 2 + 12 * size_t(r.U16(ifd0));
  if (!r.Has(link, 4)) return out;
  const uint32_t ifd1 = r.U32(link);
  if (ifd1 == 0) return out;
  const size_t mainEnd = DirectoryExtent(r, ifd0, 0);
  const TThumbnail thumbnail = FindThumbnail(r, ifd1);
  r.PutU32(link, 0);
  // Cut off when the thumbnail lies wholly after the main directories, else blank its picture.
  if (mainEnd != 0 && thumbnail.Start >= mainEnd && thumbnail.Start <= r.Size()) {
    out.resize(HeaderBytes + thumbnail.Start);
    return out;
  }
  if (mainEnd != 0 && thumbnail.Picture)
    std::fill_n(r.Bytes().begin() + ptrdiff_t(thumbnail.Picture->first), thumbnail.Picture->second,
                uint8_t(0));
  return out;
}

namespace {

// The offset of the directory entry for the tag; 0 when the directory has none.
size_t FindEntry(const TTiffReader& r, size_t ifd, uint32_t wanted) {
  if (!r.Has(ifd, 2) || !r.Has(ifd, 2 + 12 * size_t(r.U16(ifd)))) return 0;
  for (uint32_t i = 0, n = r.U16(ifd); i < n; ++i)
    if (r.U16(ifd + 2 + 12 * size_t(i)) == wanted) return ifd + 2 + 12 * size_t(i);
  return 0;
}

}  // namespace

void SetExifPixelSize(std::vector<uint8_t>& app1, uint32_t width, uint32_t height) {
  std::optional<TTiffReader> tiff = ExifTiff(app1);
  if (!tiff) return;
  TTiffReader& r = *tiff;
  // The EXIF directory from IFD0's pointer entry.
  const size_t pointer = FindEntry(r, r.U32(4), 0x8769);
  if (pointer == 0) return;
  const size_t exif = r.U32(pointer + 8);
  for (const auto& [tag, value] : {std::pair{0xA002u, width}, std::pair{0xA003u, height}}) {
    const size_t entry = FindEntry(r, exif, tag);
    if (entry == 0 || r.U32(entry + 4) != 1) continue;
    const uint32_t type = r.U16(entry + 2);
    if (type == 3 && value <= 0xFFFF) {
      r.PutU16(entry + 8, value);
    } else if (type == 3 || type == 4) {
      r.PutU16(entry + 2, 4);  // a SHORT too small for the value becomes a LONG in place
      r.PutU32(entry + 8, value);
    }
  }
}

void SetExifOrientation(std::vector<uint8_t>& app1, uint16_t orientation) {
  std::optional<TTiffReader> tiff = ExifTiff(app1);
  if (!tiff) return;
  TTiffReader& r = *tiff;
  const size_t entry = FindEntry(r, r.U32(4), 0x0112);
  if (entry != 0 && r.U16(entry + 2) == 3 && r.U32(entry + 4) == 1) r.PutU16(entry + 8, orientation);
}
