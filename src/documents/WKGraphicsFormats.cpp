#include "documents/WKGraphicsFormats.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <thread>

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

// A JPEG start-of-image marker followed by a marker.
bool IsJpegFile(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (file == nullptr) return false;
  unsigned char head[3] = {};
  const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  return read && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
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

// The lossless form takes the file's coefficients on a helper thread while the codec decodes the
// pixels into the document on this one: both read the same file with the same library, and an
// exact save compares the edited pixels with the original that this decode produced, so the
// coefficients of untouched blocks are kept whichever decoder made the rows.
bool TWKGraphicsFormats::LoadJpegTogether(TWKGraphicsDocument& document, const std::string& fileName,
                                          int32_t& formatId) {
  auto* form = dynamic_cast<TWKLosslessJpeg*>(document.LosslessJpeg.get());
  if (form == nullptr) return false;
  form->Release();
  int32_t held = 0;
  std::thread loader;
  try {
    loader = std::thread([&] { held = form->Component().Load(fileName, 0); });
  } catch (...) {
    return false;  // no thread: the sequential path
  }
  TImageInfo info;
  std::string error;
  const bool decoded = DecodeImageFile(fileName, document.CurrentImage, document.OriginalImage, info, error);
  loader.join();
  if (!held) {
    form->Release();
    if (!decoded) LastError = error;
    if (decoded) {
      document.LoadMetadata(info);
      formatId = FormatIdOfContainer(info.Container);
    }
    return decoded;
  }
  if (!decoded || form->Component().Width() != document.CurrentImage.Width() ||
      form->Component().Height() != document.CurrentImage.Height()) {
    form->Release();
    return false;
  }
  document.LoadMetadata(info);
  formatId = gfJPEG;
  return true;
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
