// Message boxes of the plug-in. The plug-in has no user-interface toolkit of its own and the
// filter interface offers no message callback, so a message goes to a hook; the default
// hook writes "caption: text" to standard error. Tests and embedding code may replace it.
#pragma once

#include <cstdint>
#include <string>

enum class TPluginMessageIcon { None, Error };

using TPluginMessageHook = void (*)(intptr_t ownerWindow, const std::string& text, const std::string& caption,
                                    TPluginMessageIcon icon);

// Null restores the default.
void SetPluginMessageHook(TPluginMessageHook hook);
void ShowPluginMessage(intptr_t ownerWindow, const std::string& text, const std::string& caption,
                       TPluginMessageIcon icon);
