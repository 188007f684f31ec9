#include "platform/paint/QtMonitorProfile.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "imaging/WKColorProfile.h"

namespace {

struct TFree {
  void operator()(void* p) const { std::free(p); }
};

// Profiles are a few kilobytes; a larger property is read up to this size.
constexpr uint32_t kMaxProfileWords = (16u << 20) / 4;

std::vector<uint8_t> RootProperty(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, TFree> atom(xcb_intern_atom_reply(connection, atomCookie, nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) return {};
  const xcb_setup_t* setup = xcb_get_setup(connection);
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
  if (screens.rem == 0) return {};
  xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, screens.data->root, atom->atom,
                                                      XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxProfileWords);
  std::unique_ptr<xcb_get_property_reply_t, TFree> reply(xcb_get_property_reply(connection, cookie, nullptr));
  if (!reply || reply->format != 8) return {};
  const auto* data = static_cast<const uint8_t*>(xcb_get_property_value(reply.get()));
  const int length = xcb_get_property_value_length(reply.get());
  if (data == nullptr || length <= 0) return {};
  return std::vector<uint8_t>(data, data + length);
}

}  // namespace

std::vector<uint8_t> DesktopMonitorProfile() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return {};
  std::vector<uint8_t> profile = RootProperty(x11->connection(), "_ICC_PROFILE");
  return IsUsableRgbProfile(profile) ? profile : std::vector<uint8_t>();
}

void InstallMonitorColorProfile() { SetMonitorColorProfile(DesktopMonitorProfile()); }
