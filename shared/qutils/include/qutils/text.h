#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qutils {

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates
// or code points past U+10FFFF.
bool isUtf8(std::string_view text);

// The text made safe to quote in a one-line message or a JSON string: valid
// UTF-8 characters pass, every other byte and every control character is
// written as \xNN. At most maxBytes of the text are kept, never half a
// character.
std::string escapedText(std::string_view text, std::size_t maxBytes = std::string_view::npos);

// Longest name of a track, a driver or a bot, in bytes.
constexpr std::size_t cMaxNameBytes = 256;

// Empty when the text may serve as a name (of a track, a driver, a bot):
// UTF-8, no control character, at most maxBytes; else what is wrong, to
// follow the name in a message ("is not UTF-8 text", ...).
std::string nameProblem(std::string_view text, std::size_t maxBytes);

} // namespace qutils
