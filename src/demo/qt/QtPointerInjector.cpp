#include "demo/qt/QtPointerInjector.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

// Qt's entry for a mouse event that goes the way the window system's own events go (button
// state, double clicks, popups, grabs), delivered at once. Exported by Qt GUI for its test
// library.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);

namespace {

// --- inside the program ------------------------------------------------------------------

class TInProcessInjector : public IQtPointerInjector {
 public:
  TInProcessInjector() { Clock_.start(); }

  bool Available(std::string&) override { return true; }

  // The platform reports the move to the window under the pointer itself.
  void MovePointer(QPoint global) override { QCursor::setPos(global); }

  void InjectButton(TWKPhysicalButton physical, bool down, QPoint global) override {
    const Qt::MouseButton button = physical == TWKPhysicalButton::Left ? Qt::LeftButton : Qt::RightButton;
    // While a button is down the window that took the press keeps the events.
    QWindow* window = Buttons_ != Qt::NoButton && PressWindow_ ? PressWindow_.data() : WindowAt(global);
    if (down)
      Buttons_ |= button;
    else
      Buttons_ &= ~Qt::MouseButtons(button);
    if (window == nullptr) return;  // on the desktop, outside the program
    if (down && Buttons_ == button) PressWindow_ = window;
    qt_handleMouseEvent(window, window->mapFromGlobal(QPointF(global)), QPointF(global), Buttons_, button,
                        down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
                        QGuiApplication::keyboardModifiers(), static_cast<int>(Clock_.elapsed()));
  }

  bool ButtonsSwapped() override { return false; }

 private:
  // The program's window that would take a click at global: an open pop-up, else a shown
  // window there that accepts input (the active one first).
  static QWindow* WindowAt(QPoint global) {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
    QWidget* best = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || w->testAttribute(Qt::WA_TransparentForMouseEvents) ||
          w->windowFlags().testFlag(Qt::WindowTransparentForInput) || !w->frameGeometry().contains(global))
        continue;
      if (w == QApplication::activeModalWidget() || w->isActiveWindow()) return w->windowHandle();
      if (best == nullptr) best = w;
    }
    return best != nullptr ? best->windowHandle() : nullptr;
  }

  QElapsedTimer Clock_;
  Qt::MouseButtons Buttons_ = Qt::NoButton;
  QPointer<QWindow> PressWindow_;
};

// --- X11 ---------------------------------------------------------------------------------

class TXTestInjector : public IQtPointerInjector {
 public:
  explicit TXTestInjector(xcb_connection_t* connection) : Connection_(connection) {}

  bool Available(std::string&) override { return true; }

  void MovePointer(QPoint global) override { QCursor::setPos(global); }

  void InjectButton(TWKPhysicalButton button, bool down, QPoint) override {
    xcb_test_fake_input(Connection_, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE,
                        button == TWKPhysicalButton::Left ? 1 : 3, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(Connection_);
  }

  // Swapped when the first hardware button acts as the third logical one.
  bool ButtonsSwapped() override {
    xcb_get_pointer_mapping_reply_t* reply =
        xcb_get_pointer_mapping_reply(Connection_, xcb_get_pointer_mapping(Connection_), nullptr);
    if (reply == nullptr) return false;
    const uint8_t* map = xcb_get_pointer_mapping_map(reply);
    const bool swapped = xcb_get_pointer_mapping_map_length(reply) >= 3 && map[0] == 3;
    free(reply);
    return swapped;
  }

 private:
  xcb_connection_t* Connection_;
};

class TUnavailableInjector : public IQtPointerInjector {
 public:
  explicit TUnavailableInjector(std::string reason) : Reason_(std::move(reason)) {}
  bool Available(std::string& reason) override {
    reason = Reason_;
    return false;
  }
  void MovePointer(QPoint) override {}
  void InjectButton(TWKPhysicalButton, bool, QPoint) override {}
  bool ButtonsSwapped() override { return false; }

 private:
  std::string Reason_;
};

bool HasXTest(xcb_connection_t* connection) {
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_test_id);
  return extension != nullptr && extension->present;
}

}  // namespace

std::unique_ptr<IQtPointerInjector> CreateInProcessInjector() { return std::make_unique<TInProcessInjector>(); }

std::unique_ptr<IQtPointerInjector> CreatePointerInjector() {
  const QString platform = QGuiApplication::platformName();
  if (platform.startsWith(QLatin1String("wayland"))) return std::make_unique<TUnavailableInjector>("Wayland");
  if (platform == QLatin1String("xcb")) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && x11->connection() != nullptr && HasXTest(x11->connection()))
      return std::make_unique<TXTestInjector>(x11->connection());
  }
  return CreateInProcessInjector();
}
