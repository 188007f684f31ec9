// The lossless JPEG component: holds a JPEG's DCT coefficients, follows the document's turns,
// flips and crops, and writes the edited picture back re-encoding only what changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/lossless/TarnwickGeometry.h"

// Indices into the nine parameters of Save.
enum : int {
  TarnwickSaveMode = 7,     // TarnwickSaveExact, TarnwickSaveByChange or TarnwickSaveReencode
  TarnwickSaveQuality = 8,  // informational; the file's own tables are always used
  TarnwickSaveParameterCount = 9,
};

enum : int32_t {
  // Every block whose pixels did not change keeps its coefficients, moved exactly; only changed
  // blocks are encoded anew. Save returns 0 when the geometry does not allow it.
  TarnwickSaveExact = 2,
  // Every block is encoded from the pixels with the file's quantisation tables and sampling.
  TarnwickSaveReencode = 0,
  // Exact while at most TarnwickReencodePercent of the MCUs changed; above that, or when the
  // geometry does not allow an exact save, one whole re-encode (cheaper than many changed MCUs
  // encoded and read back one MCU row at a time).
  TarnwickSaveByChange = 1,
};

// Share of changed MCUs (in percent) above which TarnwickSaveByChange re-encodes everything: on
// a 24-megapixel photo the exact save costs about as much as one whole encode at 15 to 20 %.
inline constexpr int32_t TarnwickReencodePercent = 20;

class ITarnwick {
 public:
  virtual ~ITarnwick() = default;

  // Holds the file when it is an 8-bit three-component YCbCr JPEG (baseline or progressive);
  // anything else, or a file with damaged headers, is refused (0) and nothing is held. Only the
  // headers are read; the coefficients wait in the file's bytes for ReadCoefficients.
  virtual int32_t Load(const std::string& fileName, int32_t flags) = 0;
  // The same for a file already in memory.
  virtual int32_t LoadMemory(const uint8_t* data, size_t size) = 0;
  virtual int32_t HasImage() const = 0;
  // Size of the picture as the document shows it (after the geometry).
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // The coding block (MCU) in loaded-image pixels.
  virtual int32_t BlockWidth() const = 0;
  virtual int32_t BlockHeight() const = 0;
  // Decodes the picture as loaded into 24-bit rows (blue, green, red), `rowStride` bytes apart.
  // Only valid while the geometry is the identity; 0 otherwise or on a decoding error.
  virtual int32_t ReadPixels(uint8_t* firstRow, ptrdiff_t rowStride, int32_t flags) = 0;
  // Reads the held file's coefficients unless they were read already; Save and SaveMemory do it
  // first themselves. 0 when the coded data is damaged: the held image is then let go, as a
  // refused load would have been, and LastError says why.
  virtual int32_t ReadCoefficients() = 0;
  // Writes the picture given by SetPixels as JPEG through a temporary file renamed over the
  // target. `parameters` points at TarnwickSaveParameterCount values.
  virtual int32_t Save(const std::string& fileName, const int32_t* parameters) = 0;
  // The same JPEG into memory instead of a file.
  virtual int32_t SaveMemory(std::vector<uint8_t>& out, const int32_t* parameters) = 0;
  // TarnwickSaveExact or TarnwickSaveReencode: how the last successful save encoded.
  virtual int32_t LastSaveMode() const = 0;
  // Keeps the part (left, top, right, bottom) of the current picture; the crop composes with
  // the geometry. Setting the whole picture changes nothing.
  virtual void SetRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void Mirror(int32_t flags) = 0;
  virtual void Flip(int32_t flags) = 0;
  virtual void RotateLeft(int32_t flags) = 0;
  virtual void RotateRight(int32_t flags) = 0;
  // The edited picture the next Save writes: *pixelAddress is its top-left pixel.
  virtual void SetPixels(uint8_t* const* pixelAddress, ptrdiff_t rowStride, int32_t, int32_t) = 0;
  // The document's original picture at the same geometry; an exact save keeps the coefficients
  // of every block whose pixels equal it. Without it every block counts as changed.
  virtual void SetOriginalPixels(const uint8_t* firstPixel, ptrdiff_t rowStride) = 0;
  // Forgets the pixels of the last save.
  virtual void FinishSave() = 0;
  // Estimated quality of the luminance table (low half) and the chrominance table (high half).
  virtual uint32_t QualityFigures() const = 0;

  virtual TTarnwickGeometry Geometry() const = 0;
  // Puts back a geometry taken earlier from this held image (undo and redo of geometry steps).
  // False when it does not fit the held image.
  virtual bool SetGeometry(const TTarnwickGeometry& geometry) = 0;
  // Lets go of the held image (after a change that coefficients cannot follow, e.g. a resize).
  virtual void Release() = 0;
  // Bytes of the held coefficients: 0 until they are read.
  virtual size_t CoefficientBytes() const = 0;
  // Why the last Load or Save failed, for messages and tests.
  virtual const std::string& LastError() const = 0;
};

std::unique_ptr<ITarnwick> CreateTarnwickObject();
