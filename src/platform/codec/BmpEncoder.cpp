#include "platform/codec/BmpEncoder.h"

#include <cmath>
#include <cstring>
#include <new>

#include "framework/WKByteOrder.h"

namespace {

class TBmpEncoder final : public TImageEncoder {
 public:
  const char* MimeType() const override { return "image/bmp"; }
  bool CarriesMetadata() const override { return false; }
  bool Encode(const TConstPixelRows& src, const TEncodeOptions& options, std::vector<uint8_t>& out,
              TCodecError& err) const override {
    constexpr size_t HeaderBytes = 54;
    const size_t rowBytes = size_t(AlignedRowBytes24(src.Width));
    const uint64_t total = HeaderBytes + uint64_t(rowBytes) * uint64_t(src.Height);
    if (total > 0xFFFFFFFFu) return err.Fail(TCodecStatus::TooLarge, "The image is too large for a BMP file.");
    try {
      out.assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
      return err.Fail(TCodecStatus::TooLarge, "Not enough memory to encode the BMP file.");
    }
    auto ppm = [](double dpi) { return dpi > 0 ? uint32_t(std::lround(dpi / 0.0254)) : 0u; };
    uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    WriteLE32(h + 2, uint32_t(total));
    WriteLE32(h + 10, HeaderBytes);
    WriteLE32(h + 14, 40);
    WriteLE32(h + 18, uint32_t(src.Width));
    WriteLE32(h + 22, uint32_t(src.Height));
    WriteLE16(h + 26, 1);
    WriteLE16(h + 28, 24);
    WriteLE32(h + 34, uint32_t(total - HeaderBytes));
    WriteLE32(h + 38, ppm(options.DpiX));
    WriteLE32(h + 42, ppm(options.DpiY > 0 ? options.DpiY : options.DpiX));
    for (int32_t y = 0; y < src.Height; ++y)
      std::memcpy(h + HeaderBytes + size_t(src.Height - 1 - y) * rowBytes, src.Row(y), size_t(src.Width) * 3);
    return true;
  }
};

}  // namespace

std::unique_ptr<TImageEncoder> MakeBmpEncoder() { return std::make_unique<TBmpEncoder>(); }
