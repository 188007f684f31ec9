#include <gtest/gtest.h>

#include <string>

#include "imaging/WKColorProfile.h"
#include "support/TestColorProfiles.h"

using namespace test_profiles;

namespace {

std::vector<uint8_t> Garbage() {
  std::vector<uint8_t> bytes(600, 0x5A);
  bytes[36] = 'a', bytes[37] = 'c', bytes[38] = 's', bytes[39] = 'p';
  return bytes;
}

}  // namespace

TEST(ColorProfile, DescriptionsAndWhichProfilesRenderLikeSrgb) {
  const std::vector<uint8_t> p3 = DisplayP3Profile();
  const struct {
    const char* Name;
    std::vector<uint8_t> Bytes;
    std::string Description;
    bool Usable;
    bool Srgb;
  } cases[] = {
      {"none", {}, "", false, true},
      {"sRGB", SrgbProfile(), "sRGB built-in", true, true},
      {"Display P3", p3, "Display P3", true, false},
      {"wide", WideRgbProfile(), "Wide RGB (1998)", true, false},
      {"garbage", Garbage(), "", false, false},
      {"cut short", std::vector<uint8_t>(p3.begin(), p3.begin() + 100), "", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ColorProfileDescription(c.Bytes), c.Description);
    EXPECT_EQ(IsUsableRgbProfile(c.Bytes), c.Usable);
    EXPECT_EQ(IsSrgbEquivalent(c.Bytes), c.Srgb);
  }
}

TEST(DisplayTransform, ConvertsOnlyWhereImageAndMonitorRenderUnlike) {
  const std::vector<uint8_t> p3 = DisplayP3Profile(), srgb = SrgbProfile(), wide = WideRgbProfile();
  const struct {
    const char* Name;
    std::vector<uint8_t> Image, Monitor;
    bool Identity;
  } cases[] = {
      {"untagged on sRGB", {}, {}, true},
      {"sRGB on sRGB", srgb, {}, true},
      {"P3 on sRGB", p3, {}, false},
      {"P3 on a P3 monitor", p3, p3, true},
      {"untagged on a P3 monitor", {}, p3, false},
      {"wide on a P3 monitor", wide, p3, false},
      {"broken profile", Garbage(), {}, true},
  };
  // Pure P3 green, a mid tone, white, black and a dark red.
  const uint8_t colours[][3] = {{0, 255, 0}, {150, 120, 60}, {255, 255, 255}, {0, 0, 0}, {90, 10, 20}};
  TWKDisplayTransform transform;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    transform.Prepare(c.Image, c.Monitor);
    ASSERT_EQ(transform.Identity(), c.Identity);
    if (c.Identity) continue;
    for (const auto& rgb : colours) {
      uint8_t bgr[3] = {rgb[2], rgb[1], rgb[0]};
      transform.Convert(bgr, 1);
      uint8_t expected[3];
      TransformRgb(c.Image, c.Monitor, rgb, expected);
      EXPECT_EQ(int(bgr[2]), int(expected[0])) << int(rgb[0]) << "," << int(rgb[1]) << "," << int(rgb[2]);
      EXPECT_EQ(int(bgr[1]), int(expected[1]));
      EXPECT_EQ(int(bgr[0]), int(expected[2]));
    }
  }
}

TEST(DisplayTransform, ConvertsARunInPlaceAndFollowsANewProfile) {
  const std::vector<uint8_t> p3 = DisplayP3Profile();
  TWKDisplayTransform transform;
  transform.Prepare(p3, {});
  std::vector<uint8_t> run;
  for (int i = 0; i < 300; ++i) run.insert(run.end(), {uint8_t(i), uint8_t(255 - i % 256), uint8_t(i * 7)});
  std::vector<uint8_t> converted = run;
  transform.Convert(converted.data(), int32_t(run.size() / 3));
  for (size_t i = 0; i < run.size(); i += 3) {
    uint8_t one[3] = {run[i], run[i + 1], run[i + 2]};
    transform.Convert(one, 1);
    ASSERT_EQ(std::vector<uint8_t>(one, one + 3), std::vector<uint8_t>(converted.begin() + ptrdiff_t(i), converted.begin() + ptrdiff_t(i) + 3));
  }
  EXPECT_NE(converted, run);
  transform.Prepare({}, {});
  EXPECT_TRUE(transform.Identity());
  std::vector<uint8_t> untouched = run;
  transform.Convert(untouched.data(), int32_t(run.size() / 3));
  EXPECT_EQ(untouched, run);
}

