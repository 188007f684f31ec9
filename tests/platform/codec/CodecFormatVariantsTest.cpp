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

struct TPngShape {
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

bool WritePngRows(png_structp png, png_infop info, const TPngShape* shape, std::vector<uint8_t>* rows,
                  size_t rowBytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, shape->Width, shape->Height, shape->Depth, shape->ColorType,
               shape->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!shape->Palette.empty()) png_set_PLTE(png, info, shape->Palette.data(), int(shape->Palette.size()));
  if (!shape->Trans.empty()) png_set_tRNS(png, info, shape->Trans.data(), int(shape->Trans.size()), nullptr);
  png_write_info(png, info);
  int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int32_t y = 0; y < shape->Height; ++y) png_write_row(png, rows->data() + y * rowBytes);
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

std::vector<uint8_t> MakePng(const TPngShape& shape, const TSampleFn& sample) {
  int channels = PngChannels(shape.ColorType);
  size_t rowBytes = (size_t(shape.Width) * channels * shape.Depth + 7) / 8;
  std::vector<uint8_t> rows(rowBytes * shape.Height, 0);
  for (int32_t y = 0; y < shape.Height; ++y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t x = 0; x < shape.Width; ++x)
      for (int s = 0; s < channels; ++s) PackSample(row, size_t(x) * channels + s, shape.Depth, sample(x, y, s));
    std::copy(row.begin(), row.end(), rows.begin() + y * rowBytes);
  }
  TPngSink sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &sink, SinkWrite, nullptr);
  bool ok = WritePngRows(png, info, &shape, &rows, rowBytes);
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
    TPngShape shape;
    shape.ColorType = PNG_COLOR_TYPE_GRAY;
    shape.Depth = c.Depth;
    TPicture p = DecodeBytes(MakePng(shape, [&](int32_t x, int32_t, int) { return x == 3 ? c.Stored : 0u; }));
    EXPECT_EQ(Bgr(p, 3, 2), (TBgr{c.Expected, c.Expected, c.Expected})) << "depth " << c.Depth;
    EXPECT_EQ(Bgr(p, 0, 0), (TBgr{0, 0, 0}));
  }
}

TEST(PngVariants, AlphaIsComposedOverWhite) {
  TPngShape rgba;
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

  TPngShape ga;
  ga.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  p = DecodeBytes(MakePng(ga, [](int32_t x, int32_t, int s) -> uint32_t { return s == 0 ? 50 : (x == 0 ? 0 : 255); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{50, 50, 50}));
}

TEST(PngVariants, PaletteWithTransparencyAndSixteenBitRgb) {
  TPngShape pal;
  pal.ColorType = PNG_COLOR_TYPE_PALETTE;
  pal.Depth = 4;
  pal.Palette = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
  pal.Trans = {0, 255, 128};
  TPicture p = DecodeBytes(MakePng(pal, [](int32_t x, int32_t, int) { return uint32_t(x % 3); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{255, 0, 0}));
  EXPECT_EQ(Bgr(p, 2, 0), (TBgr{127, 255, 127}));

  TPngShape rgb16;
  rgb16.Depth = 16;
  p = DecodeBytes(MakePng(rgb16, [](int32_t, int32_t, int s) { return uint32_t(0x1234 + s * 0x4444); }));
  EXPECT_EQ(Bgr(p, 4, 4), (TBgr{0x9A, 0x56, 0x12}));
}

TEST(PngVariants, InterlacedDecodesLikeProgressiveRowsInPlace) {
  TPicture source = TPicture::Synthetic(29, 19);
  TPngShape shape;
  shape.Width = 29;
  shape.Height = 19;
  shape.Interlaced = true;
  TPicture p = DecodeBytes(MakePng(shape, [&](int32_t x, int32_t y, int s) { return uint32_t(source.Row(y)[x * 3 + 2 - s]); }));
  EXPECT_TRUE(p.SamePixels(source));
}

namespace {

struct TTiffShape {
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

std::vector<uint8_t> MakeTiff(const TTiffShape& shape, const TSampleFn& sample) {
  TTempFolder folder;
  std::string path = folder.File("variant.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(shape.Width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(shape.Height));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, shape.Samples);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, shape.Bits);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, shape.Photometric);
  TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, shape.SampleFormat);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, shape.Separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, shape.Compression);
  if (shape.ExtraSample != 0xFFFF) TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &shape.ExtraSample);
  if (!shape.Map[0].empty())
    TIFFSetField(tif, TIFFTAG_COLORMAP, shape.Map[0].data(), shape.Map[1].data(), shape.Map[2].data());
  const int planes = shape.Separate ? shape.Samples : 1;
  const int perPixel = shape.Separate ? 1 : shape.Samples;
  auto pack = [&](int32_t x0, int32_t y, int32_t count, int plane, std::vector<uint8_t>& row) {
    if (shape.Bits == 32) return;  // all-zero float samples
    for (int32_t i = 0; i < count; ++i)
      for (int s = 0; s < perPixel; ++s) {
        uint32_t v = x0 + i < shape.Width && y < shape.Height ? sample(x0 + i, y, shape.Separate ? plane : s) : 0;
        size_t index = size_t(i) * perPixel + s;
        if (shape.Bits == 16) {
          uint16_t native = uint16_t(v);
          std::memcpy(&row[index * 2], &native, 2);
        } else {
          PackSample(row, index, shape.Bits, v);
        }
      }
  };
  if (shape.Tiled) {
    const int32_t tile = 16;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
    size_t rowBytes = (size_t(tile) * perPixel * shape.Bits + 7) / 8;
    for (int p = 0; p < planes; ++p)
      for (int32_t ty = 0; ty < shape.Height; ty += tile)
        for (int32_t tx = 0; tx < shape.Width; tx += tile) {
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
    size_t rowBytes = (size_t(shape.Width) * perPixel * shape.Bits + 7) / 8;
    for (int p = 0; p < planes; ++p)
      for (int32_t y = 0; y < shape.Height; ++y) {
        std::vector<uint8_t> row(rowBytes, 0);
        pack(0, y, shape.Width, p, row);
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
  TTiffShape contig;
  EXPECT_TRUE(DecodeBytes(MakeTiff(contig, rgb)).SamePixels(source));
  TTiffShape separate;
  separate.Separate = true;
  separate.Compression = COMPRESSION_LZW;
  EXPECT_TRUE(DecodeBytes(MakeTiff(separate, rgb)).SamePixels(source));
  TTiffShape tiled;
  tiled.Tiled = true;
  tiled.Compression = COMPRESSION_ADOBE_DEFLATE;
  EXPECT_TRUE(DecodeBytes(MakeTiff(tiled, rgb)).SamePixels(source));
  TTiffShape tiledSeparate = tiled;
  tiledSeparate.Separate = true;
  EXPECT_TRUE(DecodeBytes(MakeTiff(tiledSeparate, rgb)).SamePixels(source));
  TTiffShape rgb16;
  rgb16.Bits = 16;
  EXPECT_TRUE(DecodeBytes(MakeTiff(rgb16, [&](int32_t x, int32_t y, int s) { return rgb(x, y, s) * 256 + 100; })).SamePixels(source));
}

TEST(TiffVariants, GreyPaletteAndAlpha) {
  TTiffShape grey16;
  grey16.Samples = 1;
  grey16.Bits = 16;
  grey16.Photometric = PHOTOMETRIC_MINISBLACK;
  TPicture p = DecodeBytes(MakeTiff(grey16, [](int32_t x, int32_t, int) { return uint32_t(x * 1000); }));
  EXPECT_EQ(Bgr(p, 10, 3), (TBgr{10000 >> 8, 10000 >> 8, 10000 >> 8}));

  TTiffShape bilevel;
  bilevel.Samples = 1;
  bilevel.Bits = 1;
  bilevel.Photometric = PHOTOMETRIC_MINISWHITE;
  p = DecodeBytes(MakeTiff(bilevel, [](int32_t x, int32_t, int) { return uint32_t(x % 2); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 9, 0), (TBgr{0, 0, 0}));

  TTiffShape palette;
  palette.Samples = 1;
  palette.Bits = 4;
  palette.Photometric = PHOTOMETRIC_PALETTE;
  for (int c = 0; c < 3; ++c) palette.Map[c].assign(16, 0);
  palette.Map[0][5] = 0xFF00;  // red
  palette.Map[2][6] = 0x8000;  // half blue
  p = DecodeBytes(MakeTiff(palette, [](int32_t x, int32_t, int) { return uint32_t(5 + x % 2); }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{0, 0, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{128, 0, 0}));

  TTiffShape rgba;
  rgba.Samples = 4;
  rgba.ExtraSample = EXTRASAMPLE_UNASSALPHA;
  p = DecodeBytes(MakeTiff(rgba, [](int32_t x, int32_t, int s) -> uint32_t {
    return s == 3 ? (x == 0 ? 0 : 128) : s == 0 ? 255 : 0;
  }));
  EXPECT_EQ(Bgr(p, 0, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (TBgr{127, 127, 255}));
}

TEST(TiffVariants, FloatSamplesAreRefusedWithAMessage) {
  TTiffShape floats;
  floats.Samples = 1;
  floats.Bits = 32;
  floats.Photometric = PHOTOMETRIC_MINISBLACK;
  floats.SampleFormat = SAMPLEFORMAT_IEEEFP;
  std::vector<uint8_t> bytes = MakeTiff(floats, [](int32_t, int32_t, int) { return 0u; });
  TCodecError err;
  EXPECT_FALSE(TStillImageCodec::OpenMemory(bytes.data(), bytes.size(), err));
  EXPECT_FALSE(err.Message.empty());
}
