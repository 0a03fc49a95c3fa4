#pragma once

#include "trace/trace.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace pod {

// Traces larger than this are refused before anything is read.
constexpr std::uintmax_t cMaxTraceBytes = std::uintmax_t{256} << 20;

// Reads a trace written by the arena or the game. On failure returns false
// and says why in one line. A stream that ends inside a line keeps the whole
// turns before it and sets truncated. Collision events get back the position,
// direction and strength that the file leaves out, from the recorded states.
bool readTrace(std::istream& in, Trace& out, std::string& error);
bool readTraceFile(const std::string& path, Trace& out, std::string& error);

// What a list of saved races shows of one: its header (track, teams) and the
// number of turns, counted without reading them.
struct TraceSummary {
  std::string track;
  std::vector<std::string> teams;
  bool timeAttack = false;
  float turnTime = 0.f;
  std::size_t turns = 0;
};
bool readTraceSummary(const std::string& path, TraceSummary& out, std::string& error);

} // namespace pod
