#include "framework/qt/QtMessageLoop.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWidget>

#include "framework/WKApplication.h"
#include "framework/qt/WKForm.h"

TQtMessageLoop::TQtMessageLoop(TWKApplication& app) : app_(app) {
  idleTimer_.setSingleShot(true);
  connect(&idleTimer_, &QTimer::timeout, this, &TQtMessageLoop::RunIdle);
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TQtMessageLoop::AboutToBlock);
}

void TQtMessageLoop::PostDeferredCallMessage() {
  QObject* target = dynamic_cast<QObject*>(app_.MainForm());
  if (target != nullptr) QCoreApplication::postEvent(target, new QEvent(kDeferredCallEvent));
}

void TQtMessageLoop::AboutToBlock() {
  // The wait right after an idle pass that caused no events stays a wait: idle is not a
  // busy loop. Anything else that happened earns another pass.
  if (idleJustRan_) {
    idleJustRan_ = false;
    return;
  }
  if (idleTimer_.isActive()) return;
  const qint64 elapsed = sinceIdle_.isValid() ? sinceIdle_.elapsed() : kIdleIntervalMs;
  idleTimer_.start(static_cast<int>(elapsed >= kIdleIntervalMs ? 0 : kIdleIntervalMs - elapsed));
}

void TQtMessageLoop::RunIdle() {
  sinceIdle_.start();
  ++idlePasses_;
  app_.Idle();
  idleJustRan_ = true;
}

void TQtMessageLoop::Run() {
  if (auto* window = dynamic_cast<QWidget*>(app_.MainForm()); window && !window->isVisible())
    window->show();
  QApplication::exec();
}
