#include "tools/geometry/SideRatio.h"

#include <charconv>
#include <numeric>

namespace {

bool ParseNumber(std::string_view text, int32_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

}  // namespace

bool ParseSideRatio(std::string_view item, TSideRatio& ratio) {
  const size_t x = item.find('x');
  if (x == std::string_view::npos) return false;
  const std::string_view rest = item.substr(x + 1);
  int32_t a = 0, b = 0;
  if (!ParseNumber(item.substr(0, x), a) || !ParseNumber(rest.substr(0, rest.find(' ')), b))
    return false;
  const int32_t g = std::gcd(a, b);
  ratio = g == 0 ? TSideRatio{} : TSideRatio{a / g, b / g};
  return true;
}
