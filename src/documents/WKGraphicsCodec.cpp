#include "documents/WKGraphicsCodec.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include <cstring>

#include "imaging/WKBitmap.h"
#include "imaging/WKPageMemory.h"
#include "imaging/WKParallel.h"
#include "platform/codec/StillImageCodec.h"

namespace {

std::atomic<uint64_t> AssumedAvailable{0};

// MemAvailable of /proc/meminfo in bytes; 0 when it cannot be read.
uint64_t AvailableMemory() {
  if (uint64_t assumed = AssumedAvailable.load()) return assumed;
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  uint64_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib >> unit)
    if (key == "MemAvailable:") return kib * 1024;
  return 0;
}

// The original as a copy of the current image: one block move per half, on both cores.
bool CopyImage(const TWKLTBitmap& source, TWKLTBitmap& copy) {
  const TWKBitmapStorage& from = source.Storage();
  const TWKBitmapStorage& sized = copy.Storage();
  if ((sized.Width != from.Width || sized.Height != from.Height || sized.Format != from.Format ||
       sized.Bits == nullptr) &&
      !copy.SetSize(from.Width, from.Height, from.Format))
    return false;
  const TWKBitmapStorage& to = copy.Storage();
  if (to.RowBytes != from.RowBytes) return copy.AssignPixels(*source.Pixels());
  ParallelRows(from.Height, static_cast<int64_t>(from.Size), [&](int32_t, int32_t begin, int32_t end) {
    const size_t offset = size_t(begin) * size_t(from.RowBytes);
    std::memcpy(to.Bits + offset, from.Bits + offset, size_t(end - begin) * size_t(from.RowBytes));
  });
  return true;
}

}  // namespace

void SetAvailableMemoryForTesting(uint64_t bytes) { AssumedAvailable = bytes; }

bool CheckImageMemory(int32_t width, int32_t height, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "The image has no pixels.";
    return false;
  }
  const uint64_t bytes = uint64_t(DIBRowBytes(width, 24)) * uint64_t(height) * 3;
  const uint64_t available = AvailableMemory();
  if (available == 0 || bytes <= available) return true;
  char text[160];
  std::snprintf(text, sizeof text,
                "There is not enough memory to open an image of %d x %d pixels (%.0f MB needed, "
                "%.0f MB available).",
                width, height, double(bytes) / 1048576.0, double(available) / 1048576.0);
  error = text;
  return false;
}

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

namespace {

bool DecodeImage(std::unique_ptr<TImageDecoder> decoder, TCodecError& err, TWKLTBitmap& current,
                 TWKLTBitmap& original, TImageInfo& info, std::string& error) {
  if (!decoder) {
    error = err.Message;
    return false;
  }
  const TImageInfo& facts = decoder->Info();
  if (!CheckImageMemory(facts.Width, facts.Height, error)) return false;
  TWKLTBitmap newCurrent, newOriginal;
  if (!newCurrent.SetSize(facts.Width, facts.Height, FormatBGR24)) {
    error = "There is not enough memory to open an image of " + std::to_string(facts.Width) + " x " +
            std::to_string(facts.Height) + " pixels.";
    return false;
  }
  const TWKBitmapStorage& rows = newCurrent.Storage();
  // Fresh pages fault in on the other core while this one decodes; the original is sized now
  // so that its copy below moves into mapped memory.
  std::thread prefault;
  if (newOriginal.SetSize(facts.Width, facts.Height, FormatBGR24) && rows.Size >= (size_t{1} << 22)) {
    try {
      prefault = std::thread([&rows, &original = newOriginal.Storage()] {
        PrefaultPixelMemory(rows.Bits, rows.Size);
        PrefaultPixelMemory(original.Bits, original.Size);
      });
    } catch (...) {
      // no thread: the pages fault in as they are written
    }
  }
  const bool decoded = decoder->ReadPixels({rows.Bits, rows.RowBytes, rows.Width, rows.Height}, err);
  if (prefault.joinable()) prefault.join();
  if (!decoded) {
    error = err.Message;
    return false;
  }
  if (!CopyImage(newCurrent, newOriginal)) {
    error = "There is not enough memory to keep a copy of the original image.";
    return false;
  }
  info = facts;
  current.Swap(newCurrent);
  original.Swap(newOriginal);
  return true;
}

}  // namespace

bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TWKLTBitmap& original,
                     TImageInfo& info, std::string& error) {
  TCodecError err;
  return DecodeImage(TStillImageCodec::OpenFile(fileName, err), err, current, original, info, error);
}

bool DecodeImageData(std::shared_ptr<const TCodecData> data, TWKLTBitmap& current,
                     TWKLTBitmap& original, TImageInfo& info, std::string& error) {
  TCodecError err;
  return DecodeImage(TStillImageCodec::Open(std::move(data), err), err, current, original, info, error);
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
