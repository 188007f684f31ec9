#include "help/qt/PreviewTestFormats.h"

#include <sys/stat.h>

#include <vector>

#include "help/WKPreviewLayout.h"
#include "platform/codec/StillImageCodec.h"

namespace help_test {

namespace {

class TCodecFileInfo : public TWKFileInfo {
 public:
  TCodecFileInfo(std::string name, std::string text)
      : TWKFileInfo(std::move(name)), Text_(std::move(text)) {}
  void GetDescription(std::string& text) override { text = Text_; }

 private:
  std::string Text_;
};

class TCodecThumbnail : public TWKThumbnail {
 public:
  explicit TCodecThumbnail(std::atomic<int32_t>& draws) : Draws_(draws) {}
  void Draw(IWKPaintDevice& device, const TRect& rect) override {
    ++Draws_;
    if (PixelPainter())
      PixelPainter()->Paint(device, Pixels, CenterRect({Pixels.Width, Pixels.Height}, rect),
                            nullptr, nullptr);
  }
  TWKPixelBuffer Pixels;

 private:
  std::atomic<int32_t>& Draws_;
};

bool IsFile(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

TWKFileFormatInfo TPreviewTestFormats::FormatInfo(int32_t index) {
  static const TWKFileFormatInfo rows[] = {{0, "JPEG", "*.jpg;*.jpeg", ".jpg"},
                                           {1, "TIFF", "*.tif;*.tiff", ".tif"},
                                           {2, "PNG", "*.png", ".png"},
                                           {3, "BMP", "*.bmp;*.rle;*.dib", ".bmp"}};
  return index >= 0 && index < 4 ? rows[index] : TWKFileFormatInfo{};
}

bool TPreviewTestFormats::GetFileInfo(const std::string& fileName,
                                      std::unique_ptr<TWKFileInfo>& info) {
  if (!IsFile(fileName)) return false;
  std::string text;
  TCodecError err;
  if (auto decoder = TStillImageCodec::OpenFile(fileName, err, TStillImageCodec::TPurpose::Describe)) {
    const TImageInfo& image = decoder->Info();
    const std::string container = ContainerName(image.Container);
    if (!container.empty()) text = "Format: " + container + "\n";
    text += "Dimensions: " + std::to_string(image.Width) + " x " + std::to_string(image.Height);
  }
  info = std::make_unique<TCodecFileInfo>(fileName, text);
  return true;
}

bool TPreviewTestFormats::GetThumbnail(const std::string& fileName, int32_t width,
                                       int32_t height, std::unique_ptr<TWKThumbnail>& thumbnail) {
  ++Decodes;
  LastWidth = width;
  LastHeight = height;
  {
    std::unique_lock lock(Lock_);
    Changed_.notify_all();
    Changed_.wait(lock, [this] { return GateOpen_; });
  }
  bool ok = false;
  TCodecError err;
  if (auto decoder = TStillImageCodec::OpenFile(fileName, err)) {
    const TSize size = FitThumbnail(decoder->Info().Width, decoder->Info().Height, width, height);
    auto made = std::make_unique<TCodecThumbnail>(Draws);
    if (!size.Width || !made->Pixels.Allocate(FormatBGR24, Bounds(0, 0, size.Width, size.Height))) {
      // no box or no memory: no thumbnail
    } else if (decoder->ReadThumbnail({made->Pixels.Bits, made->Pixels.RowBytes, size.Width,
                                       size.Height},
                                      err)) {
      thumbnail = std::move(made);
      ok = true;
    }
  }
  {
    std::lock_guard lock(Lock_);
    ++Finished;
    Changed_.notify_all();
  }
  return ok;
}

void TPreviewTestFormats::CloseGate() {
  std::lock_guard lock(Lock_);
  GateOpen_ = false;
}

void TPreviewTestFormats::OpenGate() {
  std::lock_guard lock(Lock_);
  GateOpen_ = true;
  Changed_.notify_all();
}

bool TPreviewTestFormats::WaitStarted(int32_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(Lock_);
  return Changed_.wait_for(lock, timeout, [&] { return Decodes.load() >= count; });
}

bool TPreviewTestFormats::WaitFinished(int32_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(Lock_);
  return Changed_.wait_for(lock, timeout, [&] { return Finished.load() >= count; });
}

bool WriteJpeg(const std::string& path, int32_t width, int32_t height, TBGRPixel colour,
               int quality) {
  const ptrdiff_t rowBytes = AlignedRowBytes24(width);
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * height);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = bits.data() + y * rowBytes;
    for (int32_t x = 0; x < width; ++x) {
      const int n = ((x * 7 + y * 13) % 5) - 2;  // texture that keeps the mean colour
      row[x * 3 + 0] = static_cast<uint8_t>(std::clamp(colour.Blue + n, 0, 255));
      row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(colour.Green + n, 0, 255));
      row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(colour.Red + n, 0, 255));
    }
  }
  TEncodeOptions options;
  options.Quality = quality;
  TCodecError err;
  return TStillImageCodec::SaveToFile("image/jpeg", {bits.data(), rowBytes, width, height},
                                      options, path, err);
}

}  // namespace help_test
