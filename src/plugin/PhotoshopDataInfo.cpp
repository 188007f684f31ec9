#include "plugin/PhotoshopDataInfo.h"

#include <cstring>
#include <limits>

#include "framework/WKByteOrder.h"

namespace {

int32_t GetLE32(const uint8_t* p) { return static_cast<int32_t>(ReadLE32(p)); }
void PutLE32(uint8_t* p, int32_t value) { WriteLE32(p, static_cast<uint32_t>(value)); }

// The fields in file order, so that reading and writing cannot disagree.
int32_t TWKExchangeHeader::*const kFields[] = {
    &TWKExchangeHeader::HeaderSize, &TWKExchangeHeader::Mode,  &TWKExchangeHeader::Left,
    &TWKExchangeHeader::Top,        &TWKExchangeHeader::Width, &TWKExchangeHeader::Height,
    &TWKExchangeHeader::RowBytes,   &TWKExchangeHeader::PixelBytes};

void FindExif(const uint8_t* view, size_t size, size_t rowsEnd, TWKExchangeImage& image) {
  if (size - rowsEnd <= kExchangeExifThreshold) return;
  const uint8_t* block = view + rowsEnd;
  if (std::memcmp(block, kExchangeExifMagic, 4) != 0) return;
  const auto length = static_cast<uint32_t>(GetLE32(block + 4));
  if (length > size - rowsEnd - 8) return;
  image.Exif = block + 8;
  image.ExifSize = length;
}

}  // namespace

bool HasExchangeMagic(const uint8_t* view, size_t size) {
  return view != nullptr && size >= kExchangeDataOffset && std::memcmp(view, kExchangeMagic, 4) == 0;
}

bool ReadExchangeHeader(const uint8_t* view, size_t size, TWKExchangeHeader& header) {
  if (!HasExchangeMagic(view, size)) return false;
  const uint8_t* p = view + 4;
  for (auto field : kFields) {
    header.*field = GetLE32(p);
    p += 4;
  }
  return true;
}

void WriteExchangeHeader(uint8_t* view, const TWKExchangeHeader& header) {
  std::memcpy(view, kExchangeMagic, 4);
  uint8_t* p = view + 4;
  for (auto field : kFields) {
    PutLE32(p, header.*field);
    p += 4;
  }
}

size_t ExchangeFileSize(int64_t rowBytes, int64_t height) {
  if (rowBytes < 0 || height < 0) return 0;
  const uint64_t limit = std::numeric_limits<size_t>::max() - kExchangeDataOffset;
  if (height != 0 && uint64_t(rowBytes) > limit / uint64_t(height)) return 0;
  return kExchangeDataOffset + size_t(rowBytes) * size_t(height);
}

bool ParseExchangeFile(const uint8_t* view, size_t size, TWKExchangeImage& image) {
  TWKExchangeHeader h;
  if (!ReadExchangeHeader(view, size, h)) return false;
  if (h.Mode != kExchangeModeRGB || h.Width <= 0 || h.Height <= 0) return false;
  if (h.PixelBytes < 3 || h.RowBytes <= 0) return false;
  if (int64_t(h.RowBytes) < int64_t(h.Width) * h.PixelBytes) return false;
  const size_t rowsEnd = ExchangeFileSize(h.RowBytes, h.Height);
  if (rowsEnd == 0 || rowsEnd > size) return false;
  image = TWKExchangeImage{};
  image.Header = h;
  image.Rows = view + kExchangeDataOffset;
  FindExif(view, size, rowsEnd, image);
  return true;
}

void ReadExchangePixels(const TWKExchangeImage& image, uint8_t* bgrRows, ptrdiff_t bgrRowBytes) {
  const TWKExchangeHeader& h = image.Header;
  const size_t step = size_t(h.PixelBytes);
  for (int32_t y = 0; y < h.Height; ++y) {
    const uint8_t* src = image.Rows + size_t(y) * size_t(h.RowBytes);
    uint8_t* dst = bgrRows + y * bgrRowBytes;
    for (int32_t x = 0; x < h.Width; ++x, src += step, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
}

bool WriteExchangeImage(uint8_t* view, size_t size, int32_t width, int32_t height,
                        int32_t rowBytes, const uint8_t* bgrRows, ptrdiff_t bgrRowBytes) {
  if (view == nullptr || width < 0 || height < 0) return false;
  if (int64_t(rowBytes) < int64_t(width) * 3) return false;
  const size_t needed = ExchangeFileSize(rowBytes, height);
  if (needed == 0 || needed > size) return false;
  TWKExchangeHeader h;
  h.HeaderSize = kExchangeHeaderSize;
  h.Mode = kExchangeModeRGB;
  h.Width = width;
  h.Height = height;
  h.RowBytes = rowBytes;
  h.PixelBytes = 3;
  WriteExchangeHeader(view, h);
  const size_t pad = size_t(rowBytes) - size_t(width) * 3;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = bgrRows + y * bgrRowBytes;
    uint8_t* dst = view + kExchangeDataOffset + size_t(y) * size_t(rowBytes);
    for (int32_t x = 0; x < width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
    std::memset(dst, 0, pad);
  }
  return true;
}
