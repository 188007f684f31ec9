#include "framework/WKStartupTimes.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

void NoteStartupMoment(const char* name) {
  static const char* const file = std::getenv("QUILLMOOR_STARTUP_TIMES");
  if (file == nullptr || *file == '\0' || name == nullptr) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  static std::mutex lock;
  static std::set<std::string> noted;
  const std::lock_guard guard(lock);
  if (!noted.insert(name).second) return;
  if (std::FILE* out = std::fopen(file, "a")) {
    std::fprintf(out, "%s %lld.%09ld\n", name, static_cast<long long>(now.tv_sec), now.tv_nsec);
    std::fclose(out);
  }
}
