#include "platform/codec/PngCodec.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>

#include "framework/WKByteOrder.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/PropertyItems.h"

namespace {

// Plain data shared with libpng's callbacks. libpng reports errors by longjmp, so every
// function that calls into libpng sets its jump target itself and keeps no C++ objects alive
// across the call.
struct TPngState {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  std::vector<uint8_t>* Out = nullptr;
  bool OutOfMemory = false;
  char Message[256] = {};
};

void PngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<TPngState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, size_t length) {
  auto* state = static_cast<TPngState*>(png_get_io_ptr(png));
  if (length > state->Size - state->Pos) png_error(png, "unexpected end of file");
  std::memcpy(out, state->Data + state->Pos, length);
  state->Pos += length;
}

void PngWrite(png_structp png, png_bytep data, size_t length) {
  auto* state = static_cast<TPngState*>(png_get_io_ptr(png));
  try {
    state->Out->insert(state->Out->end(), data, data + length);
  } catch (...) {
    state->OutOfMemory = true;
  }
  if (state->OutOfMemory) png_error(png, "out of memory");
}

void PngFlush(png_structp) {}

bool PngReadHeader(TPngState* s) {
  if (setjmp(png_jmpbuf(s->Png))) return false;
  png_set_user_limits(s->Png, TCodecLimits::MaxSide, TCodecLimits::MaxSide);
  // Ancillary chunks are read whole before their length is checked against the file.
  png_set_chunk_malloc_max(s->Png, 8 * 1024 * 1024);
  png_set_chunk_cache_max(s->Png, 1000);
  png_read_info(s->Png, s->Info);
  return true;
}

// Transforms to 8-bit blue, green, red with alpha composed over white; returns the passes.
int PngSetTransforms(TPngState* s) {
  png_structp png = s->Png;
  png_infop info = s->Info;
  int colorType = png_get_color_type(png, info);
  int depth = png_get_bit_depth(png, info);
  bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (alpha) {
    png_color_16 white{};
    white.red = white.green = white.blue = white.gray = depth == 16 ? 0xFFFF : 0xFF;
    png_set_background_fixed(png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, PNG_FP_1);
  }
  if (depth == 16) png_set_strip_16(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return passes;
}

// Where decoded rows go: straight into the caller's rows, or one at a time through a buffer row
// into a thumbnail. After each row the sink may call the decode off.
struct TPngSink {
  uint8_t* Bits = nullptr;  // the picture's rows, or the one buffer row
  ptrdiff_t RowBytes = 0;   // 0: every row goes to Bits
  TAreaReducer* Reducer = nullptr;
  TDecodeProgress* Progress = nullptr;
  bool Cancelled = false;
};

// Publishes the rows done and reports the share done after every 64 rows; false once the
// watcher has called the decode off.
bool ReportRows(const TPngSink* sink, int pass, int passes, int32_t y, int32_t height) {
  if (!sink->Progress || (y & 63) != 63) return true;
  if (passes == 1) sink->Progress->Publish(y + 1);
  return sink->Progress->Report((pass + double(y + 1) / height) / passes);
}

bool PngReadRows(TPngState* s, TPngSink* sink, int32_t height) {
  if (setjmp(png_jmpbuf(s->Png))) return false;
  int passes = PngSetTransforms(s);
  if (png_get_rowbytes(s->Png, s->Info) != size_t(png_get_image_width(s->Png, s->Info)) * 3)
    png_error(s->Png, "unsupported pixel layout");
  for (int pass = 0; pass < passes; ++pass) {
    for (int32_t y = 0; y < height; ++y) {
      png_read_row(s->Png, sink->Bits + y * sink->RowBytes, nullptr);
      if (sink->Reducer) sink->Reducer->AddRow(sink->Bits);
      if (ReportRows(sink, pass, passes, y, height)) continue;
      sink->Cancelled = true;
      png_error(s->Png, "cancelled");
    }
  }
  png_read_end(s->Png, nullptr);
  return true;
}

// Bits per pixel of an IHDR colour type and bit depth; 0 for an unknown type.
uint32_t PngPixelBits(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0: case 3: return depth;
    case 2: return depth * 3u;
    case 4: return depth * 2u;
    case 6: return depth * 4u;
    default: return 0;
  }
}

// The most that deflate expands: 258 bytes from one length code and one distance code of a
// bit each.
constexpr uint64_t kDeflateMaxRatio = 1032;

class TPngDecoder final : public TImageDecoder {
 public:
  explicit TPngDecoder(std::shared_ptr<const TCodecData> data) : Data_(std::move(data)) {
    State_.Data = Data_->Data();
    State_.Size = Data_->Size();
  }
  ~TPngDecoder() override {
    if (State_.Png) png_destroy_read_struct(&State_.Png, &State_.Info, nullptr);
  }

  bool Open(TCodecError& err) {
    if (!CheckHeaderSize(err) || !CheckChunks(err)) return false;
    CheckImageData();
    State_.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &State_, PngError, PngWarning);
    if (State_.Png) State_.Info = png_create_info_struct(State_.Png);
    if (!State_.Info) return err.Fail(TCodecStatus::TooLarge, "Cannot start the PNG decoder.");
    png_set_read_fn(State_.Png, &State_, PngRead);
    if (!PngReadHeader(&State_)) return Failed(err);
    uint32_t width = png_get_image_width(State_.Png, State_.Info);
    uint32_t height = png_get_image_height(State_.Png, State_.Info);
    if (!CheckImageDimensions(width, height, err)) return false;
    Info_.Container = TCodecContainer::PNG;
    Info_.FormatName = "png";
    Info_.Width = static_cast<int32_t>(width);
    Info_.Height = static_cast<int32_t>(height);
    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(State_.Png, State_.Info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
      Info_.DpiX = resX * 0.0254;
      Info_.DpiY = resY * 0.0254;
    }
    TCodecError metadataErr;
    ReadPropertyItems(Data_->Bytes(), Info_.Items, metadataErr, &Info_.Embedded);
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    TPngSink sink{dest.Bits, dest.RowBytes, nullptr, Progress_};
    return Read(sink, dest.Height, err);
  }

  // Non-interlaced files are reduced a row at a time; interlaced ones need the whole picture.
  bool ReadThumbnail(const TPixelRows& dest, TCodecError& err) override {
    if (png_get_interlace_type(State_.Png, State_.Info) != PNG_INTERLACE_NONE)
      return TImageDecoder::ReadThumbnail(dest, err);
    if (!CheckThumbnailDest(dest, err)) return false;
    std::vector<uint8_t> row(size_t(Info_.Width) * 3);
    TAreaReducer reducer(Info_.Width, Info_.Height, dest);
    TPngSink sink{row.data(), 0, &reducer, nullptr};
    return Read(sink, Info_.Height, err);
  }

 private:
  // The size in IHDR is checked before libpng allocates anything for it.
  bool CheckHeaderSize(TCodecError& err) const {
    const uint8_t* d = Data_->Data();
    if (Data_->Size() < 24 || std::memcmp(d + 12, "IHDR", 4) != 0) return true;
    return CheckImageDimensions(ReadBE32(d + 16), ReadBE32(d + 20), err);
  }

  // libpng allocates a chunk's declared length before reading it; a length past the end of
  // the file (or a missing end chunk) is refused here first, and so is image data too short to
  // inflate to the header's picture.
  bool CheckChunks(TCodecError& err) {
    const uint8_t* d = Data_->Data();
    const size_t size = Data_->Size();
    size_t pos = 8;
    while (pos + 12 <= size) {
      const uint64_t length = ReadBE32(d + pos);
      if (length > size - pos - 12) break;
      if (std::memcmp(d + pos + 4, "IDAT", 4) == 0) ImageData_ += length;
      if (std::memcmp(d + pos + 4, "IEND", 4) == 0) return true;
      pos += 12 + size_t(length);
    }
    return err.Fail(TCodecStatus::Corrupt, "The PNG file is damaged: it ends before its last chunk.");
  }

  void CheckImageData() {
    const uint8_t* d = Data_->Data();
    if (Data_->Size() < 26 || std::memcmp(d + 12, "IHDR", 4) != 0) return;
    // The header's size was checked first, so this cannot overflow.
    const uint64_t pixelBits = uint64_t(ReadBE32(d + 16)) * ReadBE32(d + 20) * PngPixelBits(d[25], d[24]);
    if (ImageData_ < pixelBits / 8 / kDeflateMaxRatio) Refuse(TDecodeGuard::Truncated(Data_->Size()), TCodecStatus::Corrupt);
  }

  bool Read(TPngSink& sink, int32_t height, TCodecError& err) {
    if (Read_) return err.Fail(TCodecStatus::InvalidArgument, "The PNG picture was read already.");
    Read_ = true;
    if (PngReadRows(&State_, &sink, height)) return true;
    if (sink.Cancelled) return err.Fail(TCodecStatus::Cancelled, TDecodeGuard::Cancelled());
    return Failed(err);
  }

  bool Failed(TCodecError& err) {
    return err.Fail(TCodecStatus::Corrupt, std::string("The PNG file is damaged: ") + State_.Message);
  }

  std::shared_ptr<const TCodecData> Data_;
  TPngState State_;
  uint64_t ImageData_ = 0;  // bytes of the IDAT chunks
  bool Read_ = false;
};

class TPngHandler final : public TImageCodecHandler {
 public:
  const char* Name() const override { return "png"; }
  bool Probe(std::span<const uint8_t> head) const override {
    return head.size() >= 8 && png_sig_cmp(head.data(), 0, 8) == 0;
  }
  std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data,
                                      TCodecError& err) const override {
    auto decoder = std::make_unique<TPngDecoder>(std::move(data));
    if (!decoder->Open(err)) return nullptr;
    return decoder;
  }
};

bool PngWriteRows(TPngState* s, const TConstPixelRows* src, png_uint_32 ppmX, png_uint_32 ppmY) {
  if (setjmp(png_jmpbuf(s->Png))) return false;
  png_set_write_fn(s->Png, s, PngWrite, PngFlush);
  png_set_IHDR(s->Png, s->Info, src->Width, src->Height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (ppmX > 0) png_set_pHYs(s->Png, s->Info, ppmX, ppmY, PNG_RESOLUTION_METER);
  png_set_compression_level(s->Png, 6);
  png_write_info(s->Png, s->Info);
  png_set_bgr(s->Png);
  for (int32_t y = 0; y < src->Height; ++y)
    png_write_row(s->Png, const_cast<png_bytep>(src->Row(y)));
  png_write_end(s->Png, s->Info);
  return true;
}

class TPngEncoder final : public TImageEncoder {
 public:
  const char* MimeType() const override { return "image/png"; }
  bool CarriesMetadata() const override { return true; }
  bool Encode(const TConstPixelRows& src, const TEncodeOptions& options, std::vector<uint8_t>& out,
              TCodecError& err) const override {
    out.clear();
    TPngState state;
    state.Out = &out;
    state.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    if (state.Png) state.Info = png_create_info_struct(state.Png);
    if (!state.Info) {
      png_destroy_write_struct(&state.Png, nullptr);
      return err.Fail(TCodecStatus::TooLarge, "Cannot start the PNG encoder.");
    }
    auto ppm = [](double dpi) { return static_cast<png_uint_32>(std::lround(dpi / 0.0254)); };
    png_uint_32 ppmX = options.DpiX > 0 ? ppm(options.DpiX) : 0;
    png_uint_32 ppmY = options.DpiY > 0 ? ppm(options.DpiY) : ppmX;
    bool ok = PngWriteRows(&state, &src, ppmX, ppmY);
    png_destroy_write_struct(&state.Png, &state.Info);
    if (!ok) return err.Fail(TCodecStatus::EncodeFailed, std::string("Cannot encode the PNG file: ") + state.Message);
    return true;
  }
};

}  // namespace

std::unique_ptr<TImageCodecHandler> MakePngHandler() { return std::make_unique<TPngHandler>(); }
std::unique_ptr<TImageEncoder> MakePngEncoder() { return std::make_unique<TPngEncoder>(); }
