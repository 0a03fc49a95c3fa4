#include "race/statehash.h"
#include "trace/tracereader.h"
#include "trace/tracewriter.h"

#include "racerunner.h"
#include "trackgen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace pod {
namespace {

std::uint32_t bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

TEST(FloatJson, EveryKindOfFloatReadsBackExactly) {
  std::vector<float> values = {-0.f, 1.f / 3.f, 16777217.f,
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::max()};
  for (std::uint32_t b = 0x00000001u; b < 0x7f800000u; b += 0x000f4243u) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    values.push_back(f);
    values.push_back(-f);
  }
  for (float v : values) {
    const std::string text = floatJson(v).dump();
    const auto back = static_cast<float>(nlohmann::json::parse(text).get<double>());
    EXPECT_EQ(bits(back), bits(v)) << text;
  }
  EXPECT_EQ(floatJson(0.1f).dump(), "0.1");
  EXPECT_TRUE(floatJson(std::nanf("")).is_null());
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Names are checked where they come in; a byte that slips past is written
// as U+FFFD rather than losing the file.
TEST(TraceWriter, TextThatIsNotUtf8NeverStopsTheWriter) {
  Track track = arena::generateTracks(8, 1).front();
  track.name = "Caf\xe9";
  Forfeit forfeit;
  forfeit.line = "\xff";
  std::ostringstream out;
  TraceWriter writer(out, track, false, {"A\xe9", "B"});
  writer.raceStarted(Race{});
  writer.forfeited(forfeit, 0);
  const std::vector<std::string> lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(lines[0])["track"]["name"], "Caf\xef\xbf\xbd");
  EXPECT_EQ(nlohmann::json::parse(lines[1])["forfeit"]["line"], "\xef\xbf\xbd");
}

// Everything the physics produced, for comparison with what was read.
struct Capture : RaceObserver {
  void raceStarted(const Race& start) override { trace.begin(track, teams, start, kTurnTime); }
  void turnPlayed(int, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override {
    trace.append(influences, events, state);
  }
  Track track;
  std::vector<std::string> teams;
  Trace trace;
};

// A whole race between the steering heuristics, as the arena writes it.
struct Recorded {
  std::string text;
  Capture capture;
};

const Recorded& recordedRace() {
  static const Recorded recorded = [] {
    Recorded r;
    r.capture.track = arena::generateTracks(8, 1).front();
    r.capture.teams = {"Steering heuristics", "Steering heuristics"};
    std::ostringstream out;
    TraceWriter writer(out, r.capture.track, false, r.capture.teams);
    arena::playRace(r.capture.track, false, r.capture.teams, {1, 2}, arena::RaceLimits{}, &writer);
    arena::playRace(r.capture.track, false, r.capture.teams, {1, 2}, arena::RaceLimits{},
                    &r.capture);
    r.text = out.str();
    return r;
  }();
  return recorded;
}

TEST(TraceReader, ReadsBackWhatTheWriterWroteAndTheCollisionsWhereTheyHappened) {
  const Recorded& r = recordedRace();
  std::istringstream in(r.text);
  Trace t;
  std::string error;
  ASSERT_TRUE(readTrace(in, t, error)) << error;
  const Trace& played = r.capture.trace;

  EXPECT_FALSE(t.truncated);
  EXPECT_EQ(t.track.name, played.track.name);
  ASSERT_EQ(t.track.checkpoints.size(), played.track.checkpoints.size());
  EXPECT_EQ(t.teams, played.teams);
  EXPECT_EQ(stateHash(t.start), stateHash(played.start));
  ASSERT_EQ(t.turnCount(), played.turnCount());
  int collisions = 0;
  for (std::size_t i = 0; i < t.turnCount(); ++i) {
    const TraceTurn& a = t.turns[i];
    const TraceTurn& b = played.turns[i];
    EXPECT_EQ(a.turn, b.turn);
    ASSERT_EQ(a.influences.size(), b.influences.size());
    for (std::size_t k = 0; k < a.influences.size(); ++k) {
      EXPECT_EQ(bits(a.influences[k].rotation), bits(b.influences[k].rotation));
      EXPECT_EQ(bits(a.influences[k].thrust), bits(b.influences[k].thrust));
      EXPECT_EQ(a.influences[k].shield, b.influences[k].shield);
    }
    EXPECT_EQ(stateHash(a.state), stateHash(b.state)) << "turn " << a.turn;
    ASSERT_EQ(a.events.size(), b.events.size()) << "turn " << a.turn;
    for (std::size_t e = 0; e < a.events.size(); ++e) {
      const PhysicsEvent& x = a.events[e];
      const PhysicsEvent& y = b.events[e];
      EXPECT_EQ(x.type, y.type);
      EXPECT_EQ(x.firstId, y.firstId);
      EXPECT_EQ(x.secondId, y.secondId);
      EXPECT_EQ(bits(x.time), bits(y.time));
      if (x.type != PhysicsEvent::PodCollision)
        continue;
      ++collisions;
      EXPECT_EQ(x.position, y.position);
      EXPECT_EQ(x.normal, y.normal);
      EXPECT_EQ(bits(x.strength), bits(y.strength));
    }
  }
  EXPECT_GT(collisions, 0) << "the race should show the collision geometry";
  EXPECT_NE(t.turns.back().state.winner, -1);

  // Written again, the trace is the same text.
  std::ostringstream again;
  writeTrace(again, t);
  EXPECT_EQ(again.str(), r.text);
}

std::string edited(std::size_t lineIndex,
                   const std::function<void(nlohmann::ordered_json&)>& edit) {
  std::vector<std::string> lines = linesOf(recordedRace().text);
  auto j = nlohmann::ordered_json::parse(lines.at(lineIndex));
  edit(j);
  lines[lineIndex] = j.dump();
  std::string text;
  for (const auto& l : lines)
    text += l + '\n';
  return text;
}

TEST(TraceReader, ABadTraceGivesOneLineOfReason) {
  using J = nlohmann::ordered_json;
  const std::string whole = recordedRace().text;
  const std::string secondLine = linesOf(whole).at(1);
  std::string manyZeros;
  for (std::size_t i = 0; i < cMaxTraceLineValues; ++i)
    manyZeros += "0,";
  const auto checkpoints = static_cast<int>(recordedRace().capture.track.checkpoints.size());
  const std::string nextPastTheEnd = "line 2: \"nextCheckpoint\" is " +
                                     std::to_string(checkpoints) + ", outside 0 to " +
                                     std::to_string(checkpoints - 1);
  const struct {
    const char* name;
    std::string text;
    const char* reason;
  } cases[] = {
      {"empty", "", "the file is empty"},
      {"not json", "hello\n" + whole, "line 1 does not parse"},
      {"another format", edited(0, [](J& j) { j["format"] = "summary"; }), "not a Vuzuder trace"},
      {"next version", edited(0, [](J& j) { j["version"] = 2; }), "trace version 2 is unknown"},
      {"three teams", edited(0, [](J& j) { j["teams"].push_back("Genetic"); }),
       "3 teams of 2 pods"},
      {"header pod missing", edited(0, [](J& j) { j["pods"].erase(3); }), "3 pods for 2 teams"},
      {"header pod in the wrong team", edited(0, [](J& j) { j["pods"][1]["team"] = 1; }),
       "pod 1 has id 1 and team 1"},
      {"turn pod missing", edited(2, [](J& j) { j["pods"].erase(0); }),
       "line 3: 3 pods where the header has 4"},
      {"turn pods swapped",
       edited(2, [](J& j) { std::swap(j["pods"][0], j["pods"][3]); }),
       "line 3: pod 0 is not the header's pod 0"},
      {"turn skipped", edited(2, [](J& j) { j["turn"] = 3; }), "line 3: turn 3 where turn 2"},
      {"event with no such pod",
       edited(2, [](J& j) { j["events"].push_back({{"type", "collision"}, {"first", 0},
                                                    {"second", 9}, {"time", 0.1}}); }),
       "line 3: \"second\" is 9"},
      {"checkpoint one past the track's last",
       edited(1, [&](J& j) { j["pods"][0]["nextCheckpoint"] = checkpoints; }),
       nextPastTheEnd.c_str()},
      {"start without a direction",
       edited(0, [](J& j) { j["track"]["checkpoints"][1] = j["track"]["checkpoints"][0]; }),
       "header: the track: checkpoints 0 and 1 are less than 1 unit apart"},
      {"a checkpoint far out", edited(0, [](J& j) { j["track"]["checkpoints"][1][0] = 1e30; }),
       "header: the track: checkpoint 1: a coordinate lies outside"},
      {"a turn longer than contacts are searched", edited(0, [](J& j) { j["turnTime"] = 5.25; }),
       "\"turnTime\" is outside 0 to 1 second"},
      {"brackets nested deep", whole + std::string(100, '[') + std::string(100, ']') + "\n",
       "nested deeper than 6 levels"},
      {"a line too long", whole + "[" + std::string(cMaxTraceLineBytes, ' ') + "]\n",
       "is longer than 64 KiB"},
      {"too many values", whole + "[" + manyZeros + "0]\n",
       "more than 4096 values"},
      {"a number as text", edited(1, [](J& j) { j["pods"][2]["vx"] = "fast"; }),
       "line 2: \"vx\" is not a number"},
      {"broken middle line", linesOf(whole)[0] + "\n" + secondLine.substr(0, 40) + "\n" +
                                 secondLine + "\n",
       "line 2 does not parse"},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.text);
    Trace t;
    std::string error;
    EXPECT_FALSE(readTrace(in, t, error)) << c.name;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << c.name;
  }
}

TEST(TraceReader, ATimeAttackOfFourPodsIsTheLargestRead) {
  const Track track = arena::generateTracks(8, 1).front();
  const std::vector<std::string> drivers(4, "Steering heuristics");
  std::ostringstream out;
  TraceWriter writer(out, track, true, drivers);
  arena::RaceLimits limits;
  limits.maxTurns = 3;
  arena::playRace(track, true, drivers, {1, 2, 3, 4}, limits, &writer);
  std::istringstream four(out.str());
  Trace t;
  std::string error;
  ASSERT_TRUE(readTrace(four, t, error)) << error;
  EXPECT_EQ(t.start.pods.size(), 4u);

  auto header = nlohmann::ordered_json::parse(linesOf(out.str()).at(0));
  header["teams"].push_back("Fifth");
  auto pod = header["pods"][3];
  pod["id"] = 4;
  pod["team"] = 4;
  header["pods"].push_back(pod);
  std::istringstream five(header.dump() + "\n");
  EXPECT_FALSE(readTrace(five, t, error));
  EXPECT_NE(error.find("a time attack has 1 to 4 teams"), std::string::npos) << error;
}

TEST(TraceReader, ATruncatedTraceKeepsItsWholeTurnsAndSaysSo) {
  const std::string whole = recordedRace().text;
  const std::vector<std::string> lines = linesOf(whole);
  const std::size_t kept = 10;
  std::string head;
  for (std::size_t i = 0; i <= kept; ++i)
    head += lines[i] + '\n';
  for (std::size_t cut : {std::size_t{1}, lines[kept + 1].size() / 2, lines[kept + 1].size() - 1}) {
    std::istringstream in(head + lines[kept + 1].substr(0, cut));
    Trace t;
    std::string error;
    ASSERT_TRUE(readTrace(in, t, error)) << error;
    EXPECT_TRUE(t.truncated);
    EXPECT_EQ(t.turnCount(), kept);
  }
  // Cut at the end of a line, nothing is lost and nothing is said.
  std::istringstream in(head);
  Trace t;
  std::string error;
  ASSERT_TRUE(readTrace(in, t, error));
  EXPECT_FALSE(t.truncated);
  EXPECT_EQ(t.turnCount(), kept);
  // The header alone cannot be cut short.
  std::istringstream header(lines[0].substr(0, 30));
  EXPECT_FALSE(readTrace(header, t, error));
  EXPECT_EQ(error, "the header line is cut short");
}

TEST(TraceReader, AHugeFileIsRefusedBeforeReading) {
  const auto path = std::filesystem::temp_directory_path() / "vuzuder-huge-trace.jsonl";
  {
    std::ofstream f(path);
    f << "not even json";
  }
  // Sparse: no disk space is used and, refused first, nothing is read.
  std::filesystem::resize_file(path, cMaxTraceBytes + 1);
  Trace t;
  std::string error;
  EXPECT_FALSE(readTraceFile(path.string(), t, error));
  EXPECT_NE(error.find("traces over 256 MiB are refused"), std::string::npos) << error;
  std::filesystem::remove(path);
  EXPECT_FALSE(readTraceFile(path.string(), t, error));
  EXPECT_NE(error.find("is not a file"), std::string::npos) << error;
}

} // namespace
} // namespace pod
