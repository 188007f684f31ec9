// The module interface through which the application finds its participants, and the module
// base classes every functional unit derives from.
#pragma once

#include "framework/WKComponent.h"

class TWKSDFReader;
class TWKSDFWriter;

// {8E85B1DA-44F0-4B60-B45D-21D0EBC05E33}
class IWKModule {
 public:
  virtual ~IWKModule() = default;
  virtual void Initialize() = 0;
  virtual void LoadSettings(TWKSDFReader& reader) = 0;
  virtual void SaveSettings(TWKSDFWriter& writer) = 0;
  virtual void Start() = 0;
};

class TWKModule : public TWKComponent, public IWKModule {
 public:
  explicit TWKModule(TWKComponent* owner) : TWKComponent(owner) {}
  ~TWKModule() override;  // unregisters Localize

  // Re-reads every caption and hint through the localiser.
  virtual void Localize() {}
  // Reads / writes the module's own section of the settings file.
  void LoadSettings(TWKSDFReader& reader) override {}
  void SaveSettings(TWKSDFWriter& writer) override {}
  // Registers Localize with the localiser, which calls it at once and after every change.
  void Initialize() override;
  // Once, after every participant has been loaded and initialised.
  void Start() override {}
};

class TWKModuleWithControls : public TWKModule {
 public:
  explicit TWKModuleWithControls(TWKComponent* owner) : TWKModule(owner) {}
  ~TWKModuleWithControls() override;  // unregisters UpdateControls

  // Idle-time refresh of the Enabled, Checked and Visible states of menu items and buttons.
  virtual void UpdateControls() {}
  // The inherited Initialize, then UpdateControls joins the application's idle handlers.
  void Initialize() override;
};
