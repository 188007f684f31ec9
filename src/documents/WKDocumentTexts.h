// Language strings as the documents layer reads them.
#pragma once

#include <cstdint>
#include <string>

std::string DocumentText(int32_t id);
// The text with its first "%s" replaced by the argument.
std::string FormatText(const std::string& text, const std::string& argument);
