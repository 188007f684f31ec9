// The image document's metadata list and what the format registry derives from metadata: the
// open dialog's file description and the thumbnail geometry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "documents/WKFileFormats.h"
#include "framework/WKProperties.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "platform/codec/CodecTypes.h"

// The document's metadata: one record per codec property item (identifier, value length, type,
// value bytes), in the codec's order, and the resolution of the file last read.
class TWKGraphicsDocumentProperties : public TWKCustomProperties {
 public:
  int32_t HorizontalResolution = 0;  // dots per inch, rounded
  int32_t VerticalResolution = 0;

  // Clears the list, adds every item of the decoded image in its order and takes its
  // resolution.
  void LoadFrom(const TImageInfo& info);
  // Every record as a codec item, in list order.
  std::vector<TPropertyItem> PropertyItems() const;
  // Deletes the embedded-thumbnail records (0x5012-0x5019, 0x501B-0x503B; 0x501A stays).
  void StripThumbnailTags();
};

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
