// The image format registry: JPEG, TIFF, PNG and BMP through the still-image codec, decoded
// straight into the document's rows; saves replace the file atomically. The plug-in bridge's
// exchange file (format -1) is read and written through two hooks.
#pragma once

#include <cstdint>
#include <string>

#include "documents/WKFileFormats.h"

class TWKGraphicsDocument;

enum : int32_t {
  gfExchange = -1,
  gfJPEG = 1,
  gfTIFF = 2,
  gfPNG = 3,
  gfBMP = 4,
};

class TWKGraphicsFormats : public TWKDocumentFormats {
 public:
  TWKGraphicsFormats();
  ~TWKGraphicsFormats() override;

  int32_t JpegQuality = 80;
  // The message of the last failed load or save; empty after a success.
  std::string LastError;

  int32_t FormatCount() override;
  TWKFileFormatInfo FormatInfo(int32_t index) override;
  bool LoadDocument(TWKDocument& document, const std::string& fileName, int32_t& formatId) override;
  bool SaveDocument(TWKDocument& document, const std::string& fileName, int32_t formatId) override;
  bool CanWriteFormat(int32_t formatId) override;

  // The format whose masks match the file name; 0 when none does.
  int32_t FormatOfFileName(const std::string& fileName);

  // The exchange file of the plug-in bridge: recognised by its magic; read into and written
  // back from the document in place.
  virtual bool IsExchangeFile(const std::string& fileName);
  virtual bool ReadExchangeFile(TWKGraphicsDocument& document, const std::string& fileName);
  virtual bool WriteExchangeFile(TWKGraphicsDocument& document, const std::string& fileName);

 protected:
  bool LoadImage(TWKGraphicsDocument& document, const std::string& fileName, int32_t& formatId);
  bool SaveImage(TWKGraphicsDocument& document, const std::string& fileName, int32_t formatId);
};
