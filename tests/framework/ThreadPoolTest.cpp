#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/WKThreadPool.h"

// A task that waits for a long time never holds up a later one: a new worker takes it.
TEST(ThreadPool, BlockedTaskDoesNotDelayTheNext) {
  TWKThreadPool pool;
  std::mutex lock;
  std::condition_variable wake;
  bool release = false;
  TWKTask blocked = pool.Run([&] {
    std::unique_lock l(lock);
    wake.wait(l, [&] { return release; });
  });
  std::atomic<bool> ran{false};
  TWKTask next = pool.Run([&] { ran = true; });
  next.Wait();
  EXPECT_TRUE(ran);
  EXPECT_FALSE(blocked.Done());
  {
    std::lock_guard l(lock);
    release = true;
  }
  wake.notify_all();
  blocked.Wait();
  EXPECT_TRUE(blocked.Done());
  EXPECT_EQ(pool.Workers(), 2);
}

// Workers that finished take later tasks instead of new threads being made; a throwing task
// ends without taking its worker along.
TEST(ThreadPool, WorkersAreReused) {
  TWKThreadPool pool;
  pool.Run([] { throw std::runtime_error("task failure"); }).Wait();
  std::atomic<int> sum{0};
  for (int i = 1; i <= 50; ++i) {
    // The worker is counted idle only once it waits again.
    while (pool.IdleWorkers() < 1) std::this_thread::yield();
    pool.Run([&sum, i] { sum += i; }).Wait();
  }
  EXPECT_EQ(sum, 50 * 51 / 2);
  EXPECT_EQ(pool.Workers(), 1);
  EXPECT_TRUE(TWKTask().Done());
}

// The pool's end waits for the tasks still running.
TEST(ThreadPool, EndWaitsForRunningTasks) {
  std::atomic<int> finished{0};
  {
    TWKThreadPool pool;
    for (int i = 0; i < 4; ++i)
      pool.Run([&finished] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++finished;
      });
  }
  EXPECT_EQ(finished, 4);
}
