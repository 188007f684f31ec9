// The format-registry base: format records, the dialogs' filter strings, file information
// and thumbnails for the open dialog.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/WKTypes.h"

class IWKPaintDevice;
class TWKDocument;

struct TWKFileFormatInfo {
  int32_t Id = 0;
  std::string Description;
  std::string Masks;       // "*.jpg;*.jpeg"
  std::string DefaultExt;  // ".jpg"
};
using TWKFileFormatArray = std::vector<TWKFileFormatInfo>;

class TWKFileInfo {
 public:
  explicit TWKFileInfo(std::string fileName) : FileName(std::move(fileName)) {}
  virtual ~TWKFileInfo() = default;
  virtual void GetDescription(std::string& text) { text.clear(); }
  std::string FileName;
};

class TWKThumbnail {
 public:
  virtual ~TWKThumbnail() = default;
  virtual void Draw(IWKPaintDevice& device, const TRect& rect) = 0;
};

class TWKFileFormats {
 public:
  virtual ~TWKFileFormats() = default;
  virtual int32_t FormatCount() = 0;
  virtual TWKFileFormatInfo FormatInfo(int32_t index) = 0;
  virtual bool GetFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info);
  virtual bool GetThumbnail(const std::string& fileName, int32_t width, int32_t height,
                            std::unique_ptr<TWKThumbnail>& thumbnail);
  // Every registered format in registry order.
  virtual void GetSaveFormats(TWKFileFormatArray& formats);
  // Every registered format, then "all supported" (the masks of all) and "all files".
  virtual void GetOpenFormats(TWKFileFormatArray& formats);

  int32_t IndexOfId(int32_t id);
};

class TWKDocumentFormats : public TWKFileFormats {
 public:
  virtual bool LoadDocument(TWKDocument& document, const std::string& fileName,
                            int32_t& formatId) = 0;
  virtual bool SaveDocument(TWKDocument& document, const std::string& fileName,
                            int32_t formatId) = 0;
  virtual bool CanWriteFormat(int32_t formatId) = 0;

  // Why the last load or save failed, one line for the user; empty after a success.
  std::string LastError;
  // The last load was called off by the user (nothing to report).
  bool LastCancelled = false;
};

// Array index of the record with that id, or -1.
int32_t FindFormat(const TWKFileFormatArray& formats, int32_t id);
// "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png".
std::string BuildFilter(const TWKFileFormatArray& formats);
// Whether the file name (its folder ignored) matches one of the ";"-separated masks; "*" and
// "?" are wildcards, letters compare without regard to ASCII case.
bool MatchesMasks(const std::string& fileName, const std::string& masks);
// The name as typed, with the format's default extension appended when no mask of the
// format matches it.
std::string WithDefaultExtension(const std::string& fileName, const TWKFileFormatInfo& format);
