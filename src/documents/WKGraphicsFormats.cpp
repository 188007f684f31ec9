#include "documents/WKGraphicsFormats.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "documents/WKBusyCursor.h"
#include "documents/WKExchangeFile.h"
#include "documents/WKGraphicsCodec.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsFormatsMetadata.h"
#include "documents/WKLoadProgress.h"
#include "documents/WKLosslessJpeg.h"
#include "framework/WKRegularFile.h"
#include "platform/codec/ImageDecoder.h"
#include "platform/codec/StillImageCodec.h"

namespace {

struct TFormatRecord {
  int32_t Id;
  const char* Description;
  const char* Masks;
  const char* DefaultExt;
};

constexpr std::array<TFormatRecord, 4> kFormats{{
    {gfJPEG, "JPEG", "*.jpg;*.jpeg", ".jpg"},
    {gfTIFF, "TIFF", "*.tif;*.tiff", ".tif"},
    {gfPNG, "PNG", "*.png", ".png"},
    {gfBMP, "BMP", "*.bmp;*.rle;*.dib", ".bmp"},
}};

bool StartsWith(const std::string& fileName, const unsigned char* magic, size_t size) {
  TWKFileFailure failure;
  const int fd = OpenRegularFile(fileName, failure);
  if (fd < 0) return false;
  unsigned char head[4] = {};
  const bool read = ::pread(fd, head, size, 0) == ssize_t(size);
  ::close(fd);
  return read && std::equal(head, head + size, magic);
}

// A JPEG start-of-image marker followed by a marker.
bool IsJpegFile(const std::string& fileName) {
  static constexpr unsigned char kSoi[] = {0xFF, 0xD8, 0xFF};
  return StartsWith(fileName, kSoi, sizeof kSoi);
}

bool HasExchangeFileMagic(const std::string& fileName) {
  static constexpr unsigned char kMagic[] = {'P', 'S', 'P', 'F'};
  return StartsWith(fileName, kMagic, sizeof kMagic);
}

}  // namespace

TWKGraphicsFormats::TWKGraphicsFormats() { TStillImageCodec::Startup(); }
TWKGraphicsFormats::~TWKGraphicsFormats() { TStillImageCodec::Shutdown(); }

void TWKGraphicsFormats::SetQualityDialog(std::unique_ptr<IWKJPEGQualityDialog> dialog) {
  QualityDialog_ = std::move(dialog);
}

int32_t TWKGraphicsFormats::FormatCount() { return static_cast<int32_t>(kFormats.size()); }

TWKFileFormatInfo TWKGraphicsFormats::FormatInfo(int32_t index) {
  if (index < 0 || index >= FormatCount()) return {gfNone, "", "", ""};
  const TFormatRecord& r = kFormats[static_cast<size_t>(index)];
  return {r.Id, r.Description, r.Masks, r.DefaultExt};
}

bool TWKGraphicsFormats::GetFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info) {
  return MakeGraphicsFileInfo(fileName, info);
}

bool TWKGraphicsFormats::GetThumbnail(const std::string& fileName, int32_t width, int32_t height,
                                      std::unique_ptr<TWKThumbnail>& thumbnail) {
  return MakeGraphicsThumbnail(fileName, width, height, thumbnail);
}

bool TWKGraphicsFormats::CanWriteFormat(int32_t formatId) {
  return formatId == gfExchange || (formatId >= gfJPEG && formatId <= gfBMP);
}

int32_t TWKGraphicsFormats::FormatOfFileName(const std::string& fileName) {
  for (const TFormatRecord& record : kFormats)
    if (MatchesMasks(fileName, record.Masks)) return record.Id;
  return gfNone;
}

bool TWKGraphicsFormats::LoadDocument(TWKDocument& document, const std::string& fileName,
                                      int32_t& formatId) {
  LastError.clear();
  LastCancelled = false;
  auto* image = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (image == nullptr) return false;
  // A pipe or a device is refused before anything waits on it.
  TWKFileFailure failure;
  const int fd = OpenRegularFile(fileName, failure);
  if (fd < 0) {
    LastError = failure.Text();
    return false;
  }
  ::close(fd);
  TWKBusyCursor busy;
  TWKLoadProgress progress(fileName);
  const bool loaded = LoadFile(*image, fileName, formatId);
  LastCancelled = !loaded && TWKLoadProgress::Cancelled();
  return loaded;
}

bool TWKGraphicsFormats::LoadFile(TWKGraphicsDocument& image, const std::string& fileName, int32_t& formatId) {
  if (ReadExchangeFile(image, fileName)) {
    formatId = gfExchange;
    image.RefreshBackup();
  } else {
    // A damaged exchange file is reported as one, not as an unknown picture format.
    const std::string exchangeError = HasExchangeFileMagic(fileName) ? LastError : std::string();
    LastError.clear();
    if (!LoadImage(image, fileName, formatId)) {
      if (!exchangeError.empty()) LastError = exchangeError;
      return false;
    }
  }
  return true;
}

// The codec decodes the pixels and the open returns; the lossless form then takes the
// coefficients on a helper thread from the same bytes in memory, so a file changed meanwhile
// cannot put the two out of step. An exact save compares the edited pixels with the original that
// this decode produced, so the coefficients of untouched blocks are kept whichever decoder made
// the rows.
bool TWKGraphicsFormats::LoadJpegTogether(TWKGraphicsDocument& document, const std::string& fileName,
                                          int32_t& formatId) {
  auto* form = dynamic_cast<TWKLosslessJpeg*>(document.LosslessJpeg.get());
  if (form == nullptr) return false;
  form->Release();  // waits for a load of the previous file still running
  auto bytes = std::make_shared<std::vector<uint8_t>>();
  TWKFileFailure failure;
  if (!ReadRegularFile(fileName, *bytes, failure)) return false;  // the other paths report why
  TImageInfo info;
  std::string error;
  if (!DecodeImageData(TCodecData::Borrow(bytes->data(), bytes->size()), document.CurrentImage, info, error)) {
    if (TWKLoadProgress::Cancelled()) {
      LastError = error;
      return false;
    }
    // A picture the codec cannot decode is left to the lossless form when that holds it.
    ITarnwick& component = form->Component();
    if (component.LoadMemory(bytes->data(), bytes->size()) == 0 || component.ReadCoefficients() == 0)
      LastError = error;
    component.Release();
    return false;
  }
  document.SharePixels();
  document.LoadMetadata(info);
  form->LoadInBackground(std::move(bytes), document.CurrentImage.Width(), document.CurrentImage.Height(),
                         document.StoredOrientation());
  formatId = FormatIdOfContainer(info.Container);
  return ShowUpright(document);
}

bool TWKGraphicsFormats::LoadImage(TWKGraphicsDocument& document, const std::string& fileName,
                                   int32_t& formatId) {
  TCodecError err;
  if (IsJpegFile(fileName)) {
    LastError.clear();
    if (LoadJpegTogether(document, fileName, formatId)) return true;
    if (!LastError.empty()) return false;  // neither the form nor the codec reads it
  }
  if (LoadThroughLosslessJpeg(document, fileName)) {
    // The codec reads only the metadata of a file the lossless form holds.
    if (std::unique_ptr<TImageDecoder> reader =
            TStillImageCodec::OpenFile(fileName, err, TStillImageCodec::TPurpose::Describe))
      document.LoadMetadata(reader->Info());
    if (auto* form = dynamic_cast<TWKLosslessJpeg*>(document.LosslessJpeg.get()))
      form->OrientUpright(document.StoredOrientation());
    formatId = gfJPEG;
    return ShowUpright(document);
  }
  TImageInfo info;
  if (!DecodeImageFile(fileName, document.CurrentImage, info, LastError)) return false;
  document.SharePixels();
  document.LoadMetadata(info);
  formatId = FormatIdOfContainer(info.Container);
  return ShowUpright(document);
}

bool TWKGraphicsFormats::ShowUpright(TWKGraphicsDocument& document) {
  if (document.ShowUpright()) return true;
  LastError = "There is not enough memory to turn the image upright.";
  return false;
}

bool TWKGraphicsFormats::SaveDocument(TWKDocument& document, const std::string& fileName,
                                      int32_t formatId) {
  LastError.clear();
  auto* image = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (image == nullptr) return false;
  TWKBusyCursor busy;
  if (formatId == gfExchange) return WriteExchangeFile(*image, fileName);
  return SaveImage(*image, fileName, formatId);
}

bool TWKGraphicsFormats::SaveImage(TWKGraphicsDocument& document, const std::string& fileName,
                                   int32_t formatId) {
  const char* mimeType = MimeTypeOfFormat(formatId);
  const TWKPixels* pixels = document.CurrentPixels();
  if (*mimeType == '\0') {
    LastError = "This image can only be saved as JPEG, TIFF, PNG or BMP.";
    return false;
  }
  if (pixels == nullptr || pixels->PixelFormat != FormatBGR24) {
    LastError = "The image holds no pixels to save.";
    return false;
  }
  if (formatId == gfJPEG && CanSaveThroughLosslessJpeg(document))
    return SaveThroughLosslessJpeg(document, fileName, LastError);
  TEncodeOptions options;
  if (formatId == gfJPEG) {
    int32_t quality = JpegQuality;
    if (QualityDialog_ && !QualityDialog_->Execute(quality)) return false;  // cancelled: nothing written
    JpegQuality = std::clamp(quality, 0, 100);
    options.Quality = JpegQuality;
  }
  document.StripThumbnailTags();
  std::vector<TPropertyItem> items;
  document.SaveMetadata(items, options.DpiX, options.DpiY);
  options.Items = items;
  options.Embedded = &document.Metadata.Embedded;
  return EncodeImageFile(fileName, document.CurrentImage, mimeType, options, LastError);
}

bool TWKGraphicsFormats::ReadExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) {
  TWKExchangeTarget target{document.CurrentImage, document.OriginalImage,
                           [&document](const TImageInfo& info) { document.LoadMetadata(info); }};
  return ::ReadExchangeFile(fileName, target, &LastError);
}

bool TWKGraphicsFormats::WriteExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) {
  if (::WriteExchangeFile(fileName, document.CurrentImage)) return true;
  LastError = "The image cannot be written back to \"" + fileName + "\".";
  return false;
}
