#include "framework/qt/WKForm.h"

bool HandleDeferredCallEvent(QEvent* event) {
  if (event->type() != kDeferredCallEvent) return false;
  if (TWKApplication* app = Application()) app->ProcessDeferredCall();
  return true;
}

TWKFrame::TWKFrame(TWKComponent* owner, QWidget* parent) : QFrame(parent), TWKModuleWithControls(owner) {}

void TWKFrame::Initialize() {
  controlsEnabled_ = true;
  TWKModuleWithControls::Initialize();
}

void TWKFrame::SetControlsEnabled(bool value) {
  if (value == controlsEnabled_) return;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindChildrenRecursively)) child->setEnabled(value);
  controlsEnabled_ = value;
}

void InitializeUnlessOwnedByApplication(TWKModule& module) {
  if (module.Owner() == nullptr || module.Owner() != Application()) module.Initialize();
}
