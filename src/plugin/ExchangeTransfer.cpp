#include "plugin/ExchangeTransfer.h"

#include <cstring>

namespace {

// Bytes from the first byte of the first row to one past the last pixel of the last row.
uint64_t UsedSpan(const TWKExchangeHeader& h) {
  return uint64_t(h.Height - 1) * uint64_t(h.RowBytes) + uint64_t(h.Width) * uint64_t(h.PixelBytes);
}

// The returned file's layout must fit its own rows and the file must hold all it declares.
bool FileLayoutFits(const TWKExchangeHeader& file, size_t size) {
  if (file.HeaderSize < kExchangeHeaderSize || file.PixelBytes < 3 || file.RowBytes <= 0) return false;
  if (int64_t(file.RowBytes) < int64_t(file.Width) * file.PixelBytes) return false;
  const uint64_t declared = 4 + uint64_t(file.HeaderSize) + uint64_t(file.Height) * uint64_t(file.RowBytes);
  return declared <= size;
}

void CopyRows(const uint8_t* src, size_t srcRowBytes, uint8_t* dst, size_t dstRowBytes, size_t rowLength,
              int32_t height) {
  for (int32_t y = 0; y < height; ++y) std::memcpy(dst + size_t(y) * dstRowBytes, src + size_t(y) * srcRowBytes, rowLength);
}

void CopyColourBytes(const uint8_t* src, const TWKExchangeHeader& file, uint8_t* dst, const TWKExchangeHeader& host) {
  for (int32_t y = 0; y < file.Height; ++y) {
    const uint8_t* s = src + size_t(y) * size_t(file.RowBytes);
    uint8_t* d = dst + size_t(y) * size_t(host.RowBytes);
    for (int32_t x = 0; x < file.Width; ++x, s += file.PixelBytes, d += host.PixelBytes) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

}  // namespace

bool WriteHostImage(uint8_t* view, size_t size, const TWKExchangeHeader& header, const uint8_t* inData) {
  const size_t total = ExchangeFileSize(header.RowBytes, header.Height);
  if (view == nullptr || inData == nullptr || total == 0 || total > size) return false;
  if (header.Width <= 0 || header.Height <= 0 || header.PixelBytes <= 0) return false;
  if (int64_t(header.RowBytes) < int64_t(header.Width) * header.PixelBytes) return false;
  WriteExchangeHeader(view, header);
  // One block, except that the last row ends with its last pixel: the host's row stride may
  // reach beyond the end of its buffer there.
  uint8_t* rows = view + kExchangeDataOffset;
  const size_t used = size_t(UsedSpan(header));
  std::memcpy(rows, inData, used);
  std::memset(rows + used, 0, total - kExchangeDataOffset - used);
  return true;
}

TTransferResult CopyExchangeToHost(const uint8_t* view, size_t size, const TWKExchangeHeader& request,
                                   uint8_t* outData) {
  TWKExchangeHeader file;
  if (!ReadExchangeHeader(view, size, file)) return TTransferResult::Unreadable;
  if (file.Width != request.Width || file.Height != request.Height || file.Mode != request.Mode)
    return TTransferResult::Refused;
  if (request.Width <= 0 || request.Height <= 0 || request.PixelBytes < 3) return TTransferResult::Refused;
  if (int64_t(request.RowBytes) < int64_t(request.Width) * request.PixelBytes) return TTransferResult::Refused;
  if (!FileLayoutFits(file, size)) return TTransferResult::Refused;
  const uint8_t* rows = view + 4 + size_t(file.HeaderSize);
  if (file.PixelBytes == request.PixelBytes) {
    const size_t rowLength = size_t(request.Width) * size_t(request.PixelBytes);
    CopyRows(rows, size_t(file.RowBytes), outData, size_t(request.RowBytes), rowLength, request.Height);
  } else {
    CopyColourBytes(rows, file, outData, request);
  }
  return TTransferResult::Done;
}
