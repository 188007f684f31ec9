// Probe and decode of every core format, metadata included. The first byte chooses between
// the raw input and small valid JPEG, PNG and TIFF files patched by the rest of the input, so
// that the decoders' inner paths are reached without a seed corpus.
#include <cstddef>
#include <cstdint>
#include <vector>

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

void Decode(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) return;
  const TImageInfo& info = decoder->Info();
  if (int64_t(info.Width) * info.Height > 4'000'000) return;  // stay inside the fuzzer's memory limit
  std::vector<uint8_t> pixels(size_t(AlignedRowBytes24(info.Width)) * size_t(info.Height));
  decoder->ReadPixels({pixels.data(), AlignedRowBytes24(info.Width), info.Width, info.Height}, err);
  auto again = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!again) return;
  uint8_t thumb[8 * 12 * 3];
  again->ReadThumbnail({thumb, 8 * 3, 8, 12}, err);
}

}  // namespace

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
  std::vector<uint8_t> bytes = Base(mode - 1);
  if (bytes.empty()) return 0;
  // Triples (offset high, offset low, value) overwrite bytes; a trailing pair truncates.
  size_t i = 0;
  for (; i + 3 <= size; i += 3) bytes[((size_t(data[i]) << 8) | data[i + 1]) % bytes.size()] = data[i + 2];
  if (size - i == 2) bytes.resize(((size_t(data[i]) << 8) | data[i + 1]) % (bytes.size() + 1));
  Decode(bytes);
  return 0;
}
