// Where the program is and where its data and the user's configuration live.
#pragma once

#include <string>

// The running executable's full path (from /proc/self/exe); empty when unknown.
std::string ExecutablePath();
// The folder of a path, with a trailing "/"; "./" for a bare name.
std::string ExtractFilePath(const std::string& path);
// The file name without folder and extension.
std::string ExtractBaseName(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// The folder holding program data ("Languages", "Demo", "icons"): the executable's folder when it
// has the named subfolder, else ../share/quillmoor beside it; with a trailing "/".
std::string ProgramDataFolder(const std::string& subfolder);
// $XDG_CONFIG_HOME when absolute, else $HOME/.config; empty when neither can be resolved.
std::string UserConfigFolder();
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
