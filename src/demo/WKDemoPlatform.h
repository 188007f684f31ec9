// What the demonstration playback asks of the desktop: a clock, the real pointer, injected
// button events, the balloon window, hiding the pointer and the hints, the application's
// activation and key events, and the pacing of its steps. The Qt layer realises it; tests fake it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imaging/WKTypes.h"

// A button as the hardware numbers it: the left one is the primary button unless the user
// swapped them.
enum class TWKPhysicalButton { Left, Right };

// A borderless top-most window with a tail whose tip points at (x, y) on the screen.
class IWKDemoBalloon {
 public:
  virtual ~IWKDemoBalloon() = default;
  // style 1-4 puts the tail at the top left, top right, bottom left or bottom right; 0
  // chooses by the point's place on the screen. text is UTF-8.
  virtual void ShowAt(int32_t x, int32_t y, int32_t style, const std::string& text) = 0;
  virtual void HideBalloon() = 0;
};

// The application's events that the playback takes over while it plays.
class IWKDemoAppWatcher {
 public:
  virtual ~IWKDemoAppWatcher() = default;
  virtual void ApplicationActivated() = 0;
  virtual void ApplicationDeactivated() = 0;
  virtual void ApplicationMinimized() = 0;
  virtual void ApplicationRestored() = 0;
  // A key pressed (down) or released, as its virtual-key code; true when the key is handled
  // and goes no further.
  virtual bool KeyMessage(int32_t virtualKey, bool down) = 0;
};

class IWKDemoPlatform {
 public:
  virtual ~IWKDemoPlatform() = default;

  // Milliseconds from any fixed start; never goes back.
  virtual int64_t Now() = 0;

  // False, with the reason for the user, when this desktop lets no program move the pointer
  // or inject buttons.
  virtual bool CanControlPointer(std::string& reason) = 0;
  virtual TPoint PointerPos() = 0;
  virtual void SetPointerPos(TPoint point) = 0;
  // At the pointer's position.
  virtual void InjectButton(TWKPhysicalButton button, bool down) = 0;
  // The user's setting is read, never changed.
  virtual bool ButtonsSwapped() = 0;
  virtual void SetPointerVisible(bool visible) = 0;
  virtual void SetHintsEnabled(bool enabled) = 0;

  virtual std::unique_ptr<IWKDemoBalloon> CreateBalloon() = 0;

  // Routes the application's events to watcher from now on; none stops it.
  virtual void WatchApplication(IWKDemoAppWatcher* watcher) = 0;
  // Calls tick every 10 ms, each call after the previous one has returned, until it answers
  // false. A new call replaces the pacing that runs.
  virtual void StartPacing(std::function<bool()> tick) = 0;
  virtual void StopPacing() = 0;
};

// The keys that stop a playing demonstration (Tab, Enter, Shift, Ctrl, Alt, Pause, Caps Lock,
// Esc, Space, End, Home, the arrows, Print Screen, Insert, Delete, digits, letters, the system
// keys, the keypad, F1-F24, Num Lock, Scroll Lock), as virtual-key codes.
bool IsDemoStopKey(int32_t virtualKey);
