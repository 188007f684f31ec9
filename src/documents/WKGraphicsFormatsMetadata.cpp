#include "documents/WKGraphicsFormatsMetadata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "documents/WKGraphicsDocument.h"
#include "framework/WKLocalizer.h"
#include "imaging/WKOrientation.h"
#include "platform/codec/StillImageCodec.h"
#include "framework/WKUnicode.h"

namespace {

constexpr uint32_t kDateTimeId = 0x0132;
constexpr uint32_t kMakeId = 0x010F;
constexpr uint32_t kModelId = 0x0110;

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::string PropertyText(const std::vector<TPropertyItem>& items, uint32_t id) {
  const TPropertyItem* item = FindPropertyItem(items, id);
  if (!item || item->Value.empty()) return {};
  const auto* bytes = reinterpret_cast<const char*>(item->Value.data());
  const std::string text(bytes, strnlen(bytes, item->Value.size()));
  return IsValidUtf8(text) ? text : Latin1ToUtf8(text);
}

std::string GraphicsFileDescription(const TImageInfo& info) {
  std::string text;
  const char* name = "";
  switch (info.Container) {
    case TCodecContainer::BMP:
    case TCodecContainer::JPEG:
    case TCodecContainer::PNG:
    case TCodecContainer::TIFF:
    case TCodecContainer::EXIF:
      name = ContainerName(info.Container);
      break;
    default:
      break;
  }
  if (*name) text = LanguageString(215, "Format") + ": " + name;
  char size[48];
  std::snprintf(size, sizeof size, "%d x %d", info.Width, info.Height);
  text += "\n" + LanguageString(504, "Dimensions") + ": " + size;
  const std::string date = PropertyText(info.Items, kDateTimeId);
  if (!date.empty()) text += "\n" + LanguageString(519, "Date Taken") + ": " + date;
  const std::string maker = PropertyText(info.Items, kMakeId);
  const std::string camera = maker + (maker.empty() ? "" : " ") + PropertyText(info.Items, kModelId);
  if (!camera.empty()) text += "\n" + LanguageString(518, "Camera") + ": " + camera;
  return text;
}

TSize ThumbnailSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
  const int64_t w = std::max(width, 1), h = std::max(height, 1);
  if (static_cast<double>(boxHeight) / h > static_cast<double>(boxWidth) / w)
    return {boxWidth, static_cast<int32_t>(h * boxWidth / w)};
  return {static_cast<int32_t>(w * boxHeight / h), boxHeight};
}

TRect CenteredRect(const TRect& rect, TSize size) {
  const int32_t left = (rect.Left + rect.Right) / 2 - size.Width / 2;
  const int32_t top = (rect.Top + rect.Bottom) / 2 - size.Height / 2;
  return {left, top, left + size.Width, top + size.Height};
}

void TWKGraphicsThumbnail::Draw(IWKPaintDevice& device, const TRect& rect) {
  UsedRect = CenteredRect(rect, {Image.Width(), Image.Height()});
  Image.Paint(device, UsedRect, nullptr, nullptr);
}

bool MakeGraphicsFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return false;
  auto result = std::make_unique<TWKGraphicsFileInfo>(fileName);
  TCodecError err;
  if (std::unique_ptr<TImageDecoder> decoder =
          TStillImageCodec::OpenFile(fileName, err, TStillImageCodec::TPurpose::Describe))
    result->DescriptionText = GraphicsFileDescription(decoder->Info());
  info = std::move(result);
  return true;
}

bool MakeGraphicsThumbnail(const std::string& fileName, int32_t width, int32_t height,
                           std::unique_ptr<TWKThumbnail>& thumbnail) {
  if (width <= 0 || height <= 0) return false;
  TCodecError err;
  std::unique_ptr<TImageDecoder> decoder = TStillImageCodec::OpenFile(fileName, err);
  if (!decoder) return false;
  // The preview shows the picture upright, as the document will: a stored picture lying on its
  // side is fitted with its sides exchanged, then turned.
  const TImageInfo& info = decoder->Info();
  const TPropertyItem* item = FindPropertyItem(info.Items, kOrientationItemId);
  const int32_t orientation = item ? OrientationValue(item->Value.data(), item->Value.size(), item->Type) : 1;
  const bool sideways = orientation >= 5;
  TSize size = ThumbnailSize(sideways ? info.Height : info.Width, sideways ? info.Width : info.Height,
                             width, height);
  size.Width = std::max(size.Width, 1);
  size.Height = std::max(size.Height, 1);
  if (sideways) std::swap(size.Width, size.Height);
  auto result = std::make_unique<TWKGraphicsThumbnail>();
  if (!result->Image.SetSize(size.Width, size.Height, FormatBGR24)) return false;
  const TWKBitmapStorage& rows = result->Image.Storage();
  if (!decoder->ReadThumbnail({rows.Bits, rows.RowBytes, rows.Width, rows.Height}, err)) return false;
  if (!TurnUpright(result->Image, orientation)) return false;
  thumbnail = std::move(result);
  return true;
}
