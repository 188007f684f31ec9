// The image format registry: JPEG, TIFF, PNG and BMP. A file opens as the plug-in bridge's
// exchange file, else through the document's lossless JPEG form, else through the still-image
// codec, decoded straight into the document's rows. Saves replace the file atomically, except
// the exchange file, which is rewritten in place for the plug-in that owns it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "documents/WKFileFormats.h"
#include "documents/WKJPEGOptions.h"

class TWKGraphicsDocument;

enum : int32_t {
  gfNone = -2,  // no row (FormatInfo out of range, FormatOfFileName without a match)
  gfExchange = -1,
  gfJPEG = 0,
  gfTIFF = 1,
  gfPNG = 2,
  gfBMP = 3,
  gfOther = 4,  // a container the codec reads that is none of the four (GIF, ...)
};

class TWKGraphicsFormats : public TWKDocumentFormats {
 public:
  TWKGraphicsFormats();
  ~TWKGraphicsFormats() override;

  int32_t JpegQuality = kDefaultJpegQuality;

  // Asked for the quality of a JPEG save that does not go through the lossless form. Without
  // one (no user interface) JpegQuality is used as it stands.
  void SetQualityDialog(std::unique_ptr<IWKJPEGQualityDialog> dialog);

  int32_t FormatCount() override;
  TWKFileFormatInfo FormatInfo(int32_t index) override;
  bool GetFileInfo(const std::string& fileName, std::unique_ptr<TWKFileInfo>& info) override;
  bool GetThumbnail(const std::string& fileName, int32_t width, int32_t height,
                    std::unique_ptr<TWKThumbnail>& thumbnail) override;
  bool LoadDocument(TWKDocument& document, const std::string& fileName, int32_t& formatId) override;
  bool SaveDocument(TWKDocument& document, const std::string& fileName, int32_t formatId) override;
  // The exchange file and the four rows; a document of another container is saved through
  // Save As into one of them.
  bool CanWriteFormat(int32_t formatId) override;

  // The row whose masks match the file name; gfNone when none does.
  int32_t FormatOfFileName(const std::string& fileName);

  // The plug-in bridge's exchange file: true when the file is one and the document now holds its
  // image (and the metadata of its EXIF block); written back in place.
  virtual bool ReadExchangeFile(TWKGraphicsDocument& document, const std::string& fileName);
  virtual bool WriteExchangeFile(TWKGraphicsDocument& document, const std::string& fileName);

 protected:
  bool LoadFile(TWKGraphicsDocument& document, const std::string& fileName, int32_t& formatId);
  bool LoadImage(TWKGraphicsDocument& document, const std::string& fileName, int32_t& formatId);
  bool SaveImage(TWKGraphicsDocument& document, const std::string& fileName, int32_t formatId);
  // A JPEG into the lossless form and, at the same time, through the codec into the document.
  // False with LastError empty when the sequential path should be tried instead.
  bool LoadJpegTogether(TWKGraphicsDocument& document, const std::string& fileName, int32_t& formatId);
  // A picture stored turned or mirrored (EXIF orientation) is shown upright; false with
  // LastError when the memory for the turn cannot be had.
  bool ShowUpright(TWKGraphicsDocument& document);

 private:
  std::unique_ptr<IWKJPEGQualityDialog> QualityDialog_;
};
