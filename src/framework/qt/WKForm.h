// Forms and frames: Qt widgets that are also modules. They re-read their texts on every
// language change (Localize), refresh their controls on every idle pass (UpdateControls) and
// run the application's deferred calls, one per posted event.
#pragma once

#include <QEvent>
#include <QFrame>
#include <QWidget>

#include "framework/WKApplication.h"
#include "framework/WKModule.h"

// The deferred-call message: the first user event number + 100.
inline constexpr QEvent::Type kDeferredCallEvent = static_cast<QEvent::Type>(QEvent::User + 100);

// Runs one deferred call when the event is the deferred-call message.
bool HandleDeferredCallEvent(QEvent* event);

// A form over any top-level widget class. One not owned by the application initialises itself
// through InitializeUnlessOwnedByApplication() right after construction.
template <class TWidget>
class TWKFormOf : public TWidget, public TWKModuleWithControls {
 public:
  explicit TWKFormOf(TWKComponent* owner, QWidget* parent = nullptr)
      : TWidget(parent), TWKModuleWithControls(owner) {}

  bool IsForm() const override { return true; }

 protected:
  bool event(QEvent* event) override {
    return HandleDeferredCallEvent(event) || TWidget::event(event);
  }
};

using TWKForm = TWKFormOf<QWidget>;

// An embeddable panel with its own layout.
class TWKFrame : public QFrame, public TWKModuleWithControls {
 public:
  explicit TWKFrame(TWKComponent* owner, QWidget* parent = nullptr);

  void Initialize() override;
  bool ControlsEnabled() const { return ControlsEnabled_; }
  // Sets Enabled of every child control, recursing into containers, when the value changes.
  void SetControlsEnabled(bool value);

 private:
  bool ControlsEnabled_ = true;
};

// Forms and frames owned by anything but the application call this right after construction;
// those owned by the application are initialised by the start-up sequence.
void InitializeUnlessOwnedByApplication(TWKModule& module);
