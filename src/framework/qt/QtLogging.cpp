#include "framework/qt/QtLogging.h"

#include <QLoggingCategory>
#include <QMessageLogger>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "framework/WKLog.h"

namespace {

// One Qt category per core category name, made on first use and kept for the process.
const QLoggingCategory& QtCategory(const TWKLogCategory& category) {
  static std::mutex lock;
  static std::map<std::string, std::unique_ptr<QLoggingCategory>> categories;
  const std::lock_guard guard(lock);
  auto [at, added] = categories.try_emplace(category.Name);
  // Debug and info are off unless a rule switches them on; warnings stay on.
  if (added) at->second = std::make_unique<QLoggingCategory>(at->first.c_str(), QtWarningMsg);
  return *at->second;
}

}  // namespace

void InstallQtLogging() {
  SetLogBackend({
      [](const TWKLogCategory& category) { return QtCategory(category).isDebugEnabled(); },
      [](const TWKLogCategory& category, const std::string& line) {
        QMessageLogger().debug(QtCategory(category), "%s", line.c_str());
      },
  });
}
