// Stand-in for the system registry: string values kept in small text files, one per
// configuration folder, at <folder>/Quillmoor/registry.conf. Each file holds sections named
// by a key path and "name=value" lines (UTF-8, "@" is the default, unnamed value):
//
//   [SOFTWARE\Marrowby\Photo Plugins\Quillmoor]
//   @=/usr/local/bin/quillmoor
//
// Key paths and value names compare without regard to ASCII case, like registry keys.
// LocalMachine values are looked up in $XDG_CONFIG_HOME (default ~/.config) first, so that a
// per-user installation works, then in each folder of $XDG_CONFIG_DIRS (default /etc/xdg);
// CurrentUser values only in $XDG_CONFIG_HOME.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class TRegistryRoot { LocalMachine, CurrentUser };

class TRegistry {
 public:
  // The value, or none when no file holds the key or the key lacks the value.
  static std::optional<std::string> ReadString(TRegistryRoot root, const std::string& key,
                                               const std::string& name = "");
  // The value from the first of the configuration folders whose file holds it.
  static std::optional<std::string> ReadStringIn(const std::vector<std::string>& configFolders,
                                                 const std::string& key, const std::string& name = "");
  // Sets the value in the file of the given configuration folder (created with its
  // Quillmoor subfolder when missing), keeping every other line. The file is replaced
  // through a temporary file in the same folder.
  static bool WriteString(const std::string& configFolder, const std::string& key,
                          const std::string& name, const std::string& value);

  // The configuration folders searched for a root, in order.
  static std::vector<std::string> FoldersFor(TRegistryRoot root);
  // The user's configuration folder: $XDG_CONFIG_HOME, else $HOME/.config ("" when neither).
  static std::string UserConfigFolder();
  // The registry file inside a configuration folder.
  static std::string FileIn(const std::string& configFolder);
};
