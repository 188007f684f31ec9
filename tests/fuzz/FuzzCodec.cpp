// Probe and decode of every core format, metadata included. The first byte chooses between
// the raw input and small valid JPEG, PNG and TIFF files patched by the rest of the input, so
// that the decoders' inner paths are reached without a seed corpus.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/codec/PropertyItems.h"
#include "FuzzPatch.h"
#include "platform/codec/StillImageCodec.h"
#include "platform/guard/DecodeGuard.h"

namespace {

// What the decode guard may hand out, well inside the fuzzer's 2 GB limit.
constexpr uint64_t kFuzzMemory = uint64_t{768} << 20;

std::vector<uint8_t> Sample(const char* mime) {
  const int32_t w = 24, h = 16;
  std::vector<uint8_t> pixels(size_t(AlignedRowBytes24(w)) * h);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 31 + i / 7);
  std::vector<TPropertyItem> items = {{0x010F, PropertyTypeASCII, {'Q', 'm', 0}},
                                      {0x829A, PropertyTypeRational, {1, 0, 0, 0, 125, 0, 0, 0}},
                                      {0x0001, PropertyTypeASCII, {'N', 0}}};
  TEncodeOptions options;
  options.DpiX = options.DpiY = 96;
  options.Items = items;
  std::vector<uint8_t> out;
  TCodecError err;
  TStillImageCodec::Encode(mime, {pixels.data(), AlignedRowBytes24(w), w, h}, options, out, err);
  return out;
}

const std::vector<uint8_t>& Base(int which) {
  static const std::vector<uint8_t> bases[3] = {Sample("image/jpeg"), Sample("image/png"), Sample("image/tiff")};
  return bases[which];
}

void Decode(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) return;
  const TImageInfo& info = decoder->Info();
  // The guard decides, as for a document: whatever it admits must decode within the fuzzer's
  // memory limit, so a file that gets past it with a costly decode shows as a failure.
  const uint64_t rows = uint64_t(AlignedRowBytes24(info.Width)) * uint64_t(info.Height);
  if (!TDecodeGuard::CheckMemory(info.Width, info.Height, rows + info.DecoderBytes).empty()) return;
  std::vector<uint8_t> pixels(size_t(AlignedRowBytes24(info.Width)) * size_t(info.Height));
  decoder->ReadPixels({pixels.data(), AlignedRowBytes24(info.Width), info.Width, info.Height}, err);
  auto again = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!again) return;
  uint8_t thumb[8 * 12 * 3];
  again->ReadThumbnail({thumb, 8 * 3, 8, 12}, err);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TDecodeGuard::SetAvailableMemoryForTesting(kFuzzMemory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 4;
  ++data;
  --size;
  if (mode == 0) {
    std::vector<uint8_t> raw(data, data + size);
    Decode(raw);
    std::vector<TPropertyItem> items;
    TCodecError err;
    PropertyItemsFromExifBlock(raw, items, err);
    return 0;
  }
  const std::vector<uint8_t> bytes = PatchedSample(Base(mode - 1), data, size);
  if (bytes.empty()) return 0;
  Decode(bytes);
  return 0;
}
