// The limits every decoder path checks before it allocates for a picture, so that a hostile or
// damaged file is refused at once instead of costing time and memory first:
//   - the picture's size (sides and pixel count);
//   - the fewest encoded bytes its coding can hold it in: a file shorter than that ends too soon;
//   - the passes over its data that a progressive JPEG's scans ask for;
//   - the memory a decode takes in all, against what the machine has available (a preview
//     against a small fixed budget of its own).
// Each check answers with an empty text when the picture is admitted, else with the reason as one
// line for the user ("65500 × 6100 pixels would need 3.4 GB").
#pragma once

#include <cstdint>
#include <string>

class TDecodeGuard {
 public:
  static constexpr int64_t MaxSide = 65535;
  static constexpr int64_t MaxPixels = 400'000'000;
  // Scans of a progressive JPEG, whatever its size; encoders write about ten.
  static constexpr int MaxScans = 256;
  // Block visits of all scans together, in passes over every block of the picture; a standard
  // progressive script makes fewer than six.
  static constexpr int MaxScanPasses = 48;
  // Where a coding has no least size (arithmetic JPEG, fax TIFF, run-length BMP with skips),
  // the pixels one encoded byte may stand for, beyond the first MinUnboundedPixels.
  static constexpr int64_t UnboundedPixelsPerByte = 4096;
  static constexpr int64_t MinUnboundedPixels = 1 << 20;
  // Working memory of a preview: a thumbnail never takes more than this to make.
  static constexpr uint64_t PreviewBytes = uint64_t{256} << 20;

  // Sides within 1..MaxSide, pixels within MaxPixels.
  static std::string CheckSize(int64_t width, int64_t height);
  // A file of fileBytes whose picture needs at least leastBytes ends too soon (leastBytes 0: no
  // bound known).
  static std::string CheckLength(uint64_t fileBytes, uint64_t leastBytes);
  // A coding without a least size: the pixels per encoded byte stay within the bound above.
  static std::string CheckUnboundedCoding(int64_t width, int64_t height, uint64_t fileBytes);
  // A progressive JPEG's scans: their count and their block visits against the picture's blocks.
  static std::string CheckScans(int scans, uint64_t blockVisits, uint64_t pictureBlocks);
  // A decode that takes bytes in all (pixels, copies and the decoder's own memory).
  static std::string CheckMemory(int64_t width, int64_t height, uint64_t bytes);
  // A preview whose decode takes bytes of working memory.
  static bool PreviewAdmits(uint64_t bytes) { return bytes <= PreviewBytes; }

  // Reasons of the callers that refuse for their own causes.
  // The data ends at that byte before the picture is complete.
  static std::string Truncated(uint64_t offset);
  static std::string VectorDrawing();
  static std::string Cancelled();
  // A coding that leaves part of the picture without any data (a component no scan carries).
  static std::string Incomplete();

  // MemAvailable of the system in bytes; 0 when unknown (then memory admits everything).
  static uint64_t AvailableMemory();
  // Test seam: the available memory assumed from now on; 0 reads the system's again.
  static void SetAvailableMemoryForTesting(uint64_t bytes);

  // "3.4 GB", "120 MB": a byte count as the reasons show it.
  static std::string ByteText(uint64_t bytes);
};
