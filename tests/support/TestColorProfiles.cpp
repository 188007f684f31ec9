#include "support/TestColorProfiles.h"

#include <lcms2.h>

namespace test_profiles {

namespace {

std::vector<uint8_t> SaveProfile(cmsHPROFILE profile, const char* description) {
  if (description) {
    cmsMLU* text = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(text, "en", "US", description);
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
    cmsMLUfree(text);
  }
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

std::vector<uint8_t> MatrixProfile(const cmsCIExyYTRIPLE& primaries, cmsToneCurve* curve,
                                   const char* description) {
  cmsCIExyY d65;
  cmsWhitePointFromTemp(&d65, 6504);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
  cmsFreeToneCurve(curve);
  return SaveProfile(profile, description);
}

// The sRGB tone curve in the IEC 61966-2-1 parametric form.
cmsToneCurve* SrgbCurve() {
  const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

cmsHPROFILE Open(const std::vector<uint8_t>& bytes) {
  return bytes.empty() ? cmsCreate_sRGBProfile() : cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
}

}  // namespace

std::vector<uint8_t> DisplayP3Profile() {
  const cmsCIExyYTRIPLE p3{{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  return MatrixProfile(p3, SrgbCurve(), "Display P3");
}

std::vector<uint8_t> WideRgbProfile() {
  const cmsCIExyYTRIPLE wide{{0.640, 0.330, 1}, {0.210, 0.710, 1}, {0.150, 0.060, 1}};
  return MatrixProfile(wide, cmsBuildGamma(nullptr, 563.0 / 256.0), "Wide RGB (1998)");
}

std::vector<uint8_t> SrgbProfile() { return SaveProfile(cmsCreate_sRGBProfile(), nullptr); }

void TransformRgb(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to, const uint8_t in[3],
                  uint8_t out[3]) {
  cmsHPROFILE a = Open(from), b = Open(to);
  cmsHTRANSFORM t = cmsCreateTransform(a, TYPE_RGB_8, b, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
  cmsDoTransform(t, in, out, 1);
  cmsDeleteTransform(t);
  cmsCloseProfile(a);
  cmsCloseProfile(b);
}

}  // namespace test_profiles
