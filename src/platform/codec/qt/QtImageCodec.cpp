#include "platform/codec/qt/QtImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/codec/BmpFile.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/StillImageCodec.h"

namespace {

// Vector formats draw at any size; they are not photographs.
bool IsDrawing(const QByteArray& format) { return format == "svg" || format == "svgz" || format == "pdf"; }

TCodecContainer ContainerOf(const QByteArray& format) {
  if (format == "bmp" || format == "dib") return TCodecContainer::BMP;
  if (format == "gif") return TCodecContainer::GIF;
  if (format == "jpeg" || format == "jpg") return TCodecContainer::JPEG;
  if (format == "png") return TCodecContainer::PNG;
  if (format == "tiff" || format == "tif") return TCodecContainer::TIFF;
  return TCodecContainer::Other;
}

class TQtDecoder final : public TImageDecoder {
 public:
  explicit TQtDecoder(std::shared_ptr<const TCodecData> data)
      : Data_(std::move(data)),
        Bytes_(QByteArray::fromRawData(reinterpret_cast<const char*>(Data_->Data()),
                                       qsizetype(Data_->Size()))),
        Buffer_(&Bytes_) {}

  bool Open(TCodecError& err) {
    TBmpFacts bmp;
    // Qt's BMP reader accepts missing rows silently, and its size checks come after ours.
    if (IsBmpSignature(Data_->Bytes()) && !CheckBmpFile(Data_->Bytes(), bmp, err)) return false;
    Buffer_.open(QIODevice::ReadOnly);
    Reader_.setDevice(&Buffer_);
    Reader_.setDecideFormatFromContent(true);
    Reader_.setAutoTransform(false);
    QByteArray format = Reader_.format();
    if (format.isEmpty())
      return err.Fail(TCodecStatus::UnknownFormat, "The file is not an image in a known format.");
    if (IsDrawing(format)) return err.Fail(TCodecStatus::Unsupported, TDecodeGuard::VectorDrawing());
    // The reader's whole picture and its converted copy.
    Info_.DecoderBytes = 0;
    QSize size = Reader_.size();
    if (!size.isValid()) {
      if (!ReadImage(err)) return false;
      size = Image_.size();
    }
    Info_.DecoderBytes = uint64_t(std::max(size.width(), 0)) * uint64_t(std::max(size.height(), 0)) * 8;
    if (!CheckImageDimensions(size.width(), size.height(), err)) return false;
    // A BMP was found to hold every row; other containers have no least size the guard knows.
    if (!IsBmpSignature(Data_->Bytes()))
      Refuse(TDecodeGuard::CheckUnboundedCoding(size.width(), size.height(), Data_->Size()), TCodecStatus::Corrupt);
    Info_.Container = ContainerOf(format);
    Info_.FormatName = format.toStdString();
    Info_.Width = size.width();
    Info_.Height = size.height();
    if (Info_.Container == TCodecContainer::BMP) {
      Info_.DpiX = bmp.DpiX;
      Info_.DpiY = bmp.DpiY;
    }
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    if (Image_.isNull() && !ReadImage(err)) return false;
    if (Image_.width() != Info_.Width || Image_.height() != Info_.Height)
      return err.Fail(TCodecStatus::Corrupt, "The image file is damaged: its size changed while reading.");
    if (Image_.hasAlphaChannel()) {
      QImage argb = Image_.convertToFormat(QImage::Format_ARGB32);
      for (int32_t y = 0; y < Info_.Height; ++y) ComposeBGRAOverWhite(argb.constScanLine(y), dest.Row(y), Info_.Width);
    } else {
      QImage bgr = Image_.convertToFormat(QImage::Format_BGR888);
      if (bgr.isNull()) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to convert the image.");
      for (int32_t y = 0; y < Info_.Height; ++y) std::memcpy(dest.Row(y), bgr.constScanLine(y), size_t(Info_.Width) * 3);
    }
    Image_ = QImage();
    return true;
  }

 private:
  bool ReadImage(TCodecError& err) {
    if (Reader_.read(&Image_)) return true;
    std::string reason = Reader_.errorString().toStdString();
    return err.Fail(TCodecStatus::Corrupt, "The image file is damaged or cannot be read: " + reason + ".");
  }

  std::shared_ptr<const TCodecData> Data_;
  QByteArray Bytes_;
  QBuffer Buffer_;
  QImageReader Reader_;
  QImage Image_;
};

class TQtHandler final : public TImageCodecHandler {
 public:
  const char* Name() const override { return "qt"; }
  bool Probe(std::span<const uint8_t>) const override { return true; }
  std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data,
                                      TCodecError& err) const override {
    auto decoder = std::make_unique<TQtDecoder>(std::move(data));
    if (!decoder->Open(err)) return nullptr;
    return decoder;
  }
};

}  // namespace

void RegisterQtImageCodecs() {
  static std::once_flag once;
  std::call_once(once, [] {
    QImageReader::setAllocationLimit(int(TCodecLimits::MaxPixels * 4 / (1024 * 1024)) + 1);
    TStillImageCodec::RegisterHandler(std::make_unique<TQtHandler>());
  });
}
