#include "platform/system/Registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string ValueName(const std::string& name) { return name.empty() ? "@" : name; }

void StripCR(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

bool IsSection(const std::string& line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

std::string SectionKey(const std::string& line) { return line.substr(1, line.size() - 2); }

// Splits "name=value"; false for comments and lines without '='.
bool SplitValue(const std::string& line, std::string& name, std::string& value) {
  if (line.empty() || line[0] == '#' || line[0] == ';') return false;
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  name = line.substr(0, eq);
  value = line.substr(eq + 1);
  return true;
}

std::optional<std::string> ReadFrom(const std::string& file, const std::string& key, const std::string& name) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line, n, v;
  bool inKey = false;
  while (std::getline(in, line)) {
    StripCR(line);
    if (IsSection(line)) {
      inKey = EqualNoCase(SectionKey(line), key);
      continue;
    }
    if (inKey && SplitValue(line, n, v) && EqualNoCase(n, name)) return v;
  }
  return std::nullopt;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    StripCR(line);
    lines.push_back(line);
  }
  return lines;
}

// Puts name=value into the key's section, replacing an existing line or adding the section.
void SetIn(std::vector<std::string>& lines, const std::string& key, const std::string& name, const std::string& value) {
  const std::string entry = name + "=" + value;
  size_t sectionEnd = std::string::npos;
  bool inKey = false;
  std::string n, v;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsSection(lines[i])) {
      if (inKey) break;
      inKey = EqualNoCase(SectionKey(lines[i]), key);
      if (inKey) sectionEnd = i + 1;
      continue;
    }
    if (!inKey) continue;
    if (SplitValue(lines[i], n, v) && EqualNoCase(n, name)) {
      lines[i] = entry;
      return;
    }
    if (!lines[i].empty()) sectionEnd = i + 1;
  }
  if (sectionEnd == std::string::npos) {
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.push_back("[" + key + "]");
    lines.push_back(entry);
    return;
  }
  lines.insert(lines.begin() + std::ptrdiff_t(sectionEnd), entry);
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the folder and its missing parents.
bool MakeFolders(const std::string& path) {
  for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
    if (!MakeFolder(path.substr(0, at))) return false;
  }
  return MakeFolder(path);
}

}  // namespace

std::string TRegistry::UserConfigFolder() {
  const char* home = std::getenv("XDG_CONFIG_HOME");
  if (home != nullptr && *home == '/') return home;
  const char* user = std::getenv("HOME");
  if (user != nullptr && *user != '\0') return std::string(user) + "/.config";
  return "";
}

std::vector<std::string> TRegistry::FoldersFor(TRegistryRoot root) {
  std::vector<std::string> folders;
  const std::string user = UserConfigFolder();
  if (!user.empty()) folders.push_back(user);
  if (root == TRegistryRoot::CurrentUser) return folders;
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::stringstream list(dirs != nullptr && *dirs != '\0' ? dirs : "/etc/xdg");
  std::string dir;
  while (std::getline(list, dir, ':')) {
    if (!dir.empty() && dir[0] == '/') folders.push_back(dir);
  }
  return folders;
}

std::string TRegistry::FileIn(const std::string& configFolder) { return configFolder + "/Quillmoor/registry.conf"; }

std::optional<std::string> TRegistry::ReadString(TRegistryRoot root, const std::string& key, const std::string& name) {
  return ReadStringIn(FoldersFor(root), key, name);
}

std::optional<std::string> TRegistry::ReadStringIn(const std::vector<std::string>& configFolders,
                                                   const std::string& key, const std::string& name) {
  for (const std::string& folder : configFolders) {
    if (folder.empty()) continue;
    if (auto value = ReadFrom(FileIn(folder), key, ValueName(name))) return value;
  }
  return std::nullopt;
}

bool TRegistry::WriteString(const std::string& configFolder, const std::string& key, const std::string& name,
                            const std::string& value) {
  if (configFolder.empty() || value.find('\n') != std::string::npos) return false;
  if (!MakeFolders(configFolder + "/Quillmoor")) return false;
  const std::string file = FileIn(configFolder);
  std::vector<std::string> lines = ReadLines(file);
  SetIn(lines, key, ValueName(name), value);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".tmp%ld", long(::getpid()));
  const std::string temp = file + suffix;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    out.flush();
    if (!out) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), file.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
