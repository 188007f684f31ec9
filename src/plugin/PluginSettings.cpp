#include "plugin/PluginSettings.h"

#ifndef QM_VERSION
#define QM_VERSION "0.0.0"
#endif

std::string PluginAboutText() { return std::string("Quillmoor Plug-in\nVersion: ") + QM_VERSION; }
