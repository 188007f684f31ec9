// What the image fuzzers share: valid sample files patched by the input, and a decode of what the
// decode guard admits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/codec/StillImageCodec.h"
#include "platform/guard/DecodeGuard.h"

// What the decode guard may hand out, well inside the fuzzer's 2 GB limit.
constexpr uint64_t kFuzzMemory = uint64_t{768} << 20;

// The rest of a fuzz input applied to a valid sample file: triples (offset high, offset low,
// value) overwrite bytes, and a trailing pair truncates the file there.
inline std::vector<uint8_t> PatchedSample(std::vector<uint8_t> bytes, const uint8_t* data, size_t size) {
  if (bytes.empty()) return bytes;
  size_t i = 0;
  for (; i + 3 <= size; i += 3) bytes[((size_t(data[i]) << 8) | data[i + 1]) % bytes.size()] = data[i + 2];
  if (size - i == 2) bytes.resize(((size_t(data[i]) << 8) | data[i + 1]) % (bytes.size() + 1));
  return bytes;
}

// Opens the bytes and decodes them whole and as a thumbnail, as a document and a preview would.
// The guard decides, as for a document: whatever it admits must decode within the fuzzer's
// memory limit, so a file that gets past it with a costly decode shows as a failure.
inline void DecodeAdmitted(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) return;
  const TImageInfo& info = decoder->Info();
  const uint64_t rows = uint64_t(AlignedRowBytes24(info.Width)) * uint64_t(info.Height);
  if (!TDecodeGuard::CheckMemory(info.Width, info.Height, rows + info.DecoderBytes).empty()) return;
  std::vector<uint8_t> pixels(static_cast<size_t>(rows));
  decoder->ReadPixels({pixels.data(), AlignedRowBytes24(info.Width), info.Width, info.Height}, err);
  auto again = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!again) return;
  uint8_t thumb[8 * 12 * 3];
  again->ReadThumbnail({thumb, 8 * 3, 8, 12}, err);
}

// The first byte of the input chooses between the rest taken raw (also handed to onRaw, when
// given) and one of three sample files patched by the rest; either is decoded.
inline void FuzzImage(const uint8_t* data, size_t size, const std::vector<uint8_t>& (*sample)(int which),
                      void (*onRaw)(const std::vector<uint8_t>& raw) = nullptr) {
  if (size == 0) return;
  const int mode = data[0] % 4;
  if (mode == 0) {
    const std::vector<uint8_t> raw(data + 1, data + size);
    DecodeAdmitted(raw);
    if (onRaw != nullptr) onRaw(raw);
    return;
  }
  const std::vector<uint8_t> bytes = PatchedSample(sample(mode - 1), data + 1, size - 1);
  if (!bytes.empty()) DecodeAdmitted(bytes);
}
