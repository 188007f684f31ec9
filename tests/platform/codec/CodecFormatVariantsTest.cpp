// PNG and TIFF files of every colour type and depth the readers handle, written with the
// libraries directly, and the 24-bit pixels they must give.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <csetjmp>
#include <functional>

#include "platform/codec/CodecTestSupport.h"
#include "platform/codec/StillImageCodec.h"

using namespace codec_test;

namespace {

using TSampleFn = std::function<uint32_t(int32_t x, int32_t y, int s)>;

struct TPngSpec {
  int32_t Width = 7, Height = 5;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int Depth = 8;
  bool Interlaced = false;
  std::vector<png_color> Palette;
  std::vector<png_byte> Trans;
};

struct TPngSink {
  std::vector<uint8_t> Bytes;
};

void SinkWrite(png_structp png, png_bytep data, size_t length) {
  auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
  sink->Bytes.insert(sink->Bytes.end(), data, data + length);
}

bool WritePngRows(png_structp png, png_infop info, const TPngSpec* spec, std::vector<uint8_t>* rows,
                  size_t rowBytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, spec->Width, spec->Height, spec->Depth, spec->ColorType,
               spec->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec->Palette.empty()) png_set_PLTE(png, info, spec->Palette.data(), int(spec->Palette.size()));
  if (!spec->Trans.empty()) png_set_tRNS(png, info, spec->Trans.data(), int(spec->Trans.size()), nullptr);
  png_write_info(png, info);
  int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int32_t y = 0; y < spec->Height; ++y) png_write_row(png, rows->data() + y * rowBytes);
  png_write_end(png, info);
  return true;
}

int PngChannels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

// Packs samples big-endian at the given depth, as both PNG and TIFF store them.
void PackSample(std::vector<uint8_t>& row, size_t index, int depth, uint32_t value) {
  if (depth == 16) {
    row[index * 2] = uint8_t(value >> 8);
    row[index * 2 + 1] = uint8_t(value);
  } else if (depth == 8) {
    row[index] = uint8_t(value);
  } else {
    size_t bit = index * size_t(depth);
    row[bit / 8] |= uint8_t(value << (8 - depth - bit % 8));
  }
}

std::vector<uint8_t> MakePng(const TPngSpec& spec, const TSampleFn& sample) {
  int channels = PngChannels(spec.ColorType);
  size_t rowBytes = (size_t(spec.Width) * channels * spec.Depth + 7) / 8;
  std::vector<uint8_t> rows(rowBytes * spec.Height, 0);
  for (int32_t y = 0; y < spec.Height; ++y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t x = 0; x < spec.Width; ++x)
      for (int s = 0; s < channels; ++s) PackSample(row, size_t(x) * channels + s, spec.Depth, sample(x, y, s));
    std::copy(row.begin(), row.end(), rows.begin() + y * rowBytes);
  }
  TPngSink sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &sink, SinkWrite, nullptr);
  bool ok = WritePngRows(png, info, &spec, &rows, rowBytes);
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  return sink.Bytes;
}

TPicture DecodeBytes(const std::vector<uint8_t>& bytes) {
  TCodecError err;
  auto decoder = TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err);
  EXPECT_TRUE(decoder) << err.Message;
  if (!decoder) return TPicture(1, 1);
  TPicture picture(decoder->Info().Width, decoder->Info().Height);
  EXPECT_TRUE(decoder->ReadPixels(picture.Rows(), err)) << err.Message;
  return picture;
}

// Blue, green, red of pixel (x, y).
std::array<int, 3> Bgr(const TPicture& p, int32_t x, int32_t y) {
  const uint8_t* q = p.Row(y) + x * 3;
  return {q[0], q[1], q[2]};
}

using TBgr = std::array<int, 3>;

}  // namespace

TEST(PngVariants, GreyAtEveryDepthBecomesEqualChannels) {
  struct TCase { int Depth; uint32_t Stored; int Expected; };
  for (TCase c : {TCase{1, 1, 255}, TCase{2, 2, 170}, TCase{4, 7, 0x77}, TCase{8, 99, 99}, TCase{16, 0xABCD, 0xAB}}) {
    TPngSpec spec;
    spec.ColorType = PNG_COLOR_TYPE_GRAY;
    spec.Depth = c.Depth;
    TPicture p = DecodeBytes(MakePng(spec, [&](int32_t x, int32_t, int) { return x == 3 ? c.Stored : 0u; }));
    EXPECT_EQ(Bgr(p, 3, 2), (TBgr{c.Expected, c.Expected, c.Expected})) << "depth " << c.Depth;
    EXPECT_EQ(Bgr(p, 0, 0), (TBgr{0, 0, 0}));
  }
}

TEST(PngVariants, AlphaIsComposedOverWhite) {
  TPngSpec rgba;
  rgba.ColorType = PNG_COLOR_TYPE_RGBA;
  TPicture p = DecodeBytes(MakePng(rgba, [](int32_t x, int32_t, int s) -> uint32_t {
    static const uint32_t px[3][4] = {{255, 0, 0, 128}, {10, 20, 30, 0}, {10, 20, 30, 255}};
    return px[x % 3][s];
  }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{127, 127, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 2, 0), (TBgr{30, 20, 10}));

  rgba.Depth = 16;
  p = DecodeBytes(MakePng(rgba, [](int32_t, int32_t, int s) -> uint32_t {
    return s == 0 ? 0xFFFF : s == 3 ? 0x8080 : 0;
  }));
  TBgr half = Bgr(p, 0, 0);
  EXPECT_EQ(half[2], 255);
  EXPECT_NEAR(half[0], 127, 1);

  TPngSpec ga;
  ga.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  p = DecodeBytes(MakePng(ga, [](int32_t x, int32_t, int s) -> uint32_t { return s == 0 ? 50 : (x == 0 ? 0 : 255); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{50, 50, 50}));
}

TEST(PngVariants, PaletteWithTransparencyAndSixteenBitRgb) {
  TPngSpec pal;
  pal.ColorType = PNG_COLOR_TYPE_PALETTE;
  pal.Depth = 4;
  pal.Palette = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
  pal.Trans = {0, 255, 128};
  TPicture p = DecodeBytes(MakePng(pal, [](int32_t x, int32_t, int) { return uint32_t(x % 3); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{255, 0, 0}));
  EXPECT_EQ(Bgr(p, 2, 0), (TBgr{127, 255, 127}));

  TPngSpec rgb16;
  rgb16.Depth = 16;
  p = DecodeBytes(MakePng(rgb16, [](int32_t, int32_t, int s) { return uint32_t(0x1234 + s * 0x4444); }));
  EXPECT_EQ(Bgr(p, 4, 4), (TBgr{0x9A, 0x56, 0x12}));
}

TEST(PngVariants, InterlacedDecodesLikeProgressiveRowsInPlace) {
  TPicture source = TPicture::Synthetic(29, 19);
  TPngSpec spec;
  spec.Width = 29;
  spec.Height = 19;
  spec.Interlaced = true;
  TPicture p = DecodeBytes(MakePng(spec, [&](int32_t x, int32_t y, int s) { return uint32_t(source.Row(y)[x * 3 + 2 - s]); }));
  EXPECT_TRUE(p.SamePixels(source));
}

namespace {

struct TTiffSpec {
  int32_t Width = 37, Height = 23;
  uint16_t Samples = 3, Bits = 8;
  uint16_t Photometric = PHOTOMETRIC_RGB;
  bool Separate = false;
  bool Tiled = false;
  uint16_t Compression = COMPRESSION_NONE;
  uint16_t ExtraSample = 0xFFFF;  // none
  std::vector<uint16_t> Map[3];
  uint16_t SampleFormat = SAMPLEFORMAT_UINT;
};

std::vector<uint8_t> MakeTiff(const TTiffSpec& spec, const TSampleFn& sample) {
  TTempFolder folder;
  std::string path = folder.File("variant.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(spec.Width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(spec.Height));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spec.Samples);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, spec.Bits);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, spec.Photometric);
  TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, spec.SampleFormat);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, spec.Separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, spec.Compression);
  if (spec.ExtraSample != 0xFFFF) TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &spec.ExtraSample);
  if (!spec.Map[0].empty())
    TIFFSetField(tif, TIFFTAG_COLORMAP, spec.Map[0].data(), spec.Map[1].data(), spec.Map[2].data());
  const int planes = spec.Separate ? spec.Samples : 1;
  const int perPixel = spec.Separate ? 1 : spec.Samples;
  auto pack = [&](int32_t x0, int32_t y, int32_t count, int plane, std::vector<uint8_t>& row) {
    if (spec.Bits == 32) return;  // all-zero float samples
    for (int32_t i = 0; i < count; ++i)
      for (int s = 0; s < perPixel; ++s) {
        uint32_t v = x0 + i < spec.Width && y < spec.Height ? sample(x0 + i, y, spec.Separate ? plane : s) : 0;
        size_t index = size_t(i) * perPixel + s;
        if (spec.Bits == 16) {
          uint16_t native = uint16_t(v);
          std::memcpy(&row[index * 2], &native, 2);
        } else {
          PackSample(row, index, spec.Bits, v);
        }
      }
  };
  if (spec.Tiled) {
    const int32_t tile = 16;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
    size_t rowBytes = (size_t(tile) * perPixel * spec.Bits + 7) / 8;
    for (int p = 0; p < planes; ++p)
      for (int32_t ty = 0; ty < spec.Height; ty += tile)
        for (int32_t tx = 0; tx < spec.Width; tx += tile) {
          std::vector<uint8_t> data(rowBytes * tile, 0);
          for (int32_t r = 0; r < tile; ++r) {
            std::vector<uint8_t> row(rowBytes, 0);
            pack(tx, ty + r, tile, p, row);
            std::copy(row.begin(), row.end(), data.begin() + r * rowBytes);
          }
          TIFFWriteTile(tif, data.data(), tx, ty, 0, uint16_t(p));
        }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
    size_t rowBytes = (size_t(spec.Width) * perPixel * spec.Bits + 7) / 8;
    for (int p = 0; p < planes; ++p)
      for (int32_t y = 0; y < spec.Height; ++y) {
        std::vector<uint8_t> row(rowBytes, 0);
        pack(0, y, spec.Width, p, row);
        TIFFWriteScanline(tif, row.data(), uint32_t(y), uint16_t(p));
      }
  }
  TIFFClose(tif);
  return ReadAll(path);
}

uint32_t RgbOf(const TPicture& source, int32_t x, int32_t y, int s) { return source.Row(y)[x * 3 + 2 - s]; }

}  // namespace

TEST(TiffVariants, StripsTilesPlanesAndCompressionGiveTheSamePixels) {
  TPicture source = TPicture::Synthetic(37, 23);
  auto rgb = [&](int32_t x, int32_t y, int s) { return RgbOf(source, x, y, s); };
  TTiffSpec contig;
  EXPECT_TRUE(DecodeBytes(MakeTiff(contig, rgb)).SamePixels(source));
  TTiffSpec separate;
  separate.Separate = true;
  separate.Compression = COMPRESSION_LZW;
  EXPECT_TRUE(DecodeBytes(MakeTiff(separate, rgb)).SamePixels(source));
  TTiffSpec tiled;
  tiled.Tiled = true;
  tiled.Compression = COMPRESSION_ADOBE_DEFLATE;
  EXPECT_TRUE(DecodeBytes(MakeTiff(tiled, rgb)).SamePixels(source));
  TTiffSpec tiledSeparate = tiled;
  tiledSeparate.Separate = true;
  EXPECT_TRUE(DecodeBytes(MakeTiff(tiledSeparate, rgb)).SamePixels(source));
  TTiffSpec rgb16;
  rgb16.Bits = 16;
  EXPECT_TRUE(DecodeBytes(MakeTiff(rgb16, [&](int32_t x, int32_t y, int s) { return rgb(x, y, s) * 256 + 100; })).SamePixels(source));
}

TEST(TiffVariants, GreyPaletteAndAlpha) {
  TTiffSpec grey16;
  grey16.Samples = 1;
  grey16.Bits = 16;
  grey16.Photometric = PHOTOMETRIC_MINISBLACK;
  TPicture p = DecodeBytes(MakeTiff(grey16, [](int32_t x, int32_t, int) { return uint32_t(x * 1000); }));
  EXPECT_EQ(Bgr(p, 10, 3), (TBgr{10000 >> 8, 10000 >> 8, 10000 >> 8}));

  TTiffSpec bilevel;
  bilevel.Samples = 1;
  bilevel.Bits = 1;
  bilevel.Photometric = PHOTOMETRIC_MINISWHITE;
  p = DecodeBytes(MakeTiff(bilevel, [](int32_t x, int32_t, int) { return uint32_t(x % 2); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 9, 0), (TBgr{0, 0, 0}));

  TTiffSpec palette;
  palette.Samples = 1;
  palette.Bits = 4;
  palette.Photometric = PHOTOMETRIC_PALETTE;
  for (int c = 0; c < 3; ++c) palette.Map[c].assign(16, 0);
  palette.Map[0][5] = 0xFF00;  // red
  palette.Map[2][6] = 0x8000;  // half blue
  p = DecodeBytes(MakeTiff(palette, [](int32_t x, int32_t, int) { return uint32_t(5 + x % 2); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{0, 0, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{128, 0, 0}));

  TTiffSpec rgba;
  rgba.Samples = 4;
  rgba.ExtraSample = EXTRASAMPLE_UNASSALPHA;
  p = DecodeBytes(MakeTiff(rgba, [](int32_t x, int32_t, int s) -> uint32_t {
    return s == 3 ? (x == 0 ? 0 : 128) : s == 0 ? 255 : 0;
  }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{127, 127, 255}));
}

TEST(TiffVariants, FloatSamplesAreRefusedWithAMessage) {
  TTiffSpec floats;
  floats.Samples = 1;
  floats.Bits = 32;
  floats.Photometric = PHOTOMETRIC_MINISBLACK;
  floats.SampleFormat = SAMPLEFORMAT_IEEEFP;
  std::vector<uint8_t> bytes = MakeTiff(floats, [](int32_t, int32_t, int) { return 0u; });
  TCodecError err;
  EXPECT_FALSE(TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err));
  EXPECT_FALSE(err.Message.empty());
}
