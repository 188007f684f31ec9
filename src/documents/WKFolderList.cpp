#include "documents/WKFolderList.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Case-insensitive first, then byte order, so that the order is total.
bool NameLess(const std::string& a, const std::string& b) {
  const std::string ua = Upper(NameOf(a)), ub = Upper(NameOf(b));
  return ua != ub ? ua < ub : a < b;
}

}  // namespace

bool TWKFolderList::IsImageName(const std::string& fileName) {
  const std::string name = NameOf(fileName);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string ext = Upper(name.substr(dot));
  return ext.size() > 2 && std::strstr(ImageExtensions, ext.c_str()) != nullptr;
}

void TWKFolderList::Clear() {
  Files_.clear();
  Index_ = -1;
}

void TWKFolderList::Build(const std::string& fileName) {
  Clear();
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::path(fileName).parent_path();
  if (folder.empty()) folder = ".";
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  if (error) return;
  const fs::directory_iterator end;
  for (; it != end; it.increment(error)) {
    if (error) break;
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    const std::string path = it->path().string();
    if (IsImageName(path)) Files_.push_back(path);
  }
  std::sort(Files_.begin(), Files_.end(), NameLess);
  // The exact name first: a Linux folder may hold names that differ only in case.
  const std::string name = NameOf(fileName), wanted = Upper(name);
  for (size_t i = 0; i < Files_.size() && Index_ < 0; ++i)
    if (NameOf(Files_[i]) == name) Index_ = static_cast<int32_t>(i);
  for (size_t i = 0; i < Files_.size() && Index_ < 0; ++i)
    if (Upper(NameOf(Files_[i])) == wanted) Index_ = static_cast<int32_t>(i);
}

std::string TWKFolderList::Next() {
  if (!HasNext()) return {};
  return Files_[static_cast<size_t>(++Index_)];
}

std::string TWKFolderList::Previous() {
  if (!HasPrevious()) return {};
  return Files_[static_cast<size_t>(--Index_)];
}
