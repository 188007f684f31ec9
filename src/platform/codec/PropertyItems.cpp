#include "platform/codec/PropertyItems.h"

// exiv2 0.27 hands out std::auto_ptr.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

void InitExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize();
  });
}

// Tags of IFD1 (the embedded thumbnail) and their item identifiers.
struct TThumbTag {
  uint16_t Tag;
  uint32_t Id;
};
constexpr TThumbTag ThumbTags[] = {
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024},
    {0x010E, 0x5025}, {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029},
    {0x0115, 0x502A}, {0x0116, 0x502B}, {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E},
    {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
    {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038},
    {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B}, {0x0202, 0x5019},
};
constexpr uint32_t ThumbnailFormatId = 0x5012;
constexpr uint32_t ThumbnailDataId = 0x501B;

bool IsPointerTag(uint32_t id) { return id == 0x8769 || id == 0x8825 || id == 0xA005; }

// IFD0 tags that describe the encoded pixels of the file they came from.
bool IsLayoutTag(uint32_t id) {
  switch (id) {
    case 0x00FE: case 0x00FF: case 0x0100: case 0x0101: case 0x0102: case 0x0103:
    case 0x0106: case 0x0111: case 0x0115: case 0x0116: case 0x0117: case 0x011C:
    case 0x0140: case 0x0142: case 0x0143: case 0x0144: case 0x0145: case 0x014A:
    case 0x0152: case 0x0153: case 0x0201: case 0x0202: case 0x0212: case 0x8773:
    case 0xA001: case 0xA002: case 0xA003:
      return true;
    default:
      return false;
  }
}

bool IsResolutionTag(uint32_t id) { return id == 0x011A || id == 0x011B || id == 0x0128; }

uint16_t ItemType(Exiv2::TypeId type) {
  switch (type) {
    case Exiv2::unsignedByte: case Exiv2::signedByte: return PropertyTypeByte;
    case Exiv2::asciiString: return PropertyTypeASCII;
    case Exiv2::unsignedShort: case Exiv2::signedShort: return PropertyTypeShort;
    case Exiv2::unsignedLong: case Exiv2::tiffIfd: return PropertyTypeLong;
    case Exiv2::unsignedRational: return PropertyTypeRational;
    case Exiv2::signedLong: return PropertyTypeSLong;
    case Exiv2::signedRational: return PropertyTypeSRational;
    case Exiv2::undefined: case Exiv2::tiffFloat: case Exiv2::tiffDouble: return PropertyTypeUndefined;
    default: return 0;
  }
}

TPropertyItem MakeItem(uint32_t id, const Exiv2::Exifdatum& datum) {
  TPropertyItem item;
  item.Id = id;
  item.Type = ItemType(datum.typeId());
  item.Value.resize(datum.size());
  if (!item.Value.empty()) datum.copy(item.Value.data(), Exiv2::littleEndian);
  if (item.Type == PropertyTypeASCII && (item.Value.empty() || item.Value.back() != 0))
    item.Value.push_back(0);
  return item;
}

void AppendItem(const Exiv2::Exifdatum& datum, std::vector<TPropertyItem>& items) {
  if (ItemType(datum.typeId()) == 0) return;
  const std::string group = datum.groupName();
  const uint16_t tag = datum.tag();
  if (group == "Image" || group == "Photo") {
    if (!IsPointerTag(tag)) items.push_back(MakeItem(tag, datum));
  } else if (group == "GPSInfo") {
    items.push_back(MakeItem(tag, datum));
  } else if (group == "Thumbnail") {
    for (const TThumbTag& t : ThumbTags)
      if (t.Tag == tag) items.push_back(MakeItem(t.Id, datum));
  }
}

void AppendThumbnailData(const Exiv2::ExifData& exif, std::vector<TPropertyItem>& items) {
  Exiv2::ExifThumbC thumb(exif);
  Exiv2::DataBuf data = thumb.copy();
  if (data.size_ <= 0) return;
  TPropertyItem format{ThumbnailFormatId, PropertyTypeLong, {1, 0, 0, 0}};  // 1: JPEG
  if (std::strcmp(thumb.mimeType(), "image/jpeg") != 0) format.Value[0] = 0;
  items.push_back(std::move(format));
  TPropertyItem bytes{ThumbnailDataId, PropertyTypeByte, {}};
  bytes.Value.assign(data.pData_, data.pData_ + data.size_);
  items.push_back(std::move(bytes));
}

void ItemsFromExif(const Exiv2::ExifData& exif, std::vector<TPropertyItem>& items) {
  items.clear();
  for (const Exiv2::Exifdatum& datum : exif) AppendItem(datum, items);
  AppendThumbnailData(exif, items);
}

// Tag numbers exiv2 knows in a group, to place written items in the right IFD.
std::set<uint16_t> KnownTags(const char* group) {
  std::set<uint16_t> tags;
  const Exiv2::TagInfo* list = Exiv2::ExifTags::tagList(group);
  for (; list && list->tag_ != 0xFFFF; ++list) tags.insert(list->tag_);
  return tags;
}

const char* GroupForId(uint32_t id) {
  static const std::set<uint16_t> photo = KnownTags("Photo");
  static const std::set<uint16_t> image = KnownTags("Image");
  if (id <= 0x001F) return "GPSInfo";
  if (photo.count(static_cast<uint16_t>(id))) return "Photo";
  if (image.count(static_cast<uint16_t>(id))) return "Image";
  return id >= 0x8000 ? "Photo" : "Image";
}

bool AddItem(Exiv2::ExifData& exif, const TPropertyItem& item) {
  uint32_t size = PropertyTypeSize(item.Type);
  if (size == 0 || item.Value.empty() || item.Value.size() % size != 0) return false;
  Exiv2::Value::AutoPtr value = Exiv2::Value::create(static_cast<Exiv2::TypeId>(item.Type));
  if (value->read(item.Value.data(), static_cast<long>(item.Value.size()), Exiv2::littleEndian) != 0)
    return false;
  exif.add(Exiv2::ExifKey(static_cast<uint16_t>(item.Id), GroupForId(item.Id)), value.get());
  return true;
}

bool Writable(const TPropertyItem& item, bool ownResolution) {
  if (item.Id > 0xFFFF || IsThumbnailPropertyId(item.Id) || item.Id == 0x501A) return false;
  if (IsPointerTag(item.Id) || IsLayoutTag(item.Id)) return false;
  return !(ownResolution && IsResolutionTag(item.Id));
}

// Exiv2 keeps a TIFF's profile among the EXIF tags as well.
constexpr uint16_t IccProfileTag = 0x8773;

void ReadEmbedded(Exiv2::Image& image, TEmbeddedMetadata& embedded) {
  if (image.iccProfileDefined()) {
    const Exiv2::DataBuf* icc = image.iccProfile();
    if (icc && icc->size_ > 0) embedded.IccProfile.assign(icc->pData_, icc->pData_ + icc->size_);
  }
  if (embedded.IccProfile.empty()) {
    const Exiv2::ExifData& exif = image.exifData();
    auto tag = exif.findKey(Exiv2::ExifKey(IccProfileTag, "Image"));
    if (tag != exif.end() && tag->size() > 0) {
      embedded.IccProfile.resize(tag->size());
      tag->copy(embedded.IccProfile.data(), Exiv2::littleEndian);
    }
  }
  embedded.XmpPacket = image.xmpPacket();
  if (!image.iptcData().empty()) {
    Exiv2::DataBuf iim = Exiv2::IptcParser::encode(image.iptcData());
    if (iim.size_ > 0) embedded.IptcBlock.assign(iim.pData_, iim.pData_ + iim.size_);
  }
}

void WriteEmbedded(const TEmbeddedMetadata& embedded, Exiv2::Image& image) {
  if (embedded.IccProfile.empty()) {
    image.clearIccProfile();
  } else {
    Exiv2::DataBuf icc(embedded.IccProfile.data(), long(embedded.IccProfile.size()));
    image.setIccProfile(icc, false);
  }
  image.clearXmpData();
  image.clearXmpPacket();
  if (!embedded.XmpPacket.empty()) {
    image.setXmpPacket(embedded.XmpPacket);
    image.writeXmpFromPacket(true);
  }
  Exiv2::IptcData iptc;
  if (!embedded.IptcBlock.empty())
    Exiv2::IptcParser::decode(iptc, embedded.IptcBlock.data(), uint32_t(embedded.IptcBlock.size()));
  image.setIptcData(iptc);
}

}  // namespace

bool SetXmpOrientationUpright(std::string& packet) {
  InitExiv2();
  try {
    Exiv2::XmpData xmp;
    if (packet.empty() || Exiv2::XmpParser::decode(xmp, packet) != 0) return false;
    auto it = xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
    if (it == xmp.end() || it->toString() == "1") return false;
    it->setValue("1");
    std::string out;
    if (Exiv2::XmpParser::encode(out, xmp) != 0 || out.empty()) return false;
    packet = std::move(out);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

uint32_t PropertyTypeSize(uint16_t type) {
  switch (type) {
    case PropertyTypeByte: case PropertyTypeASCII: case PropertyTypeUndefined: return 1;
    case PropertyTypeShort: return 2;
    case PropertyTypeLong: case PropertyTypeSLong: return 4;
    case PropertyTypeRational: case PropertyTypeSRational: return 8;
    default: return 0;
  }
}

bool ReadPropertyItems(std::span<const uint8_t> file, std::vector<TPropertyItem>& items,
                       TCodecError& err, TEmbeddedMetadata* embedded) {
  InitExiv2();
  items.clear();
  if (embedded) *embedded = {};
  try {
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
    if (!image.get()) return err.Fail(TCodecStatus::MetadataFailed, "No metadata reader for the file.");
    image->readMetadata();
    ItemsFromExif(image->exifData(), items);
    if (embedded) ReadEmbedded(*image, *embedded);
    return true;
  } catch (const std::exception& e) {
    items.clear();
    return err.Fail(TCodecStatus::MetadataFailed, std::string("Cannot read the metadata: ") + e.what());
  }
}

bool PropertyItemsFromExifBlock(std::span<const uint8_t> exif, std::vector<TPropertyItem>& items,
                                TCodecError& err) {
  InitExiv2();
  items.clear();
  try {
    Exiv2::ExifData data;
    Exiv2::ExifParser::decode(data, exif.data(), static_cast<uint32_t>(exif.size()));
    ItemsFromExif(data, items);
    return true;
  } catch (const std::exception& e) {
    items.clear();
    return err.Fail(TCodecStatus::MetadataFailed, std::string("Cannot read the EXIF block: ") + e.what());
  }
}

namespace {

TPropertyItem RationalItem(uint32_t id, double value) {
  uint32_t num = uint32_t(std::lround(value * 10000)), den = 10000;
  uint32_t a = num, b = den;
  while (b != 0) {
    uint32_t t = a % b;
    a = b;
    b = t;
  }
  if (a > 1) {
    num /= a;
    den /= a;
  }
  TPropertyItem item{id, PropertyTypeRational, std::vector<uint8_t>(8)};
  std::memcpy(item.Value.data(), &num, 4);
  std::memcpy(item.Value.data() + 4, &den, 4);
  return item;
}

}  // namespace

bool WritePropertyItems(std::vector<uint8_t>& file, std::span<const TPropertyItem> items,
                        double dpiX, double dpiY, TCodecError& err,
                        const TEmbeddedMetadata* embedded) {
  InitExiv2();
  const bool ownResolution = dpiX > 0;
  try {
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
    if (!image.get()) return err.Fail(TCodecStatus::MetadataFailed, "No metadata writer for the file.");
    image->readMetadata();
    Exiv2::ExifData exif;
    for (const TPropertyItem& item : items)
      if (Writable(item, ownResolution)) AddItem(exif, item);
    if (ownResolution) {
      AddItem(exif, RationalItem(0x011A, dpiX));
      AddItem(exif, RationalItem(0x011B, dpiY > 0 ? dpiY : dpiX));
      AddItem(exif, TPropertyItem{0x0128, PropertyTypeShort, {2, 0}});
    }
    image->setExifData(exif);
    if (embedded) WriteEmbedded(*embedded, *image);
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    if (io.open() != 0) return err.Fail(TCodecStatus::MetadataFailed, "Cannot read back the file.");
    Exiv2::DataBuf out = io.read(static_cast<long>(io.size()));
    io.close();
    if (out.size_ <= 0) return err.Fail(TCodecStatus::MetadataFailed, "Writing the metadata gave no data.");
    file.assign(out.pData_, out.pData_ + out.size_);
    return true;
  } catch (const std::exception& e) {
    return err.Fail(TCodecStatus::MetadataFailed, std::string("Cannot write the metadata: ") + e.what());
  }
}

namespace {
bool ReadRational(const TPropertyItem* item, double& value) {
  if (!item || item->Type != PropertyTypeRational || item->Value.size() < 8) return false;
  uint32_t num = 0, den = 0;
  std::memcpy(&num, item->Value.data(), 4);
  std::memcpy(&den, item->Value.data() + 4, 4);
  if (num == 0 || den == 0) return false;
  value = double(num) / double(den);
  return true;
}
}  // namespace

bool ResolutionFromItems(std::span<const TPropertyItem> items, double& dpiX, double& dpiY) {
  double x = 0, y = 0;
  if (!ReadRational(FindPropertyItem(items, 0x011A), x)) return false;
  if (!ReadRational(FindPropertyItem(items, 0x011B), y)) y = x;
  uint16_t unit = 2;
  const TPropertyItem* unitItem = FindPropertyItem(items, 0x0128);
  if (unitItem && unitItem->Type == PropertyTypeShort && unitItem->Value.size() >= 2)
    std::memcpy(&unit, unitItem->Value.data(), 2);
  if (unit != 2 && unit != 3) return false;
  double scale = unit == 3 ? 2.54 : 1.0;
  dpiX = x * scale;
  dpiY = y * scale;
  return true;
}
