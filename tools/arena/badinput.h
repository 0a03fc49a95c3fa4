#pragma once

#include <string>

namespace pod::arena {

// Bad input (arguments, files): reported as one line, then the program stops.
struct BadInput {
  std::string message;
};

} // namespace pod::arena
