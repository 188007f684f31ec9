#include "demo/WKDemoActions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "demo/WKDemoPlayback.h"

int32_t RoundToInt32(double x) {
  if (std::isnan(x)) return 0;
  const double r = std::nearbyint(x);
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

namespace {

// Seconds as whole milliseconds, saturated.
int64_t Milliseconds(double seconds) {
  const double ms = std::nearbyint(seconds * 1000.0);
  if (std::isnan(ms)) return 0;
  if (ms >= 9.0e18) return INT64_C(9000000000000000000);
  if (ms <= -9.0e18) return -INT64_C(9000000000000000000);
  return static_cast<int64_t>(ms);
}

}  // namespace

// --- base --------------------------------------------------------------------------------

TWKDemoScriptAction::TWKDemoScriptAction(TWKDemoPlayback& playback, const TWKDemoScriptParams* params)
    : Playback_(playback) {
  if (params != nullptr) Params_.Assign(*params);
}

TWKDemoScriptAction::~TWKDemoScriptAction() = default;

void TWKDemoScriptAction::Step() {
  if (Started_) return;
  Started_ = true;
  Begin();
}

int64_t TWKDemoScriptAction::Now() const { return Playback_.Platform().Now(); }

// --- macros ------------------------------------------------------------------------------

TWKDemoScriptAction* TWKDemoScriptMacroAction::Current() const {
  return ActionIndex_ < ActionCount() ? Actions_[static_cast<size_t>(ActionIndex_)].get() : nullptr;
}

bool TWKDemoScriptMacroAction::IsFinished() const { return ActionIndex_ >= ActionCount(); }

void TWKDemoScriptMacroAction::Step() {
  TWKDemoScriptAction::Step();
  TWKDemoScriptAction* current = Current();
  if (current == nullptr) return;
  current->Step();
  if (current->IsFinished()) ++ActionIndex_;
}

void TWKDemoScriptMacroAction::Suspend() {
  if (TWKDemoScriptAction* current = Current()) current->Suspend();
}

void TWKDemoScriptMacroAction::Resume() {
  if (TWKDemoScriptAction* current = Current()) current->Resume();
}

void TWKDemoScriptMacroAction::Abort() {
  if (TWKDemoScriptAction* current = Current()) current->Abort();
}

TWKDemoScriptUserAction::TWKDemoScriptUserAction(TWKDemoPlayback& playback,
                                                 const TWKDemoScriptParams* params, std::string_view name)
    : TWKDemoScriptMacroAction(playback, params) {
  const size_t first = name.find_first_not_of(" \t");
  if (first != std::string_view::npos) name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
  else name = {};
  for (char c : name) CommandName_ += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void TWKDemoScriptUserAction::Begin() {
  Playback().ExecuteCommand(CommandName_, *this, Params());
}

// --- moves -------------------------------------------------------------------------------

TWKDemoScriptMouseMoveAction::TWKDemoScriptMouseMoveAction(TWKDemoPlayback& playback,
                                                           const TWKDemoScriptParams* params,
                                                           double curveDivisor)
    : TWKDemoScriptAction(playback, params), CurveDivisor_(curveDivisor) {}

void TWKDemoScriptMouseMoveAction::Begin() {
  Start_ = Playback().GetCursor();
  Target_ = Playback().FindTarget(Params());
  Dx_ = static_cast<double>(Target_.X) - Start_.X;
  Dy_ = static_cast<double>(Target_.Y) - Start_.Y;
  const double distance = std::sqrt(Dx_ * Dx_ + Dy_ * Dy_);
  if (distance == 0) {
    Finished_ = true;
    return;
  }
  LastTick_ = Now();
  Elapsed_ = 0;
  // At speed 0 a move has no finite duration: it jumps.
  const uint16_t speed = Playback().MouseSpeed;
  Duration_ = speed == 0 ? 0 : static_cast<int64_t>(std::nearbyint(distance * 20.0 / speed));
}

TPoint TWKDemoScriptMouseMoveAction::PathPoint(double t) const {
  const double e = t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
  double offX = 0, offY = 0;
  if (CurveDivisor_ != 0 && Dx_ != 0 && Dy_ != 0) {
    const double distance = std::sqrt(Dx_ * Dx_ + Dy_ * Dy_);
    const double a = std::min(std::abs(Dx_), std::abs(Dy_)) / CurveDivisor_;
    const double s = std::sin(std::numbers::pi * e);
    offX = s * Dy_ * a / distance;
    offY = s * Dx_ * a / distance;
  }
  return TPoint{RoundToInt32(Start_.X + std::nearbyint(Dx_ * e + offX)),
                RoundToInt32(Start_.Y + std::nearbyint(Dy_ * e + offY))};
}

void TWKDemoScriptMouseMoveAction::Step() {
  TWKDemoScriptAction::Step();
  if (Finished_) {
    Playback().SetCursor(Target_);
    return;
  }
  const int64_t now = Now();
  const int64_t delta = now - LastTick_;
  const double t = Duration_ == 0 ? 1.0 : static_cast<double>(Elapsed_ + delta) / static_cast<double>(Duration_);
  if (t >= 1) {
    Finished_ = true;
    Playback().SetCursor(Target_);
    return;
  }
  Playback().SetCursor(PathPoint(t));
  Elapsed_ += delta;
  LastTick_ += delta;
}

void TWKDemoScriptMouseMoveAction::Resume() { LastTick_ = Now(); }

void TWKDemoScriptMouseToAction::Begin() { Target_ = Playback().FindTarget(Params()); }

void TWKDemoScriptMouseToAction::Step() {
  TWKDemoScriptAction::Step();
  Playback().SetCursor(Target_);
}

void TWKDemoScriptMouseSpeedAction::Begin() {
  double speed = 0;
  if (!Params().Number(0, speed) || Playback().MouseSpeed == 0) return;
  Playback().MouseSpeed = static_cast<uint16_t>(std::clamp(RoundToInt32(speed), 0, 65535));
}

// --- waiting -----------------------------------------------------------------------------

void TWKDemoScriptPauseAction::StartWaiting(int64_t durationMs) {
  Duration_ = durationMs;
  Elapsed_ = 0;
  LastTick_ = Now();
}

void TWKDemoScriptPauseAction::Begin() {
  double seconds = 0;
  StartWaiting(Params().Number(0, seconds) ? Milliseconds(seconds) : 1000);
}

void TWKDemoScriptPauseAction::Step() {
  TWKDemoScriptAction::Step();
  if (IsFinished()) return;
  const int64_t now = Now();
  Elapsed_ += now - LastTick_;
  LastTick_ = now;
  // The user cannot take the pointer away while the demonstration waits.
  Playback().SetCursor(Playback().GetCursor());
}

void TWKDemoScriptPauseAction::Resume() { LastTick_ = Now(); }

TWKDemoScriptBalloonAction::~TWKDemoScriptBalloonAction() {
  if (Balloon_ == nullptr) return;
  IWKDemoPlatform& platform = Playback().Platform();
  platform.SetHintsEnabled(true);
  Balloon_.reset();
  if (PointerHidden_) platform.SetPointerVisible(true);
}

void TWKDemoScriptBalloonAction::Begin() {
  int64_t duration = 3000;
  Style_ = 0;
  const TWKDemoScriptParams& params = Params();
  if (params.Count() > 0) {
    Text_ = Playback().Script().ResolveText(params.Text(0));
    double seconds = 0, style = 0;
    if (params.Number(1, seconds)) duration = Milliseconds(seconds);
    if (params.Number(2, style) && style > 0 && style <= 4) Style_ = RoundToInt32(style);
  }
  Position_ = Playback().GetCursor();
  if (Text_.empty()) {
    StartWaiting(0);  // nothing to show: finished at once
    return;
  }
  Balloon_ = Playback().Platform().CreateBalloon();
  StartWaiting(duration);
  Show();
}

void TWKDemoScriptBalloonAction::Show() {
  if (Balloon_ == nullptr) return;
  IWKDemoPlatform& platform = Playback().Platform();
  platform.SetHintsEnabled(false);
  Balloon_->ShowAt(Position_.X, Position_.Y, Style_, Text_);
  platform.SetPointerVisible(false);
  PointerHidden_ = true;
}

void TWKDemoScriptBalloonAction::Suspend() {
  if (Balloon_ == nullptr) return;
  IWKDemoPlatform& platform = Playback().Platform();
  platform.SetHintsEnabled(true);
  Balloon_->HideBalloon();
  platform.SetPointerVisible(true);
  PointerHidden_ = false;
}

void TWKDemoScriptBalloonAction::Resume() {
  TWKDemoScriptPauseAction::Resume();
  Show();
}

void TWKDemoScriptMouseButtonAction::Step() {
  TWKDemoScriptAction::Step();
  Playback().PressButton(Button_, Down_);
}

// --- making actions ----------------------------------------------------------------------

namespace {

using TActionPtr = std::unique_ptr<TWKDemoScriptAction>;

template <class T, class... Args>
TActionPtr Make(Args&&... args) {
  return std::make_unique<T>(std::forward<Args>(args)...);
}

// A move followed (and preceded) by button actions; the arguments go to the move.
TActionPtr MakeMacro(TWKDemoPlayback& p, const TWKDemoScriptParams* params, const std::string& name) {
  auto macro = std::make_unique<TWKDemoScriptMacroAction>(p, params);
  const auto down = [&] { macro->Add(Make<TWKDemoScriptMouseLeftDownAction>(p)); };
  const auto up = [&] { macro->Add(Make<TWKDemoScriptMouseLeftUpAction>(p)); };
  if (name == "MOUSECLICK" || name == "MOUSELEFTCLICK") {
    macro->Add(Make<TWKDemoScriptMouseMoveAction>(p, params));
    down(), up();
  } else if (name == "MOUSEDRAG" || name == "MOUSEDRAGANDDROP") {
    down();
    macro->Add(Make<TWKDemoScriptMouseCurvedMoveAction>(p, params));
    up();
  } else if (name == "MOUSEDBLCLICK" || name == "MOUSELEFTDBLCLICK") {
    macro->Add(Make<TWKDemoScriptMouseCurvedMoveAction>(p, params));
    down(), up(), down(), up();
  } else if (name == "MOUSERIGHTCLICK") {
    macro->Add(Make<TWKDemoScriptMouseCurvedMoveAction>(p, params));
    macro->Add(Make<TWKDemoScriptMouseRightDownAction>(p));
    macro->Add(Make<TWKDemoScriptMouseRightUpAction>(p));
  } else {
    return nullptr;
  }
  return macro;
}

}  // namespace

TActionPtr CreateAction(TWKDemoPlayback& p, const std::string& name, const TWKDemoScriptParams* params) {
  if (name == "PAUSE") return Make<TWKDemoScriptPauseAction>(p, params);
  if (name == "MESSAGE") return Make<TWKDemoScriptBalloonAction>(p, params);
  if (name == "MOUSETO") return Make<TWKDemoScriptMouseToAction>(p, params);
  if (name == "MOUSEMOVE") return Make<TWKDemoScriptMouseMoveAction>(p, params);
  if (name == "MOUSECURVEDMOVE") return Make<TWKDemoScriptMouseCurvedMoveAction>(p, params);
  if (name == "MOUSEDOWN" || name == "MOUSELEFTDOWN") return Make<TWKDemoScriptMouseLeftDownAction>(p);
  if (name == "MOUSEUP" || name == "MOUSELEFTUP") return Make<TWKDemoScriptMouseLeftUpAction>(p);
  if (name == "MOUSERIGHTDOWN") return Make<TWKDemoScriptMouseRightDownAction>(p);
  if (name == "MOUSERIGHTUP") return Make<TWKDemoScriptMouseRightUpAction>(p);
  if (name == "MOUSESPEED") return Make<TWKDemoScriptMouseSpeedAction>(p, params);
  if (TActionPtr macro = MakeMacro(p, params, name)) return macro;
  return Make<TWKDemoScriptUserAction>(p, params, name);
}

TActionPtr ParseCommandLine(TWKDemoPlayback& p, std::string_view text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return nullptr;
  text.remove_prefix(start);
  const size_t nameEnd = std::min(text.find_first_of(" \t("), text.size());
  const std::string_view name = text.substr(0, nameEnd);
  if (name.empty() || name[0] == '#' || name[0] == '*' || name[0] == '/' || name[0] == ';') return nullptr;
  const size_t argsStart = std::min(text.find_first_not_of(" \t", nameEnd), text.size());
  const std::string_view args = text.substr(argsStart);
  std::string upper(name);
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  if (args.empty()) return CreateAction(p, upper, nullptr);
  TWKDemoScriptParams params;
  std::string error;
  if (!ParseArguments(params, args, error)) {
    p.ReportError(error);
    return nullptr;
  }
  return CreateAction(p, upper, &params);
}
