// The open and save dialogs' preview thread: thumbnails are made through the dialog's formats
// off the user-interface thread, and a thumbnail still current when made is posted to the
// dialog, which shows it only if it is still current there.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "help/WKPreviewWorker.h"

class TWKOpenDialog;

class TWKDialogPreviewThread {
 public:
  // Starts running at once; idle until the first request. The first one makes sure released
  // threads are joined when the application's event loop ends.
  explicit TWKDialogPreviewThread(TWKOpenDialog& dialog);
  // Returns at once: the dialog is cut off first, so nothing reaches it any more; a decode in
  // hand ends on the released thread, which frees its thumbnail.
  ~TWKDialogPreviewThread();
  TWKDialogPreviewThread(const TWKDialogPreviewThread&) = delete;
  TWKDialogPreviewThread& operator=(const TWKDialogPreviewThread&) = delete;

  // The thumbnail of fileName for a box of width x height supersedes any pending request.
  uint64_t Request(const std::string& fileName, int32_t width, int32_t height) {
    return Worker_.Request(fileName, width, height);
  }
  // Supersedes the pending request and the one being made without a new one.
  void Cancel() { Worker_.Cancel(); }
  void Terminate() { Worker_.Terminate(); }
  bool Terminated() const { return Worker_.Terminated(); }
  bool IsCurrent(uint64_t ticket) const { return Worker_.IsCurrent(ticket); }
  bool Idle() const { return Worker_.Idle(); }
  TWKPreviewWorker::TCounts Counts() const { return Worker_.Counts(); }

  TWKOpenDialog& Dialog;

 private:
  // Where the thread posts to; emptied, under the lock, when this object goes.
  struct TPostBox {
    std::mutex Lock;
    TWKOpenDialog* Dialog = nullptr;
    TWKOpenDialog* Receiver() {
      std::lock_guard lock(Lock);
      return Dialog;
    }
  };

  std::shared_ptr<TPostBox> Post_;
  TWKPreviewWorker Worker_;
};
