#include "framework/WKThreadPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

struct TWKTask::TState {
  std::function<void()> Work;
  mutable std::mutex Lock;
  mutable std::condition_variable Ended;
  bool Done = false;

  void RunAndFinish() {
    try {
      Work();
    } catch (...) {  // the task's own affair: the worker goes on
    }
    Work = nullptr;  // what the task held goes before anyone is told it ended
    std::lock_guard lock(Lock);
    Done = true;
    Ended.notify_all();
  }
};

bool TWKTask::Done() const {
  if (!State_) return true;
  std::lock_guard lock(State_->Lock);
  return State_->Done;
}

void TWKTask::Wait() const {
  if (!State_) return;
  std::unique_lock lock(State_->Lock);
  State_->Ended.wait(lock, [this] { return State_->Done; });
}

struct TWKThreadPool::TShared {
  mutable std::mutex Lock;
  std::condition_variable Wake;
  std::deque<std::shared_ptr<TWKTask::TState>> Queue;
  std::vector<std::thread> Threads;
  int32_t Idle = 0;
  bool Stopping = false;

  void WorkerLoop(std::shared_ptr<TWKTask::TState> first) {
    if (first) first->RunAndFinish();
    first.reset();
    std::unique_lock lock(Lock);
    for (;;) {
      ++Idle;
      Wake.wait(lock, [this] { return Stopping || !Queue.empty(); });
      --Idle;
      if (Queue.empty()) return;  // stopping, nothing left
      std::shared_ptr<TWKTask::TState> task = std::move(Queue.front());
      Queue.pop_front();
      lock.unlock();
      task->RunAndFinish();
      task.reset();
      lock.lock();
    }
  }
};

TWKThreadPool& TWKThreadPool::Shared() {
  static TWKThreadPool pool;
  return pool;
}

TWKThreadPool::TWKThreadPool() : Shared_(std::make_unique<TShared>()) {}

TWKThreadPool::~TWKThreadPool() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(Shared_->Lock);
    Shared_->Stopping = true;
    Shared_->Wake.notify_all();
  }
  // Workers made while the last tasks ran are joined too.
  for (;;) {
    {
      std::lock_guard lock(Shared_->Lock);
      threads.swap(Shared_->Threads);
    }
    if (threads.empty()) break;
    for (std::thread& t : threads) t.join();
    threads.clear();
  }
}

TWKTask TWKThreadPool::Run(std::function<void()> task) {
  auto state = std::make_shared<TWKTask::TState>();
  state->Work = std::move(task);
  TShared& s = *Shared_;
  std::lock_guard lock(s.Lock);
  if (s.Stopping) throw std::system_error(std::make_error_code(std::errc::operation_canceled));
  if (s.Idle > static_cast<int32_t>(s.Queue.size())) {
    s.Queue.push_back(state);
    s.Wake.notify_one();
  } else {
    // Throws std::system_error when the thread cannot be made; nothing was queued.
    s.Threads.emplace_back([&s, state] { s.WorkerLoop(state); });
  }
  return TWKTask(std::move(state));
}

TWKTask TWKThreadPool::TryRun(std::function<void()> task) noexcept {
  try {
    return Run(std::move(task));
  } catch (...) {
    return {};
  }
}

int32_t TWKThreadPool::Workers() const {
  std::lock_guard lock(Shared_->Lock);
  return static_cast<int32_t>(Shared_->Threads.size());
}

int32_t TWKThreadPool::IdleWorkers() const {
  std::lock_guard lock(Shared_->Lock);
  return Shared_->Idle;
}

int32_t MachineCores() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int32_t>(cores);
}
