// Named pipes for tests of opens that must not wait: a reader's open of a pipe waits until a
// writer comes. Such an open is given a writer after a while, so that a test of a program that
// waits fails instead of hanging.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace test_support {

inline bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

// Runs work, which opens the pipe; true when it returned without needing a writer.
inline bool ReturnsWithoutAWriter(const std::string& fifo, const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::atomic<bool> rescued{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (!done) {  // the open waits: a writer lets it go on
      rescued = true;
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  work();
  done = true;
  watchdog.join();
  return !rescued;
}

}  // namespace test_support
