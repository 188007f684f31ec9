#include "imaging/WKParallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "framework/WKThreadPool.h"

namespace {

std::atomic<int32_t> gTestParts{0};

// One ParallelItems call, shared with the pool tasks that help it. Items are claimed under
// the lock; once every item is claimed the caller waits only for the claimed ones to end, so a
// task that starts after the call has returned finds nothing to claim and never touches the
// caller's function.
struct TItems {
  const std::function<void(int32_t)>* Item = nullptr;
  int32_t Count = 0;
  int32_t Next = 0;
  int32_t Running = 0;  // items claimed and not yet ended
  std::exception_ptr Error;
  std::mutex Lock;
  std::condition_variable Ended;

  bool Claim(int32_t& i) {
    std::lock_guard lock(Lock);
    if (Next >= Count) return false;
    i = Next++;
    ++Running;
    return true;
  }

  void Work() {
    for (int32_t i = 0; Claim(i);) {
      std::exception_ptr error;
      try {
        (*Item)(i);
      } catch (...) {
        error = std::current_exception();
      }
      std::lock_guard lock(Lock);
      if (error && !Error) {
        Error = error;
        Next = Count;  // the items not yet claimed are skipped
      }
      if (--Running == 0 && Next >= Count) Ended.notify_all();
    }
  }

  void WaitForClaimed() {
    std::unique_lock lock(Lock);
    Ended.wait(lock, [this] { return Running == 0; });
  }
};

}  // namespace

int32_t ParallelRowParts(int32_t count, int64_t work) {
  const int32_t forced = gTestParts.load(std::memory_order_relaxed);
  if (forced > 0) return std::max(1, std::min(forced, count));
  if (count < 2 || work < ParallelWorkThreshold) return 1;
  return std::min(MachineCores(), count);
}

void SetParallelPartsForTest(int32_t parts) { gTestParts.store(std::max(0, parts)); }

void ParallelItems(int32_t count, int32_t helpers, const std::function<void(int32_t)>& item) {
  auto items = std::make_shared<TItems>();
  items->Item = &item;
  items->Count = count;
  helpers = std::min(helpers, count - 1);
  // A helper that cannot be had leaves its share to the others.
  for (int32_t h = 0; h < helpers; ++h) TWKThreadPool::Shared().TryRun([items] { items->Work(); });
  items->Work();
  items->WaitForClaimed();
  if (items->Error) std::rethrow_exception(items->Error);
}
