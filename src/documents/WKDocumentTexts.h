// Filling message texts.
#pragma once

#include <string>

// The text with its first "%s" replaced by the argument; the text alone when it has none.
std::string FormatText(const std::string& text, const std::string& argument);
