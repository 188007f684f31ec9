// Splits whole-image work across every core of the machine, through the program's thread pool
// (framework/WKThreadPool.h), when the work is large enough to pay. The calling thread takes
// shares too and only waits for shares a worker has begun, so a loop never waits for a worker
// to become free. Results must not depend on the number of parts: each part writes only its
// own rows or chunks.
#pragma once

#include <cstdint>
#include <functional>

// Work (in bytes or multiply-adds) below which everything runs on the calling thread.
inline constexpr int64_t ParallelWorkThreshold = int64_t{1} << 20;

// Parts ParallelRows splits count rows of the given work into: 1 below the threshold, else
// one per core, at most count.
int32_t ParallelRowParts(int32_t count, int64_t work);

// Tests: every split uses exactly `parts` parts (at most the item count), whatever the work;
// 0 goes back to the machine's cores and the threshold.
void SetParallelPartsForTest(int32_t parts);

// Calls item(i) once for every i in [0, count), on the calling thread and on up to helpers
// pool workers, each taking the next unclaimed item. Returns when every item has run; the
// first exception an item throws is thrown here after that (later items may have been skipped).
void ParallelItems(int32_t count, int32_t helpers, const std::function<void(int32_t)>& item);

// Calls body(part, begin, end) on `parts` disjoint parts of [0, count) that cover it, in order
// of part number (part p: [count p / parts, count (p + 1) / parts)).
template <class Body>
void ParallelRowsIn(int32_t parts, int32_t count, Body&& body) {
  if (parts <= 1 || count < 2) {
    body(0, 0, count);
    return;
  }
  ParallelItems(parts, parts - 1, [&body, parts, count](int32_t part) {
    const auto begin = static_cast<int32_t>(int64_t{count} * part / parts);
    const auto end = static_cast<int32_t>(int64_t{count} * (part + 1) / parts);
    body(part, begin, end);
  });
}

// Calls body(part, begin, end) on ParallelRowParts(count, work) parts of [0, count).
template <class Body>
void ParallelRows(int32_t count, int64_t work, Body&& body) {
  ParallelRowsIn(ParallelRowParts(count, work), count, body);
}

// Calls body(chunk) once for every chunk in [0, count), the cores each taking the next
// unclaimed chunk, so that a core held up by other work does less of it.
template <class Body>
void ParallelChunks(int32_t count, int64_t work, Body&& body) {
  const int32_t parts = ParallelRowParts(count, work);
  if (parts <= 1) {
    for (int32_t chunk = 0; chunk < count; ++chunk) body(chunk);
    return;
  }
  ParallelItems(count, parts - 1, [&body](int32_t chunk) { body(chunk); });
}
