// Probe and decode of every core format, metadata included. The first byte chooses between
// the raw input and small valid JPEG, PNG and TIFF files patched by the rest of the input, so
// that the decoders' inner paths are reached without a seed corpus.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "platform/codec/PropertyItems.h"
#include "platform/codec/StillImageCodec.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TDecodeGuard::SetAvailableMemoryForTesting(kFuzzMemory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzImage(data, size, Base, [](const std::vector<uint8_t>& raw) {
    std::vector<TPropertyItem> items;
    TCodecError err;
    PropertyItemsFromExifBlock(raw, items, err);
  });
  return 0;
}
