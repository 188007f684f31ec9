// Comparing version texts of dot-separated numbers.
#pragma once

#include <string_view>

// Negative, zero or positive as a sorts before, with or after b. Dot-separated parts compare
// as numbers when both are all digits (so 1.2.10 comes after 1.2.4), otherwise as text; a
// missing part counts as 0.
int CompareVersions(std::string_view a, std::string_view b);
// Whether offered names a later version than current; never for an empty offer.
bool IsNewerVersion(std::string_view current, std::string_view offered);
