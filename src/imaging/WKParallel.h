// Splits a range of rows across the machine's cores when the work is large enough to pay.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

// Work (in bytes or multiply-adds) below which everything runs on the calling thread.
inline constexpr int64_t ParallelWorkThreshold = int64_t{1} << 20;

// Number of parts ParallelRows may use.
inline constexpr int32_t ParallelParts = 2;

// Calls body(part, begin, end) on disjoint parts of [0, count) covering it, part 0 on the
// calling thread and part 1 (if any) on a helper thread.
template <class Body>
void ParallelRows(int32_t count, int64_t work, Body&& body) {
  if (count < 2 || work < ParallelWorkThreshold || std::thread::hardware_concurrency() < 2) {
    body(0, 0, count);
    return;
  }
  const int32_t half = count / 2;
  std::thread helper;
  try {
    helper = std::thread([&body, half, count] { body(1, half, count); });
  } catch (...) {
    body(0, 0, count);
    return;
  }
  body(0, 0, half);
  helper.join();
}

// Calls body(chunk) once for every chunk in [0, count), the calling thread and a helper thread
// each taking the next unclaimed chunk, so that a core held up by other work does less of it.
template <class Body>
void ParallelChunks(int32_t count, int64_t work, Body&& body) {
  if (count < 2 || work < ParallelWorkThreshold || std::thread::hardware_concurrency() < 2) {
    for (int32_t chunk = 0; chunk < count; ++chunk) body(chunk);
    return;
  }
  std::atomic<int32_t> next{0};
  auto run = [&body, &next, count] {
    for (int32_t chunk = next.fetch_add(1, std::memory_order_relaxed); chunk < count;
         chunk = next.fetch_add(1, std::memory_order_relaxed))
      body(chunk);
  };
  std::thread helper;
  try {
    helper = std::thread(run);
  } catch (...) {
  }
  run();
  if (helper.joinable()) helper.join();
}
