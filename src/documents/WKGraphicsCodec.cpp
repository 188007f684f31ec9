#include "documents/WKGraphicsCodec.h"

#include "imaging/WKBitmap.h"
#include "platform/codec/StillImageCodec.h"

int32_t FormatIdOfContainer(TCodecContainer container) {
  switch (container) {
    case TCodecContainer::JPEG:
      return 0;
    case TCodecContainer::TIFF:
      return 1;
    case TCodecContainer::PNG:
      return 2;
    case TCodecContainer::BMP:
      return 3;
    default:
      return kOtherImageFormat;
  }
}

const char* MimeTypeOfFormat(int32_t formatId) {
  switch (formatId) {
    case 0:
      return "image/jpeg";
    case 1:
      return "image/tiff";
    case 2:
      return "image/png";
    case 3:
      return "image/bmp";
    default:
      return "";
  }
}

bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TWKLTBitmap& original,
                     TImageInfo& info, std::string& error) {
  TCodecError err;
  std::unique_ptr<TImageDecoder> decoder = TStillImageCodec::OpenFile(fileName, err);
  if (!decoder) {
    error = err.Message;
    return false;
  }
  const TImageInfo& facts = decoder->Info();
  TWKLTBitmap newCurrent, newOriginal;
  if (!newCurrent.SetSize(facts.Width, facts.Height, FormatBGR24)) {
    error = "There is not enough memory to open an image of " + std::to_string(facts.Width) + " x " +
            std::to_string(facts.Height) + " pixels.";
    return false;
  }
  const TWKBitmapStorage& rows = newCurrent.Storage();
  if (!decoder->ReadPixels({rows.Bits, rows.RowBytes, rows.Width, rows.Height}, err)) {
    error = err.Message;
    return false;
  }
  if (!newOriginal.AssignPixels(*newCurrent.Pixels())) {
    error = "There is not enough memory to keep a copy of the original image.";
    return false;
  }
  info = facts;
  current.Swap(newCurrent);
  original.Swap(newOriginal);
  return true;
}

bool EncodeImageFile(const std::string& fileName, const TWKLTBitmap& image, const char* mimeType,
                     const TEncodeOptions& options, std::string& error) {
  if (image.Empty() || image.PixelFormat() != FormatBGR24) {
    error = "There is no image to save.";
    return false;
  }
  const TWKBitmapStorage& rows = image.Storage();
  TCodecError err;
  if (!TStillImageCodec::SaveToFile(mimeType, {rows.Bits, rows.RowBytes, rows.Width, rows.Height},
                                    options, fileName, err)) {
    error = err.Message;
    return false;
  }
  return true;
}
