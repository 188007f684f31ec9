// The process-wide application object: owns every module in creation order, runs the settings
// phase around the message loop, keeps the idle handlers and the deferred-call queue.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "framework/WKComponent.h"
#include "framework/WKMessageBox.h"
#include "framework/WKMessageLoop.h"
#include "framework/WKMethodList.h"

class TWKApplication : public TWKComponent {
 public:
  // The first application object created becomes the program-wide one (Application()).
  TWKApplication();
  ~TWKApplication() override;

  // Platform services; the application owns them.
  void SetMessageLoop(std::unique_ptr<IWKMessageLoop> loop);
  IWKMessageLoop* MessageLoop() const { return Loop_.get(); }
  void SetMessageBoxService(std::unique_ptr<IWKMessageBoxService> service);

  void Initialize() {}
  void SetTitle(const std::string& title);
  const std::string& GetTitle() const { return Title_; }
  std::function<void()> OnTitleChange;

  // Creates a component owned by the application; the failure of a constructor propagates and
  // leaves nothing behind.
  template <class T, class... Args>
  T* CreateModule(Args&&... args) {
    return new T(this, std::forward<Args>(args)...);
  }
  // Same; the first form (IsForm) so created becomes the main window.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = CreateModule<T>(std::forward<Args>(args)...);
    if (MainForm_ == nullptr && form->IsForm()) MainForm_ = form;
    return form;
  }
  TWKComponent* MainForm() const { return MainForm_; }
  void SetMainForm(TWKComponent* form) { MainForm_ = form; }

  int MessageBox(const std::string& text, const std::string& caption, int flags);
  int MessageBox(const std::string& text, int flags);

  void RegisterIdleHandler(const TWKMethod& handler) { IdleHandlers_.Add(handler); }
  void UnregisterIdleHandler(const TWKMethod& handler) { IdleHandlers_.Remove(handler); }
  const TWKMethodList& IdleHandlers() const { return IdleHandlers_; }
  // Called first on every idle pass; clearing done skips the UpdateControls handlers once.
  std::function<void(bool& done)> OnIdle;
  // One idle pass of the message loop.
  void Idle();

  // Queues a call to run after the current event, one call per posted message; ignored while
  // there is no main window.
  void PostDeferredCall(TWKProcedure procedure, void* data);
  void PostDeferredCall(std::function<void()> call);
  // Handles one deferred-call message: runs the first queued call, removes it and posts the
  // next message when calls remain.
  void ProcessDeferredCall();
  size_t DeferredCallCount() const { return Deferred_.size(); }

  // $XDG_CONFIG_HOME/<Program>/<Program>.cfg (default ~/.config), else the executable's path
  // with ".cfg"; an explicitly set name wins.
  std::string SettingsFileName() const;
  void SetSettingsFileName(const std::string& fileName) { SettingsFileName_ = fileName; }
  static std::string SettingsFileNameFor(const std::string& executablePath,
                                         const std::string& configFolder,
                                         const std::string& programName);

  // Loads settings and initialises, runs the message loop, saves settings.
  void Run();
  // The two halves of the settings phase around the message loop.
  void LoadSettingsAndInitialize();
  // False when nothing could be written (which is not reported to the user).
  bool SaveSettings();
  bool InSettingsPhase() const { return SettingsPhase_; }

  bool ShowHint = false;
  int ExitCode = 0;

 protected:
  void ComponentRemoved(TWKComponent* component) override;

 private:
  std::unique_ptr<IWKMessageLoop> Loop_;
  std::unique_ptr<IWKMessageBoxService> MessageBox_;
  std::string Title_;
  TWKComponent* MainForm_ = nullptr;
  TWKMethodList IdleHandlers_;
  std::deque<std::function<void()>> Deferred_;
  std::string SettingsFileName_;
  bool SettingsPhase_ = false;
};

// The program-wide application object, or none.
TWKApplication* Application();
