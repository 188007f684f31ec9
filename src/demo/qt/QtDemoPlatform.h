// The demonstration playback's desktop on Qt: the monotonic clock, the real pointer and its
// buttons through the platform's injector, the balloon window, hiding the pointer and the
// hints, the application's activation, minimising and keys, and a 10 ms timer on the
// user-interface thread that is armed again only after each step has returned.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

#include "demo/WKDemoPlatform.h"
#include "demo/qt/QtPointerInjector.h"

class QKeyEvent;

class TQtDemoPlatform : public QObject, public IWKDemoPlatform {
 public:
  static constexpr int kTickMs = 10;

  // None: the injector for the platform the application runs on.
  explicit TQtDemoPlatform(std::unique_ptr<IQtPointerInjector> injector = nullptr);
  ~TQtDemoPlatform() override;

  int64_t Now() override { return Clock_.elapsed(); }
  bool CanControlPointer(std::string& reason) override { return Injector_->Available(reason); }
  TPoint PointerPos() override;
  void SetPointerPos(TPoint point) override;
  void InjectButton(TWKPhysicalButton button, bool down) override;
  bool ButtonsSwapped() override { return Injector_->ButtonsSwapped(); }
  void SetPointerVisible(bool visible) override;
  void SetHintsEnabled(bool enabled) override;
  std::unique_ptr<IWKDemoBalloon> CreateBalloon() override;
  void WatchApplication(IWKDemoAppWatcher* watcher) override;
  void StartPacing(std::function<bool()> tick) override;
  void StopPacing() override;

  bool Pacing() const { return Timer_.isActive() || InTick_; }
  bool TimerArmed() const { return Timer_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RunTick();
  void Filter(bool on);
  bool WatchEvent(QObject* watched, QEvent* event);
  void Switch(bool& state, bool value, void (IWKDemoAppWatcher::*on)(), void (IWKDemoAppWatcher::*off)());

  std::unique_ptr<IQtPointerInjector> Injector_;
  QElapsedTimer Clock_;
  QTimer Timer_;
  std::function<bool()> Tick_;
  uint64_t Generation_ = 0;
  bool InTick_ = false;
  IWKDemoAppWatcher* Watcher_ = nullptr;
  bool PointerHidden_ = false;
  bool HintsOff_ = false;
  bool Filtering_ = false;
  bool Active_ = true;
  bool Minimized_ = false;
};

// The virtual-key code of a key event (0 for keys without one).
int32_t VirtualKeyOf(const QKeyEvent& event);
