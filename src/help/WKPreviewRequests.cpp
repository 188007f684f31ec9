#include "help/WKPreviewRequests.h"

uint64_t TWKPreviewRequests::Request(std::string fileName, int32_t width, int32_t height) {
  uint64_t ticket = 0;
  {
    std::lock_guard lock(lock_);
    ticket = ++newest_;
    if (terminated_) return ticket;  // nobody will take it
    pending_ = TWKPreviewRequest{std::move(fileName), width, height, ticket};
  }
  wake_.notify_one();
  return ticket;
}

void TWKPreviewRequests::Cancel() {
  std::lock_guard lock(lock_);
  ++newest_;
  pending_.reset();
}

bool TWKPreviewRequests::Take(TWKPreviewRequest& request) {
  std::unique_lock lock(lock_);
  wake_.wait(lock, [this] { return terminated_ || pending_.has_value(); });
  if (terminated_) return false;
  request = std::move(*pending_);
  pending_.reset();
  inHand_ = true;
  return true;
}

void TWKPreviewRequests::Finish() {
  std::lock_guard lock(lock_);
  inHand_ = false;
}

bool TWKPreviewRequests::Idle() const {
  std::lock_guard lock(lock_);
  return !pending_.has_value() && !inHand_;
}

bool TWKPreviewRequests::IsCurrent(uint64_t ticket) const {
  std::lock_guard lock(lock_);
  return !terminated_ && ticket == newest_;
}

bool TWKPreviewRequests::HasPending() const {
  std::lock_guard lock(lock_);
  return pending_.has_value();
}

void TWKPreviewRequests::Terminate() {
  {
    std::lock_guard lock(lock_);
    terminated_ = true;
    pending_.reset();
  }
  wake_.notify_all();
}

bool TWKPreviewRequests::Terminated() const {
  std::lock_guard lock(lock_);
  return terminated_;
}
