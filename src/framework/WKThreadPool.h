// The program's one pool of worker threads. Work off the calling thread goes here: the dialog
// preview's worker, the lossless JPEG load, the decode's row follower with its page prefault,
// and the shares of whole-image loops (imaging/WKParallel.h).
//
// A task never waits for another task to end before it starts: it goes to an idle worker, or
// a new worker is made for it. Workers stay for later tasks, so a loop that runs on every
// core many times a second makes its threads once. Tasks that wait for a long time (the
// preview worker waits for requests) therefore never hold up the others.
//
// The pool ends with the program (static destruction): it waits for every task still running,
// so whatever a task uses must stay until it has ended or been told to end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// A task's handle: tells whether it has ended and waits for that. Copies share the task; an
// empty handle (no task) counts as ended.
class TWKTask {
 public:
  TWKTask() = default;
  bool Valid() const { return State_ != nullptr; }
  bool Done() const;
  // Returns once the task has ended (at once for an empty handle). Never from the task itself.
  void Wait() const;

 private:
  friend class TWKThreadPool;
  struct TState;
  explicit TWKTask(std::shared_ptr<TState> state) : State_(std::move(state)) {}
  std::shared_ptr<TState> State_;
};

class TWKThreadPool {
 public:
  static TWKThreadPool& Shared();

  TWKThreadPool();
  // Waits for every task and ends the workers.
  ~TWKThreadPool();
  TWKThreadPool(const TWKThreadPool&) = delete;
  TWKThreadPool& operator=(const TWKThreadPool&) = delete;

  // Runs task on an idle worker or a new one. Throws std::system_error when there is no idle
  // worker and no thread can be made; the task has then not run. An exception the task throws
  // ends the task and is dropped.
  TWKTask Run(std::function<void()> task);
  // As Run, but an empty handle instead of the exception.
  TWKTask TryRun(std::function<void()> task) noexcept;

  // Workers made so far, and how many of them wait for a task.
  int32_t Workers() const;
  int32_t IdleWorkers() const;

 private:
  struct TShared;
  std::unique_ptr<TShared> Shared_;
};

// Cores the machine has (at least 1).
int32_t MachineCores();
