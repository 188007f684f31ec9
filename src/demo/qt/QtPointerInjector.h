// Real pointer movement and button events. On X11 the pointer is warped and the buttons go
// through the XTest extension, so every window on the desktop sees them as the user's own; on
// Qt's offscreen platform (and others without such an extension) the same events are delivered
// inside the program to the window under the pointer. Wayland lets no program do either.
#pragma once

#include <QPoint>
#include <memory>
#include <string>

#include "demo/WKDemoPlatform.h"

class IQtPointerInjector {
 public:
  virtual ~IQtPointerInjector() = default;
  // False, with the reason for the user, when this desktop allows none of it.
  virtual bool Available(std::string& reason) = 0;
  virtual void MovePointer(QPoint global) = 0;
  virtual void InjectButton(TWKPhysicalButton button, bool down, QPoint global) = 0;
  // Whether the user swapped the primary and the secondary button; never changed here.
  virtual bool ButtonsSwapped() = 0;
};

// The injector for the platform the application runs on.
std::unique_ptr<IQtPointerInjector> CreatePointerInjector();
// Delivers events inside the program only, whatever the platform.
std::unique_ptr<IQtPointerInjector> CreateInProcessInjector();
