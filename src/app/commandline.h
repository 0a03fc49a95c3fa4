#pragma once

#include <string>
#include <vector>

namespace pod {

// What the game was asked for on its command line.
struct CommandLine {
  std::string replay; // --replay FILE: open this trace instead of the menu
  std::vector<std::string> botArgs; // the --bot options, as given, for the bot library
  std::string error;  // one line; empty when the arguments are fine
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const cUsage;

} // namespace pod
