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

#include "FuzzSupport.h"
#include "platform/codec/StillImageCodec.h"
#include "platform/codec/qt/QtImageCodec.h"

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(*argc, *argv);
  RegisterQtImageCodecs();
  TDecodeGuard::SetAvailableMemoryForTesting(kFuzzMemory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzImage(data, size, Base);
  return 0;
}
