#include "framework/WKLog.h"

#include <utility>

namespace {

TWKLogBackend& Backend() {
  static TWKLogBackend backend;
  return backend;
}

}  // namespace

TWKLogBackend SetLogBackend(TWKLogBackend backend) { return std::exchange(Backend(), std::move(backend)); }

bool LogEnabled(const TWKLogCategory& category) {
  const TWKLogBackend& backend = Backend();
  return backend.Enabled && backend.Write && backend.Enabled(category);
}

void LogLine(const TWKLogCategory& category, const std::string& line) {
  if (LogEnabled(category)) Backend().Write(category, line);
}
