#include "demo/WKDemoPlayback.h"

#include <exception>

#include "demo/WKDemoLanguage.h"
#include "demo/WKDemoTexts.h"

bool IsDemoStopKey(int32_t vk) {
  return vk == 0x09 || (vk >= 0x0D && vk <= 0x14) || vk == 0x1B || vk == 0x20 ||
         (vk >= 0x23 && vk <= 0x28) || (vk >= 0x2C && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5C) ||
         (vk >= 0x5F && vk <= 0x91);
}

TWKDemoPlayback::TWKDemoPlayback(IWKDemoPlatform& platform) : TWKDemoPlayback(platform, DemoLanguage()) {}

TWKDemoPlayback::TWKDemoPlayback(IWKDemoPlatform& platform, TWKDemoLanguage& language)
    : Platform_(platform), Language_(language) {}

TWKDemoPlayback::~TWKDemoPlayback() {
  if (Pacing_) Platform_.StopPacing();
  ReleaseButton();
  CurrentAction_.reset();
  Restore();
}

bool TWKDemoPlayback::Play(int32_t fromLine) {
  if (IsPlaying() || IsRecording()) return false;
  Language_.Clear();
  std::string reason;
  if (!Platform_.CanControlPointer(reason)) {
    bool stop = true;
    if (auto handler = OnError) handler(*this, DemoText(TWKDemoText::NoPointerControl, reason), stop, std::string());
    return false;
  }
  bool cancel = false;
  if (auto handler = OnBeforePlay) handler(*this, cancel);
  if (cancel) return false;
  State_ = TWKDemoState::Playing;
  LineIndex_ = fromLine < 0 ? 0 : fromLine;
  PauseDepth_ = 0;
  CurrentAction_.reset();
  Cursor_ = Platform_.PointerPos();
  Platform_.WatchApplication(this);
  Watching_ = true;
  Pacing_ = true;
  Platform_.StartPacing([this] { return Tick(); });
  return true;
}

bool TWKDemoPlayback::Tick() {
  if (InTick_) return true;
  InTick_ = true;
  bool going = false;
  try {
    going = Step();
  } catch (const std::exception& e) {
    Fail(e.what());
  } catch (...) {
    Fail("?");
  }
  InTick_ = false;
  Pacing_ = going;
  return going;
}

// A failure inside a step ends the playback in order: buttons up, events given back, told.
void TWKDemoPlayback::Fail(const std::string& what) {
  if (State_ == TWKDemoState::Playing || State_ == TWKDemoState::Paused) StopNow();
  CurrentAction_.reset();
  Restore();
  bool stop = true;
  if (auto handler = OnError) handler(*this, DemoText(TWKDemoText::InternalError, what), stop, LineText());
}

bool TWKDemoPlayback::Step() {
  if (State_ == TWKDemoState::Playing) {
    if (CurrentAction_ == nullptr) NextAction();
    if (CurrentAction_ != nullptr) {
      CurrentAction_->Step();
      if (CurrentAction_ != nullptr && CurrentAction_->IsFinished()) CurrentAction_.reset();
    }
    if (CurrentAction_ == nullptr) ++LineIndex_;
  }
  if (State_ == TWKDemoState::Stopped) {
    Restore();
    CurrentAction_.reset();
  }
  return IsPlaying();
}

// Takes the next command line: a pending line of the last directive, or the line at LineIndex,
// which may itself be a directive.
void TWKDemoPlayback::NextAction() {
  const std::vector<std::string>& lines = Script_.ScriptLines();
  const bool pastEnd = LineIndex_ < 0 || static_cast<size_t>(LineIndex_) >= lines.size();
  if (pastEnd && Language_.IsEmpty()) {
    Finish();
    return;
  }
  if (!Language_.IsEmpty()) {
    const std::string line = Language_.TakeLine();
    LineIndex_ = Language_.LineIndex();
    CurrentAction_ = ParseCommandLine(*this, line);
    return;
  }
  if (!Language_.ExpandLine(lines, LineIndex_)) {
    // Copied: the action may record lines into the script while it runs.
    const std::string line = lines[static_cast<size_t>(LineIndex_)];
    CurrentAction_ = ParseCommandLine(*this, line);
    return;
  }
  LineIndex_ = Language_.LineIndex();
  if (!Language_.Error().empty()) {
    const std::string error = Language_.Error();
    ReportError(error);
    return;
  }
  // A directive that produced nothing goes on after itself.
  if (!Language_.IsEmpty()) CurrentAction_ = ParseCommandLine(*this, Language_.TakeLine());
}

void TWKDemoPlayback::Finish() {
  State_ = TWKDemoState::Idle;
  ReleaseButton();
  Restore();
  if (auto handler = OnFinish) handler(*this);
}

void TWKDemoPlayback::Restore() {
  if (!Watching_) return;
  Watching_ = false;
  Platform_.WatchApplication(nullptr);
}

void TWKDemoPlayback::Pause() {
  if (State_ == TWKDemoState::Playing) {
    if (CurrentAction_ != nullptr) CurrentAction_->Suspend();
    State_ = TWKDemoState::Paused;
    if (auto handler = OnPause) handler(*this);
  }
  ++PauseDepth_;
}

void TWKDemoPlayback::Resume() {
  // An activation without a deactivation before it must not leave the depth below 0.
  if (PauseDepth_ > 0) --PauseDepth_;
  if (PauseDepth_ != 0 || State_ != TWKDemoState::Paused) return;
  if (auto handler = OnResume) handler(*this);
  if (CurrentAction_ != nullptr) CurrentAction_->Resume();
  State_ = TWKDemoState::Playing;
}

void TWKDemoPlayback::StopNow() {
  ReleaseButton();
  State_ = TWKDemoState::Stopped;
  PauseDepth_ = 0;
}

bool TWKDemoPlayback::RequestStop() {
  if (!IsPlaying()) return false;
  Pause();
  bool stop = true;
  if (auto handler = OnStopQuery) handler(*this, stop);
  if (stop)
    StopNow();
  else
    Resume();
  return stop;
}

void TWKDemoPlayback::ReportError(const std::string& message) {
  bool stop = true;
  if (!IsPlaying()) {
    if (auto handler = OnError) handler(*this, message, stop, LineText());
    return;
  }
  Pause();
  if (auto handler = OnError) handler(*this, message, stop, LineText());
  if (stop)
    StopNow();
  else
    Resume();
}

std::string TWKDemoPlayback::LineText() const {
  const std::vector<std::string>& lines = Script_.ScriptLines();
  if (LineIndex_ < 0 || static_cast<size_t>(LineIndex_) >= lines.size()) return {};
  return Script_.DecodeText(lines[static_cast<size_t>(LineIndex_)]);
}

void TWKDemoPlayback::SetCursor(TPoint point) {
  Cursor_ = point;
  Platform_.SetPointerPos(point);
}

void TWKDemoPlayback::PressButton(TWKDemoButton button, bool down) {
  const bool swapped = Platform_.ButtonsSwapped();
  const bool left = button == TWKDemoButton::Left;
  Platform_.InjectButton(left != swapped ? TWKPhysicalButton::Left : TWKPhysicalButton::Right, down);
  (left ? LeftButtonDown_ : RightButtonDown_) = down;
}

void TWKDemoPlayback::ReleaseButton() {
  if (CurrentAction_ != nullptr) CurrentAction_->Abort();
  if (!LeftButtonDown_ && !RightButtonDown_) return;
  Platform_.SetPointerPos(Cursor_);
  if (LeftButtonDown_) PressButton(TWKDemoButton::Left, false);
  if (RightButtonDown_) PressButton(TWKDemoButton::Right, false);
}

TPoint TWKDemoPlayback::FindTarget(const TWKDemoScriptParams& params) {
  if (params.Count() == 0) return Cursor_;
  double x = 0, y = 0;
  if (params.Number(0, x) && params.Number(1, y)) return TPoint{RoundToInt32(x), RoundToInt32(y)};
  bool found = false;
  TPoint point = Cursor_;
  if (auto handler = OnGetPoint) handler(*this, params, found, point);
  if (found) return point;
  ReportError(DemoText(TWKDemoText::InvalidArguments));
  return Cursor_;
}

bool TWKDemoPlayback::ExecuteCommand(const std::string& name, TWKDemoScriptUserAction& action,
                                     const TWKDemoScriptParams& params) {
  bool handled = false;
  if (auto handler = OnCommand) handler(*this, name, handled, action, params);
  if (!handled) ReportError(DemoText(TWKDemoText::UnknownCommand, name));
  return handled;
}

bool TWKDemoPlayback::KeyMessage(int32_t virtualKey, bool down) {
  if (State_ != TWKDemoState::Playing || !IsDemoStopKey(virtualKey)) return false;
  if (down) RequestStop();
  return true;
}

bool TWKDemoPlayback::BeginRecording(int32_t atLine) {
  if (IsPlaying() || IsRecording()) return false;
  const int32_t count = static_cast<int32_t>(Script_.ScriptLines().size());
  RecordIndex_ = atLine < 0 || atLine >= count ? count : atLine;
  if (auto handler = OnStartRecording) handler(*this);
  State_ = TWKDemoState::Recording;
  return true;
}

void TWKDemoPlayback::EndRecording() {
  if (!IsRecording()) return;
  if (auto handler = OnStopRecording) handler(*this);
  State_ = TWKDemoState::Stopped;
}

void TWKDemoPlayback::RecordLine(const std::string& text) {
  if (!IsRecording()) return;
  std::vector<std::string>& lines = Script_.ScriptLines();
  const int32_t count = static_cast<int32_t>(lines.size());
  if (RecordIndex_ < 0 || RecordIndex_ > count) RecordIndex_ = count;
  lines.insert(lines.begin() + RecordIndex_, text);
  if (auto handler = OnLineRecorded) handler(*this, RecordIndex_, text);
  ++RecordIndex_;
}
