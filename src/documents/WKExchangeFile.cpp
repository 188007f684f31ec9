#include "documents/WKExchangeFile.h"

#include <vector>

#include "documents/WKGraphicsCodec.h"
#include "framework/WKApplication.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/PropertyItems.h"
#include "plugin/FileMapping.h"
#include "plugin/PhotoshopDataInfo.h"

namespace {

bool Fail(std::string* error, const char* text) {
  if (error) *error = text;
  return false;
}

// A mapped view that is unmapped when it goes out of scope.
struct TView {
  TFileMapping& Mapping;
  uint8_t* Bytes;
  ~TView() {
    if (Bytes) Mapping.Unmap(Bytes);
  }
};

}  // namespace

bool ReadExchangeFile(const std::string& name, TWKExchangeTarget target, std::string* error) {
  TFileMapping mapping;
  if (!mapping.Create(name, /*createIfMissing=*/false)) return Fail(error, "The file cannot be opened.");
  const uint64_t size = mapping.FileSize();
  if (size < kExchangeDataOffset) return Fail(error, "The file is not an exchange file.");
  TView view{mapping, static_cast<uint8_t*>(mapping.Map(0, 0, TFileAccess::Read))};
  if (!view.Bytes) return Fail(error, "The file cannot be mapped.");

  TWKExchangeImage image;
  if (!ParseExchangeFile(view.Bytes, static_cast<size_t>(size), image))
    return Fail(error, "The file is not an exchange file, or it is shorter than its header declares.");

  TWKLTBitmap current, original;
  const int32_t width = image.Header.Width, height = image.Header.Height;
  std::string memory;
  if (!CheckImageMemory(width, height, memory)) return Fail(error, memory.c_str());
  if (!current.SetSize(width, height, FormatBGR24))
    return Fail(error, "There is not enough memory for an image of this size.");
  const TWKBitmapStorage& pixels = current.Storage();
  ReadExchangePixels(image, pixels.Bits, pixels.RowBytes);
  if (!original.AssignPixels(*current.Pixels()))
    return Fail(error, "There is not enough memory for an image of this size.");

  if (image.Exif) {
    TImageInfo exif;
    TCodecError err;
    if (PropertyItemsFromExifBlock({image.Exif, image.ExifSize}, exif.Items, err)) {
      ResolutionFromItems(exif.Items, exif.DpiX, exif.DpiY);
      if (target.LoadMetadata) target.LoadMetadata(exif);
    }
  }
  target.CurrentImage.Swap(current);
  target.OriginalImage.Swap(original);
  return true;
}

bool WriteExchangeFile(const std::string& name, const TWKLTBitmap& image) {
  const TWKBitmapStorage& pixels = image.Storage();
  if (image.Empty() || pixels.Format != FormatBGR24) return false;
  const size_t fileSize = ExchangeFileSize(pixels.RowBytes, pixels.Height);
  if (fileSize == 0) return false;
  TFileMapping mapping;
  if (!mapping.Create(name)) return false;
  if (!mapping.SetSize(fileSize)) {
    if (TWKApplication* app = Application()) app->MessageBox("", "", MB_OK);
    return false;
  }
  TView view{mapping, static_cast<uint8_t*>(mapping.Map(0, 0, TFileAccess::Write))};
  if (!view.Bytes) return false;
  return WriteExchangeImage(view.Bytes, static_cast<size_t>(mapping.FileSize()), pixels.Width,
                            pixels.Height, pixels.RowBytes, pixels.Bits, pixels.RowBytes);
}
