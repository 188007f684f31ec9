// The newest-wins mailbox between the dialog and its preview thread: a new request replaces
// the pending one, and every request (or cancellation) makes older tickets stale, including
// the one whose thumbnail is being made.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

struct TWKPreviewRequest {
  std::string FileName;
  int32_t Width = 0;  // the thumbnail box, taken on the requesting thread
  int32_t Height = 0;
  uint64_t Ticket = 0;
};

class TWKPreviewRequests {
 public:
  // Replaces whatever is pending; the answer is the request's ticket. Ignored once terminated.
  uint64_t Request(std::string fileName, int32_t width, int32_t height);
  // Drops the pending request and makes every ticket handed out so far stale.
  void Cancel();
  // Waits until a request is pending, then takes it into hand. False once terminated.
  bool Take(TWKPreviewRequest& request);
  // The request in hand is dealt with.
  void Finish();
  // Nothing pending and nothing in hand.
  bool Idle() const;
  // True while nothing was requested or cancelled after the ticket and not terminated.
  bool IsCurrent(uint64_t ticket) const;
  bool HasPending() const;
  // Wakes the taker for good; every ticket becomes stale.
  void Terminate();
  bool Terminated() const;

 private:
  mutable std::mutex Lock_;
  std::condition_variable Wake_;
  std::optional<TWKPreviewRequest> Pending_;
  uint64_t Newest_ = 0;
  bool InHand_ = false;
  bool Terminated_ = false;
};
