// Embedded colour profiles (ICC) and the conversion of an image's pixels for display.
// Pixels of the document never change: only what is painted on screen is converted.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

using TColorProfileBytes = std::vector<uint8_t>;

// The profile's description text (ASCII); empty when the bytes are no profile.
std::string ColorProfileDescription(std::span<const uint8_t> profile);
// True when the bytes form a profile lcms can use for an RGB image.
bool IsUsableRgbProfile(std::span<const uint8_t> profile);
// True when the profile renders RGB like sRGB (same primaries, white and tone curve within
// what an 8-bit display can tell apart); an empty span counts as sRGB.
bool IsSrgbEquivalent(std::span<const uint8_t> profile);

// The profile of the monitor the views paint on; empty for sRGB. Set by the platform layer
// once the desktop has said which profile it uses; views follow it from their next paint.
void SetMonitorColorProfile(TColorProfileBytes profile);
std::shared_ptr<const TColorProfileBytes> MonitorColorProfile();

// A conversion of 8-bit blue-green-red pixels from an image's profile to the monitor's.
// Identity (no work at all) when both render alike, when the image has no usable profile, or
// when it is not RGB. Convert may run on several threads at once.
class TWKDisplayTransform {
 public:
  TWKDisplayTransform();
  ~TWKDisplayTransform();
  TWKDisplayTransform(const TWKDisplayTransform&) = delete;
  TWKDisplayTransform& operator=(const TWKDisplayTransform&) = delete;

  // Rebuilds for the image profile and the monitor profile (empty: sRGB) unless both are the
  // ones it was built for.
  void Prepare(std::span<const uint8_t> imageProfile, std::span<const uint8_t> monitorProfile);
  bool Identity() const { return Handle_ == nullptr; }
  // Converts count pixels in place.
  void Convert(uint8_t* bgr, int32_t count) const;

 private:
  void Reset();
  void* Handle_ = nullptr;
  TColorProfileBytes Image_;
  TColorProfileBytes Monitor_;
  bool Prepared_ = false;
};
