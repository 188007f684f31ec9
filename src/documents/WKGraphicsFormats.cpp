#include "documents/WKGraphicsFormats.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKLosslessJpeg.h"
#include "framework/WKAtomicFile.h"
#include "platform/codec/StillImageCodec.h"

namespace {

struct TFormatRecord {
  int32_t Id;
  const char* Description;
  const char* Masks;
  const char* DefaultExt;
  const char* MimeType;
};

constexpr std::array<TFormatRecord, 4> kFormats{{
    {gfJPEG, "JPEG", "*.jpg;*.jpeg;*.jpe", ".jpg", "image/jpeg"},
    {gfTIFF, "TIFF", "*.tif;*.tiff", ".tif", "image/tiff"},
    {gfPNG, "PNG", "*.png", ".png", "image/png"},
    {gfBMP, "Windows Bitmap", "*.bmp;*.rle;*.dib", ".bmp", "image/bmp"},
}};

const TFormatRecord* FindRecord(int32_t id) {
  for (const TFormatRecord& record : kFormats)
    if (record.Id == id) return &record;
  return nullptr;
}

int32_t FormatOfContainer(TCodecContainer container) {
  switch (container) {
    case TCodecContainer::JPEG: return gfJPEG;
    case TCodecContainer::TIFF: return gfTIFF;
    case TCodecContainer::PNG: return gfPNG;
    case TCodecContainer::BMP: return gfBMP;
    default: return 0;
  }
}

}  // namespace

TWKGraphicsFormats::TWKGraphicsFormats() = default;
TWKGraphicsFormats::~TWKGraphicsFormats() = default;

int32_t TWKGraphicsFormats::FormatCount() { return static_cast<int32_t>(kFormats.size()); }

TWKFileFormatInfo TWKGraphicsFormats::FormatInfo(int32_t index) {
  if (index < 0 || index >= FormatCount()) return {};
  const TFormatRecord& r = kFormats[static_cast<size_t>(index)];
  return {r.Id, r.Description, r.Masks, r.DefaultExt};
}

bool TWKGraphicsFormats::CanWriteFormat(int32_t formatId) {
  return formatId == gfExchange || FindRecord(formatId) != nullptr;
}

int32_t TWKGraphicsFormats::FormatOfFileName(const std::string& fileName) {
  for (const TFormatRecord& record : kFormats)
    if (MatchesMasks(fileName, record.Masks)) return record.Id;
  return 0;
}

bool TWKGraphicsFormats::LoadDocument(TWKDocument& document, const std::string& fileName,
                                      int32_t& formatId) {
  LastError.clear();
  auto* image = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (image == nullptr) return false;
  if (IsExchangeFile(fileName)) {
    if (!ReadExchangeFile(*image, fileName)) return false;
    formatId = gfExchange;
    return true;
  }
  return LoadImage(*image, fileName, formatId);
}

bool TWKGraphicsFormats::SaveDocument(TWKDocument& document, const std::string& fileName,
                                      int32_t formatId) {
  LastError.clear();
  auto* image = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (image == nullptr) return false;
  if (formatId == gfExchange) return WriteExchangeFile(*image, fileName);
  return SaveImage(*image, fileName, formatId);
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
  std::unique_ptr<TImageDecoder> decoder = TStillImageCodec::OpenFile(fileName, err);
  if (!decoder) {
    LastError = err.Message;
    return false;
  }
  const TImageInfo& info = decoder->Info();
  if (!CheckImageDimensions(info.Width, info.Height, err) ||
      !document.SetImageSize(info.Width, info.Height)) {
    LastError = err.Ok() ? "not enough memory for the image" : err.Message;
    return false;
  }
  TWKPixels& pixels = *document.CurrentPixels();
  if (!decoder->ReadPixels({pixels.Bits, pixels.RowBytes, pixels.Width, pixels.Height}, err)) {
    LastError = err.Message;
    document.CurrentImage.FreeStorage();
    return false;
  }
  if (!document.CurrentImageLoaded()) {
    LastError = "not enough memory for the image";
    return false;
  }
  document.LoadMetadata(info);
  formatId = FormatOfContainer(info.Container);
  if (formatId == 0) formatId = FormatOfFileName(fileName);
  return true;
}

bool TWKGraphicsFormats::SaveImage(TWKGraphicsDocument& document, const std::string& fileName,
                                   int32_t formatId) {
  const TFormatRecord* record = FindRecord(formatId);
  const TWKPixels* pixels = document.CurrentPixels();
  if (record == nullptr) {
    LastError = "unknown image format";
    return false;
  }
  if (pixels == nullptr || pixels->PixelFormat != FormatBGR24) {
    LastError = "the image holds no pixels to save";
    return false;
  }
  if (formatId == gfJPEG && CanSaveThroughLosslessJpeg(document))
    return SaveThroughLosslessJpeg(document, fileName, LastError);
  std::vector<TPropertyItem> items;
  TEncodeOptions options;
  document.SaveMetadata(items, options.DpiX, options.DpiY);
  options.Items = items;
  options.Quality = JpegQuality;
  std::vector<uint8_t> bytes;
  TCodecError err;
  const TConstPixelRows rows{pixels->Bits, pixels->RowBytes, pixels->Width, pixels->Height};
  if (!TStillImageCodec::Encode(record->MimeType, rows, options, bytes, err)) {
    LastError = err.Message;
    return false;
  }
  if (!WriteFileAtomically(fileName, bytes.data(), bytes.size())) {
    LastError = "the file " + fileName + " cannot be written";
    return false;
  }
  return true;
}

bool TWKGraphicsFormats::IsExchangeFile(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (file == nullptr) return false;
  char magic[4] = {};
  const bool read = std::fread(magic, 1, sizeof magic, file) == sizeof magic;
  std::fclose(file);
  return read && std::memcmp(magic, "PSPF", 4) == 0;
}

bool TWKGraphicsFormats::ReadExchangeFile(TWKGraphicsDocument&, const std::string&) {
  LastError = "exchange files are not supported by this build";
  return false;
}

bool TWKGraphicsFormats::WriteExchangeFile(TWKGraphicsDocument&, const std::string&) {
  LastError = "exchange files are not supported by this build";
  return false;
}
