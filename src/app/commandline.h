#pragma once

#include <string>
#include <vector>

namespace pod {

// What the game was asked for on its command line.
struct CommandLine {
  std::string replay; // --replay FILE: open this trace instead of the menu
  std::vector<std::string> botArgs; // the --bot options, as given, for the bot library
  bool help = false;     // --help: print cHelp and stop
  bool version = false;  // --version: print the version and stop
  std::string error;  // one line; empty when the arguments are fine
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const cUsage;
extern const char* const cHelp;  // the rest of --help, after cUsage

} // namespace pod
