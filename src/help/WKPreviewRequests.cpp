#include "help/WKPreviewRequests.h"

uint64_t TWKPreviewRequests::Request(std::string fileName, int32_t width, int32_t height) {
  uint64_t ticket = 0;
  {
    std::lock_guard lock(Lock_);
    ticket = ++Newest_;
    if (Terminated_) return ticket;  // nobody will take it
    Pending_ = TWKPreviewRequest{std::move(fileName), width, height, ticket};
  }
  Wake_.notify_one();
  return ticket;
}

void TWKPreviewRequests::Cancel() {
  std::lock_guard lock(Lock_);
  ++Newest_;
  Pending_.reset();
}

bool TWKPreviewRequests::Take(TWKPreviewRequest& request) {
  std::unique_lock lock(Lock_);
  Wake_.wait(lock, [this] { return Terminated_ || Pending_.has_value(); });
  if (Terminated_) return false;
  request = std::move(*Pending_);
  Pending_.reset();
  InHand_ = true;
  return true;
}

void TWKPreviewRequests::Finish() {
  std::lock_guard lock(Lock_);
  InHand_ = false;
}

bool TWKPreviewRequests::Idle() const {
  std::lock_guard lock(Lock_);
  return !Pending_.has_value() && !InHand_;
}

bool TWKPreviewRequests::IsCurrent(uint64_t ticket) const {
  std::lock_guard lock(Lock_);
  return !Terminated_ && ticket == Newest_;
}

bool TWKPreviewRequests::HasPending() const {
  std::lock_guard lock(Lock_);
  return Pending_.has_value();
}

void TWKPreviewRequests::Terminate() {
  {
    std::lock_guard lock(Lock_);
    Terminated_ = true;
    Pending_.reset();
  }
  Wake_.notify_all();
}

bool TWKPreviewRequests::Terminated() const {
  std::lock_guard lock(Lock_);
  return Terminated_;
}
