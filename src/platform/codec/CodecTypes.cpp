#include "platform/codec/CodecTypes.h"

const TPropertyItem* FindPropertyItem(std::span<const TPropertyItem> items, uint32_t id) {
  for (const TPropertyItem& item : items)
    if (item.Id == id) return &item;
  return nullptr;
}

bool IsThumbnailPropertyId(uint32_t id) {
  return (id >= 0x5012 && id <= 0x5019) || (id >= 0x501B && id <= 0x503B);
}

const char* ContainerName(TCodecContainer container) {
  switch (container) {
    case TCodecContainer::BMP: return "BMP";
    case TCodecContainer::JPEG: return "JPEG";
    case TCodecContainer::PNG: return "PNG";
    case TCodecContainer::TIFF: return "TIFF";
    case TCodecContainer::GIF: return "GIF";
    case TCodecContainer::EXIF: return "EXIF";
    default: return "";
  }
}

const char* ContainerGuid(TCodecContainer container) {
  switch (container) {
    case TCodecContainer::BMP: return "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
    case TCodecContainer::JPEG: return "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
    case TCodecContainer::PNG: return "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
    case TCodecContainer::GIF: return "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
    case TCodecContainer::TIFF: return "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
    case TCodecContainer::EXIF: return "{B96B3CB2-0728-11D3-9D7B-0000F81EF32E}";
    default: return "";
  }
}

bool CheckImageDimensions(int64_t width, int64_t height, TCodecError& err) {
  const bool empty = width <= 0 || height <= 0;
  return GuardVerdict(TDecodeGuard::CheckSize(width, height), empty ? TCodecStatus::Corrupt : TCodecStatus::TooLarge,
                      err);
}

bool GuardVerdict(const std::string& reason, TCodecStatus status, TCodecError& err) {
  return reason.empty() || err.Fail(status, reason);
}
