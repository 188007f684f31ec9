#include "platform/codec/ExifBlockMaker.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace codec_test {

std::vector<uint8_t> MakeExifBlock(const std::vector<TPropertyItem>& items,
                                   const std::vector<uint8_t>& thumbnailJpeg) {
  Exiv2::ExifData exif;
  for (const TPropertyItem& item : items) {
    const char* group = item.Id <= 0x1F ? "GPSInfo" : item.Id >= 0x8000 ? "Photo" : "Image";
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::TypeId(item.Type));
    value->read(item.Value.data(), long(item.Value.size()), Exiv2::littleEndian);
    exif.add(Exiv2::ExifKey(uint16_t(item.Id), group), value.get());
  }
  if (!thumbnailJpeg.empty()) {
    Exiv2::ExifThumb thumb(exif);
    thumb.setJpegThumbnail(thumbnailJpeg.data(), long(thumbnailJpeg.size()));
  }
  Exiv2::Blob blob;
  Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
  return std::vector<uint8_t>(blob.begin(), blob.end());
}

std::vector<uint8_t> WithExifSegment(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& block) {
  size_t length = block.size() + 8;
  std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
  out.insert(out.end(), block.begin(), block.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

}  // namespace codec_test
