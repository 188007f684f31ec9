// The monitor profile the X11 desktop publishes on the root window. Started outside an X server,
// the program runs itself again under xvfb-run (skipped without it).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>

#include "imaging/WKColorProfile.h"
#include "platform/paint/QtMonitorProfile.h"
#include "support/TestColorProfiles.h"
#include "support/XvfbRerun.h"

namespace {

// Sets (or with no bytes deletes) the root window's _ICC_PROFILE property.
void PublishProfile(const std::vector<uint8_t>& bytes) {
  xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  const char name[] = "_ICC_PROFILE";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
  ASSERT_NE(atom, nullptr);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  if (bytes.empty())
    xcb_delete_property(c, root, atom->atom);
  else
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_CARDINAL, 8, uint32_t(bytes.size()),
                        bytes.data());
  std::free(atom);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // round trip
}

}  // namespace

TEST(QtMonitorProfile, FollowsTheProfileTheDesktopPublishes) {
  ASSERT_NE(qGuiApp->nativeInterface<QNativeInterface::QX11Application>(), nullptr);
  const std::vector<uint8_t> p3 = test_profiles::DisplayP3Profile();
  std::vector<uint8_t> garbage(p3.size(), 0x5A);
  const struct {
    const char* Name;
    std::vector<uint8_t> Published, Expected;
  } cases[] = {
      {"none", {}, {}},
      {"Display P3", p3, p3},
      {"not a profile", garbage, {}},
      {"cut short", std::vector<uint8_t>(p3.begin(), p3.begin() + 64), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    PublishProfile(c.Published);
    EXPECT_EQ(DesktopMonitorProfile(), c.Expected);
    SetMonitorColorProfile(garbage);
    InstallMonitorColorProfile();
    EXPECT_EQ(*MonitorColorProfile(), c.Expected);
  }
  PublishProfile({});
}

int main(int argc, char** argv) {
  const int rerun = xvfb_rerun::RerunUnderXvfb(argc, argv, {"xvfb-run", "xauth"});
  if (rerun >= 0) return rerun;
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
