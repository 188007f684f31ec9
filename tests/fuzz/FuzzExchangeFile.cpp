// Exchange files of any content through both readers: the application's (layout check, pixel
// conversion, EXIF block) and the plug-in's copy back into a host buffer sized exactly to its
// last pixel, with the host's plane count and padding taken from the input.
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugin/ExchangeTransfer.h"
#include "plugin/PhotoshopDataInfo.h"

namespace {

constexpr int64_t kMaxPixels = 1 << 20;

void ApplicationSide(const std::vector<uint8_t>& file) {
  TWKExchangeImage image;
  if (!ParseExchangeFile(file.data(), file.size(), image)) return;
  const int64_t pixels = int64_t(image.Header.Width) * image.Header.Height;
  if (pixels > kMaxPixels) return;
  std::vector<uint8_t> bgr(size_t(pixels) * 3);
  ReadExchangePixels(image, bgr.data(), ptrdiff_t(image.Header.Width) * 3);
  volatile uint8_t sink = 0;
  for (uint32_t i = 0; i < image.ExifSize; ++i) sink = sink ^ image.Exif[i];
}

void PluginSide(const std::vector<uint8_t>& file, uint8_t choice) {
  TWKExchangeHeader request;
  if (!ReadExchangeHeader(file.data(), file.size(), request)) return;
  if (request.Width <= 0 || request.Height <= 0 || int64_t(request.Width) * request.Height > kMaxPixels) return;
  request.PixelBytes = 3 + (choice & 1);
  request.RowBytes = request.Width * request.PixelBytes + ((choice >> 1) & 7);
  const size_t hostSize = size_t(request.Height - 1) * size_t(request.RowBytes) + size_t(request.Width) * size_t(request.PixelBytes);
  std::vector<uint8_t> host(hostSize, 0x5A);
  CopyExchangeToHost(file.data(), file.size(), request, host.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file(data, data + size);  // exactly sized: overreads hit the red zone
  ApplicationSide(file);
  PluginSide(file, size > 0 ? data[size - 1] : 0);
  return 0;
}
