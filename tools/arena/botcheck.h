#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pod::arena {

// `vuzuder-arena check-bot COMMAND [options]`: one race of the bot against
// the steering heuristics on a small track. Every protocol problem is
// printed with its turn and line; the result is 0 only for a clean run.
int runCheckBot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pod::arena
