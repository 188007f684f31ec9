#include "support/HostileFiles.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace hostile {

namespace {

using TBytes = std::vector<uint8_t>;

void Put16(TBytes& out, uint32_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

void Put32(TBytes& out, uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}

void PutLE16(TBytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void PutLE32(TBytes& out, uint32_t v) {
  PutLE16(out, v & 0xFFFF);
  PutLE16(out, v >> 16);
}

// Entropy-coded bits, most significant first, with a zero stuffed after every 0xFF byte.
class TBitWriter {
 public:
  explicit TBitWriter(TBytes& out) : Out_(out) {}
  void Put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      Acc_ = uint8_t(Acc_ << 1 | ((value >> i) & 1));
      if (++Bits_ == 8) Emit();
    }
  }
  // Pads the last byte with ones.
  void Flush() {
    while (Bits_ != 0) Put(1, 1);
  }

 private:
  void Emit() {
    Out_.push_back(Acc_);
    if (Acc_ == 0xFF) Out_.push_back(0);
    Acc_ = 0;
    Bits_ = 0;
  }
  TBytes& Out_;
  uint8_t Acc_ = 0;
  int Bits_ = 0;
};

uint64_t Blocks(int32_t width, int32_t height) {
  return uint64_t((width + 7) / 8) * uint64_t((height + 7) / 8);
}

// Start of image, a table of ones, the frame and two one-code Huffman tables: the DC table's
// only symbol is category 0, the AC table's is acSymbol, each coded as a single 0 bit.
TBytes JpegHeader(uint8_t frameMarker, int32_t width, int32_t height, uint8_t acSymbol) {
  TBytes out = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
  out.insert(out.end(), 64, 1);
  out.insert(out.end(), {0xFF, frameMarker, 0x00, 0x0B, 0x08});
  Put16(out, uint32_t(height));
  Put16(out, uint32_t(width));
  out.insert(out.end(), {0x01, 0x01, 0x11, 0x00});
  for (uint8_t tableClass : {uint8_t(0x00), uint8_t(0x10)}) {
    out.insert(out.end(), {0xFF, 0xC4, 0x00, 0x14, tableClass, 0x01});
    out.insert(out.end(), 15, 0);
    out.push_back(tableClass == 0 ? 0x00 : acSymbol);
  }
  return out;
}

void ScanHeader(TBytes& out, uint8_t ss, uint8_t se) {
  out.insert(out.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, ss, se, 0x00});
}

// Zero bits for every block (a DC category 0, or that and an end of block), cut to share.
void ZeroBits(TBytes& out, uint64_t bits, double share) {
  const uint64_t bytes = (bits + 7) / 8;
  const uint64_t kept = share >= 1.0 ? bytes : uint64_t(double(bytes) * share);
  out.insert(out.end(), kept, 0x00);
  if (share >= 1.0 && bits % 8 != 0) out.back() = uint8_t((1u << (8 - bits % 8)) - 1);
}

// A deflate (zlib) stream of count zero bytes, made a megabyte at a time.
TBytes DeflatedZeros(uint64_t count) {
  z_stream z{};
  deflateInit(&z, Z_BEST_SPEED);
  const std::vector<uint8_t> zeros(1 << 20, 0);
  TBytes out;
  std::vector<uint8_t> buffer(1 << 16);
  uint64_t left = count;
  int flush = Z_NO_FLUSH;
  do {
    if (z.avail_in == 0 && flush == Z_NO_FLUSH) {
      const uint64_t n = std::min<uint64_t>(left, zeros.size());
      z.next_in = const_cast<Bytef*>(zeros.data());
      z.avail_in = uInt(n);
      left -= n;
      if (left == 0) flush = Z_FINISH;
    }
    z.next_out = buffer.data();
    z.avail_out = uInt(buffer.size());
    deflate(&z, flush);
    out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
  } while (flush != Z_FINISH || z.avail_out == 0);
  deflateEnd(&z);
  return out;
}

void PngChunk(TBytes& out, const char* type, const TBytes& data) {
  Put32(out, uint32_t(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// A one-strip grey TIFF, little-endian, whose strip follows the directory.
TBytes Tiff(int32_t width, int32_t height, uint16_t compression, const TBytes& strip) {
  TBytes out = {'I', 'I', 42, 0};
  PutLE32(out, 8);
  const struct {
    uint16_t Tag, Type;
    uint32_t Value;
  } entries[] = {{256, 4, uint32_t(width)}, {257, 4, uint32_t(height)}, {258, 3, 8}, {259, 3, compression},
                 {262, 3, 1}, {273, 4, 8 + 2 + 9 * 12 + 4}, {277, 3, 1}, {278, 4, uint32_t(height)},
                 {279, 4, uint32_t(strip.size())}};
  PutLE16(out, 9);
  for (const auto& e : entries) {
    PutLE16(out, e.Tag);
    PutLE16(out, e.Type);
    PutLE32(out, 1);
    PutLE32(out, e.Value);  // a SHORT sits in the low half, little-endian first
  }
  PutLE32(out, 0);
  out.insert(out.end(), strip.begin(), strip.end());
  return out;
}

}  // namespace

TBytes ProgressiveGreyJpeg(int32_t width, int32_t height, int acScans, double dcShare, bool withDc) {
  TBytes out = JpegHeader(0xC2, width, height, 0xE0);
  const uint64_t blocks = Blocks(width, height);
  if (withDc) {
    ScanHeader(out, 0, 0);
    ZeroBits(out, blocks, dcShare);
  }
  for (int scan = 0; scan < acScans; ++scan) {
    ScanHeader(out, 1, 63);
    TBitWriter bits(out);
    // End-of-band runs of 2^14 + 16383 blocks: the symbol 0xE0 and fourteen extra one bits.
    for (uint64_t covered = 0; covered < blocks; covered += 32767) bits.Put(0x3FFF, 15);
    bits.Flush();
  }
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TBytes BaselineGreyJpeg(int32_t width, int32_t height, double dataShare) {
  TBytes out = JpegHeader(0xC0, width, height, 0x00);
  ScanHeader(out, 0, 63);
  ZeroBits(out, 2 * Blocks(width, height), dataShare);
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TBytes ZeroPng(int32_t width, int32_t height, bool complete) {
  TBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  TBytes header;
  Put32(header, uint32_t(width));
  Put32(header, uint32_t(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  PngChunk(out, "IHDR", header);
  PngChunk(out, "IDAT", DeflatedZeros(complete ? (1 + uint64_t(width) * 3) * uint64_t(height) : 4));
  PngChunk(out, "IEND", {});
  return out;
}

TBytes GreyTiff(int32_t width, int32_t height, uint32_t dataBytes) {
  return Tiff(width, height, 1, TBytes(dataBytes, 0x80));
}

TBytes ZeroDeflateTiff(int32_t width, int32_t height) {
  return Tiff(width, height, 8, DeflatedZeros(uint64_t(width) * uint64_t(height)));
}

TBytes EmptyRunLengthBmp(int32_t width, int32_t height) {
  TBytes out = {'B', 'M'};
  const uint32_t offBits = 14 + 40 + 8;
  PutLE32(out, offBits + 2);
  PutLE32(out, 0);
  PutLE32(out, offBits);
  for (uint32_t v : {40u, uint32_t(width), uint32_t(height)}) PutLE32(out, v);
  PutLE16(out, 1);
  PutLE16(out, 8);
  for (uint32_t v : {1u, 2u, 2835u, 2835u, 2u, 0u}) PutLE32(out, v);
  out.insert(out.end(), {0, 0, 0, 0, 255, 255, 255, 0});  // black and white
  out.insert(out.end(), {0, 1});                          // end of picture
  return out;
}

TBytes Svg(int32_t width, int32_t height) {
  const std::string text = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                           "\" height=\"" + std::to_string(height) + "\"><rect width=\"9\" height=\"9\"/></svg>";
  return TBytes(text.begin(), text.end());
}

std::vector<TFile> MakeAll() {
  std::vector<TFile> files = {
      {"scans-40000.jpg", "scan bomb", ProgressiveGreyJpeg(2048, 2048, 40000)},
      {"scans-300.jpg", "scan bomb", ProgressiveGreyJpeg(640, 480, 300)},
      {"scan-passes-8000x8000.jpg", "scan bomb", ProgressiveGreyJpeg(8000, 8000, 200)},
      {"progressive-65500x6100.jpg", "huge header", ProgressiveGreyJpeg(65500, 6100, 2, 0.045)},
      {"baseline-65500x6100.jpg", "huge header", BaselineGreyJpeg(65500, 6100, 0.02)},
      {"ac-only-65500x6100.jpg", "huge header", ProgressiveGreyJpeg(65500, 6100, 3, 1.0, false)},
      {"header-65535x6000.png", "huge header", ZeroPng(65535, 6000, false)},
      {"header-60000x6000.tif", "huge header", GreyTiff(60000, 6000, 4096)},
      {"rle-20000x10000.bmp", "huge header", EmptyRunLengthBmp(20000, 10000)},
      {"zeros-16000x16000.jpg", "decompression bomb", ProgressiveGreyJpeg(16000, 16000, 2)},
      {"zeros-20000x20000.png", "decompression bomb", ZeroPng(20000, 20000, true)},
      {"zeros-20000x20000.tif", "decompression bomb", ZeroDeflateTiff(20000, 20000)},
      {"drawing-65535x16000.svg", "drawing", Svg(65535, 16000)},
  };
  // The progressive header bomb cut short, as a disk that lost its end leaves it.
  TFile cut{"cut-65500x6100.jpg", "huge header", files[3].Bytes};
  cut.Bytes.resize(cut.Bytes.size() / 2);
  files.push_back(cut);
  return files;
}

}  // namespace hostile
