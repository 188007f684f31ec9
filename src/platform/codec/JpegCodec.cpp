#include "platform/codec/JpegCodec.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "framework/WKByteOrder.h"
#include "platform/codec/JpegScanlines.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/PropertyItems.h"
#include "platform/guard/JpegLayout.h"

namespace {


class TTurboHandle {
 public:
  explicit TTurboHandle(tjhandle handle) : Handle_(handle) {}
  ~TTurboHandle() {
    if (Handle_) tjDestroy(Handle_);
  }
  TTurboHandle(const TTurboHandle&) = delete;
  TTurboHandle& operator=(const TTurboHandle&) = delete;
  tjhandle Get() const { return Handle_; }
  std::string Error() const { return tjGetErrorStr2(Handle_); }

 private:
  tjhandle Handle_;
};

class TJpegDecoder final : public TImageDecoder {
 public:
  TJpegDecoder(std::shared_ptr<const TCodecData> data) : Data_(std::move(data)), Tj_(tjInitDecompress()) {}

  bool Open(TCodecError& err) {
    if (!Tj_.Get()) return err.Fail(TCodecStatus::EncodeFailed, "Cannot start the JPEG decoder.");
    // The whole structure is checked before the library looks at it.
    if (ReadJpegLayout(Data_->Bytes(), Layout_)) {
      Info_.DecoderBytes = Layout_.CoefficientBytes();
      if (!CheckImageDimensions(Layout_.Width, Layout_.Height, err)) return false;
      Refuse(CheckJpegLayout(Layout_, Data_->Size()), TCodecStatus::Corrupt);
    }
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(Tj_.Get(), Data_->Data(), Data_->Size(), &width, &height, &subsamp,
                            &colorspace) != 0)
      return err.Fail(TCodecStatus::Corrupt, "The JPEG file is damaged: " + Tj_.Error());
    if (!CheckImageDimensions(width, height, err)) return false;
    Info_.Container = TCodecContainer::JPEG;
    Info_.FormatName = "jpeg";
    Info_.Width = width;
    Info_.Height = height;
    TCodecError metadataErr;
    ReadPropertyItems(Data_->Bytes(), Info_.Items, metadataErr, &Info_.Embedded);
    if (!ReadJfifDensity(Data_->Bytes(), Info_.DpiX, Info_.DpiY))
      ResolutionFromItems(Info_.Items, Info_.DpiX, Info_.DpiY);
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    return DecodeJpegScanlines(Data_->Bytes(), 1, 1, dest, err, Progress_);
  }

  // One scan of colour: a part skips the coded data above it. Several scans would be held whole
  // as coefficients by every part.
  bool DecodesInParts() const override {
    return Layout_.Scans == 1 && !Layout_.Progressive && !Layout_.Arithmetic &&
           (Layout_.Components == 1 || Layout_.Components == 3);
  }

  bool ReadPixelRows(const TPixelRows& dest, int32_t first, int32_t last, TDecodeProgress* progress,
                     TCodecError& err) const override {
    if (!CheckDest(dest, err)) return false;
    if (first < 0 || last > dest.Height || first >= last)
      return err.Fail(TCodecStatus::InvalidArgument, "The rows lie outside the picture.");
    return DecodeJpegScanlines(Data_->Bytes(), 1, 1, dest, err, progress, {first, last});
  }

  bool ReadThumbnail(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckThumbnailDest(dest, err)) return false;
    tjscalingfactor factor = ThumbnailFactor(dest.Width, dest.Height);
    int32_t w = TJSCALED(Info_.Width, factor), h = TJSCALED(Info_.Height, factor);
    ptrdiff_t rowBytes = AlignedRowBytes24(w);
    // A file of several scans is held whole as coefficients, whatever the scale.
    if (!CheckPreviewBytes(uint64_t(rowBytes) * uint64_t(h) + Info_.DecoderBytes, err)) return false;
    if (w == dest.Width && h == dest.Height) return Decompress(dest, err, factor);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[rowBytes * h]);
    if (!buffer) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to make a thumbnail.");
    TPixelRows scaled{buffer.get(), rowBytes, w, h};
    if (!Decompress(scaled, err, factor)) return false;
    ReduceBGR24(TConstPixelRows{scaled.Bits, scaled.RowBytes, w, h}, dest);
    return true;
  }

  bool ReducedSize(int32_t longSide, int32_t& width, int32_t& height) const override {
    for (const int32_t denom : {8, 4}) {
      const tjscalingfactor factor{1, denom};
      const int32_t w = TJSCALED(Info_.Width, factor), h = TJSCALED(Info_.Height, factor);
      if (std::max(w, h) < longSide) continue;
      width = w;
      height = h;
      return true;
    }
    return false;
  }

 private:
  // The smallest scale whose picture still covers the thumbnail.
  tjscalingfactor ThumbnailFactor(int32_t width, int32_t height) const {
    int count = 0;
    tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor best{1, 1};
    for (int i = 0; factors && i < count; ++i) {
      const tjscalingfactor f = factors[i];
      if (f.num > f.denom) continue;
      if (TJSCALED(Info_.Width, f) < width || TJSCALED(Info_.Height, f) < height) continue;
      if (f.num * best.denom < best.num * f.denom) best = f;
    }
    return best;
  }

  // dest is the picture at the scale `factor`.
  bool Decompress(const TPixelRows& dest, TCodecError& err, tjscalingfactor factor) {
    return DecodeJpegScanlines(Data_->Bytes(), factor.num, factor.denom, dest, err);
  }

  std::shared_ptr<const TCodecData> Data_;
  TTurboHandle Tj_;
  TJpegLayout Layout_;
};

class TJpegHandler final : public TImageCodecHandler {
 public:
  const char* Name() const override { return "jpeg"; }
  bool Probe(std::span<const uint8_t> head) const override {
    return head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
  }
  std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data,
                                      TCodecError& err) const override {
    auto decoder = std::make_unique<TJpegDecoder>(std::move(data));
    if (!decoder->Open(err)) return nullptr;
    return decoder;
  }
};

// TurboJPEG writes a JFIF APP0 segment first; its density is set in place.
void PatchJfifDensity(uint8_t* jpeg, size_t size, double dpiX, double dpiY) {
  if (size < 18 || jpeg[2] != 0xFF || jpeg[3] != 0xE0 || std::memcmp(jpeg + 6, "JFIF", 5) != 0) return;
  auto density = [](double dpi) {
    return static_cast<uint16_t>(std::clamp(std::lround(dpi), 1L, 65535L));
  };
  uint16_t x = density(dpiX), y = density(dpiY > 0 ? dpiY : dpiX);
  jpeg[13] = 1;
  WriteBE16(jpeg + 14, x);
  WriteBE16(jpeg + 16, y);
}

class TJpegEncoder final : public TImageEncoder {
 public:
  const char* MimeType() const override { return "image/jpeg"; }
  bool CarriesMetadata() const override { return true; }
  bool Encode(const TConstPixelRows& src, const TEncodeOptions& options, std::vector<uint8_t>& out,
              TCodecError& err) const override {
    TTurboHandle tj(tjInitCompress());
    if (!tj.Get()) return err.Fail(TCodecStatus::EncodeFailed, "Cannot start the JPEG encoder.");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int quality = std::clamp(options.Quality, 1, 100);
    if (tjCompress2(tj.Get(), src.Bits, src.Width, static_cast<int>(src.RowBytes), src.Height,
                    TJPF_BGR, &jpeg, &size, TJSAMP_420, quality, 0) != 0) {
      std::string message = tj.Error();
      tjFree(jpeg);
      return err.Fail(TCodecStatus::EncodeFailed, "Cannot encode the JPEG file: " + message);
    }
    if (options.DpiX > 0) PatchJfifDensity(jpeg, size, options.DpiX, options.DpiY);
    try {
      out.assign(jpeg, jpeg + size);
    } catch (const std::bad_alloc&) {
      tjFree(jpeg);
      return err.Fail(TCodecStatus::TooLarge, "Not enough memory to encode the JPEG file.");
    }
    tjFree(jpeg);
    return true;
  }
};

}  // namespace

namespace {

// Calls visit(marker, segment bytes after the length) for each segment before the scan data,
// until visit returns false.
template <typename TVisit>
void ForEachSegment(std::span<const uint8_t> jpeg, TVisit visit) {
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
    uint8_t marker = jpeg[pos + 1];
    if (marker == 0xFF) { ++pos; continue; }
    if (marker == 0xDA || marker == 0xD9) return;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) { pos += 2; continue; }
    size_t length = ReadBE16(&jpeg[pos + 2]);
    if (length < 2 || pos + 2 + length > jpeg.size()) return;
    if (!visit(marker, jpeg.subspan(pos + 4, length - 2))) return;
    pos += 2 + length;
  }
}

}  // namespace

bool ReadJfifDensity(std::span<const uint8_t> jpeg, double& dpiX, double& dpiY) {
  bool found = false;
  ForEachSegment(jpeg, [&](uint8_t marker, std::span<const uint8_t> body) {
    if (marker != 0xE0 || body.size() < 12 || std::memcmp(body.data(), "JFIF", 5) != 0) return true;
    uint8_t unit = body[7];
    double x = ReadBE16(&body[8]), y = ReadBE16(&body[10]);
    if ((unit == 1 || unit == 2) && x > 0 && y > 0) {
      double scale = unit == 2 ? 2.54 : 1.0;
      dpiX = x * scale;
      dpiY = y * scale;
      found = true;
    }
    return false;
  });
  return found;
}

std::unique_ptr<TImageCodecHandler> MakeJpegHandler() { return std::make_unique<TJpegHandler>(); }
std::unique_ptr<TImageEncoder> MakeJpegEncoder() { return std::make_unique<TJpegEncoder>(); }
