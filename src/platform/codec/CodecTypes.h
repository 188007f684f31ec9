// Value types of the still-image codec: property items, pixel rows, image facts, errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/guard/DecodeGuard.h"

// Property-item type codes as the codec stores them.
enum : uint16_t {
  PropertyTypeByte = 1,
  PropertyTypeASCII = 2,
  PropertyTypeShort = 3,
  PropertyTypeLong = 4,
  PropertyTypeRational = 5,
  PropertyTypeUndefined = 7,
  PropertyTypeSLong = 9,
  PropertyTypeSRational = 10,
};

// One metadata item in the codec's layout: identifier, type, value bytes (little-endian numbers,
// ASCII values include their terminating zero). Identifiers: EXIF and TIFF tags by their tag
// number, GPS tags 0x0000-0x001F, the embedded thumbnail's tags 0x5012-0x503B.
struct TPropertyItem {
  uint32_t Id = 0;
  uint16_t Type = 0;
  std::vector<uint8_t> Value;

  uint32_t Length() const { return static_cast<uint32_t>(Value.size()); }
  friend bool operator==(const TPropertyItem&, const TPropertyItem&) = default;
};

// The item with this identifier, or null.
const TPropertyItem* FindPropertyItem(std::span<const TPropertyItem> items, uint32_t id);
// The embedded-thumbnail identifiers a saved file never carries: 0x5012-0x5019, 0x501B-0x503B.
bool IsThumbnailPropertyId(uint32_t id);

// What a file carries beside its EXIF items, kept as the file had it: the colour profile (ICC),
// the XMP packet and the IPTC records (IIM datasets).
struct TEmbeddedMetadata {
  std::vector<uint8_t> IccProfile;
  std::string XmpPacket;
  std::vector<uint8_t> IptcBlock;

  bool Empty() const { return IccProfile.empty() && XmpPacket.empty() && IptcBlock.empty(); }
  friend bool operator==(const TEmbeddedMetadata&, const TEmbeddedMetadata&) = default;
};

// 24-bit pixel rows in caller memory: bytes blue, green, red; rows top-down, RowBytes apart.
struct TPixelRows {
  uint8_t* Bits = nullptr;
  ptrdiff_t RowBytes = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  uint8_t* Row(int32_t y) const { return Bits + y * RowBytes; }
};

// Read-only view of 24-bit blue, green, red rows that an encoder takes.
struct TConstPixelRows {
  const uint8_t* Bits = nullptr;
  ptrdiff_t RowBytes = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  const uint8_t* Row(int32_t y) const { return Bits + y * RowBytes; }
};

// Containers the codec reports (the raw-format identifier of a decoded file).
enum class TCodecContainer { Unknown, BMP, JPEG, PNG, TIFF, GIF, EXIF, Other };

// "JPEG", "TIFF", "PNG", "BMP", "GIF", "EXIF"; empty for Unknown and Other.
const char* ContainerName(TCodecContainer container);
// The raw-format GUID text, e.g. "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}" for JPEG; empty when none.
const char* ContainerGuid(TCodecContainer container);

enum class TCodecStatus {
  Ok,
  FileError,      // cannot open, read, write or rename a file
  UnknownFormat,  // no decoder recognises the bytes / no encoder for the MIME type
  TooLarge,       // dimensions that cannot be allocated
  Corrupt,        // truncated or malformed data
  Unsupported,    // a valid file of a kind this decoder does not read
  InvalidArgument,
  EncodeFailed,
  MetadataFailed,
  Cancelled,  // the watcher of a long decode called it off
};

struct TCodecError {
  TCodecStatus Status = TCodecStatus::Ok;
  std::string Message;

  // Sets status and message and returns false, so that `return err.Fail(...)` ends a bool function.
  bool Fail(TCodecStatus status, std::string message) {
    Status = status;
    Message = std::move(message);
    return false;
  }
  bool Ok() const { return Status == TCodecStatus::Ok; }
};

// What the open phase learns about a file.
struct TImageInfo {
  TCodecContainer Container = TCodecContainer::Unknown;
  std::string FormatName;  // decoder's own name of the container ("jpeg", "png", "gif", ...)
  int32_t Width = 0;
  int32_t Height = 0;
  double DpiX = 0;  // dots per inch; 0 when the file states none
  double DpiY = 0;
  std::vector<TPropertyItem> Items;  // in the file's order
  TEmbeddedMetadata Embedded;
  // Memory the decoder itself takes to decode the whole picture, beside the rows it fills.
  uint64_t DecoderBytes = 0;
};

// Sizes every decoder refuses before allocating anything (the decode guard's).
struct TCodecLimits {
  static constexpr int32_t MaxSide = int32_t(TDecodeGuard::MaxSide);
  static constexpr int64_t MaxPixels = TDecodeGuard::MaxPixels;
};

// False with a TooLarge/Corrupt message when width x height cannot be decoded into 24-bit rows.
bool CheckImageDimensions(int64_t width, int64_t height, TCodecError& err);
// A guard's refusal for a reason of its own (empty reason: admitted).
bool GuardVerdict(const std::string& reason, TCodecStatus status, TCodecError& err);

// Row stride of 24-bit rows padded to 4 bytes, as the document's bitmaps use.
constexpr ptrdiff_t AlignedRowBytes24(int32_t width) {
  return (static_cast<ptrdiff_t>(width) * 3 + 3) & ~ptrdiff_t{3};
}

// Parameters of an encode. Quality is used by "image/jpeg" only (0..100).
struct TEncodeOptions {
  int Quality = 80;
  double DpiX = 0;  // 0: no resolution written
  double DpiY = 0;
  std::span<const TPropertyItem> Items;  // written after the pixels; thumbnail items are skipped
  const TEmbeddedMetadata* Embedded = nullptr;  // written with the items where the format holds it
};
