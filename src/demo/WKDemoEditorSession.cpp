#include "demo/WKDemoEditorSession.h"

#include "demo/WKDemonstrationModule.h"

TWKDemoEditorSession::TWKDemoEditorSession(TWKDemonstrationModule& module)
    : Module_(module), Playback_(module.Playback()) {}

TWKDemoEditorSession::~TWKDemoEditorSession() {
  RestorePlayHandlers();
  if (RecordHandlers_) {
    Playback_.OnStartRecording = SavedStartRecording_;
    Playback_.OnStopRecording = SavedStopRecording_;
    Playback_.OnLineRecorded = SavedLineRecorded_;
  }
}

bool TWKDemoEditorSession::Idle() const { return !Playback_.IsPlaying() && !Playback_.IsRecording(); }

// Installed once: a second Play never saves the editor's own handlers as the ones to call.
void TWKDemoEditorSession::InstallPlayHandlers() {
  if (PlayHandlers_) return;
  PlayHandlers_ = true;
  SavedFinish_ = Playback_.OnFinish;
  SavedStopQuery_ = Playback_.OnStopQuery;
  SavedError_ = Playback_.OnError;
  Playback_.OnFinish = [this](TWKDemoPlayback& playback) {
    if (SavedFinish_) SavedFinish_(playback);
    PlayEnded();
  };
  Playback_.OnStopQuery = [this](TWKDemoPlayback& playback, bool& stop) {
    if (SavedStopQuery_) SavedStopQuery_(playback, stop);
    // The module's finish message comes after a stop too.
    if (stop && SavedFinish_) SavedFinish_(playback);
    if (stop) PlayEnded();
  };
  Playback_.OnError = [this](TWKDemoPlayback& playback, const std::string& message, bool& stop,
                             const std::string& line) {
    if (SavedError_) SavedError_(playback, message, stop, line);
    if (stop && SavedFinish_) SavedFinish_(playback);
    if (stop) PlayEnded();
  };
}

void TWKDemoEditorSession::RestorePlayHandlers() {
  if (!PlayHandlers_) return;
  PlayHandlers_ = false;
  Playback_.OnFinish = SavedFinish_;
  Playback_.OnStopQuery = SavedStopQuery_;
  Playback_.OnError = SavedError_;
}

void TWKDemoEditorSession::PlayEnded() {
  RestorePlayHandlers();
  if (OnShowEditor) OnShowEditor(true);
}

bool TWKDemoEditorSession::Play(const TWKDemoScript& script) {
  if (!Idle()) return false;
  InstallPlayHandlers();
  Module_.ReshowList = false;
  Playback_.LoadScript(script);
  Playback_.Script().FileName = script.FileName;
  if (!Playback_.Play(0)) {
    PlayEnded();
    return false;
  }
  if (OnShowEditor) OnShowEditor(false);
  return true;
}

bool TWKDemoEditorSession::Record(const TWKDemoScript& script) {
  if (!Idle()) return false;
  Playback_.LoadScript(script);
  Playback_.Script().FileName = script.FileName;
  if (!RecordHandlers_) {
    RecordHandlers_ = true;
    SavedStartRecording_ = Playback_.OnStartRecording;
    SavedStopRecording_ = Playback_.OnStopRecording;
    SavedLineRecorded_ = Playback_.OnLineRecorded;
    Playback_.OnStartRecording = [this](TWKDemoPlayback&) { RecordingStarted(); };
    Playback_.OnStopRecording = [this](TWKDemoPlayback&) { RecordingStopped(); };
    Playback_.OnLineRecorded = nullptr;
  }
  return Playback_.BeginRecording(-1);
}

void TWKDemoEditorSession::RecordingStarted() {
  Module_.StartRecordingAll();
  if (OnRecordingStarted) OnRecordingStarted();
}

void TWKDemoEditorSession::RecordingStopped() {
  Module_.StopRecordingAll();
  RecordHandlers_ = false;
  Playback_.OnStartRecording = SavedStartRecording_;
  Playback_.OnStopRecording = SavedStopRecording_;
  Playback_.OnLineRecorded = SavedLineRecorded_;
  if (OnRecordingStopped) OnRecordingStopped(Playback_.Script());
}

void TWKDemoEditorSession::Stop() {
  if (Playback_.IsPlaying())
    Playback_.RequestStop();
  else if (Playback_.IsRecording())
    Playback_.EndRecording();
}
