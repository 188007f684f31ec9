// Web and mail addresses that texts of the program may open.
#pragma once

#include <string>
#include <string_view>

// True only for addresses of the schemes http, https and mailto (in any case) with something
// after the scheme, and without blanks or control characters: nothing else (files, programs,
// other schemes) is ever handed to the system's default handler from a text.
bool IsOpenableLink(std::string_view url);
// What a hyperlink label shows of its address: the part after the first ":" and the "/", ":"
// or "\" that follow it, up to the next "/", ":" or "\" (the host of a web address).
std::string LinkHostText(std::string_view url);
