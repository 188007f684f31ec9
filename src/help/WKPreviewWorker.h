// The preview thread's work without any user interface: takes the newest request, makes its
// thumbnail, and hands it on only while no newer selection was made. The receiver checks the
// ticket once more on its own thread before it shows the thumbnail.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "documents/WKFileFormats.h"
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

  // The thread starts at once and idles until the first request.
  TWKPreviewWorker(TMaker maker, TDeliver deliver);
  // Terminates and waits for the thread; a thumbnail being made is finished and freed.
  ~TWKPreviewWorker();
  TWKPreviewWorker(const TWKPreviewWorker&) = delete;
  TWKPreviewWorker& operator=(const TWKPreviewWorker&) = delete;

  uint64_t Request(const std::string& fileName, int32_t width, int32_t height) {
    return requests_.Request(fileName, width, height);
  }
  void Cancel() { requests_.Cancel(); }
  bool IsCurrent(uint64_t ticket) const { return requests_.IsCurrent(ticket); }
  // Tells the thread to end after the thumbnail in hand; nothing is delivered any more.
  void Terminate() { requests_.Terminate(); }
  bool Terminated() const { return requests_.Terminated(); }
  // Waits for the thread to end (after Terminate).
  void Join();
  // Nothing requested and nothing being made (every outcome counted).
  bool Idle() const { return requests_.Idle(); }
  TCounts Counts() const;

 private:
  void Run();

  TMaker maker_;
  TDeliver deliver_;
  TWKPreviewRequests requests_;
  std::atomic<int32_t> made_{0}, failed_{0}, dropped_{0}, delivered_{0};
  std::thread thread_;
};
