#pragma once

#include <string>
#include <vector>

namespace pod::bots {

// What a bot did wrong. Every one of them forfeits a race.
enum class Fault {
  StartFailed,
  Crashed,
  Exited,
  ClosedOutput,
  ClosedInput,
  Late,
  FieldCount,
  NotANumber,
  NotFinite,
  LineTooLong,
  ExtraLine, // stays last: merged summaries read reasons back by name
};

// The reason as the table, the JSON and the trace write it: "late", ...
const char* faultName(Fault fault);

struct Problem {
  int turn = 0;  // the turn being answered, counted from 1
  int team = -1;
  Fault fault = Fault::Late;
  std::string detail; // "no answer within 50 ms", "exited with status 0", ...
  std::string line;   // the offending line, cut to 200 bytes; empty if none
  // The last lines of its standard error when the fault was found, each cut
  // to 200 printable bytes (the game's winner panel shows them).
  std::vector<std::string> lastErrors;

  // "turn 12: late (no answer within 50 ms)", then the line when there is one.
  std::string describe() const;
};

} // namespace pod::bots
