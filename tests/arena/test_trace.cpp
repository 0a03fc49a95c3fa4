#include "trace.h"
#include "trackgen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <utility>

namespace pod::arena {
namespace {

float readFloat(const nlohmann::json& j) { return static_cast<float>(j.get<double>()); }

std::uint32_t bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

TEST(FloatJson, EveryKindOfFloatReadsBackExactly) {
  std::vector<float> values = {-0.f, 1.f / 3.f, 16777217.f,
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::max()};
  // And a sweep over many bit patterns, with the awkward ones among them.
  for (std::uint32_t b = 0x00000001u; b < 0x7f800000u; b += 0x000f4243u) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    values.push_back(f);
    values.push_back(-f);
  }
  for (float v : values) {
    const std::string text = floatJson(v).dump();
    EXPECT_EQ(bits(readFloat(nlohmann::json::parse(text))), bits(v)) << text;
  }
  // Short where it can be: a float that has a short decimal form keeps it.
  EXPECT_EQ(floatJson(0.1f).dump(), "0.1");
  EXPECT_EQ(floatJson(-2500.5f).dump(), "-2500.5");
  EXPECT_TRUE(floatJson(std::nanf("")).is_null());
}

struct Capture : RaceObserver {
  void raceStarted(const Race& start) override { states.push_back(start); }
  void turnPlayed(int, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& e, const Race& state) override {
    states.push_back(state);
    commands.push_back(influences);
    events.push_back(e);
  }
  std::vector<Race> states;
  std::vector<std::vector<Influence>> commands;
  std::vector<std::vector<PhysicsEvent>> events;
};

void expectPodsEqual(const nlohmann::json& pods, const Race& race) {
  ASSERT_EQ(pods.size(), race.pods.size());
  for (std::size_t i = 0; i < race.pods.size(); ++i) {
    const auto& p = pods[i];
    const PodState& s = race.pods[i];
    EXPECT_EQ(p.at("id").get<std::uint32_t>(), s.id);
    EXPECT_EQ(p.at("team").get<int>(), s.team);
    EXPECT_EQ(p.at("nextCheckpoint").get<int>(), s.nextCheckpoint);
    EXPECT_EQ(p.at("checkpointsCleared").get<int>(), s.checkpointsCleared);
    const std::pair<const char*, float> floats[] = {
        {"x", s.position.x}, {"y", s.position.y}, {"vx", s.velocity.x},
        {"vy", s.velocity.y}, {"angle", s.angle}, {"shieldCooldown", s.shieldCooldown},
        {"timeout", s.timeout}, {"engine", s.engine}};
    for (const auto& [key, value] : floats)
      EXPECT_EQ(bits(readFloat(p.at(key))), bits(value)) << key;
  }
}

TEST(Trace, LinesParseBackToTheRaceExactly) {
  const Track track = generateTracks(8, 1).front();
  std::ostringstream text;
  const std::vector<std::string> teams = {"Steering heuristics", "Steering heuristics"};
  TraceWriter writer(text, track, false, teams);
  Capture capture;
  // The same seeded race twice: once written, once captured.
  const RaceOutcome outcome = playRace(track, false, teams, {1, 2}, RaceLimits{}, &writer);
  playRace(track, false, teams, {1, 2}, RaceLimits{}, &capture);

  std::istringstream lines(text.str());
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  const auto header = nlohmann::json::parse(line);
  EXPECT_EQ(header.at("format"), "vuzuder-trace");
  EXPECT_EQ(header.at("track").at("name"), track.name);
  ASSERT_EQ(header.at("track").at("checkpoints").size(), track.checkpoints.size());
  for (std::size_t i = 0; i < track.checkpoints.size(); ++i) {
    EXPECT_EQ(readFloat(header["track"]["checkpoints"][i][0]), track.checkpoints[i].position.x);
    EXPECT_EQ(readFloat(header["track"]["checkpoints"][i][1]), track.checkpoints[i].position.y);
  }
  EXPECT_EQ(header.at("teams"), teams);
  expectPodsEqual(header.at("pods"), capture.states.front());

  int turns = 0;
  std::size_t eventCount = 0;
  while (std::getline(lines, line)) {
    const auto j = nlohmann::json::parse(line);
    ++turns;
    EXPECT_EQ(j.at("turn"), turns);
    const auto& influences = capture.commands.at(turns - 1);
    ASSERT_EQ(j.at("influences").size(), influences.size());
    for (std::size_t i = 0; i < influences.size(); ++i) {
      EXPECT_EQ(bits(readFloat(j["influences"][i][0])), bits(influences[i].rotation));
      EXPECT_EQ(bits(readFloat(j["influences"][i][1])), bits(influences[i].thrust));
      EXPECT_EQ(j["influences"][i][2].get<bool>(), influences[i].shield);
    }
    expectPodsEqual(j.at("pods"), capture.states.at(turns));
    const auto& events = capture.events.at(turns - 1);
    ASSERT_EQ(j.at("events").size(), events.size());
    for (std::size_t e = 0; e < events.size(); ++e) {
      const auto& ev = j["events"][e];
      EXPECT_EQ(ev.at("type"), events[e].type == PhysicsEvent::PodCollision ? "collision"
                                                                             : "checkpoint");
      EXPECT_EQ(ev.at("first").get<int>(), events[e].firstId);
      EXPECT_EQ(ev.at("second").get<int>(), events[e].secondId);
      EXPECT_EQ(bits(readFloat(ev.at("time"))), bits(events[e].time));
    }
    eventCount += events.size();
    EXPECT_EQ(j.at("winner").get<int>(), capture.states.at(turns).winner);
    EXPECT_EQ(j.at("byTimeout").get<bool>(), capture.states.at(turns).byTimeout);
  }
  EXPECT_EQ(turns, outcome.turns);
  // Three laps pass every checkpoint three times per finishing pod at least.
  EXPECT_GE(eventCount, 3 * track.checkpoints.size());
}

} // namespace
} // namespace pod::arena
