#include "help/WKPreviewWorker.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Tasks let go by their workers, waited for at program end (or, as a last resort, when static
// objects are destroyed).
class TReleasedTasks {
 public:
  ~TReleasedTasks() { WaitAll(); }

  void Add(TWKTask task) {
    std::lock_guard lock(Lock_);
    std::erase_if(Tasks_, [](const TWKTask& t) { return t.Done(); });
    Tasks_.push_back(std::move(task));
  }

  void WaitAll() {
    std::vector<TWKTask> tasks;
    {
      std::lock_guard lock(Lock_);
      tasks.swap(Tasks_);
    }
    for (const TWKTask& task : tasks) task.Wait();
  }

  int32_t Running() {
    std::lock_guard lock(Lock_);
    return static_cast<int32_t>(
        std::count_if(Tasks_.begin(), Tasks_.end(), [](const TWKTask& t) { return !t.Done(); }));
  }

 private:
  std::mutex Lock_;
  std::vector<TWKTask> Tasks_;
};

TReleasedTasks& Released() {
  static TReleasedTasks released;
  return released;
}

}  // namespace

TWKPreviewWorker::TWKPreviewWorker(TMaker maker, TDeliver deliver)
    : State_(std::make_shared<TState>()) {
  State_->Maker = std::move(maker);
  State_->Deliver = std::move(deliver);
  Released();  // constructed before any task it may have to wait for
  Task_ = TWKThreadPool::Shared().Run([state = State_] { Run(*state); });
}

TWKPreviewWorker::~TWKPreviewWorker() {
  Terminate();
  Join();
}

void TWKPreviewWorker::Join() { Task_.Wait(); }

void TWKPreviewWorker::Release() {
  Terminate();
  if (!Task_.Valid()) return;
  Released().Add(std::move(Task_));
  Task_ = TWKTask();
}

void TWKPreviewWorker::JoinReleased() { Released().WaitAll(); }

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
}
