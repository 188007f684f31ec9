// What the format registry derives from a file for the open dialog: its description and its
// thumbnail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "documents/WKFileFormats.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "platform/codec/CodecTypes.h"

// The description of a decoded file, lines separated by "\n": the container (when it is one the
// codec names), the size "W x H", then the date taken and the camera when the file has them.
std::string GraphicsFileDescription(const TImageInfo& info);
// An item's text: its bytes up to the first zero, taken as UTF-8 when valid and as Latin-1
// otherwise; empty when the item is missing.
std::string PropertyText(const std::vector<TPropertyItem>& items, uint32_t id);

// The picture's size fitted into the box with its proportions kept (a zero side counts as 1).
TSize ThumbnailSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);
// A size's rectangle centred in rect.
TRect CenteredRect(const TRect& rect, TSize size);

// What the open dialog shows about a file: its description lines.
class TWKGraphicsFileInfo : public TWKFileInfo {
 public:
  using TWKFileInfo::TWKFileInfo;
  void GetDescription(std::string& text) override { text = DescriptionText; }
  std::string DescriptionText;
};

// The open dialog's preview: the picture already at its final size.
class TWKGraphicsThumbnail : public TWKThumbnail {
 public:
  TWKLTBitmap Image;
  TRect UsedRect;  // where the last Draw put it

  // Centred in rect.
  void Draw(IWKPaintDevice& device, const TRect& rect) override;
};

// False when no regular file of that name exists; otherwise a new info whose description is
// empty when the codec cannot read the file.
bool MakeGraphicsFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info);
// A thumbnail fitted into width x height; false when the codec cannot open the file. Safe on any
// thread: it uses codec objects of its own.
bool MakeGraphicsThumbnail(const std::string& fileName, int32_t width, int32_t height,
                           std::unique_ptr<TWKThumbnail>& thumbnail);
