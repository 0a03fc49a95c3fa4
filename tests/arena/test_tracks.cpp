#include "racerunner.h"
#include "trackgen.h"

#include "race/race.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> shippedTrackFiles() {
  std::vector<std::string> paths;
  for (const auto& e : fs::directory_iterator(std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks"))
    if (e.path().extension() == ".prt")
      paths.push_back(e.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(ShippedTracks, EightOrMoreLoadAndKeepTheDesignRules) {
  const auto paths = shippedTrackFiles();
  EXPECT_GE(paths.size(), 8u);
  std::set<std::string> names;
  for (const auto& path : paths) {
    Track track;
    std::string error;
    ASSERT_TRUE(track.load(path, &error)) << path << ": " << error;
    EXPECT_EQ(checkTrackRules(track), "") << path;
    EXPECT_TRUE(names.insert(track.name).second) << "duplicate name " << track.name;
    EXPECT_FALSE(track.name.empty());
    for (std::size_t i = 0; i < track.checkpoints.size(); ++i)
      EXPECT_EQ(track.checkpoints[i].id, i + constants::kCheckpointIdOffset) << path;
  }
}

TEST(ShippedTracks, HeuristicsTeamsFinishARaceOnEach) {
  for (const auto& path : shippedTrackFiles()) {
    Track track;
    ASSERT_TRUE(track.load(path));
    const auto outcome = playRace(track, false, {"Steering heuristics", "Steering heuristics"},
                                  {1, 2}, RaceLimits{});
    EXPECT_NE(outcome.winner, -1) << track.name;
    EXPECT_FALSE(outcome.byTimeout) << track.name;
    EXPECT_FALSE(outcome.capped) << track.name;

    const auto solo = playRace(track, true, {"Steering heuristics"}, {1}, RaceLimits{});
    EXPECT_EQ(solo.winner, 0) << track.name << " (time attack)";
  }
}

TEST(RandomTracks, KeepTheRulesAndFollowTheSeed) {
  std::set<std::size_t> sizes;
  for (std::uint64_t seed : {0ull, 1ull, 2ull, 12345ull, 0xFFFFFFFFFFFFull}) {
    const auto tracks = generateTracks(seed, 40);
    ASSERT_EQ(tracks.size(), 40u);
    for (const auto& t : tracks) {
      EXPECT_EQ(checkTrackRules(t), "") << t.name;
      sizes.insert(t.checkpoints.size());
      for (std::size_t i = 0; i < t.checkpoints.size(); ++i)
        EXPECT_EQ(t.checkpoints[i].id, i + constants::kCheckpointIdOffset);
    }
    const auto again = generateTracks(seed, 40);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
      EXPECT_EQ(again[i].name, tracks[i].name);
      ASSERT_EQ(again[i].checkpoints.size(), tracks[i].checkpoints.size());
      for (std::size_t c = 0; c < tracks[i].checkpoints.size(); ++c)
        EXPECT_EQ(again[i].checkpoints[c].position, tracks[i].checkpoints[c].position);
    }
    // Asking for fewer tracks gives a prefix of the same tracks.
    const auto fewer = generateTracks(seed, 3);
    for (std::size_t i = 0; i < fewer.size(); ++i)
      EXPECT_EQ(fewer[i].checkpoints.front().position, tracks[i].checkpoints.front().position);
  }
  // Every checkpoint count from 3 to 8 turns up.
  EXPECT_EQ(sizes, (std::set<std::size_t>{3, 4, 5, 6, 7, 8}));
  EXPECT_NE(generateTracks(1, 1)[0].checkpoints[0].position,
            generateTracks(2, 1)[0].checkpoints[0].position);
}

TEST(RandomTracks, SaveAndLoadBackUnchangedAndHeuristicsFinish) {
  const auto path = (fs::temp_directory_path() / "arena-random-track.prt").string();
  for (const auto& t : generateTracks(99, 6)) {
    ASSERT_TRUE(t.save(path));
    Track back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.name, t.name);
    ASSERT_EQ(back.checkpoints.size(), t.checkpoints.size());
    for (std::size_t c = 0; c < t.checkpoints.size(); ++c)
      EXPECT_EQ(back.checkpoints[c].position, t.checkpoints[c].position);
    const auto outcome =
        playRace(t, false, {"Steering heuristics", "Steering heuristics"}, {3, 4}, RaceLimits{});
    EXPECT_NE(outcome.winner, -1) << t.name;
    EXPECT_FALSE(outcome.capped) << t.name;
  }
  fs::remove(path);
}

TEST(TrackRules, NameTheBrokenRule) {
  Track t;
  for (int i = 0; i < 3; ++i) {
    Checkpoint c;
    c.position = {-5000.f + 5000.f * static_cast<float>(i), 0.f};
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
