// A desktop for playback tests: a clock the test sets, a pointer, a log of injected buttons,
// balloons that remember what they show, and a pacer the test drives.
#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/WKDemoPlatform.h"
#include "framework/TempFolder.h"
#include "framework/WKLocalizer.h"

class TFakeDemoPlatform : public IWKDemoPlatform {
 public:
  struct TBalloonShown {
    TPoint At;
    int32_t Style;
    std::string Text;
  };

  int64_t Clock = 1000;
  TPoint Pointer{400, 300};
  bool Swapped = false;
  std::string NoControlReason;  // not empty: the desktop refuses
  bool PointerVisible = true;
  bool HintsEnabled = true;
  std::vector<std::string> Buttons;  // "L down", "R up", ... with the pointer's place
  std::vector<TBalloonShown> Shown;
  int BalloonsAlive = 0;
  bool BalloonVisible = false;
  IWKDemoAppWatcher* Watcher = nullptr;
  std::function<bool()> Pacer;
  // Every place the pointer was put, with the clock's time.
  std::vector<std::pair<int64_t, TPoint>> Moves;

  int64_t Now() override { return Clock; }
  bool CanControlPointer(std::string& reason) override {
    reason = NoControlReason;
    return reason.empty();
  }
  TPoint PointerPos() override { return Pointer; }
  void SetPointerPos(TPoint p) override {
    Pointer = p;
    Moves.emplace_back(Clock, p);
  }
  void InjectButton(TWKPhysicalButton button, bool down) override {
    Buttons.push_back(std::string(button == TWKPhysicalButton::Left ? "L" : "R") + (down ? " down " : " up ") +
                      std::to_string(Pointer.X) + "," + std::to_string(Pointer.Y));
  }
  bool ButtonsSwapped() override { return Swapped; }
  void SetPointerVisible(bool visible) override { PointerVisible = visible; }
  void SetHintsEnabled(bool enabled) override { HintsEnabled = enabled; }
  std::unique_ptr<IWKDemoBalloon> CreateBalloon() override { return std::make_unique<TBalloon>(*this); }
  void WatchApplication(IWKDemoAppWatcher* watcher) override { Watcher = watcher; }
  void StartPacing(std::function<bool()> tick) override { Pacer = std::move(tick); }
  void StopPacing() override { Pacer = nullptr; }

  // One paced tick after 10 ms; false once the pacing has ended.
  bool Tick() {
    if (!Pacer) return false;
    Clock += 10;
    if (Pacer()) return true;
    Pacer = nullptr;
    return false;
  }
  // Ticks until the pacing ends or ms have passed; true when it ended.
  bool RunFor(int64_t ms) {
    const int64_t end = Clock + ms;
    while (Clock < end)
      if (!Tick()) return true;
    return false;
  }
  // The time at which the pointer was first put at p; -1 when never.
  int64_t TimeAt(TPoint p) const {
    for (const auto& [time, at] : Moves)
      if (at == p) return time;
    return -1;
  }

 private:
  class TBalloon : public IWKDemoBalloon {
   public:
    explicit TBalloon(TFakeDemoPlatform& p) : P_(p) { ++P_.BalloonsAlive; }
    ~TBalloon() override {
      --P_.BalloonsAlive;
      P_.BalloonVisible = false;
    }
    void ShowAt(int32_t x, int32_t y, int32_t style, const std::string& text) override {
      P_.Shown.push_back({TPoint{x, y}, style, text});
      P_.BalloonVisible = true;
    }
    void HideBalloon() override { P_.BalloonVisible = false; }

   private:
    TFakeDemoPlatform& P_;
  };
};

// The program's own language files in English, installed for one test.
class TProgramLanguages {
 public:
  TProgramLanguages() {
    const char* data = std::getenv("QM_DATA");
    Previous_ = SetGlobalLocalizer(
        std::make_unique<TWKLocalizer>(std::string(data ? data : "data") + "/Languages", 1033));
  }
  ~TProgramLanguages() { SetGlobalLocalizer(std::move(Previous_)); }

 private:
  std::unique_ptr<TWKLocalizer> Previous_;
};

// An English and a Russian language file, installed as the program's localiser for one test.
class TDemoTestLanguages {
 public:
  explicit TDemoTestLanguages(uint16_t system) {
    Folder_.Write("English.ini", "[Language]\nLangId=1033\nLanguage=English\n[Strings]\n392=Hold it\n");
    Folder_.Write("Russian.ini", "[Language]\nLangId=1049\nLanguage=Russian\n[Strings]\n392=Hold\n");
    Previous_ = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(Folder_.Path(), system));
  }
  ~TDemoTestLanguages() { SetGlobalLocalizer(std::move(Previous_)); }

 private:
  TTempFolder Folder_;
  std::unique_ptr<TWKLocalizer> Previous_;
};
