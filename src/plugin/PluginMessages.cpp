#include "plugin/PluginMessages.h"

#include <cstdio>

namespace {

void WriteToStandardError(intptr_t, const std::string& text, const std::string& caption, TPluginMessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
}

TPluginMessageHook gHook = WriteToStandardError;

}  // namespace

void SetPluginMessageHook(TPluginMessageHook hook) { gHook = hook != nullptr ? hook : WriteToStandardError; }

void ShowPluginMessage(intptr_t ownerWindow, const std::string& text, const std::string& caption,
                       TPluginMessageIcon icon) {
  gHook(ownerWindow, text, caption, icon);
}
