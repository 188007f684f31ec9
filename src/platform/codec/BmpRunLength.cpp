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

  // Where the next code is read and the next pixel goes.
  struct TCursor {
    size_t Pos = 0;
    int64_t X = 0, Line = 0;
  };

  // The codes were checked to stay inside the file (CheckBmpFile); positions are checked here.
  void Decode(const TPixelRows& dest) const {
    const std::span<const uint8_t> b = Data_->Bytes();
    TCursor at{ReadLE32(&b[10]), 0, 0};
    while (at.Pos + 2 <= b.size() && at.Line < dest.Height) {
      const uint8_t count = b[at.Pos], code = b[at.Pos + 1];
      at.Pos += 2;
      if (count > 0) {
        for (int i = 0; i < count; ++i, ++at.X)
          Put(dest, at.X, at.Line, Rle8_ ? code : uint8_t(i & 1 ? code & 15 : code >> 4));
      } else if (!Escape(dest, code, at)) {
        return;
      }
    }
  }

  // The code after a zero count: end of line, end of picture, a move, or literal pixels. False
  // when the picture ends.
  bool Escape(const TPixelRows& dest, uint8_t code, TCursor& at) const {
    const std::span<const uint8_t> b = Data_->Bytes();
    switch (code) {
      case 0:
        at.X = 0;
        ++at.Line;
        return true;
      case 1:
        return false;
      case 2:
        if (at.Pos + 2 > b.size()) return false;
        at.X += b[at.Pos];
        at.Line += b[at.Pos + 1];
        at.Pos += 2;
        return true;
      default:
        return Literal(dest, code, at);
    }
  }

  // count pixels given one by one (a byte each, or a nibble each in RLE4), padded to a word.
  bool Literal(const TPixelRows& dest, uint8_t count, TCursor& at) const {
    const std::span<const uint8_t> b = Data_->Bytes();
    const size_t bytes = Rle8_ ? count : (size_t(count) + 1) / 2;
    if (at.Pos + bytes > b.size()) return false;
    for (int i = 0; i < count; ++i, ++at.X) {
      const uint8_t v = b[at.Pos + (Rle8_ ? size_t(i) : size_t(i) / 2)];
      Put(dest, at.X, at.Line, Rle8_ ? v : uint8_t(i & 1 ? v & 15 : v >> 4));
    }
    at.Pos += bytes + (bytes & 1);
    return true;
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
