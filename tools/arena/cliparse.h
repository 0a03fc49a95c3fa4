#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
} // namespace CLI

namespace pod::arena {

// A message of several lines as one line, without trailing spaces.
std::string oneLine(std::string text);

// Parses the arguments (the program's name left out) into `app`. Returns the
// exit code when the program should stop now: 0 after printing the help, 2
// after saying on `err`, behind `program`, what is wrong.
std::optional<int> parseArguments(CLI::App& app, const std::string& program,
                                  const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err);

} // namespace pod::arena
