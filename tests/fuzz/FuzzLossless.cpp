// Loading arbitrary bytes into the lossless JPEG component; what it holds is decoded, turned and
// saved exactly (or re-encoded when the turn cannot be exact). The raw input is also taken as
// an EXIF block whose thumbnail is removed.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/lossless/ExifBlock.h"
#include "platform/lossless/ITarnwick.h"
#include "platform/guard/DecodeGuard.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TDecodeGuard::SetAvailableMemoryForTesting(uint64_t{768} << 20);  // well inside the 2 GB limit
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0};
  exif.insert(exif.end(), data, data + size);
  const std::vector<uint8_t> stripped = ExifWithoutThumbnail(exif);
  if (stripped.size() > exif.size()) __builtin_trap();

  auto t = CreateTarnwickObject();
  if (!t->LoadMemory(data, size)) return 0;
  const int32_t w = t->Width(), h = t->Height();
  // The pixels, their original and a turned copy: the guard admits what fits the fuzzer's limit.
  const uint64_t rows = uint64_t((int64_t(w) * 3 + 3) / 4 * 4) * uint64_t(h);
  if (!TDecodeGuard::CheckMemory(w, h, rows * 4).empty()) return 0;
  const ptrdiff_t stride = (ptrdiff_t(w) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> pixels(size_t(stride) * size_t(h));
  if (!t->ReadPixels(pixels.data(), stride, 0)) return 0;
  std::vector<uint8_t> original = pixels;
  pixels[0] ^= 0x40;  // one changed MCU
  t->SetRegion(0, 0, w, h);
  static const std::string file = "/tmp/fuzz_lossless_" + std::to_string(::getpid()) + ".jpg";
  uint8_t* first = pixels.data();
  t->SetPixels(&first, stride, 0, 0);
  t->SetOriginalPixels(original.data(), stride);
  int32_t parameters[TarnwickSaveParameterCount] = {0, 100, 0, 0, -1, -1, -1, TarnwickSaveExact, 90};
  if (!t->Save(file, parameters)) return 0;
  // A quarter turn of the same pixels, as the document would show it, saved again.
  std::vector<uint8_t> turned(size_t((ptrdiff_t(h) * 3 + 3) / 4 * 4) * size_t(w));
  const ptrdiff_t turnedStride = (ptrdiff_t(h) * 3 + 3) / 4 * 4;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int k = 0; k < 3; ++k)
        turned[size_t(x * turnedStride + (h - 1 - y) * 3 + k)] = pixels[size_t(y * stride + x * 3 + k)];
  t->RotateRight(0);
  first = turned.data();
  t->SetPixels(&first, turnedStride, 0, 0);
  t->SetOriginalPixels(nullptr, 0);
  if (!t->Save(file, parameters)) {
    parameters[TarnwickSaveMode] = TarnwickSaveReencode;
    t->Save(file, parameters);
  }
  t->FinishSave();
  ::unlink(file.c_str());
  return 0;
}
