#include "help/WKLinks.h"

#include <algorithm>

#include "framework/WKIniFile.h"

bool IsOpenableLink(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon + 1 >= url.size()) return false;
  const std::string_view scheme = url.substr(0, colon);
  if (!TWKIniFile::SameText(scheme, "http") && !TWKIniFile::SameText(scheme, "https") &&
      !TWKIniFile::SameText(scheme, "mailto"))
    return false;
  return std::none_of(url.begin(), url.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
}

std::string LinkHostText(std::string_view url) {
  constexpr std::string_view separators = "/:\\";
  const size_t colon = url.find(':');
  size_t start = colon == std::string_view::npos ? 0 : colon + 1;
  start = std::min(url.find_first_not_of(separators, start), url.size());
  const size_t end = std::min(url.find_first_of(separators, start), url.size());
  return std::string(url.substr(start, end - start));
}
