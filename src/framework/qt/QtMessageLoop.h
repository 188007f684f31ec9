// The application's message loop on Qt's event loop: every deferred call is one posted event to
// the main window, and the idle pass runs when the loop is about to wait for events, at most
// once per kIdleIntervalMs while events keep arriving.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "framework/WKMessageLoop.h"

class TWKApplication;

class TQtMessageLoop : public QObject, public IWKMessageLoop {
 public:
  static constexpr int kIdleIntervalMs = 40;

  explicit TQtMessageLoop(TWKApplication& app);

  void PostDeferredCallMessage() override;
  // Shows the main window when it is hidden and runs the event loop until it closes. A
  // termination request (SIGTERM, SIGINT, SIGHUP) closes the main window as its close button
  // would, so that the settings are still saved.
  void Run() override;
  void RunFor(int32_t milliseconds) override;

  int IdlePasses() const { return IdlePasses_; }

 private:
  void AboutToBlock();
  void RunIdle();
  void CloseMainWindowOnSignal();

  TWKApplication& App_;
  QTimer IdleTimer_;
  QElapsedTimer SinceIdle_;
  bool IdleJustRan_ = false;
  int IdlePasses_ = 0;
};
