#include "framework/WKSDFWriter.h"

#include "framework/WKByteOrder.h"
#include "framework/WKSDFTypes.h"
#include "framework/WKUnicode.h"

namespace {

uint8_t LengthCode(uint32_t value) {
  if (value == 0) return 0;
  if (value < 256) return 1;
  if (value <= 65535) return 2;
  return 3;
}

// Appends the little-endian bytes of value that its length code calls for.
int PutField(uint8_t* out, uint32_t value) {
  static constexpr int kBytes[4] = {0, 1, 2, 4};
  const int n = kBytes[LengthCode(value)];
  for (int i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
  return n;
}

}  // namespace

TWKSDFWriter::TWKSDFWriter(TWKStream* stream, bool ownsStream)
    : Stream_(stream), OwnsStream_(ownsStream) {}

TWKSDFWriter::~TWKSDFWriter() {
  if (OwnsStream_) delete Stream_;
}

void TWKSDFWriter::WriteElement(uint8_t kind, uint32_t identifier, uint32_t type, uint32_t size,
                                const void* data) {
  if (Stream_ == nullptr) return;
  uint8_t header[13];
  header[0] = static_cast<uint8_t>(kind << 6 | LengthCode(identifier) << 4 | LengthCode(type) << 2 |
                                   LengthCode(size));
  int n = 1;
  n += PutField(header + n, identifier);
  n += PutField(header + n, type);
  n += PutField(header + n, size);
  Stream_->Write(header, static_cast<size_t>(n));
  if (size != 0) Stream_->Write(data, size);
}

void TWKSDFWriter::BeginNode(uint32_t identifier, const TWKGUID& key) {
  const auto bytes = key.Bytes();
  WriteElement(SDF_KIND_NODE, identifier, SDF_GUID, 16, bytes.data());
}

void TWKSDFWriter::BeginNode(uint32_t identifier, int32_t key) {
  uint8_t bytes[4];
  WriteLE32(bytes, static_cast<uint32_t>(key));
  WriteElement(SDF_KIND_NODE, identifier, SDF_INT32, 4, bytes);
}

void TWKSDFWriter::EndNode() {
  if (Stream_ == nullptr) return;
  const uint8_t end = 0;
  Stream_->Write(&end, 1);
}

void TWKSDFWriter::WriteBoolean(uint32_t identifier, bool value) {
  const uint8_t byte = value ? 1 : 0;
  WriteElement(SDF_KIND_VALUE, identifier, SDF_INT8, 1, &byte);
}

void TWKSDFWriter::WriteInteger(uint32_t identifier, int32_t value) {
  uint8_t bytes[4];
  WriteLE32(bytes, static_cast<uint32_t>(value));
  WriteElement(SDF_KIND_VALUE, identifier, SDF_INT32, 4, bytes);
}

void TWKSDFWriter::WriteWideString(uint32_t identifier, const std::string& text) {
  WriteWideString(identifier, Utf8ToUtf16(text));
}

void TWKSDFWriter::WriteWideString(uint32_t identifier, const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  WriteElement(SDF_KIND_VALUE, identifier, SDF_WIDESTRING, static_cast<uint32_t>(bytes.size()),
               bytes.data());
}

void TWKSDFWriter::WriteBinary(uint32_t identifier, const void* data, uint32_t size) {
  WriteElement(SDF_KIND_VALUE, identifier, SDF_BINARY, size, data);
}
