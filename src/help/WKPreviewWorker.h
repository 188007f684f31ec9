// The preview thread's work without any user interface: takes the newest request, makes its
// thumbnail, and hands it on only while no newer selection was made. The receiver checks the
// ticket once more on its own thread before it shows the thumbnail.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "documents/WKFileFormats.h"
#include "framework/WKThreadPool.h"
#include "help/WKPreviewRequests.h"

class TWKPreviewWorker {
 public:
  // Makes the thumbnail of a file for a box of width x height; none when it cannot.
  using TMaker = std::function<std::unique_ptr<TWKThumbnail>(const std::string& fileName,
                                                             int32_t width, int32_t height)>;
  // Runs on the worker thread with a thumbnail that was current when it was made.
  using TDeliver = std::function<void(uint64_t ticket, std::unique_ptr<TWKThumbnail> thumbnail)>;

  struct TCounts {
    int32_t Made = 0;       // maker calls (decodes)
    int32_t Failed = 0;     // maker gave nothing
    int32_t Dropped = 0;    // made, but out of date by then
    int32_t Delivered = 0;  // handed to the receiver
  };

  // The worker starts at once on the thread pool and idles until the first request.
  TWKPreviewWorker(TMaker maker, TDeliver deliver);
  // Terminates and waits for the thread, unless it was released; a thumbnail being made is
  // finished and freed.
  ~TWKPreviewWorker();
  TWKPreviewWorker(const TWKPreviewWorker&) = delete;
  TWKPreviewWorker& operator=(const TWKPreviewWorker&) = delete;

  uint64_t Request(const std::string& fileName, int32_t width, int32_t height) {
    return State_->Requests.Request(fileName, width, height);
  }
  void Cancel() { State_->Requests.Cancel(); }
  bool IsCurrent(uint64_t ticket) const { return State_->Requests.IsCurrent(ticket); }
  // Tells the thread to end after the thumbnail in hand; nothing is delivered any more.
  void Terminate() { State_->Requests.Terminate(); }
  bool Terminated() const { return State_->Requests.Terminated(); }
  // Waits for the thread to end (after Terminate).
  void Join();
  // Terminates and returns at once: the thread keeps what it works with alive, finishes and
  // frees the thumbnail in hand and ends on its own. The worker may be destroyed right away.
  // A delivery already under way may still complete: the receiver cuts itself off first.
  void Release();
  // Waits for every released thread that has not ended yet. Called at program end, before
  // whatever the makers read (the format registry) is destroyed.
  static void JoinReleased();
  // Released threads that have not ended yet.
  static int32_t ReleasedRunning();
  // Nothing requested and nothing being made (every outcome counted).
  bool Idle() const { return State_->Requests.Idle(); }
  TCounts Counts() const;

 private:
  // Shared between the worker and its thread, so that a released thread outlives the worker.
  struct TState {
    TMaker Maker;
    TDeliver Deliver;
    TWKPreviewRequests Requests;
    std::atomic<int32_t> Made{0}, Failed{0}, Dropped{0}, Delivered{0};
  };
  static void Run(TState& state);

  std::shared_ptr<TState> State_;
  TWKTask Task_;
};
