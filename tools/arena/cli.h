#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pod::arena {

// Evolution steps per turn given to planners when neither --think-evals nor
// --think-ms is on the command line; 0 means threaded planners in real time.
// 15000 steps of the dedicated planner cost about 0.04 s on one core of the
// project's machines: the thinking a worker gets at the game's "x2".
constexpr int kDefaultThinkEvals = 15000;
// Real time per turn for threaded planners: the game's fastest speed.
constexpr int kDefaultThinkMs = 20;
constexpr int kDefaultRaces = 10;

// The whole program: parses the arguments (without the program name), plays
// the tournament and prints the report on `out`. Bad input gives one line on
// `err` and a non-zero result. `progress` draws a progress line on `err`.
int runArena(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool progress = false);

} // namespace pod::arena
