#pragma once

#include "trace/trace.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace pod {

// Traces larger than this are refused before anything is read.
constexpr std::uintmax_t cMaxTraceBytes = std::uintmax_t{256} << 20;
// Limits of one line, checked while it is read and parsed, before a longer,
// deeper or fuller one is built: a header with 100 checkpoints and four
// pods holds some 450 values within 4 levels.
constexpr std::size_t cMaxTraceLineBytes = 64 * 1024;
constexpr int cMaxTraceDepth = 6;
constexpr std::size_t cMaxTraceLineValues = 4096;
// More turns than the longest race the arena plays (100 checkpoints, three
// laps, every pass at the last moment before the timeout).
constexpr std::size_t cMaxTraceTurns = 250000;

// Reads a trace written by the arena or the game. On failure returns false
// and says why in one line; running out of memory is such a failure. A stream that ends inside a line keeps the whole
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
