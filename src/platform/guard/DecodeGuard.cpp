#include "platform/guard/DecodeGuard.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <initializer_list>

#include "framework/WKLocalizer.h"

namespace {

constexpr TWKLanguageText kNeedsMemory{3961, "%s × %s pixels would need %s"};
constexpr TWKLanguageText kTruncated{3962, "truncated at byte %s"};
constexpr TWKLanguageText kTooManyScans{3963, "%s scans, more than a photograph needs"};
constexpr TWKLanguageText kTooManyPixels{3964, "%s × %s pixels are more than can be opened"};
constexpr TWKLanguageText kVectorDrawing{3965, "a vector drawing, not a photograph"};
constexpr TWKLanguageText kCancelled{3966, "cancelled"};
constexpr TWKLanguageText kNoPixels{3967, "the picture has no pixels"};
constexpr TWKLanguageText kIncomplete{3968, "the picture's data is incomplete"};

std::atomic<uint64_t> AssumedAvailable{0};

// The text with each "%s" replaced by the next argument.
std::string Fill(const TWKLanguageText& text, std::initializer_list<std::string> arguments) {
  std::string pattern = LanguageString(text), out;
  auto next = arguments.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 2, "%s") == 0 && next != arguments.end()) {
      out += *next++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string Number(int64_t value) { return std::to_string(value); }

}  // namespace

std::string TDecodeGuard::CheckSize(int64_t width, int64_t height) {
  if (width > 0 && height > 0 && width <= MaxSide && height <= MaxSide && width * height <= MaxPixels)
    return {};
  if (width <= 0 || height <= 0) return LanguageString(kNoPixels);
  return Fill(kTooManyPixels, {Number(width), Number(height)});
}

std::string TDecodeGuard::CheckLength(uint64_t fileBytes, uint64_t leastBytes) {
  return fileBytes >= leastBytes ? std::string() : Truncated(fileBytes);
}

std::string TDecodeGuard::Truncated(uint64_t offset) { return Fill(kTruncated, {Number(int64_t(offset))}); }

std::string TDecodeGuard::CheckUnboundedCoding(int64_t width, int64_t height, uint64_t fileBytes) {
  const int64_t pixels = width * height;
  if (pixels <= MinUnboundedPixels) return {};
  const uint64_t least = uint64_t(pixels - MinUnboundedPixels) / uint64_t(UnboundedPixelsPerByte);
  return CheckLength(fileBytes, least);
}

std::string TDecodeGuard::CheckScans(int scans, uint64_t blockVisits, uint64_t pictureBlocks) {
  if (scans <= MaxScans && blockVisits <= uint64_t(MaxScanPasses) * pictureBlocks) return {};
  return Fill(kTooManyScans, {Number(scans)});
}

std::string TDecodeGuard::CheckMemory(int64_t width, int64_t height, uint64_t bytes) {
  const uint64_t available = AvailableMemory();
  if (available == 0 || bytes <= available) return {};
  return Fill(kNeedsMemory, {Number(width), Number(height), ByteText(bytes)});
}

std::string TDecodeGuard::VectorDrawing() { return LanguageString(kVectorDrawing); }
std::string TDecodeGuard::Cancelled() { return LanguageString(kCancelled); }
std::string TDecodeGuard::Incomplete() { return LanguageString(kIncomplete); }

uint64_t TDecodeGuard::AvailableMemory() {
  if (uint64_t assumed = AssumedAvailable.load()) return assumed;
  std::ifstream meminfo("/proc/meminfo");
  std::string key, unit;
  uint64_t kib = 0;
  while (meminfo >> key >> kib >> unit)
    if (key == "MemAvailable:") return kib * 1024;
  return 0;
}

void TDecodeGuard::SetAvailableMemoryForTesting(uint64_t bytes) { AssumedAvailable = bytes; }

std::string TDecodeGuard::ByteText(uint64_t bytes) {
  char text[32];
  const double mb = double(bytes) / 1048576.0;
  if (mb >= 1024.0)
    std::snprintf(text, sizeof text, "%.1f GB", mb / 1024.0);
  else
    std::snprintf(text, sizeof text, "%.0f MB", mb < 1.0 ? 1.0 : mb);
  return text;
}
