#include "help/WKVersion.h"

#include <algorithm>

namespace {

bool AllDigits(std::string_view part) {
  return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The next part of text from pos up to a dot ("0" for an empty or missing one); pos moves
// past the dot.
std::string_view NextPart(std::string_view text, size_t& pos) {
  if (pos >= text.size()) {
    pos = text.size() + 1;
    return "0";
  }
  const size_t dot = std::min(text.find('.', pos), text.size());
  const std::string_view part = text.substr(pos, dot - pos);
  pos = dot + 1;
  return part.empty() ? "0" : part;
}

int ComparePart(std::string_view a, std::string_view b) {
  if (AllDigits(a) && AllDigits(b)) {
    // As numbers of any length: leading zeros dropped, then the longer is larger.
    a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  }
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i <= a.size() || j <= b.size()) {
    const int order = ComparePart(NextPart(a, i), NextPart(b, j));
    if (order != 0) return order;
  }
  return 0;
}

bool IsNewerVersion(std::string_view current, std::string_view offered) {
  return !offered.empty() && CompareVersions(current, offered) < 0;
}
