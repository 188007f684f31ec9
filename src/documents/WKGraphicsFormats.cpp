#include "documents/WKGraphicsFormats.h"

#include <algorithm>
#include <array>

#include "documents/WKBusyCursor.h"
#include "documents/WKExchangeFile.h"
#include "documents/WKGraphicsCodec.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsFormatsMetadata.h"
#include "documents/WKLosslessJpeg.h"
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
  auto* image = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (image == nullptr) return false;
  TWKBusyCursor busy;
  if (ReadExchangeFile(*image, fileName)) {
    formatId = gfExchange;
  } else {
    LastError.clear();
    if (!LoadImage(*image, fileName, formatId)) return false;
  }
  image->RefreshBackup();
  return true;
}

bool TWKGraphicsFormats::LoadImage(TWKGraphicsDocument& document, const std::string& fileName,
                                   int32_t& formatId) {
  TCodecError err;
  if (LoadThroughLosslessJpeg(document, fileName)) {
    // The codec reads only the metadata of a file the lossless form holds.
    if (std::unique_ptr<TImageDecoder> reader = TStillImageCodec::OpenFile(fileName, err))
      document.LoadMetadata(reader->Info());
    formatId = gfJPEG;
    return true;
  }
  TImageInfo info;
  if (!DecodeImageFile(fileName, document.CurrentImage, document.OriginalImage, info, LastError))
    return false;
  document.LoadMetadata(info);
  formatId = FormatIdOfContainer(info.Container);
  return true;
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
