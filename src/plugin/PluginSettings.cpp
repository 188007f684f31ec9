#include "plugin/PluginSettings.h"

#include <dlfcn.h>

#include <vector>

#include "platform/system/Registry.h"

#ifndef QM_VERSION
#define QM_VERSION "0.0.0"
#endif

std::string PluginAboutText() { return std::string("Quillmoor Plug-in\nVersion: ") + QM_VERSION; }

std::string InstallationConfigFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&InstallationConfigFolder), &info) == 0 || info.dli_fname == nullptr)
    return {};
  const std::string file = info.dli_fname;
  const size_t slash = file.rfind('/');
  if (slash == std::string::npos) return {};
  return file.substr(0, slash + 1) + QM_PLUGIN_TO_CONFIG;
}

std::string ReadApplicationPath() {
  std::vector<std::string> folders = TRegistry::FoldersFor(TRegistryRoot::LocalMachine);
  folders.push_back(InstallationConfigFolder());
  return TRegistry::ReadStringIn(folders, kApplicationKey).value_or("");
}
