// What one command line of a demonstration does, step by step: moves of the pointer, button
// presses, pauses, balloons, macros of these, and commands the application performs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "demo/WKDemoScriptParams.h"
#include "imaging/WKTypes.h"

class IWKDemoBalloon;
class TWKDemoPlayback;

class TWKDemoScriptAction {
 public:
  // params may be none (a line without arguments); the action keeps a copy.
  TWKDemoScriptAction(TWKDemoPlayback& playback, const TWKDemoScriptParams* params);
  virtual ~TWKDemoScriptAction();
  TWKDemoScriptAction(const TWKDemoScriptAction&) = delete;
  TWKDemoScriptAction& operator=(const TWKDemoScriptAction&) = delete;

  // Prepares; called by the first Step.
  virtual void Begin() {}
  virtual bool IsFinished() const { return true; }
  // Once per tick while the action is current.
  virtual void Step();
  // The playback pauses and continues.
  virtual void Suspend() {}
  virtual void Resume() {}
  // The playback stops.
  virtual void Abort() {}

  bool Started() const { return Started_; }
  TWKDemoPlayback& Playback() const { return Playback_; }
  const TWKDemoScriptParams& Params() const { return Params_; }

 protected:
  int64_t Now() const;

 private:
  TWKDemoPlayback& Playback_;
  TWKDemoScriptParams Params_;
  bool Started_ = false;
};

class TWKDemoScriptMacroAction : public TWKDemoScriptAction {
 public:
  using TWKDemoScriptAction::TWKDemoScriptAction;
  void Add(std::unique_ptr<TWKDemoScriptAction> action) { Actions_.push_back(std::move(action)); }
  int32_t ActionCount() const { return static_cast<int32_t>(Actions_.size()); }
  int32_t ActionIndex() const { return ActionIndex_; }

  bool IsFinished() const override;
  void Step() override;
  void Suspend() override;
  void Resume() override;
  void Abort() override;

 private:
  TWKDemoScriptAction* Current() const;

  std::vector<std::unique_ptr<TWKDemoScriptAction>> Actions_;
  int32_t ActionIndex_ = 0;
};

// A command that is not built in: the application performs it and may add sub-actions.
class TWKDemoScriptUserAction : public TWKDemoScriptMacroAction {
 public:
  TWKDemoScriptUserAction(TWKDemoPlayback& playback, const TWKDemoScriptParams* params,
                          std::string_view name);
  const std::string& CommandName() const { return CommandName_; }
  void Begin() override;

 private:
  std::string CommandName_;  // trimmed, upper case
};

// An eased move from the pointer's position to the target, straight or (CurveDivisor not 0)
// bowed; timed by the clock, so a slow tick does not slow it.
class TWKDemoScriptMouseMoveAction : public TWKDemoScriptAction {
 public:
  TWKDemoScriptMouseMoveAction(TWKDemoPlayback& playback, const TWKDemoScriptParams* params,
                               double curveDivisor = 0);
  void Begin() override;
  bool IsFinished() const override { return Finished_; }
  void Step() override;
  void Resume() override;
  int64_t Duration() const { return Duration_; }
  TPoint Target() const { return Target_; }

 private:
  TPoint PathPoint(double t) const;

  TPoint Start_;
  TPoint Target_;
  int64_t Elapsed_ = 0;
  int64_t LastTick_ = 0;
  int64_t Duration_ = 0;
  double CurveDivisor_;
  double Dx_ = 0;
  double Dy_ = 0;
  bool Finished_ = false;
};

class TWKDemoScriptMouseCurvedMoveAction : public TWKDemoScriptMouseMoveAction {
 public:
  TWKDemoScriptMouseCurvedMoveAction(TWKDemoPlayback& playback, const TWKDemoScriptParams* params)
      : TWKDemoScriptMouseMoveAction(playback, params, 3) {}
};

class TWKDemoScriptMouseToAction : public TWKDemoScriptAction {
 public:
  using TWKDemoScriptAction::TWKDemoScriptAction;
  void Begin() override;
  void Step() override;

 private:
  TPoint Target_;
};

class TWKDemoScriptMouseSpeedAction : public TWKDemoScriptAction {
 public:
  using TWKDemoScriptAction::TWKDemoScriptAction;
  void Begin() override;
};

// Waits, holding the pointer where the playback put it.
class TWKDemoScriptPauseAction : public TWKDemoScriptAction {
 public:
  using TWKDemoScriptAction::TWKDemoScriptAction;
  void Begin() override;
  bool IsFinished() const override { return Elapsed_ >= Duration_; }
  void Step() override;
  void Resume() override;
  int64_t Duration() const { return Duration_; }

 protected:
  void StartWaiting(int64_t durationMs);

 private:
  int64_t Duration_ = 0;
  int64_t Elapsed_ = 0;
  int64_t LastTick_ = 0;
};

// Shows a message in a balloon at the pointer for a while, the pointer and the hints hidden.
class TWKDemoScriptBalloonAction : public TWKDemoScriptPauseAction {
 public:
  using TWKDemoScriptPauseAction::TWKDemoScriptPauseAction;
  ~TWKDemoScriptBalloonAction() override;
  void Begin() override;
  void Suspend() override;
  void Resume() override;
  const std::string& Text() const { return Text_; }
  int32_t Style() const { return Style_; }

 private:
  void Show();

  bool PointerHidden_ = false;
  TPoint Position_;
  std::string Text_;  // UTF-8
  int32_t Style_ = 0;
  std::unique_ptr<IWKDemoBalloon> Balloon_;
};

enum class TWKDemoButton { Left, Right };

// Presses or releases a button as the user sees it (the playback maps it onto the hardware).
class TWKDemoScriptMouseButtonAction : public TWKDemoScriptAction {
 public:
  TWKDemoScriptMouseButtonAction(TWKDemoPlayback& playback, TWKDemoButton button, bool down)
      : TWKDemoScriptAction(playback, nullptr), Button_(button), Down_(down) {}
  void Step() override;

 private:
  TWKDemoButton Button_;
  bool Down_;
};

class TWKDemoScriptMouseLeftDownAction : public TWKDemoScriptMouseButtonAction {
 public:
  explicit TWKDemoScriptMouseLeftDownAction(TWKDemoPlayback& p)
      : TWKDemoScriptMouseButtonAction(p, TWKDemoButton::Left, true) {}
};
class TWKDemoScriptMouseLeftUpAction : public TWKDemoScriptMouseButtonAction {
 public:
  explicit TWKDemoScriptMouseLeftUpAction(TWKDemoPlayback& p)
      : TWKDemoScriptMouseButtonAction(p, TWKDemoButton::Left, false) {}
};
class TWKDemoScriptMouseRightDownAction : public TWKDemoScriptMouseButtonAction {
 public:
  explicit TWKDemoScriptMouseRightDownAction(TWKDemoPlayback& p)
      : TWKDemoScriptMouseButtonAction(p, TWKDemoButton::Right, true) {}
};
class TWKDemoScriptMouseRightUpAction : public TWKDemoScriptMouseButtonAction {
 public:
  explicit TWKDemoScriptMouseRightUpAction(TWKDemoPlayback& p)
      : TWKDemoScriptMouseButtonAction(p, TWKDemoButton::Right, false) {}
};

// The action of a built-in command (name in upper case) or a user action for any other name.
std::unique_ptr<TWKDemoScriptAction> CreateAction(TWKDemoPlayback& playback, const std::string& name,
                                                  const TWKDemoScriptParams* params);
// The action of a command line; none for an empty line or a comment ("#", "*", "/" or ";"),
// and none, reported through the playback, when the arguments cannot be read.
std::unique_ptr<TWKDemoScriptAction> ParseCommandLine(TWKDemoPlayback& playback, std::string_view text);

// x rounded to the nearest integer, halves to even, saturated to 32 bits.
int32_t RoundToInt32(double x);
