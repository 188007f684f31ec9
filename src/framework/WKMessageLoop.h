// The message loop the application runs on. The user interface realises it; tests fake it.
// The loop calls TWKApplication::Idle() on every idle pass and
// TWKApplication::ProcessDeferredCall() once for every deferred-call message it delivers.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

class IWKMessageLoop {
 public:
  virtual ~IWKMessageLoop() = default;
  // Posts one deferred-call message to the main window (delivered after the current event).
  virtual void PostDeferredCallMessage() = 0;
  // Runs until the main window closes.
  virtual void Run() = 0;
  // Delivers the messages that arrive within the time, the user's input excepted (that waits
  // until the loop runs again); for a long job of the user interface's thread that keeps the
  // windows drawn. A loop without messages only lets the time pass.
  virtual void RunFor(int32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
};
