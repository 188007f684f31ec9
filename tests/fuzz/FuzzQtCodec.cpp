// Probe and decode through the Qt readers as the program registers them. The first byte chooses
// between the raw input and small valid GIF, BMP and ICO files patched by the rest of the input.
// Whatever the decode guard admits must decode within the fuzzer's memory limit.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzPatch.h"
#include "platform/codec/StillImageCodec.h"
#include "platform/codec/qt/QtImageCodec.h"
#include "platform/guard/DecodeGuard.h"

namespace {

std::vector<uint8_t> Sample(const char* format) {
  QImage image(24, 16, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 10, y * 15, (x + y) * 6));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return {bytes.begin(), bytes.end()};
}

const std::vector<uint8_t>& Base(int which) {
  static const std::vector<uint8_t> bases[3] = {Sample("gif"), Sample("bmp"), Sample("ico")};
  return bases[which];
}

void Decode(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  if (!decoder) return;
  const TImageInfo& info = decoder->Info();
  const uint64_t rows = uint64_t(AlignedRowBytes24(info.Width)) * uint64_t(info.Height);
  if (!TDecodeGuard::CheckMemory(info.Width, info.Height, rows + info.DecoderBytes).empty()) return;
  std::vector<uint8_t> pixels(static_cast<size_t>(rows));
  decoder->ReadPixels({pixels.data(), AlignedRowBytes24(info.Width), info.Width, info.Height}, err);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(*argc, *argv);
  RegisterQtImageCodecs();
  TDecodeGuard::SetAvailableMemoryForTesting(uint64_t{768} << 20);  // well inside the 2 GB limit
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 4;
  ++data;
  --size;
  if (mode == 0) {
    Decode(std::vector<uint8_t>(data, data + size));
    return 0;
  }
  const std::vector<uint8_t> bytes = PatchedSample(Base(mode - 1), data, size);
  if (bytes.empty()) return 0;
  Decode(bytes);
  return 0;
}
