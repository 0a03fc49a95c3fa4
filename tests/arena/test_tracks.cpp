#include "racerunner.h"
#include "trackgen.h"

#include "race/race.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kSteeringPair = {"Steering heuristics", "Steering heuristics"};

TEST(ShippedTracks, EightOrMoreKeepTheRulesAndHeuristicsFinishOnEach) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks")) {
    if (e.path().extension() != ".prt")
      continue;
    Track track;
    std::string error;
    ASSERT_TRUE(track.load(e.path().string(), &error)) << e.path() << ": " << error;
    EXPECT_EQ(checkTrackRules(track), "") << e.path();
    EXPECT_TRUE(names.insert(track.name).second) << "duplicate name " << track.name;

    const auto outcome = playRace(track, false, kSteeringPair, {1, 2}, RaceLimits{});
    EXPECT_NE(outcome.winner, -1) << track.name;
    EXPECT_FALSE(outcome.byTimeout) << track.name;
    EXPECT_FALSE(outcome.capped) << track.name;
    const auto solo = playRace(track, true, {kSteeringPair[0]}, {1}, RaceLimits{});
    EXPECT_EQ(solo.winner, 0) << track.name << " (time attack)";
  }
  EXPECT_GE(names.size(), 8u);
}

TEST(RandomTracks, KeepTheRulesAndFollowTheSeed) {
  std::set<std::size_t> sizes;
  for (std::uint64_t seed : {0ull, 1ull, 12345ull, 0xFFFFFFFFFFFFull}) {
    const auto tracks = generateTracks(seed, 40);
    ASSERT_EQ(tracks.size(), 40u);
    const auto again = generateTracks(seed, 40);
    // Asking for fewer tracks gives a prefix of the same tracks.
    const auto fewer = generateTracks(seed, 3);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
      const Track& t = tracks[i];
      EXPECT_EQ(checkTrackRules(t), "") << t.name;
      sizes.insert(t.checkpoints.size());
      for (std::size_t c = 0; c < t.checkpoints.size(); ++c)
        EXPECT_EQ(t.checkpoints[c].id, c + constants::kCheckpointIdOffset);
      EXPECT_EQ(again[i].name, t.name);
      ASSERT_EQ(again[i].checkpoints.size(), t.checkpoints.size());
      for (std::size_t c = 0; c < t.checkpoints.size(); ++c)
        EXPECT_EQ(again[i].checkpoints[c].position, t.checkpoints[c].position);
      if (i < fewer.size()) {
        EXPECT_EQ(fewer[i].checkpoints.front().position, t.checkpoints.front().position);
      }
    }
  }
  // Every checkpoint count from 3 to 8 turns up.
  EXPECT_EQ(sizes, (std::set<std::size_t>{3, 4, 5, 6, 7, 8}));
  EXPECT_NE(generateTracks(1, 1)[0].checkpoints[0].position,
            generateTracks(2, 1)[0].checkpoints[0].position);
}

TEST(RandomTracks, HeuristicsFinishOnThem) {
  for (const auto& t : generateTracks(99, 6))
    EXPECT_NE(playRace(t, false, kSteeringPair, {3, 4}, RaceLimits{}).winner, -1) << t.name;
}

TEST(TrackRules, NameTheBrokenRule) {
  Track t;
  for (float x : {-5000.f, 0.f, 5000.f}) {
    Checkpoint c;
    c.position = {x, 0.f};
    t.checkpoints.push_back(c);
  }
  EXPECT_EQ(checkTrackRules(t), "");
  t.checkpoints[2].position = {-2600.f, 0.f};
  EXPECT_NE(checkTrackRules(t).find("closer than 2500"), std::string::npos);
  t.checkpoints[2].position = {7500.f, 0.f};
  EXPECT_NE(checkTrackRules(t).find("outside the field"), std::string::npos);
  t.checkpoints.pop_back();
  EXPECT_NE(checkTrackRules(t).find("2 checkpoints"), std::string::npos);
}

} // namespace
} // namespace pod::arena
