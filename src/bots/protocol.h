#pragma once

#include "race/race.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pod {
struct Track;
}

namespace pod::bots {

// The text protocol between the game or the arena and a bot program: the
// version sent on the first line; a bot refuses a version it does not know.
constexpr int kProtocolVersion = 1;
// A bot's answer line may not be longer than this, newline excluded.
constexpr std::size_t kMaxLineBytes = 4096;

struct Greeting {
  bool timeAttack = false;
  int podsPerTeam = 2;
  int teams = 2;
  int team = 0;
  int firstMs = 1000;
  int turnMs = 50;
  const Track* track = nullptr;
};

// The lines a bot reads once, from "vuzuder-bot 1" to "start".
void appendGreeting(std::string& out, const Greeting& greeting);
// "turn N MS", then one line per pod with the fields of a trace line.
void appendTurn(std::string& out, int turn, int answerMs, const Race& race);
// The last line: the winning team, -1 when there is none.
void appendEnd(std::string& out, int winner);

enum class LineFault { None, FieldCount, NotANumber, NotFinite };

// Short name of a fault for messages: "wrong field count", ...
const char* lineFaultName(LineFault fault);

// One answer line "ROTATION THRUST SHIELD" (no newline; a trailing carriage
// return is allowed). Out-of-range numbers are clamped as the physics clamps
// commands: rotation to [-18, 18], thrust to [0, 200]; any shield value but
// 0 raises the shield. `out` is written only when the line is good.
LineFault parseCommand(std::string_view line, Influence& out);

} // namespace pod::bots
