// How pixels cross between the still-image codec and a document's images: decoding straight
// into a new current image, and encoding the current image in place.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/codec/CodecTypes.h"

class TCodecData;
class TWKLTBitmap;
class TWKPixelBuffer;

// The format identifier of a decoded container: JPEG 0, TIFF 1, PNG 2, BMP 3. Other containers
// (GIF and whatever else the codec reads) get kOtherImageFormat: they open, are never an
// exchange file, and are saved only through Save As into one of the four.
inline constexpr int32_t kOtherImageFormat = 4;
int32_t FormatIdOfContainer(TCodecContainer container);
// "image/jpeg", "image/tiff", "image/png", "image/bmp" for 0..3; empty otherwise.
const char* MimeTypeOfFormat(int32_t formatId);

// A document keeps three images of its size (current, original, backup); the decoder takes
// decoderBytes beside them. False with the decode guard's reason when they would not fit in the
// memory the system has available, so that a huge picture is refused before the allocation
// instead of ending the program when its pages are touched.
bool CheckImageMemory(int32_t width, int32_t height, std::string& error, uint64_t decoderBytes = 0);
// Test seam: the available memory that CheckImageMemory assumes; 0 reads the system's again.
void SetAvailableMemoryForTesting(uint64_t bytes);

// Decodes the whole file into current (24-bit, the codec writing straight into its rows) and
// makes original, and backup when given, copies of it; for a large picture the copies follow
// the decode on another core. On failure all are as they were and error says why.
bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TWKLTBitmap& original,
                     TImageInfo& info, std::string& error, TWKPixelBuffer* backup = nullptr);
// The same for a file already in memory.
bool DecodeImageData(std::shared_ptr<const TCodecData> data, TWKLTBitmap& current,
                     TWKLTBitmap& original, TImageInfo& info, std::string& error,
                     TWKPixelBuffer* backup = nullptr);

// Only the current image, no copies: a document's original and backup share its pixels until
// the first change (TWKGraphicsDocument::SharePixels).
bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TImageInfo& info, std::string& error);
bool DecodeImageData(std::shared_ptr<const TCodecData> data, TWKLTBitmap& current, TImageInfo& info,
                     std::string& error);

// Encodes the image's rows where they lie (no copy) with the items and resolution, and
// replaces the file atomically: on failure the old file is byte-identical.
bool EncodeImageFile(const std::string& fileName, const TWKLTBitmap& image, const char* mimeType,
                     const TEncodeOptions& options, std::string& error);
