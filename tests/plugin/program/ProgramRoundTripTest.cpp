// The plug-in loaded by the test host with the real program behind it: the program opens the
// exchange file in plug-in mode under the offscreen platform, its test hook makes a known edit
// and presses OK (or Cancel), and the edited pixels come back into the host's image.
// With QM_INSTALLED_PLUGIN naming an installed plug-in, that one runs instead and finds the
// installed program through nothing but its installation's registry file.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "../TestHost.h"
#include "../TestSupport.h"
#include "platform/system/Registry.h"

namespace {

class ProgramRoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* installed = std::getenv("QM_INSTALLED_PLUGIN");
    Plugin = installed != nullptr && *installed != '\0' ? new TLoadedPlugin("", installed) : new TLoadedPlugin(QM_PROGRAM);
    Entry = Plugin->Entry;
    ASSERT_NE(nullptr, Entry) << Plugin->Error;
  }
  static void TearDownTestSuite() {
    delete Plugin;
  }

  int16_t Filter(TTestHost& host, const std::string& action) {
    TTestHost::Current = &host;
    TTestHost::AdvanceCalls = 0;
    TScopedEnv edit("QUILLMOOR_TEST_PLUGIN_EDIT", action);
    int16_t result = 1;
    Entry(filter::kSelectorStart, host.Block.get(), nullptr, &result);
    TTestHost::Current = nullptr;
    return result;
  }

  static inline TLoadedPlugin* Plugin = nullptr;
  static inline TLoadedPlugin::TEntry Entry = nullptr;
  TTempFolder Temp;
  TScopedEnv TmpDir{"TMPDIR", Temp.Path};
};

}  // namespace

TEST_F(ProgramRoundTrip, OkReturnsTheEditedPixelsInsideTheFilterRectangle) {
  ASSERT_NE(nullptr, Entry);
  // A transparency plane, padded rows and a selection away from the origin: the program gets
  // PixelBytes 4 and writes back 3 with its own stride.
  TTestHost host(40, 30, 4, 40 * 4 + 5);
  host.SetFilterRect(7, 5, 30, 22);
  const std::vector<uint8_t> before = host.Snapshot();
  std::string output;
  {
    TStderrCapture err;  // the program writes its test hook's lines to the inherited stderr
    ASSERT_EQ(0, Filter(host, "invert"));
    output = err.Text();
  }
  EXPECT_NE(output.find("title: Quillmoor Plug-in\n"), std::string::npos) << output;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const size_t at = size_t(host.At(x, y) - host.Pixels.get());
      const bool inside = x >= 7 && x < 30 && y >= 5 && y < 22;
      for (int p = 0; p < 4; ++p)
        ASSERT_EQ(inside && p < 3 ? uint8_t(255 - before[at + p]) : before[at + p], host.Pixels[at + p])
            << x << "," << y << " plane " << p;
    }
  for (const std::string& name : Temp.Files()) ADD_FAILURE() << "left behind: " << name;
}

TEST_F(ProgramRoundTrip, CancelLeavesTheHostImageUntouched) {
  ASSERT_NE(nullptr, Entry);
  TTestHost host(3, 4, 3, 9);
  const std::vector<uint8_t> before = host.Snapshot();
  EXPECT_EQ(-128, Filter(host, "cancel"));
  EXPECT_EQ(before, host.Snapshot());
  EXPECT_TRUE(Temp.Files().empty());
}
