// Synthetic pictures, camera metadata and temporary folders for the codec tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/codec/CodecTypes.h"

namespace codec_test {

// A smooth photo-like picture with some fine texture; rows padded to `rowBytes`.
struct TPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  ptrdiff_t RowBytes = 0;
  std::vector<uint8_t> Bits;

  TPicture(int32_t w, int32_t h, ptrdiff_t rowBytes = 0)
      : Width(w), Height(h), RowBytes(rowBytes ? rowBytes : AlignedRowBytes24(w)),
        Bits(size_t(RowBytes) * size_t(h), 0xEE) {}

  static TPicture Synthetic(int32_t w, int32_t h, ptrdiff_t rowBytes = 0) {
    TPicture p(w, h, rowBytes);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* row = p.Row(y);
      for (int32_t x = 0; x < w; ++x) {
        noise = noise * 1664525u + 1013904223u;
        int n = int(noise >> 29) - 4;
        double fx = double(x) / w, fy = double(y) / h;
        row[x * 3 + 0] = uint8_t(std::clamp(int(90 + 120 * fx * fy) + n, 0, 255));
        row[x * 3 + 1] = uint8_t(std::clamp(int(128 + 100 * std::sin(6.0 * fx + 3.0 * fy)) + n, 0, 255));
        row[x * 3 + 2] = uint8_t(std::clamp(int(200 - 150 * fy) + n, 0, 255));
      }
    }
    return p;
  }

  uint8_t* Row(int32_t y) { return Bits.data() + y * RowBytes; }
  const uint8_t* Row(int32_t y) const { return Bits.data() + y * RowBytes; }
  TPixelRows Rows() { return {Bits.data(), RowBytes, Width, Height}; }
  TConstPixelRows ConstRows() const { return {Bits.data(), RowBytes, Width, Height}; }

  // Largest absolute difference of any pixel byte (padding ignored).
  int MaxDifference(const TPicture& other) const {
    int worst = 0;
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t i = 0; i < Width * 3; ++i) worst = std::max(worst, std::abs(Row(y)[i] - other.Row(y)[i]));
    return worst;
  }
  double MeanDifference(const TPicture& other) const {
    double sum = 0;
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t i = 0; i < Width * 3; ++i) sum += std::abs(Row(y)[i] - other.Row(y)[i]);
    return sum / (double(Width) * Height * 3);
  }
  bool SamePixels(const TPicture& other) const { return MaxDifference(other) == 0; }
};

inline TPropertyItem Ascii(uint32_t id, const std::string& text) {
  TPropertyItem item{id, PropertyTypeASCII, std::vector<uint8_t>(text.begin(), text.end())};
  item.Value.push_back(0);
  return item;
}

inline TPropertyItem Short(uint32_t id, uint16_t value) {
  return {id, PropertyTypeShort, {uint8_t(value), uint8_t(value >> 8)}};
}

inline TPropertyItem Rationals(uint32_t id, std::vector<std::pair<uint32_t, uint32_t>> values) {
  TPropertyItem item{id, PropertyTypeRational, {}};
  for (auto [num, den] : values)
    for (uint32_t v : {num, den})
      for (int i = 0; i < 4; ++i) item.Value.push_back(uint8_t(v >> (8 * i)));
  return item;
}

// What a camera writes: maker, model, dates, exposure, GPS position.
inline std::vector<TPropertyItem> CameraItems() {
  return {
      Ascii(0x010F, "Quillmoor Optics"),
      Ascii(0x0110, "QX-100"),
      Ascii(0x0132, "2024:05:17 10:11:12"),
      Rationals(0x829A, {{1, 125}}),
      Rationals(0x829D, {{28, 10}}),
      Short(0x8827, 200),
      Ascii(0x9003, "2024:05:17 10:11:12"),
      Ascii(0x9004, "2024:05:17 10:11:12"),
      Rationals(0x920A, {{50, 1}}),
      TPropertyItem{0x0000, PropertyTypeByte, {2, 3, 0, 0}},
      Ascii(0x0001, "N"),
      Rationals(0x0002, {{52, 1}, {12, 1}, {3456, 100}}),
      Ascii(0x0003, "E"),
      Rationals(0x0004, {{4, 1}, {53, 1}, {1234, 100}}),
  };
}

// Each expected item is present with the same type and bytes.
inline std::string MissingItems(const std::vector<TPropertyItem>& expected,
                                const std::vector<TPropertyItem>& actual) {
  std::string missing;
  for (const TPropertyItem& item : expected) {
    const TPropertyItem* found = FindPropertyItem(actual, item.Id);
    if (!found || found->Type != item.Type || found->Value != item.Value) {
      char text[32];
      std::snprintf(text, sizeof text, "0x%04X ", item.Id);
      missing += text;
    }
  }
  return missing;
}

inline bool HasThumbnailItems(const std::vector<TPropertyItem>& items) {
  for (const TPropertyItem& item : items)
    if (item.Id >= 0x5012 && item.Id <= 0x503B) return true;
  return false;
}

class TTempFolder {
 public:
  TTempFolder() {
    char pattern[] = "/tmp/qm-codec-XXXXXX";
    Path_ = mkdtemp(pattern);
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::permissions(Path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(Path_, ec);
  }
  std::string File(const std::string& name) const { return Path_ + "/" + name; }
  const std::string& Path() const { return Path_; }
  size_t EntryCount() const {
    return size_t(std::distance(std::filesystem::directory_iterator(Path_), std::filesystem::directory_iterator()));
  }

 private:
  std::string Path_;
};

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The file with 1 to 8 bytes flipped at places drawn from `random` (xorshift), more each round.
inline std::vector<uint8_t> Damaged(const std::vector<uint8_t>& whole, int round, uint32_t& random) {
  std::vector<uint8_t> damaged = whole;
  for (int k = 0; k < 1 + round % 8; ++k) {
    random ^= random << 13;
    random ^= random >> 17;
    random ^= random << 5;
    damaged[random % damaged.size()] ^= uint8_t(1 + (random >> 24) % 255);
  }
  return damaged;
}

inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) v[at + i] = uint8_t(value >> (8 * i));
}

// A 4 x 2 bottom-up run-length BMP (8 or 4 bits) at 72 dpi over the palette black, blue, red,
// holding these codes.
inline std::vector<uint8_t> RunLengthBmp(bool rle4, const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 10, 54 + 12);
  Put32(bmp, 14, 40);
  Put32(bmp, 18, 4);
  Put32(bmp, 22, 2);
  bmp[26] = 1;
  bmp[28] = rle4 ? 4 : 8;
  Put32(bmp, 30, rle4 ? 2 : 1);
  Put32(bmp, 38, 2835);
  Put32(bmp, 42, 2835);
  Put32(bmp, 46, 3);
  for (const uint8_t byte : {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0}) bmp.push_back(byte);
  for (const uint8_t byte : codes) bmp.push_back(byte);
  Put32(bmp, 34, uint32_t(codes.size()));
  Put32(bmp, 2, uint32_t(bmp.size()));
  return bmp;
}

}  // namespace codec_test
