#pragma once

#include <string>
#include <vector>

namespace pod::bots {

// Splits a command line into words the way a POSIX shell does for a simple
// command: blanks separate words, single quotes keep everything literally,
// double quotes keep everything but \" \\ \$ \` and a backslash outside quotes
// keeps the next character. Nothing is expanded: no variables, globs, pipes
// or redirections. On an unterminated quote or a trailing backslash it
// returns no words and says why in `error`.
std::vector<std::string> splitCommandWords(const std::string& command, std::string* error);

} // namespace pod::bots
