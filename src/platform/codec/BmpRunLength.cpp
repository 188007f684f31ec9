#include "platform/codec/BmpRunLength.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/WKByteOrder.h"
#include "platform/codec/BmpFile.h"

namespace {

constexpr uint32_t kRle8 = 1, kRle4 = 2;

uint32_t Compression(std::span<const uint8_t> b) {
  if (b.size() < 34 || ReadLE32(&b[14]) < 40) return 0;
  return ReadLE32(&b[30]);
}

class TBmpRunLengthDecoder final : public TImageDecoder {
 public:
  explicit TBmpRunLengthDecoder(std::shared_ptr<const TCodecData> data) : Data_(std::move(data)) {}

  bool Open(TCodecError& err) {
    const std::span<const uint8_t> b = Data_->Bytes();
    TBmpFacts facts;
    if (!CheckBmpFile(b, facts, err)) return false;
    if (!CheckImageDimensions(facts.Width, facts.Height, err)) return false;
    Refuse(TDecodeGuard::CheckUnboundedCoding(facts.Width, facts.Height, b.size()), TCodecStatus::Corrupt);
    Rle8_ = Compression(b) == kRle8;
    TopDown_ = int32_t(ReadLE32(&b[22])) < 0;
    ReadPalette(b);
    Info_.Container = TCodecContainer::BMP;
    Info_.FormatName = "bmp";
    Info_.Width = facts.Width;
    Info_.Height = facts.Height;
    Info_.DpiX = facts.DpiX;
    Info_.DpiY = facts.DpiY;
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    for (int32_t y = 0; y < dest.Height; ++y) std::memset(dest.Row(y), 0, size_t(dest.Width) * 3);
    Decode(dest);
    return true;
  }

 private:
  // Colours at 14 + header size, four bytes each (blue, green, red, unused).
  void ReadPalette(std::span<const uint8_t> b) {
    const uint32_t bits = Rle8_ ? 8 : 4;  // what the coding allows, whatever the header says
    const uint64_t start = 14 + uint64_t(ReadLE32(&b[14]));
    uint64_t count = ReadLE32(&b[46]);
    if (count == 0 || count > (1u << bits)) count = 1u << bits;
    const uint64_t end = std::min<uint64_t>(ReadLE32(&b[10]), b.size());
    if (end > start) count = std::min<uint64_t>(count, (end - start) / 4);
    else count = 0;
    Colors_ = uint32_t(std::min<uint64_t>(count, Palette_.size()));
    for (uint32_t i = 0; i < Colors_; ++i) std::memcpy(Palette_[i].data(), &b[start + i * 4], 3);
  }

  void Put(const TPixelRows& dest, int64_t x, int64_t line, uint8_t index) const {
    if (x < 0 || x >= dest.Width || line < 0 || line >= dest.Height || index >= Colors_) return;
    const int32_t y = TopDown_ ? int32_t(line) : dest.Height - 1 - int32_t(line);
    std::memcpy(dest.Row(y) + x * 3, Palette_[index].data(), 3);
  }

  // The codes were checked to stay inside the file (CheckBmpFile); positions are checked here.
  void Decode(const TPixelRows& dest) const {
    const std::span<const uint8_t> b = Data_->Bytes();
    size_t pos = ReadLE32(&b[10]);
    int64_t x = 0, line = 0;
    while (pos + 2 <= b.size() && line < dest.Height) {
      const uint8_t count = b[pos], code = b[pos + 1];
      pos += 2;
      if (count > 0) {
        for (int i = 0; i < count; ++i, ++x)
          Put(dest, x, line, Rle8_ ? code : uint8_t(i & 1 ? code & 15 : code >> 4));
      } else if (code == 0) {
        x = 0;
        ++line;
      } else if (code == 1) {
        return;
      } else if (code == 2) {
        if (pos + 2 > b.size()) return;
        x += b[pos];
        line += b[pos + 1];
        pos += 2;
      } else {
        const size_t bytes = Rle8_ ? code : (size_t(code) + 1) / 2;
        if (pos + bytes > b.size()) return;
        for (int i = 0; i < code; ++i, ++x) {
          const uint8_t v = b[pos + (Rle8_ ? size_t(i) : size_t(i) / 2)];
          Put(dest, x, line, Rle8_ ? v : uint8_t(i & 1 ? v & 15 : v >> 4));
        }
        pos += bytes + (bytes & 1);
      }
    }
  }

  std::shared_ptr<const TCodecData> Data_;
  bool Rle8_ = true;
  bool TopDown_ = false;
  std::array<std::array<uint8_t, 3>, 256> Palette_{};
  uint32_t Colors_ = 0;
};

class TBmpRunLengthHandler final : public TImageCodecHandler {
 public:
  const char* Name() const override { return "bmp-rle"; }
  bool Probe(std::span<const uint8_t> head) const override {
    const uint32_t compression = Compression(head);
    return IsBmpSignature(head) && (compression == kRle8 || compression == kRle4);
  }
  std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data, TCodecError& err) const override {
    auto decoder = std::make_unique<TBmpRunLengthDecoder>(std::move(data));
    if (!decoder->Open(err)) return nullptr;
    return decoder;
  }
};

}  // namespace

std::unique_ptr<TImageCodecHandler> MakeBmpRunLengthHandler() { return std::make_unique<TBmpRunLengthHandler>(); }
