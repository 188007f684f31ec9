// The message loop the application runs on. The user interface realises it; tests fake it.
// The loop calls TWKApplication::Idle() on every idle pass and
// TWKApplication::ProcessDeferredCall() once for every deferred-call message it delivers.
#pragma once

class IWKMessageLoop {
 public:
  virtual ~IWKMessageLoop() = default;
  // Posts one deferred-call message to the main window (delivered after the current event).
  virtual void PostDeferredCallMessage() = 0;
  // Runs until the main window closes.
  virtual void Run() = 0;
};
