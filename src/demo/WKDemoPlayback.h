// Plays a demonstration script on the live application, one step per tick: takes the next
// command line (expanding directives), runs its action until it finishes, pauses while the
// application is inactive and stops on the stop keys. It also collects the lines of a
// demonstration being recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "demo/WKDemoActions.h"
#include "demo/WKDemoPlatform.h"
#include "demo/WKDemoScript.h"
#include "documents/WKScriptRecorder.h"

class TWKDemoLanguage;

enum class TWKDemoState : uint8_t { Idle = 0, Playing = 1, Paused = 2, Stopped = 3, Recording = 4 };

class TWKDemoPlayback : public IWKDemoAppWatcher, public IWKScriptRecorder {
 public:
  using TNotify = std::function<void(TWKDemoPlayback&)>;

  explicit TWKDemoPlayback(IWKDemoPlatform& platform);
  TWKDemoPlayback(IWKDemoPlatform& platform, TWKDemoLanguage& language);
  // Releases any button the playback holds and gives the application's events back.
  ~TWKDemoPlayback() override;
  TWKDemoPlayback(const TWKDemoPlayback&) = delete;
  TWKDemoPlayback& operator=(const TWKDemoPlayback&) = delete;

  // Events. Each runs a copy of its handler, so a handler may put another in its place.
  TNotify OnResume, OnPause, OnFinish, OnStartRecording, OnStopRecording;
  std::function<void(TWKDemoPlayback&, bool& cancel)> OnBeforePlay;
  std::function<void(TWKDemoPlayback&, bool& stop)> OnStopQuery;
  // line: the script line being executed, as UTF-8.
  std::function<void(TWKDemoPlayback&, const std::string& message, bool& stop, const std::string& line)> OnError;
  // name in upper case; the handler may add sub-actions to action.
  std::function<void(TWKDemoPlayback&, const std::string& name, bool& handled,
                     TWKDemoScriptUserAction& action, const TWKDemoScriptParams& params)> OnCommand;
  std::function<void(TWKDemoPlayback&, const TWKDemoScriptParams& params, bool& found, TPoint& point)> OnGetPoint;
  std::function<void(TWKDemoPlayback&, int32_t index, const std::string& text)> OnLineRecorded;

  // Pointer speed; 5 at first. At 0 it stays 0 and moves jump to their targets.
  uint16_t MouseSpeed = 5;
  // Recording option: the tools also record "Message" lines.
  bool ShowMessages = true;

  void LoadScript(const TWKDemoScript& script) { Script_.Assign(script); }
  // False when already playing or recording, when OnBeforePlay cancels, or when this desktop
  // lets no program move the pointer (reported through OnError).
  bool Play(int32_t fromLine);
  void Pause();
  void Resume();
  // Asks OnStopQuery; true when the playback stops.
  bool RequestStop();
  void ReportError(const std::string& message);
  bool IsPlaying() const { return State_ == TWKDemoState::Playing || State_ == TWKDemoState::Paused; }
  bool IsRecording() const { return State_ == TWKDemoState::Recording; }

  void SetCursor(TPoint point);
  TPoint GetCursor() const { return Cursor_; }
  // Aborts the current action and releases every button the playback holds.
  void ReleaseButton();
  bool ButtonsSwapped() const { return Platform_.ButtonsSwapped(); }
  bool LeftButtonDown() const { return LeftButtonDown_; }
  bool RightButtonDown() const { return RightButtonDown_; }

  bool BeginRecording(int32_t atLine);
  void EndRecording();
  void RecordLine(const std::string& text);

  // One paced tick: Step, never inside another; false when the pacing ends.
  bool Tick();
  // One step of the state machine; true while playing or paused.
  bool Step();

  // Used by the actions.
  // The target of a move: none (the pointer's place), x and y, or a point the application
  // names; an unknown name is reported and gives the pointer's place.
  TPoint FindTarget(const TWKDemoScriptParams& params);
  // Asks OnCommand; false when nobody handles the command.
  bool ExecuteCommand(const std::string& name, TWKDemoScriptUserAction& action,
                      const TWKDemoScriptParams& params);
  // Injects the button's event (the other hardware button when swapped) and tracks it.
  void PressButton(TWKDemoButton button, bool down);
  IWKDemoPlatform& Platform() const { return Platform_; }

  TWKDemoScript& Script() { return Script_; }
  const TWKDemoScript& Script() const { return Script_; }
  int32_t LineIndex() const { return LineIndex_; }
  int32_t RecordIndex() const { return RecordIndex_; }
  TWKDemoState State() const { return State_; }
  int32_t PauseDepth() const { return PauseDepth_; }
  TWKDemoScriptAction* CurrentAction() const { return CurrentAction_.get(); }

  // The application's events while playing.
  void ApplicationActivated() override { Resume(); }
  void ApplicationDeactivated() override { Pause(); }
  void ApplicationMinimized() override { Pause(); }
  void ApplicationRestored() override { Resume(); }
  bool KeyMessage(int32_t virtualKey, bool down) override;

  // The recorder the participants write to.
  void AddLine(const std::string& line) override { RecordLine(line); }
  bool ShowsMessages() const override { return ShowMessages; }

 private:
  void NextAction();
  void Finish();
  void StopNow();
  void Restore();
  void Fail(const std::string& message);
  std::string LineText() const;

  IWKDemoPlatform& Platform_;
  TWKDemoLanguage& Language_;
  TWKDemoScript Script_;
  int32_t LineIndex_ = 0;
  int32_t RecordIndex_ = 0;
  TWKDemoState State_ = TWKDemoState::Idle;
  int32_t PauseDepth_ = 0;
  std::unique_ptr<TWKDemoScriptAction> CurrentAction_;
  TPoint Cursor_;
  bool LeftButtonDown_ = false;
  bool RightButtonDown_ = false;
  bool Watching_ = false;
  bool Pacing_ = false;
  bool InTick_ = false;
};
