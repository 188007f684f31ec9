// The composition root: creating TModule creates every module and tool of the program, owned
// by the application, in the fixed order that is also the order of settings loading,
// initialisation, start and settings saving.
#pragma once

#include "framework/WKComponent.h"

class TModule : public TWKComponent {
 public:
  explicit TModule(TWKComponent* owner);

 private:
  void DataModuleCreate();
};
