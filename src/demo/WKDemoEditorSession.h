// Playing and recording from the demo editor: while the editor's script plays or records, the
// editor's handlers stand in for the module's on the playback, calling them on; afterwards the
// module's are put back.
#pragma once

#include <functional>
#include <string>

#include "demo/WKDemoPlayback.h"

class TWKDemonstrationModule;

class TWKDemoEditorSession {
 public:
  explicit TWKDemoEditorSession(TWKDemonstrationModule& module);
  // Puts the module's handlers back when the editor's are still in place.
  ~TWKDemoEditorSession();
  TWKDemoEditorSession(const TWKDemoEditorSession&) = delete;
  TWKDemoEditorSession& operator=(const TWKDemoEditorSession&) = delete;

  // The editor window hides while its script plays and shows again afterwards.
  std::function<void(bool visible)> OnShowEditor;
  // The participants now record (the editor disables its text).
  std::function<void()> OnRecordingStarted;
  // Recording has ended; the script with the recorded lines.
  std::function<void(const TWKDemoScript& recorded)> OnRecordingStopped;

  // Neither playing nor recording.
  bool Idle() const;
  // False, with the module's handlers back and the editor shown, when it did not start.
  bool Play(const TWKDemoScript& script);
  // Recorded lines go after the last line of the script's "Script" section.
  bool Record(const TWKDemoScript& script);
  // A playing script is asked to stop; a recording ends.
  void Stop();

 private:
  void InstallPlayHandlers();
  void RestorePlayHandlers();
  void PlayEnded();
  void RecordingStarted();
  void RecordingStopped();

  TWKDemonstrationModule& Module_;
  TWKDemoPlayback& Playback_;
  bool PlayHandlers_ = false;
  bool RecordHandlers_ = false;
  TWKDemoPlayback::TNotify SavedFinish_;
  std::function<void(TWKDemoPlayback&, bool&)> SavedStopQuery_;
  std::function<void(TWKDemoPlayback&, const std::string&, bool&, const std::string&)> SavedError_;
  TWKDemoPlayback::TNotify SavedStartRecording_;
  TWKDemoPlayback::TNotify SavedStopRecording_;
  std::function<void(TWKDemoPlayback&, int32_t, const std::string&)> SavedLineRecorded_;
};
