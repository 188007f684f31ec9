#include "framework/WKModule.h"

#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"

TWKModule::~TWKModule() { RemoveLocalizeHandler(MethodOf<&TWKModule::Localize>(this)); }

void TWKModule::Initialize() { AddLocalizeHandler(MethodOf<&TWKModule::Localize>(this)); }

TWKModuleWithControls::~TWKModuleWithControls() {
  if (TWKApplication* app = Application())
    app->UnregisterIdleHandler(MethodOf<&TWKModuleWithControls::UpdateControls>(this));
}

void TWKModuleWithControls::Initialize() {
  TWKModule::Initialize();
  if (TWKApplication* app = Application())
    app->RegisterIdleHandler(MethodOf<&TWKModuleWithControls::UpdateControls>(this));
}
