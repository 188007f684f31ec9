// Diagnostic lines by named category, off unless a category is switched on. The core writes
// through a category without knowing where lines go; the program installs a back end that
// decides which categories are on and where their lines end up (the Qt layer maps them onto
// its logging categories). Without a back end every category is off.
#pragma once

#include <functional>
#include <string>

struct TWKLogCategory {
  const char* Name;  // dotted, e.g. "quillmoor.redeye"
};

struct TWKLogBackend {
  std::function<bool(const TWKLogCategory&)> Enabled;
  std::function<void(const TWKLogCategory&, const std::string& line)> Write;
};

// Replaces the back end (an empty one switches every category off) and returns the previous.
TWKLogBackend SetLogBackend(TWKLogBackend backend);
bool LogEnabled(const TWKLogCategory& category);
// Hands the line to the back end when the category is on.
void LogLine(const TWKLogCategory& category, const std::string& line);
