#include "platform/codec/TiffCodec.h"

#include <tiffio.h>

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <functional>
#include <new>

#include "platform/codec/PixelConvert.h"
#include "platform/codec/PropertyItems.h"

namespace {

constexpr tmsize_t MaxChunkBytes = tmsize_t{1} << 30;

// Memory stream behind a TIFF handle, for reading a mapped file or writing into a buffer.
struct TTiffStream {
  const uint8_t* Data = nullptr;
  std::vector<uint8_t>* Out = nullptr;
  uint64_t Size = 0;
  uint64_t Pos = 0;
  std::string Error;
};

tmsize_t StreamRead(thandle_t h, void* buf, tmsize_t size) {
  auto* s = static_cast<TTiffStream*>(h);
  if (size < 0 || s->Pos >= s->Size) return 0;
  uint64_t n = std::min<uint64_t>(uint64_t(size), s->Size - s->Pos);
  const uint8_t* src = s->Out ? s->Out->data() : s->Data;
  std::memcpy(buf, src + s->Pos, n);
  s->Pos += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t StreamWrite(thandle_t h, void* buf, tmsize_t size) {
  auto* s = static_cast<TTiffStream*>(h);
  if (!s->Out || size < 0) return -1;
  try {
    if (s->Pos + uint64_t(size) > s->Out->size()) s->Out->resize(s->Pos + uint64_t(size));
  } catch (...) {
    return -1;
  }
  std::memcpy(s->Out->data() + s->Pos, buf, size_t(size));
  s->Pos += uint64_t(size);
  s->Size = s->Out->size();
  return size;
}

toff_t StreamSeek(thandle_t h, toff_t offset, int whence) {
  auto* s = static_cast<TTiffStream*>(h);
  uint64_t base = whence == SEEK_CUR ? s->Pos : whence == SEEK_END ? s->Size : 0;
  uint64_t pos = base + offset;
  if (!s->Out && pos > s->Size) return toff_t(-1);
  s->Pos = pos;
  return pos;
}

int StreamClose(thandle_t) { return 0; }
toff_t StreamSize(thandle_t h) { return static_cast<TTiffStream*>(h)->Size; }

int StreamMap(thandle_t h, void** base, toff_t* size) {
  auto* s = static_cast<TTiffStream*>(h);
  if (s->Out) return 0;
  *base = const_cast<uint8_t*>(s->Data);
  *size = s->Size;
  return 1;
}
void StreamUnmap(thandle_t, void*, toff_t) {}

int TiffErrorHandler(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
  auto* s = static_cast<TTiffStream*>(user);
  if (s && s->Error.empty()) {
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, ap);
    s->Error = text;
  }
  return 1;
}
int TiffWarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* OpenStream(TTiffStream& stream, const char* mode) {
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(opts, TiffErrorHandler, &stream);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, TiffWarningHandler, &stream);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, MaxChunkBytes);
  TIFF* tif = TIFFClientOpenExt("memory", mode, &stream, StreamRead, StreamWrite, StreamSeek,
                                StreamClose, StreamSize, StreamMap, StreamUnmap, opts);
  TIFFOpenOptionsFree(opts);
  return tif;
}

struct TTiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TTiffPtr = std::unique_ptr<TIFF, TTiffCloser>;

uint16_t Field16(TIFF* tif, ttag_t tag, uint16_t fallback) {
  uint16_t value = fallback;
  return TIFFGetFieldDefaulted(tif, tag, &value) == 1 ? value : fallback;
}

// How the samples of one pixel become blue, green, red.
struct TTiffLayout {
  uint16_t Bits = 8;
  uint16_t Samples = 1;
  uint16_t Photometric = PHOTOMETRIC_MINISBLACK;
  bool Separate = false;
  int AlphaSample = -1;  // sample index of an alpha channel, or -1
  bool Premultiplied = false;
  const uint16_t* Map[3] = {};  // palette colormap
  int MapShift = 8;             // 0 for the old files whose colormap holds 8-bit values
};

uint32_t Sample(const uint8_t* row, uint32_t index, uint16_t bits) {
  switch (bits) {
    case 8: return row[index];
    case 16: {
      uint16_t v;
      std::memcpy(&v, row + size_t(index) * 2, 2);
      return v;
    }
    default: {
      uint32_t bit = index * bits;
      return (row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
    }
  }
}

uint8_t To8(uint32_t v, uint16_t bits) {
  if (bits == 8) return uint8_t(v);
  if (bits == 16) return uint8_t(v >> 8);
  return uint8_t(v * 255 / ((1u << bits) - 1));
}

uint8_t Compose(uint32_t c, uint32_t a, bool premultiplied) {
  if (premultiplied) return uint8_t(std::min<uint32_t>(255, c + 255 - a));
  return uint8_t((c * a + 255 * (255 - a) + 127) / 255);
}

// Converts `count` pixels of a chunk row (one row pointer per plane) to blue, green, red.
void ConvertRun(const TTiffLayout& l, const uint8_t* const* planes, uint32_t count, uint8_t* out) {
  if (!l.Separate && l.Bits == 8 && l.Photometric == PHOTOMETRIC_RGB && l.AlphaSample < 0) {
    RGBToBGR(planes[0], l.Samples, out, int32_t(count));
    return;
  }
  auto sample = [&](uint32_t pixel, uint32_t s) {
    return l.Separate ? Sample(planes[s], pixel, l.Bits) : Sample(planes[0], pixel * l.Samples + s, l.Bits);
  };
  for (uint32_t i = 0; i < count; ++i, out += 3) {
    uint32_t r, g, b;
    if (l.Photometric == PHOTOMETRIC_PALETTE) {
      uint32_t index = sample(i, 0);
      r = l.Map[0][index] >> l.MapShift;
      g = l.Map[1][index] >> l.MapShift;
      b = l.Map[2][index] >> l.MapShift;
    } else if (l.Photometric == PHOTOMETRIC_RGB) {
      r = To8(sample(i, 0), l.Bits);
      g = To8(sample(i, 1), l.Bits);
      b = To8(sample(i, 2), l.Bits);
    } else {
      r = g = b = To8(sample(i, 0), l.Bits);
      if (l.Photometric == PHOTOMETRIC_MINISWHITE) r = g = b = 255 - r;
    }
    if (l.AlphaSample >= 0) {
      uint32_t a = To8(sample(i, uint32_t(l.AlphaSample)), l.Bits);
      r = Compose(r, a, l.Premultiplied);
      g = Compose(g, a, l.Premultiplied);
      b = Compose(b, a, l.Premultiplied);
    }
    out[0] = uint8_t(b);
    out[1] = uint8_t(g);
    out[2] = uint8_t(r);
  }
}

class TTiffDecoder final : public TImageDecoder {
 public:
  explicit TTiffDecoder(std::shared_ptr<const TCodecData> data) : Data_(std::move(data)) {
    Stream_.Data = Data_->Data();
    Stream_.Size = Data_->Size();
  }

  bool Open(TCodecError& err) {
    Tif_.reset(OpenStream(Stream_, "r"));
    if (!Tif_) return Failed(err, "cannot read the header");
    uint32_t width = 0, height = 0;
    if (!TIFFGetField(Tif_.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(Tif_.get(), TIFFTAG_IMAGELENGTH, &height))
      return Failed(err, "no image size");
    if (!CheckImageDimensions(width, height, err)) return false;
    Info_.Container = TCodecContainer::TIFF;
    Info_.FormatName = "tiff";
    Info_.Width = int32_t(width);
    Info_.Height = int32_t(height);
    ReadResolution();
    if (!ChooseLayout(err)) return false;
    CheckCoding();
    if (Direct_) {
      if (!MeasureChunks(err)) return false;
      Info_.DecoderBytes = Chunks_.Bytes * uint64_t(Chunks_.Planes);
    } else {
      Info_.DecoderBytes = uint64_t(width) * height * 4;  // the library's whole RGBA raster
    }
    TCodecError metadataErr;
    ReadPropertyItems(Data_->Bytes(), Info_.Items, metadataErr, &Info_.Embedded);
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    Stream_.Error.clear();
    bool ok = false;
    if (Direct_) {
      ok = ReadChunks([&](uint32_t y) { return dest.Row(int32_t(y)); },
                      [&](uint32_t end) {
                        if (Progress_) Progress_->Publish(int32_t(end));
                        return Report(double(end) / Info_.Height, err);
                      },
                      err);
    } else {
      ok = ReadRGBA(dest, err);
    }
    if (!ok && err.Ok()) return Failed(err, "cannot decode the pixels");
    return ok;
  }

  // Strips are reduced as they come; a band of tiles goes through a buffer of its rows.
  bool ReadThumbnail(const TPixelRows& dest, TCodecError& err) override {
    if (!Direct_) return TImageDecoder::ReadThumbnail(dest, err);
    if (!CheckThumbnailDest(dest, err)) return false;
    const uint64_t bandBytes = uint64_t(AlignedRowBytes24(Info_.Width)) * Chunks_.Height;
    if (!CheckPreviewBytes(bandBytes + Info_.DecoderBytes, err)) return false;
    std::vector<uint8_t> band(static_cast<size_t>(bandBytes));
    const ptrdiff_t rowBytes = AlignedRowBytes24(Info_.Width);
    TAreaReducer reducer(Info_.Width, Info_.Height, dest);
    uint32_t bandStart = 0;
    Stream_.Error.clear();
    const bool ok = ReadChunks([&](uint32_t y) { return band.data() + (y % Chunks_.Height) * rowBytes; },
                               [&](uint32_t end) {
                                 for (uint32_t y = bandStart; y < end; ++y)
                                   reducer.AddRow(band.data() + (y % Chunks_.Height) * rowBytes);
                                 bandStart = end;
                                 return true;
                               },
                               err);
    if (!ok && err.Ok()) return Failed(err, "cannot decode the pixels");
    return ok;
  }

 private:
  bool Failed(TCodecError& err, const char* what) {
    std::string text = "The TIFF file is damaged: ";
    text += Stream_.Error.empty() ? what : Stream_.Error;
    return err.Fail(TCodecStatus::Corrupt, text + ".");
  }

  void ReadResolution() {
    float x = 0, y = 0;
    uint16_t unit = Field16(Tif_.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (!TIFFGetField(Tif_.get(), TIFFTAG_XRESOLUTION, &x) || !(x > 0)) return;
    if (!TIFFGetField(Tif_.get(), TIFFTAG_YRESOLUTION, &y) || !(y > 0)) y = x;
    if (unit != RESUNIT_INCH && unit != RESUNIT_CENTIMETER) return;
    double scale = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
    Info_.DpiX = x * scale;
    Info_.DpiY = y * scale;
  }

  bool ChooseLayout(TCodecError& err) {
    TIFF* tif = Tif_.get();
    TTiffLayout& l = Layout_;
    l.Bits = Field16(tif, TIFFTAG_BITSPERSAMPLE, 1);
    l.Samples = Field16(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    l.Separate = Field16(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE;
    uint16_t format = Field16(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.Photometric))
      l.Photometric = l.Samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (l.Photometric == PHOTOMETRIC_YCBCR &&
        Field16(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == COMPRESSION_JPEG) {
      TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      l.Photometric = PHOTOMETRIC_RGB;
    }
    bool bitsOk = l.Bits == 1 || l.Bits == 2 || l.Bits == 4 || l.Bits == 8 || l.Bits == 16;
    uint16_t colorSamples = l.Photometric == PHOTOMETRIC_RGB ? 3 : 1;
    Direct_ = format == SAMPLEFORMAT_UINT && bitsOk && l.Samples >= colorSamples && l.Samples <= 16 &&
              (l.Photometric == PHOTOMETRIC_MINISBLACK || l.Photometric == PHOTOMETRIC_MINISWHITE ||
               l.Photometric == PHOTOMETRIC_PALETTE || (l.Photometric == PHOTOMETRIC_RGB && l.Bits >= 8));
    if (Direct_ && l.Photometric == PHOTOMETRIC_PALETTE &&
        (l.Bits > 8 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &l.Map[0], &l.Map[1], &l.Map[2])))
      Direct_ = false;
    if (Direct_ && l.Photometric == PHOTOMETRIC_PALETTE) l.MapShift = MapIs16Bit() ? 8 : 0;
    if (Direct_) {
      FindAlpha();
      return true;
    }
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
      return err.Fail(TCodecStatus::Unsupported, std::string("This kind of TIFF file cannot be read: ") + message);
    return true;
  }

  bool MapIs16Bit() const {
    for (uint32_t i = 0; i < (1u << Layout_.Bits); ++i)
      for (const uint16_t* map : Layout_.Map)
        if (map[i] >= 256) return true;
    return false;
  }

  void FindAlpha() {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(Tif_.get(), TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0) return;
    int colorSamples = Layout_.Photometric == PHOTOMETRIC_RGB ? 3 : 1;
    if (kinds[0] != EXTRASAMPLE_ASSOCALPHA && kinds[0] != EXTRASAMPLE_UNASSALPHA) return;
    if (colorSamples >= Layout_.Samples) return;
    Layout_.AlphaSample = colorSamples;
    Layout_.Premultiplied = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
  }

  // The strip or tile layout and the buffer each plane of a chunk takes.
  bool MeasureChunks(TCodecError& err) {
    TIFF* tif = Tif_.get();
    TChunks& c = Chunks_;
    c.Tiled = TIFFIsTiled(tif);
    c.Width = uint32_t(Info_.Width);
    c.Height = 0;
    if (c.Tiled) {
      TIFFGetField(tif, TIFFTAG_TILEWIDTH, &c.Width);
      TIFFGetField(tif, TIFFTAG_TILELENGTH, &c.Height);
    } else {
      TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &c.Height);
    }
    c.Height = std::min<uint32_t>(std::max<uint32_t>(c.Height, 1), uint32_t(Info_.Height));
    if (c.Width == 0) return Failed(err, "invalid tile size");
    c.Planes = Layout_.Separate ? Layout_.Samples : 1;
    const uint64_t pixelBits = uint64_t(Layout_.Separate ? 1 : Layout_.Samples) * Layout_.Bits;
    c.RowBytes = (uint64_t(c.Width) * pixelBits + 7) / 8;
    const uint64_t libSize = uint64_t(c.Tiled ? TIFFTileSize64(tif) : TIFFStripSize64(tif));
    c.Bytes = std::max<uint64_t>(c.RowBytes * c.Height, libSize);
    if (c.Bytes == 0 || c.Bytes * uint64_t(c.Planes) > uint64_t(MaxChunkBytes))
      return err.Fail(TCodecStatus::TooLarge, "The TIFF file's strips or tiles are too large.");
    return true;
  }

  // A file too short for its picture in its compression is refused before anything is read.
  void CheckCoding() {
    const uint16_t compression = Field16(Tif_.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    const uint64_t ratio = MaxExpansion(compression);
    const uint16_t samples = Field16(Tif_.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
    const uint16_t bits = Field16(Tif_.get(), TIFFTAG_BITSPERSAMPLE, 1);
    const uint64_t raw = uint64_t(Info_.Width) * uint64_t(Info_.Height) * samples * bits / 8;
    const std::string reason = ratio == 0
                                   ? TDecodeGuard::CheckUnboundedCoding(Info_.Width, Info_.Height, Data_->Size())
                                   : TDecodeGuard::CheckLength(Data_->Size(), raw / ratio);
    Refuse(reason, TCodecStatus::Corrupt);
  }

  // The most a compression expands its bytes; 0 when it has no such bound (fax codings, ...).
  static uint64_t MaxExpansion(uint16_t compression) {
    switch (compression) {
      case COMPRESSION_NONE: return 1;
      case COMPRESSION_PACKBITS: return 64;         // two bytes repeat one up to 128 times
      case COMPRESSION_LZW: return 2731;            // a 12-bit code stands for up to 4096 bytes
      case COMPRESSION_ADOBE_DEFLATE:
      case COMPRESSION_DEFLATE: return 1032;        // as in PNG
      case COMPRESSION_JPEG:
      case COMPRESSION_OJPEG: return 512;           // two bits a block at the least
      default: return 0;
    }
  }

  using TRowOf = std::function<uint8_t*(uint32_t)>;

  // The chunk at (x0, y0) of every plane into buffers, converted into the rows rowOf gives.
  bool ReadChunk(uint32_t x0, uint32_t y0, const std::vector<std::unique_ptr<uint8_t[]>>& buffers,
                 const TRowOf& rowOf, TCodecError& err) {
    TIFF* tif = Tif_.get();
    const TChunks& c = Chunks_;
    const uint32_t rowCount = std::min(c.Height, uint32_t(Info_.Height) - y0);
    const uint32_t columns = std::min(c.Width, uint32_t(Info_.Width) - x0);
    for (int p = 0; p < c.Planes; ++p) {
      tmsize_t got = c.Tiled ? TIFFReadTile(tif, buffers[p].get(), x0, y0, 0, uint16_t(p))
                             : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y0, uint16_t(p)),
                                                    buffers[p].get(), tmsize_t(c.Bytes));
      if (got < 0 || (!c.Tiled && uint64_t(got) < c.RowBytes * rowCount))
        return Failed(err, "cannot read the pixel data");
    }
    const uint8_t* rows[16] = {};
    for (uint32_t r = 0; r < rowCount; ++r) {
      for (int p = 0; p < c.Planes; ++p) rows[p] = buffers[p].get() + r * c.RowBytes;
      ConvertRun(Layout_, rows, columns, rowOf(y0 + r) + size_t(x0) * 3);
    }
    return true;
  }

  // Decodes band after band of chunk rows: rowOf (y) is where picture row y goes, bandDone (end)
  // follows each band (rows up to end are complete) and may call the decode off.
  bool ReadChunks(const TRowOf& rowOf, const std::function<bool(uint32_t)>& bandDone, TCodecError& err) {
    const TChunks& c = Chunks_;
    std::vector<std::unique_ptr<uint8_t[]>> buffers;
    for (int p = 0; p < c.Planes; ++p) {
      buffers.emplace_back(new (std::nothrow) uint8_t[c.Bytes]);
      if (!buffers.back()) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to read the TIFF file.");
    }
    for (uint32_t y0 = 0; y0 < uint32_t(Info_.Height); y0 += c.Height) {
      for (uint32_t x0 = 0; x0 < uint32_t(Info_.Width); x0 += c.Width)
        if (!ReadChunk(x0, y0, buffers, rowOf, err)) return false;
      if (!bandDone(y0 + std::min(c.Height, uint32_t(Info_.Height) - y0))) return false;
    }
    return true;
  }

  bool ReadRGBA(const TPixelRows& dest, TCodecError& err) {
    const size_t count = size_t(Info_.Width) * size_t(Info_.Height);
    std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[count]);
    if (!raster) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to read the TIFF file.");
    if (!TIFFReadRGBAImageOriented(Tif_.get(), uint32_t(Info_.Width), uint32_t(Info_.Height),
                                   raster.get(), ORIENTATION_TOPLEFT, 0))
      return Failed(err, "cannot decode the pixels");
    for (int32_t y = 0; y < Info_.Height; ++y) {
      const uint32_t* in = raster.get() + size_t(y) * size_t(Info_.Width);
      uint8_t* out = dest.Row(y);
      for (int32_t x = 0; x < Info_.Width; ++x, out += 3) {
        uint32_t p = in[x], a = TIFFGetA(p);
        out[0] = Compose(TIFFGetB(p), a, true);
        out[1] = Compose(TIFFGetG(p), a, true);
        out[2] = Compose(TIFFGetR(p), a, true);
      }
    }
    return true;
  }

  std::shared_ptr<const TCodecData> Data_;
  TTiffStream Stream_;
  TTiffPtr Tif_;
  TTiffLayout Layout_;
  bool Direct_ = false;
  struct TChunks {
    bool Tiled = false;
    uint32_t Width = 0, Height = 0;  // of a strip or tile
    int Planes = 1;
    uint64_t RowBytes = 0, Bytes = 0;  // of one plane's row and whole chunk
  } Chunks_;
};

class TTiffHandler final : public TImageCodecHandler {
 public:
  const char* Name() const override { return "tiff"; }
  bool Probe(std::span<const uint8_t> head) const override {
    if (head.size() < 4) return false;
    bool little = head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0;
    bool big = head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43);
    return little || big;
  }
  std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data,
                                      TCodecError& err) const override {
    auto decoder = std::make_unique<TTiffDecoder>(std::move(data));
    if (!decoder->Open(err)) return nullptr;
    return decoder;
  }
};

class TTiffEncoder final : public TImageEncoder {
 public:
  const char* MimeType() const override { return "image/tiff"; }
  bool CarriesMetadata() const override { return true; }
  bool Encode(const TConstPixelRows& src, const TEncodeOptions& options, std::vector<uint8_t>& out,
              TCodecError& err) const override {
    out.clear();
    TTiffStream stream;
    stream.Out = &out;
    TTiffPtr tif(OpenStream(stream, "w"));
    if (!tif) return err.Fail(TCodecStatus::EncodeFailed, "Cannot start the TIFF encoder.");
    TIFF* t = tif.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(src.Width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(src.Height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    if (options.DpiX > 0) {
      TIFFSetField(t, TIFFTAG_XRESOLUTION, float(options.DpiX));
      TIFFSetField(t, TIFFTAG_YRESOLUTION, float(options.DpiY > 0 ? options.DpiY : options.DpiX));
      TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    std::vector<uint8_t> row(size_t(src.Width) * 3);
    for (int32_t y = 0; y < src.Height; ++y) {
      RGBToBGR(src.Row(y), 3, row.data(), src.Width);
      if (TIFFWriteScanline(t, row.data(), uint32_t(y), 0) < 0)
        return err.Fail(TCodecStatus::EncodeFailed, "Cannot encode the TIFF file: " + stream.Error);
    }
    if (!TIFFWriteDirectory(t)) return err.Fail(TCodecStatus::EncodeFailed, "Cannot encode the TIFF file: " + stream.Error);
    tif.reset();
    return true;
  }
};

}  // namespace

std::unique_ptr<TImageCodecHandler> MakeTiffHandler() { return std::make_unique<TTiffHandler>(); }
std::unique_ptr<TImageEncoder> MakeTiffEncoder() { return std::make_unique<TTiffEncoder>(); }
