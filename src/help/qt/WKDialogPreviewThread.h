// The open and save dialogs' preview thread: thumbnails are made through the dialog's formats
// off the user-interface thread, and a thumbnail still current when made is posted to the
// dialog, which shows it only if it is still current there.
#pragma once

#include <cstdint>
#include <string>

#include "help/WKPreviewWorker.h"

class TWKOpenDialog;

class TWKDialogPreviewThread {
 public:
  // Starts running at once; idle until the first request.
  explicit TWKDialogPreviewThread(TWKOpenDialog& dialog);
  // Terminates and waits for the thread.
  ~TWKDialogPreviewThread() = default;

  // The thumbnail of fileName for a box of width x height supersedes any pending request.
  uint64_t Request(const std::string& fileName, int32_t width, int32_t height) {
    return worker_.Request(fileName, width, height);
  }
  // Supersedes the pending request and the one being made without a new one.
  void Cancel() { worker_.Cancel(); }
  void Terminate() { worker_.Terminate(); }
  bool Terminated() const { return worker_.Terminated(); }
  bool IsCurrent(uint64_t ticket) const { return worker_.IsCurrent(ticket); }
  bool Idle() const { return worker_.Idle(); }
  TWKPreviewWorker::TCounts Counts() const { return worker_.Counts(); }

  TWKOpenDialog& Dialog;

 private:
  TWKPreviewWorker worker_;
};
