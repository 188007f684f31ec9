// The hourglass while a long operation runs: shown by the constructor, taken away by the
// destructor whatever the outcome. The user interface installs the hooks; without them nothing
// is shown. Nesting is allowed.
#pragma once

#include <functional>

class TWKBusyCursor {
 public:
  TWKBusyCursor();
  ~TWKBusyCursor();
  TWKBusyCursor(const TWKBusyCursor&) = delete;
  TWKBusyCursor& operator=(const TWKBusyCursor&) = delete;

  static void SetHooks(std::function<void()> show, std::function<void()> hide);
};
