#include "imaging/WKColorProfile.h"

#include <lcms2.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

// Owns an lcms profile handle.
struct TProfile {
  cmsHPROFILE Handle = nullptr;
  explicit TProfile(cmsHPROFILE handle) : Handle(handle) {}
  ~TProfile() {
    if (Handle) cmsCloseProfile(Handle);
  }
  TProfile(const TProfile&) = delete;
  TProfile& operator=(const TProfile&) = delete;
};

cmsHPROFILE OpenProfile(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > UINT32_MAX) return nullptr;
  return cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
}

// The profile, or sRGB for no bytes; null for bytes that are no RGB profile.
cmsHPROFILE OpenRgbOrSrgb(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return cmsCreate_sRGBProfile();
  cmsHPROFILE profile = OpenProfile(bytes);
  if (profile && cmsGetColorSpace(profile) != cmsSigRgbData) {
    cmsCloseProfile(profile);
    return nullptr;
  }
  return profile;
}

// Silences lcms's error reports: a broken profile is treated as none.
void QuietErrors() {
  static std::once_flag once;
  std::call_once(once, [] { cmsSetLogErrorHandler([](cmsContext, cmsUInt32Number, const char*) {}); });
}

cmsHTRANSFORM MakeTransform(cmsHPROFILE from, cmsHPROFILE to) {
  // No one-pixel cache: the transform is shared by the threads that paint.
  return cmsCreateTransform(from, TYPE_BGR_8, to, TYPE_BGR_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
}

// Colours whose conversion tells two RGB renderings apart: the corners, the grey ramp and a
// coarse grid through the cube.
std::vector<uint8_t> ProbeColours() {
  std::vector<uint8_t> colours;
  constexpr uint8_t levels[] = {0, 16, 48, 96, 128, 160, 208, 240, 255};
  for (uint8_t b : levels)
    for (uint8_t g : levels)
      for (uint8_t r : levels) colours.insert(colours.end(), {b, g, r});
  return colours;
}

// Whether converting from one profile to the other moves any probe by more than 1.
bool RenderAlike(cmsHPROFILE from, cmsHPROFILE to) {
  cmsHTRANSFORM transform = MakeTransform(from, to);
  if (!transform) return false;
  const std::vector<uint8_t> in = ProbeColours();
  std::vector<uint8_t> out(in.size());
  cmsDoTransform(transform, in.data(), out.data(), cmsUInt32Number(in.size() / 3));
  cmsDeleteTransform(transform);
  for (size_t i = 0; i < in.size(); ++i)
    if (std::abs(int(in[i]) - int(out[i])) > 1) return false;
  return true;
}

std::mutex MonitorLock;
std::shared_ptr<const TColorProfileBytes> Monitor = std::make_shared<const TColorProfileBytes>();

}  // namespace

std::string ColorProfileDescription(std::span<const uint8_t> bytes) {
  QuietErrors();
  TProfile profile(OpenProfile(bytes));
  if (!profile.Handle) return {};
  char text[512] = {};
  const cmsUInt32Number n =
      cmsGetProfileInfoASCII(profile.Handle, cmsInfoDescription, "en", "US", text, sizeof text);
  return n == 0 ? std::string() : std::string(text);
}

bool IsUsableRgbProfile(std::span<const uint8_t> bytes) {
  QuietErrors();
  TProfile profile(OpenProfile(bytes));
  return profile.Handle && cmsGetColorSpace(profile.Handle) == cmsSigRgbData;
}

bool IsSrgbEquivalent(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return true;
  QuietErrors();
  TProfile profile(OpenRgbOrSrgb(bytes));
  TProfile srgb(cmsCreate_sRGBProfile());
  return profile.Handle && RenderAlike(profile.Handle, srgb.Handle);
}

void SetMonitorColorProfile(TColorProfileBytes profile) {
  std::lock_guard lock(MonitorLock);
  Monitor = std::make_shared<const TColorProfileBytes>(std::move(profile));
}

std::shared_ptr<const TColorProfileBytes> MonitorColorProfile() {
  std::lock_guard lock(MonitorLock);
  return Monitor;
}

TWKDisplayTransform::TWKDisplayTransform() = default;
TWKDisplayTransform::~TWKDisplayTransform() { Reset(); }

void TWKDisplayTransform::Reset() {
  if (Handle_) cmsDeleteTransform(static_cast<cmsHTRANSFORM>(Handle_));
  Handle_ = nullptr;
}

void TWKDisplayTransform::Prepare(std::span<const uint8_t> imageProfile,
                                  std::span<const uint8_t> monitorProfile) {
  if (Prepared_ && std::ranges::equal(imageProfile, Image_) && std::ranges::equal(monitorProfile, Monitor_))
    return;
  Reset();
  Image_.assign(imageProfile.begin(), imageProfile.end());
  Monitor_.assign(monitorProfile.begin(), monitorProfile.end());
  Prepared_ = true;
  if (imageProfile.empty() && monitorProfile.empty()) return;
  // Without a profile of its own an image is taken as sRGB, like every program shows it.
  QuietErrors();
  TProfile from(OpenRgbOrSrgb(imageProfile));
  TProfile to(OpenRgbOrSrgb(monitorProfile));
  if (!from.Handle || !to.Handle || RenderAlike(from.Handle, to.Handle)) return;
  Handle_ = MakeTransform(from.Handle, to.Handle);
}

void TWKDisplayTransform::Convert(uint8_t* bgr, int32_t count) const {
  if (Handle_ && count > 0)
    cmsDoTransform(static_cast<cmsHTRANSFORM>(Handle_), bgr, bgr, cmsUInt32Number(count));
}
