#include "framework/qt/WKForm.h"

bool HandleDeferredCallEvent(QEvent* event) {
  if (event->type() != kDeferredCallEvent) return false;
  if (TWKApplication* app = Application()) app->ProcessDeferredCall();
  return true;
}

TWKFrame::TWKFrame(TWKComponent* owner, QWidget* parent) : QFrame(parent), TWKModuleWithControls(owner) {}

void TWKFrame::Initialize() {
  ControlsEnabled_ = true;
  TWKModuleWithControls::Initialize();
}

void TWKFrame::SetControlsEnabled(bool value) {
  if (value == ControlsEnabled_) return;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindChildrenRecursively)) child->setEnabled(value);
  ControlsEnabled_ = value;
}

void InitializeUnlessOwnedByApplication(TWKModule& module) {
  if (module.Owner() == nullptr || module.Owner() != Application()) module.Initialize();
}
