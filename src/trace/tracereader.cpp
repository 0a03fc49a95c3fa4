#include "trace/tracereader.h"

#include "race/collisions.h"
#include "race/physics.h"

#include <nlohmann/json.hpp>
#include <qutils/text.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace pod {

namespace {

using nlohmann::json;

constexpr int cVersion = 1;
constexpr std::size_t cMaxPods = 4;

// What is wrong with one line, said without the line number.
struct BadLine {
  std::string reason;
};

std::string quoted(const char* key) {
  return std::string("\"") + key + "\"";
}

// The library's messages start with an internal tag and may quote raw input.
std::string jsonReason(const json::exception& e) {
  std::string s = e.what();
  const std::size_t tagEnd = s.find("] ");
  if (s.rfind("[json.exception", 0) == 0 && tagEnd != std::string::npos)
    s.erase(0, tagEnd + 2);
  const std::string shown = qutils::escapedText(s, 117);
  return shown.size() < s.size() ? shown + "..." : shown;
}

const json& field(const json& j, const char* key) {
  const auto it = j.find(key);
  if (it == j.end())
    throw BadLine{quoted(key) + " is missing"};
  return *it;
}

float asFloat(const json& v, const char* key) {
  if (!v.is_number())
    throw BadLine{quoted(key) + " is not a number"};
  const double d = v.get<double>();
  if (!(std::fabs(d) <= static_cast<double>(std::numeric_limits<float>::max())))
    throw BadLine{quoted(key) + " is out of range"};
  return static_cast<float>(d);
}

float floatAt(const json& j, const char* key) {
  return asFloat(field(j, key), key);
}

std::int64_t asInt(const json& v, const char* key, std::int64_t low, std::int64_t high) {
  if (!v.is_number_integer())
    throw BadLine{quoted(key) + " is not a whole number"};
  const auto i = v.get<std::int64_t>();
  if (i < low || i > high)
    throw BadLine{quoted(key) + " is " + std::to_string(i) + ", outside " + std::to_string(low) +
                  " to " + std::to_string(high)};
  return i;
}

std::int32_t intAt(const json& j, const char* key, std::int64_t low, std::int64_t high) {
  return static_cast<std::int32_t>(asInt(field(j, key), key, low, high));
}

bool asBool(const json& v, const char* key) {
  if (!v.is_boolean())
    throw BadLine{quoted(key) + " is not true or false"};
  return v.get<bool>();
}

const json& readArray(const json& j, const char* key) {
  const json& v = field(j, key);
  if (!v.is_array())
    throw BadLine{quoted(key) + " is not a list"};
  return v;
}

PodState readPod(const json& j, std::int32_t checkpointCount) {
  if (!j.is_object())
    throw BadLine{"a pod is not an object"};
  constexpr std::int64_t big = std::numeric_limits<std::int32_t>::max();
  PodState p;
  p.id = static_cast<std::uint32_t>(intAt(j, "id", 0, big));
  p.team = intAt(j, "team", 0, big);
  p.position = {floatAt(j, "x"), floatAt(j, "y")};
  p.velocity = {floatAt(j, "vx"), floatAt(j, "vy")};
  p.angle = floatAt(j, "angle");
  p.nextCheckpoint = intAt(j, "nextCheckpoint", 0, checkpointCount - 1);
  p.checkpointsCleared = intAt(j, "checkpointsCleared", 0, big);
  p.shieldCooldown = floatAt(j, "shieldCooldown");
  p.timeout = floatAt(j, "timeout");
  p.engine = floatAt(j, "engine");
  return p;
}

// The pods of a line must be the header's pods, in the header's order.
void readPods(const json& j, const Trace& t, Race& race) {
  const json& pods = readArray(j, "pods");
  const std::size_t expected = t.start.pods.size();
  if (pods.size() != expected)
    throw BadLine{std::to_string(pods.size()) + " pods where the header has " +
                  std::to_string(expected)};
  race.pods.clear();
  for (std::size_t i = 0; i < pods.size(); ++i) {
    PodState p = readPod(pods[i], static_cast<std::int32_t>(t.track.checkpoints.size()));
    const PodState& h = t.start.pods[i];
    if (p.id != h.id || p.team != h.team)
      throw BadLine{"pod " + std::to_string(i) + " is not the header's pod " +
                    std::to_string(h.id) + " of team " + std::to_string(h.team)};
    race.pods.push_back(p);
  }
}

// Refuses a line nested or filled past the limits while it is parsed, so
// nothing larger is ever built.
bool boundedValue(int depth, json::parse_event_t event, std::size_t& values) {
  if (depth >= cMaxTraceDepth &&
      (event == json::parse_event_t::object_start || event == json::parse_event_t::array_start))
    throw BadLine{"nested deeper than " + std::to_string(cMaxTraceDepth) + " levels"};
  if ((event == json::parse_event_t::value || event == json::parse_event_t::object_start ||
       event == json::parse_event_t::array_start) &&
      ++values > cMaxTraceLineValues)
    throw BadLine{"more than " + std::to_string(cMaxTraceLineValues) + " values in one line"};
  return true;
}

// One line without its end, at most cMaxTraceLineBytes long. Returns false at
// the end of the stream; ended tells whether a line end was read.
bool boundedLine(std::istream& in, std::string& line, bool& ended, bool& tooLong) {
  line.clear();
  ended = false;
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  if (!buffer || !in.good())
    return false;
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return !line.empty();
    }
    if (c == '\n') {
      ended = true;
      return true;
    }
    if (line.size() == cMaxTraceLineBytes) {
      tooLong = true;
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
}

void readHeader(const json& j, Trace& t) {
  if (!j.is_object() || !j.contains("format") || j["format"] != "vuzuder-trace")
    throw BadLine{"not a Vuzuder trace (no \"format\": \"vuzuder-trace\")"};
  const json& version = field(j, "version");
  if (!version.is_number_integer())
    throw BadLine{"\"version\" is not a whole number"};
  if (version.get<std::int64_t>() != cVersion)
    throw BadLine{"trace version " + std::to_string(version.get<std::int64_t>()) +
                  " is unknown: this game reads version " + std::to_string(cVersion)};

  const json& track = field(j, "track");
  if (!track.is_object())
    throw BadLine{"\"track\" is not an object"};
  const json& name = field(track, "name");
  if (!name.is_string())
    throw BadLine{"\"name\" is not a text"};
  t.track.name = name.get<std::string>();
  t.track.checkpoints.clear();
  const json& checkpoints = readArray(track, "checkpoints");
  if (checkpoints.size() > Track::cMaxCheckpoints)
    throw BadLine{"the track has more than " + std::to_string(Track::cMaxCheckpoints) +
                  " checkpoints"};
  for (const json& c : checkpoints) {
    if (!c.is_array() || c.size() != 2)
      throw BadLine{"a checkpoint is not a pair of numbers"};
    Checkpoint cp;
    cp.id = static_cast<std::uint32_t>(t.track.checkpoints.size()) + constants::kCheckpointIdOffset;
    cp.position = {asFloat(c[0], "checkpoints"), asFloat(c[1], "checkpoints")};
    t.track.checkpoints.push_back(cp);
  }
  const std::string problem = trackProblem(t.track);
  if (!problem.empty())
    throw BadLine{"the track: " + problem};

  t.timeAttack = asBool(field(j, "timeAttack"), "timeAttack");
  t.podsPerTeam = intAt(j, "podsPerTeam", 1, cMaxPods);
  t.teams.clear();
  for (const json& team : readArray(j, "teams")) {
    if (!team.is_string())
      throw BadLine{"a team name is not a text"};
    t.teams.push_back(team.get<std::string>());
  }
  t.turnTime = floatAt(j, "turnTime");
  // Turns last a fraction of a second; the replayed collisions are searched
  // within a second or two of each turn's start.
  if (!(t.turnTime > 0.f && t.turnTime <= 1.f))
    throw BadLine{"\"turnTime\" is outside 0 to 1 second"};

  const std::size_t teams = t.teams.size();
  const bool shown = t.timeAttack ? t.podsPerTeam == 1 && teams >= 1 && teams <= cMaxPods
                                  : t.podsPerTeam == 2 && teams == 2;
  if (!shown)
    throw BadLine{std::to_string(teams) + " teams of " + std::to_string(t.podsPerTeam) +
                  (t.timeAttack ? " pods: a time attack has 1 to 4 teams of 1 pod"
                                : " pods: a race has 2 teams of 2 pods")};

  t.start = Race{};
  t.start.nbPodsPerTeam = t.podsPerTeam;
  t.start.timeAttack = t.timeAttack;
  const json& pods = readArray(j, "pods");
  const std::size_t expected = teams * static_cast<std::size_t>(t.podsPerTeam);
  if (pods.size() != expected)
    throw BadLine{std::to_string(pods.size()) + " pods for " + std::to_string(teams) +
                  " teams of " + std::to_string(t.podsPerTeam)};
  for (std::size_t i = 0; i < pods.size(); ++i) {
    PodState p = readPod(pods[i], static_cast<std::int32_t>(t.track.checkpoints.size()));
    const auto team = static_cast<std::int32_t>(i / static_cast<std::size_t>(t.podsPerTeam));
    if (p.id != i || p.team != team)
      throw BadLine{"pod " + std::to_string(i) + " has id " + std::to_string(p.id) + " and team " +
                    std::to_string(p.team) + ", expected id " + std::to_string(i) + " and team " +
                    std::to_string(team)};
    t.start.pods.push_back(p);
  }
}

// The file keeps only when and between whom a collision happened; the
// physics replayed from the previous state gives where and how hard. A
// collision the replay does not find is placed from the pods' straight paths.
void completeCollisions(const Trace& t, const Race& previous, TraceTurn& turn) {
  bool any = false;
  for (const PhysicsEvent& e : turn.events)
    any = any || e.type == PhysicsEvent::PodCollision;
  if (!any)
    return;
  Race moved = previous;
  for (std::size_t i = 0; i < moved.pods.size(); ++i)
    Physics::applyInfluence(moved.pods[i], turn.influences[i], t.turnTime);
  std::vector<PhysicsEvent> replayed;
  if (!t.timeAttack) {
    Race race = moved;
    moveWithCollisions(race, t.track, t.turnTime, &replayed);
  }
  std::size_t next = 0;
  for (PhysicsEvent& e : turn.events) {
    if (e.type != PhysicsEvent::PodCollision)
      continue;
    bool found = false;
    for (std::size_t k = next; k < replayed.size() && !found; ++k) {
      const PhysicsEvent& r = replayed[k];
      if (r.type == e.type && r.firstId == e.firstId && r.secondId == e.secondId &&
          std::fabs(r.time - e.time) < 1e-4f) {
        e.position = r.position;
        e.normal = r.normal;
        e.strength = r.strength;
        next = k + 1;
        found = true;
      }
    }
    if (found)
      continue;
    const PodState& a = moved.pods[static_cast<std::size_t>(e.firstId)];
    const PodState& b = moved.pods[static_cast<std::size_t>(e.secondId)];
    const Vec2 pa = a.position + a.velocity * e.time;
    const Vec2 pb = b.position + b.velocity * e.time;
    e.position = (pa + pb) * 0.5f;
    e.normal = pb - pa;
    e.strength = impactStrength(a.velocity, b.velocity);
  }
}

void readEvents(const json& j, const Trace& t, TraceTurn& turn) {
  const auto pods = static_cast<std::int64_t>(t.start.pods.size());
  const auto checkpoints = static_cast<std::int64_t>(t.track.checkpoints.size());
  turn.events.clear();
  for (const json& e : readArray(j, "events")) {
    if (!e.is_object())
      throw BadLine{"an event is not an object"};
    const json& type = field(e, "type");
    PhysicsEvent ev;
    if (type == "collision")
      ev.type = PhysicsEvent::PodCollision;
    else if (type == "checkpoint")
      ev.type = PhysicsEvent::CheckpointPassed;
    else
      throw BadLine{"unknown event type " + type.dump()};
    ev.firstId = intAt(e, "first", 0, pods - 1);
    ev.secondId =
        intAt(e, "second", 0, (ev.type == PhysicsEvent::PodCollision ? pods : checkpoints) - 1);
    if (ev.type == PhysicsEvent::PodCollision && ev.firstId == ev.secondId)
      throw BadLine{"a pod collides with itself"};
    ev.time = floatAt(e, "time");
    if (!(ev.time >= 0.f && ev.time <= t.turnTime))
      throw BadLine{"an event's \"time\" is outside the turn"};
    turn.events.push_back(ev);
  }
}

void readTurn(const json& j, Trace& t) {
  if (!j.is_object())
    throw BadLine{"not an object"};
  TraceTurn turn;
  const auto expected = static_cast<std::int64_t>(t.turns.size()) + 1;
  turn.turn = intAt(j, "turn", std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max());
  if (turn.turn != expected)
    throw BadLine{"turn " + std::to_string(turn.turn) + " where turn " + std::to_string(expected) +
                  " was due"};
  const json& commands = readArray(j, "influences");
  if (commands.size() != t.start.pods.size())
    throw BadLine{std::to_string(commands.size()) + " commands for " +
                  std::to_string(t.start.pods.size()) + " pods"};
  for (const json& c : commands) {
    if (!c.is_array() || c.size() != 3)
      throw BadLine{"a command is not [rotation, thrust, shield]"};
    turn.influences.push_back(
        {asFloat(c[0], "influences"), asFloat(c[1], "influences"), asBool(c[2], "influences")});
  }
  turn.state.nbPodsPerTeam = t.podsPerTeam;
  turn.state.timeAttack = t.timeAttack;
  readPods(j, t, turn.state);
  readEvents(j, t, turn);
  turn.state.winner = intAt(j, "winner", -1, static_cast<std::int64_t>(t.teams.size()) - 1);
  turn.state.byTimeout = asBool(field(j, "byTimeout"), "byTimeout");
  completeCollisions(t, t.stateAt(t.turns.size()), turn);
  t.turns.push_back(std::move(turn));
}

// A forfeit ends the race: nothing is played on its turn.
void readForfeit(const json& j, Trace& t) {
  const auto expected = static_cast<std::int32_t>(t.turns.size()) + 1;
  const json& f = field(j, "forfeit");
  if (!f.is_object())
    throw BadLine{"\"forfeit\" is not an object"};
  t.forfeit.turn = intAt(j, "turn", expected, expected);
  t.forfeit.team = intAt(f, "team", 0, static_cast<std::int64_t>(t.teams.size()) - 1);
  for (auto [key, into] : {std::pair{"reason", &t.forfeit.reason},
                           std::pair{"detail", &t.forfeit.detail},
                           std::pair{"line", &t.forfeit.line}})
    if (f.contains(key) && f[key].is_string())
      *into = f[key].get<std::string>();
  t.forfeitWinner = intAt(j, "winner", -1, static_cast<std::int64_t>(t.teams.size()) - 1);
  t.forfeited = true;
}

bool readLines(std::istream& in, Trace& t, std::string& error) {
  std::string line;
  int number = 0;
  bool header = true;
  bool whole = false;
  bool tooLong = false;
  while (boundedLine(in, line, whole, tooLong)) {
    ++number;
    if (tooLong) {
      error = "line " + std::to_string(number) + " is longer than " +
              std::to_string(cMaxTraceLineBytes / 1024) + " KiB";
      return false;
    }
    if (line.find_first_not_of(" \t\r") == std::string::npos)
      continue;
    if (!header && t.turns.size() == cMaxTraceTurns) {
      error = "line " + std::to_string(number) + ": more than " +
              std::to_string(cMaxTraceTurns) + " turns";
      return false;
    }
    json j;
    std::size_t values = 0;
    try {
      j = json::parse(line, [&values](int depth, json::parse_event_t event, json&) {
        return boundedValue(depth, event, values);
      });
    } catch (const json::exception& e) {
      if (!whole && !header) {
        t.truncated = true;
        break;
      }
      error = header && !whole
                  ? "the header line is cut short"
                  : "line " + std::to_string(number) + " does not parse: " + jsonReason(e);
      return false;
    } catch (const BadLine& bad) {
      error = "line " + std::to_string(number) + ": " + bad.reason;
      return false;
    }
    try {
      if (header) {
        readHeader(j, t);
      } else if (j.is_object() && j.contains("forfeit")) {
        readForfeit(j, t);
        header = false;
        break;
      } else {
        readTurn(j, t);
      }
    } catch (const BadLine& bad) {
      error = (header ? "header: " : "line " + std::to_string(number) + ": ") + bad.reason;
      return false;
    } catch (const json::exception& e) {
      error = "line " + std::to_string(number) + ": " + jsonReason(e);
      return false;
    }
    header = false;
  }
  if (header) {
    error = in.bad() ? "the file cannot be read" : "the file is empty";
    return false;
  }
  return true;
}

} // namespace

bool readTrace(std::istream& in, Trace& out, std::string& error) {
  try {
    Trace t;
    if (!readLines(in, t, error))
      return false;
    out = std::move(t);
    return true;
  } catch (const std::bad_alloc&) {
    error = "not enough memory to read the trace";
  } catch (const std::length_error&) {
    error = "not enough memory to read the trace";
  }
  return false;
}

bool readTraceFile(const std::string& path, Trace& out, std::string& error) {
  const std::string shown = qutils::escapedText(path);
  std::error_code ec;
  const std::filesystem::path p(path);
  if (!std::filesystem::is_regular_file(p, ec)) {
    error = "'" + shown + "' is not a file";
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(p, ec);
  if (ec) {
    error = "'" + shown + "' cannot be read";
    return false;
  }
  if (size > cMaxTraceBytes) {
    error =
        "'" + shown + "' is " + std::to_string(size >> 20) + " MiB: traces over 256 MiB are refused";
    return false;
  }
  std::ifstream file(p, std::ios::binary);
  if (!file) {
    error = "'" + shown + "' cannot be opened";
    return false;
  }
  return readTrace(file, out, error);
}

bool readTraceSummary(const std::string& path, TraceSummary& out, std::string& error) {
  std::error_code ec;
  const std::filesystem::path p(path);
  if (!std::filesystem::is_regular_file(p, ec)) {
    error = "'" + path + "' is not a file";
    return false;
  }
  if (std::filesystem::file_size(p, ec) > cMaxTraceBytes || ec) {
    error = "'" + path + "' cannot be read or is over 256 MiB";
    return false;
  }
  std::ifstream file(p, std::ios::binary);
  if (!file) {
    error = "'" + path + "' cannot be opened";
    return false;
  }
  std::string line;
  while (std::getline(file, line) && line.find_first_not_of(" \t\r") == std::string::npos) {
  }
  Trace t;
  try {
    readHeader(json::parse(line), t);
  } catch (const BadLine& bad) {
    error = "header: " + bad.reason;
    return false;
  } catch (const json::exception& e) {
    error = "header: " + jsonReason(e);
    return false;
  }
  std::size_t turns = 0;
  while (std::getline(file, line)) {
    // A forfeit closes the race; a line cut short is no turn.
    if (line.find("\"forfeit\"") != std::string::npos || file.eof())
      break;
    turns += line.find_first_not_of(" \t\r") != std::string::npos;
  }
  out.track = t.track.name;
  out.teams = t.teams;
  out.timeAttack = t.timeAttack;
  out.turnTime = t.turnTime;
  out.turns = turns;
  return true;
}

} // namespace pod
