#include "framework/qt/QtMessageLoop.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "framework/WKApplication.h"
#include "framework/qt/WKForm.h"

TQtMessageLoop::TQtMessageLoop(TWKApplication& app) : App_(app) {
  IdleTimer_.setSingleShot(true);
  connect(&IdleTimer_, &QTimer::timeout, this, &TQtMessageLoop::RunIdle);
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TQtMessageLoop::AboutToBlock);
}

void TQtMessageLoop::PostDeferredCallMessage() {
  QObject* target = dynamic_cast<QObject*>(App_.MainForm());
  if (target != nullptr) QCoreApplication::postEvent(target, new QEvent(kDeferredCallEvent));
}

void TQtMessageLoop::AboutToBlock() {
  // The wait right after an idle pass that caused no events stays a wait: idle is not a
  // busy loop. Anything else that happened earns another pass.
  if (IdleJustRan_) {
    IdleJustRan_ = false;
    return;
  }
  if (IdleTimer_.isActive()) return;
  const qint64 elapsed = SinceIdle_.isValid() ? SinceIdle_.elapsed() : kIdleIntervalMs;
  IdleTimer_.start(static_cast<int>(elapsed >= kIdleIntervalMs ? 0 : kIdleIntervalMs - elapsed));
}

void TQtMessageLoop::RunIdle() {
  SinceIdle_.start();
  ++IdlePasses_;
  App_.Idle();
  IdleJustRan_ = true;
}

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

}  // namespace

void TQtMessageLoop::CloseMainWindowOnSignal() {
  if (gSignalPipe[0] < 0 && ::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(gSignalPipe[0], buffer, sizeof buffer) > 0) {
    }
    if (auto* window = dynamic_cast<QWidget*>(App_.MainForm())) window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

void TQtMessageLoop::Run() {
  CloseMainWindowOnSignal();
  if (auto* window = dynamic_cast<QWidget*>(App_.MainForm()); window && !window->isVisible())
    window->show();
  QApplication::exec();
}

void TQtMessageLoop::RunFor(int32_t milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}
