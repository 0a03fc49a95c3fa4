#include "bots/protocol.h"

#include "race/track.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace pod::bots {

namespace {

void appendNumber(std::string& out, float value) {
  // Shortest text that reads back as the very same float: a bot that replays
  // the physics gets bit-exact states.
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, r.ptr);
}

void appendInteger(std::string& out, long long value) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, r.ptr);
}

void appendKey(std::string& out, const char* key, long long value) {
  out += key;
  out += ' ';
  appendInteger(out, value);
  out += '\n';
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A whole field as a finite double; false for text that is not a number.
LineFault parseNumber(std::string_view field, double& value) {
  std::string_view digits = field;
  // One sign at most: "+5" is a number, "+-5" is not.
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-')
      return LineFault::NotANumber;
  }
  const char* end = digits.data() + digits.size();
  const auto r = std::from_chars(digits.data(), end, value);
  if (r.ptr != end || (r.ec != std::errc() && r.ec != std::errc::result_out_of_range))
    return LineFault::NotANumber;
  if (r.ec == std::errc::result_out_of_range) {
    // Overflow is infinite; underflow is a tiny number, which is fine.
    value = std::strtod(std::string(digits).c_str(), nullptr);
  }
  return std::isfinite(value) ? LineFault::None : LineFault::NotFinite;
}

} // namespace

void appendGreeting(std::string& out, const Greeting& g) {
  out += "vuzuder-bot ";
  appendInteger(out, kProtocolVersion);
  out += '\n';
  out += g.timeAttack ? "mode time-attack\n" : "mode race\n";
  appendKey(out, "pods-per-team", g.podsPerTeam);
  appendKey(out, "teams", g.teams);
  appendKey(out, "team", g.team);
  appendKey(out, "laps", constants::kLaps);
  out += "turn-time ";
  appendNumber(out, 0.25f);
  out += '\n';
  appendKey(out, "first-ms", g.firstMs);
  appendKey(out, "turn-ms", g.turnMs);
  const std::size_t n = g.track ? g.track->checkpoints.size() : 0;
  appendKey(out, "checkpoints", static_cast<long long>(n));
  for (std::size_t i = 0; i < n; ++i) {
    appendNumber(out, g.track->checkpoints[i].position.x);
    out += ' ';
    appendNumber(out, g.track->checkpoints[i].position.y);
    out += '\n';
  }
  out += "start\n";
}

void appendTurn(std::string& out, int turn, int answerMs, const Race& race) {
  out += "turn ";
  appendInteger(out, turn);
  out += ' ';
  appendInteger(out, answerMs);
  out += '\n';
  for (const PodState& p : race.pods) {
    appendInteger(out, static_cast<long long>(p.id));
    out += ' ';
    appendInteger(out, p.team);
    for (float f : {p.position.x, p.position.y, p.velocity.x, p.velocity.y, p.angle}) {
      out += ' ';
      appendNumber(out, f);
    }
    out += ' ';
    appendInteger(out, p.nextCheckpoint);
    out += ' ';
    appendInteger(out, p.checkpointsCleared);
    for (float f : {p.shieldCooldown, p.timeout, p.engine}) {
      out += ' ';
      appendNumber(out, f);
    }
    out += '\n';
  }
}

void appendEnd(std::string& out, int winner) {
  out += "end ";
  appendInteger(out, winner);
  out += '\n';
}

const char* lineFaultName(LineFault fault) {
  switch (fault) {
  case LineFault::None:
    return "good";
  case LineFault::FieldCount:
    return "wrong field count";
  case LineFault::NotANumber:
    return "not a number";
  case LineFault::NotFinite:
    return "NaN or infinity";
  }
  return "?";
}

LineFault parseCommand(std::string_view line, Influence& out) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  std::string_view fields[3];
  int count = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i]))
      ++i;
    if (i == line.size())
      break;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i]))
      ++i;
    if (count == 3)
      return LineFault::FieldCount;
    fields[count++] = line.substr(start, i - start);
  }
  if (count != 3)
    return LineFault::FieldCount;
  double values[3];
  LineFault worst = LineFault::None;
  for (int f = 0; f < 3; ++f) {
    const LineFault fault = parseNumber(fields[f], values[f]);
    if (fault == LineFault::NotANumber)
      return fault;
    if (fault != LineFault::None)
      worst = fault;
  }
  if (worst != LineFault::None)
    return worst;
  out.rotation = static_cast<float>(
      std::clamp(values[0], -double(constants::kMaxRotation), double(constants::kMaxRotation)));
  out.thrust = static_cast<float>(std::clamp(values[1], 0.0, double(constants::kMaxThrust)));
  out.shield = values[2] != 0.0;
  return LineFault::None;
}

} // namespace pod::bots
