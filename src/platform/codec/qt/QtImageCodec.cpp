#include "platform/codec/qt/QtImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <mutex>

#include "platform/codec/BmpFile.h"
#include "platform/codec/PixelConvert.h"
#include "platform/codec/StillImageCodec.h"

namespace {

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
      : data_(std::move(data)),
        bytes_(QByteArray::fromRawData(reinterpret_cast<const char*>(data_->Data()),
                                       qsizetype(data_->Size()))),
        buffer_(&bytes_) {}

  bool Open(TCodecError& err) {
    TBmpFacts bmp;
    // Qt's BMP reader accepts missing rows silently, and its size checks come after ours.
    if (IsBmpSignature(data_->Bytes()) && !CheckBmpFile(data_->Bytes(), bmp, err)) return false;
    buffer_.open(QIODevice::ReadOnly);
    reader_.setDevice(&buffer_);
    reader_.setDecideFormatFromContent(true);
    reader_.setAutoTransform(false);
    QByteArray format = reader_.format();
    if (format.isEmpty())
      return err.Fail(TCodecStatus::UnknownFormat, "The file is not an image in a known format.");
    QSize size = reader_.size();
    if (!size.isValid()) {
      if (!ReadImage(err)) return false;
      size = image_.size();
    }
    if (!CheckImageDimensions(size.width(), size.height(), err)) return false;
    info_.Container = ContainerOf(format);
    info_.FormatName = format.toStdString();
    info_.Width = size.width();
    info_.Height = size.height();
    if (info_.Container == TCodecContainer::BMP) {
      info_.DpiX = bmp.DpiX;
      info_.DpiY = bmp.DpiY;
    }
    return true;
  }

  bool ReadPixels(const TPixelRows& dest, TCodecError& err) override {
    if (!CheckDest(dest, err)) return false;
    if (image_.isNull() && !ReadImage(err)) return false;
    if (image_.width() != info_.Width || image_.height() != info_.Height)
      return err.Fail(TCodecStatus::Corrupt, "The image file is damaged: its size changed while reading.");
    if (image_.hasAlphaChannel()) {
      QImage argb = image_.convertToFormat(QImage::Format_ARGB32);
      for (int32_t y = 0; y < info_.Height; ++y) ComposeBGRAOverWhite(argb.constScanLine(y), dest.Row(y), info_.Width);
    } else {
      QImage bgr = image_.convertToFormat(QImage::Format_BGR888);
      if (bgr.isNull()) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to convert the image.");
      for (int32_t y = 0; y < info_.Height; ++y) std::memcpy(dest.Row(y), bgr.constScanLine(y), size_t(info_.Width) * 3);
    }
    image_ = QImage();
    return true;
  }

 private:
  bool ReadImage(TCodecError& err) {
    if (reader_.read(&image_)) return true;
    std::string reason = reader_.errorString().toStdString();
    return err.Fail(TCodecStatus::Corrupt, "The image file is damaged or cannot be read: " + reason + ".");
  }

  std::shared_ptr<const TCodecData> data_;
  QByteArray bytes_;
  QBuffer buffer_;
  QImageReader reader_;
  QImage image_;
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
