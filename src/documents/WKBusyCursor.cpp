#include "documents/WKBusyCursor.h"

namespace {

std::function<void()>& ShowHook() {
  static std::function<void()> hook;
  return hook;
}

std::function<void()>& HideHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

TWKBusyCursor::TWKBusyCursor() {
  if (ShowHook()) ShowHook()();
}

TWKBusyCursor::~TWKBusyCursor() {
  if (HideHook()) HideHook()();
}

void TWKBusyCursor::SetHooks(std::function<void()> show, std::function<void()> hide) {
  ShowHook() = std::move(show);
  HideHook() = std::move(hide);
}
