// The one place where UTF-8 (the core's text) meets UTF-16 (what the structured data file
// stores). Malformed input becomes U+FFFD; nothing throws.
#pragma once

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
