#include "help/WKPreviewWorker.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

// Threads let go by their workers, joined at program end (or, as a last resort, when static
// objects are destroyed, so that no joinable thread object is ever destroyed).
class TReleasedThreads {
 public:
  ~TReleasedThreads() { JoinAll(); }

  void Add(std::shared_ptr<const std::atomic<bool>> ended, std::thread thread) {
    std::lock_guard lock(Lock_);
    // Threads that have ended already are joined at no cost.
    std::erase_if(Threads_, [](TEntry& entry) {
      if (!entry.Ended->load()) return false;
      entry.Thread.join();
      return true;
    });
    Threads_.push_back({std::move(ended), std::move(thread)});
  }

  void JoinAll() {
    std::vector<TEntry> threads;
    {
      std::lock_guard lock(Lock_);
      threads.swap(Threads_);
    }
    for (TEntry& entry : threads) entry.Thread.join();
  }

  int32_t Running() {
    std::lock_guard lock(Lock_);
    int32_t running = 0;
    for (const TEntry& entry : Threads_) running += entry.Ended->load() ? 0 : 1;
    return running;
  }

 private:
  struct TEntry {
    std::shared_ptr<const std::atomic<bool>> Ended;
    std::thread Thread;
  };
  std::mutex Lock_;
  std::vector<TEntry> Threads_;
};

TReleasedThreads& Released() {
  static TReleasedThreads released;
  return released;
}

}  // namespace

TWKPreviewWorker::TWKPreviewWorker(TMaker maker, TDeliver deliver)
    : State_(std::make_shared<TState>()) {
  State_->Maker = std::move(maker);
  State_->Deliver = std::move(deliver);
  Released();  // constructed before any thread it may have to join
  Thread_ = std::thread([state = State_] { Run(*state); });
}

TWKPreviewWorker::~TWKPreviewWorker() {
  Terminate();
  Join();
}

void TWKPreviewWorker::Join() {
  if (Thread_.joinable()) Thread_.join();
}

void TWKPreviewWorker::Release() {
  Terminate();
  if (!Thread_.joinable()) return;
  // The aliasing pointer keeps the whole state alive for as long as the entry needs the flag.
  Released().Add(std::shared_ptr<const std::atomic<bool>>(State_, &State_->Ended),
                 std::move(Thread_));
}

void TWKPreviewWorker::JoinReleased() { Released().JoinAll(); }

int32_t TWKPreviewWorker::ReleasedRunning() { return Released().Running(); }

TWKPreviewWorker::TCounts TWKPreviewWorker::Counts() const {
  return {State_->Made.load(), State_->Failed.load(), State_->Dropped.load(),
          State_->Delivered.load()};
}

void TWKPreviewWorker::Run(TState& state) {
  TWKPreviewRequest request;
  while (state.Requests.Take(request)) {
    std::unique_ptr<TWKThumbnail> thumbnail;
    ++state.Made;
    try {
      thumbnail = state.Maker(request.FileName, request.Width, request.Height);
    } catch (...) {
      thumbnail.reset();  // out of memory or a failing decoder: no preview
    }
    if (!thumbnail) {
      ++state.Failed;
    } else if (!state.Requests.IsCurrent(request.Ticket)) {
      thumbnail.reset();
      ++state.Dropped;
    } else {
      state.Deliver(request.Ticket, std::move(thumbnail));
      ++state.Delivered;
    }
    state.Requests.Finish();
  }
  state.Ended = true;
}
