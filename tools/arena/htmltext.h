#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pod::arena {

// Text made safe inside an HTML element or a quoted attribute: & < > " ' are
// written as entities. Names come from bots and track files, so bytes that
// are not UTF-8 are shown as \xNN rather than passed on.
std::string htmlText(std::string_view text);

// The first maxChars characters of the text, and "…" when it was longer; the
// result is still to be escaped.
std::string shortened(std::string_view text, std::size_t maxChars);

// The shortest decimal form that reads back to the same float; 0 for
// non-finite values (a page cannot draw them anyway).
std::string shortestNumber(float value);

// The arguments as one line a POSIX shell reads back into the same words.
std::string shellCommand(const std::string& program, const std::vector<std::string>& args);

} // namespace pod::arena
