#include "cli.h"
#include "shippedtracks.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

struct ArenaRun {
  int code = 0;
  std::string out;
  std::string err;
};

ArenaRun arena(std::vector<std::string> args) {
  std::ostringstream out, err;
  ArenaRun r;
  r.code = runArena(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

class ScratchDir : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("arena-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& content) {
    const auto path = (dir_ / name).string();
    std::ofstream(path) << content;
    return path;
  }
  fs::path dir_;
};

// A rejected command line: one line on standard error, a non-zero code, and
// no report.
TEST_F(ScratchDir, BadInputGetsOneClearLine) {
  const std::string lonely = write("lonely.prt", "Lonely\n0 [0.000000,0.000000] 200\n");
  const std::string broken = write("broken.prt", "Broken\n0 [0.000000,0.000000]  200\n");
  const std::string missing = (dir_ / "nowhere.prt").string();
  const std::string latin1 = write("caf\xe9.prt", "Cafe\n0 [0,0] 200\n1 [900,0] 200\n");
  const fs::path folder = dir_ / "folder";
  fs::create_directories(folder);
  fs::copy_file(kTracks + "/long_haul.prt", folder / "long_haul.prt");
  std::ofstream(folder / "zz_broken.prt") << "Broken\n";

  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--tracks-dir", kTracks, "--team1", "Nobody"}, "unknown driver 'Nobody'"},
      {{"--tracks-dir", kTracks, "--time-attack", "--drivers", "Ghost"}, "unknown driver 'Ghost'"},
      {{"--track", lonely}, "a track has 2 to 100"},
      {{"--track", latin1}, "the file name is not UTF-8 text"},
      {{"--tracks-dir", kTracks, "--bot", "Caf\xe9=./bot"}, "'Caf\\xE9' is not UTF-8 text"},
      {{"--tracks-dir", kTracks, "--team1", "No\xe9\nbody"}, "driver 'No\\xE9\\x0Abody'"},
      {{"--track", broken}, "invalid track '" + broken + "': "},
      {{"--track", missing}, "invalid track '" + missing + "': "},
      {{"--tracks-dir", kTracks, "--track", "No Such Track"}, "unknown track 'No Such Track'"},
      {{"--tracks-dir", kTracks, "--races", "0"}, "--races must be at least 1"},
      {{"--tracks-dir", kTracks, "--jobs", "0"}, "--jobs must be at least 1"},
      // Counts beyond what a schedule holds are refused before anything is built.
      {{"--tracks-dir", kTracks, "--jobs", "3000"}, "--jobs must be at most 1024"},
      {{"--tracks-dir", kTracks, "--races", "2147483647"}, "a schedule holds at most 10000000"},
      {{"--tracks-dir", kTracks, "--random-tracks", "2147483647"},
       "--random-tracks must be at most 10000"},
      {{"--tracks-dir", kTracks, "--shard", "0/3", "--json", (dir_ / "p.json").string()},
       "--shard takes I/N"},
      {{"--tracks-dir", kTracks, "--races", "many"}, "--races"},
      {{"--tracks-dir", kTracks, "--time-attack", "--drivers", "Steering heuristics", "--drivers",
        "Steering heuristics", "--drivers", "Steering heuristics", "--drivers",
        "Steering heuristics", "--drivers", "Steering heuristics"},
       "1 to 4 drivers"},
      {{"--tracks-dir", kTracks, "--think-ms", "5", "--think-evals", "3"}, "--think-ms"},
      {{"--tracks-dir", (dir_ / "absent").string()}, "cannot read the track folder"},
      {{"--tracks-dir", folder.string(), "--races", "1"}, "zz_broken.prt"},
      {{"--bogus"}, "--bogus"},
  };
  for (const auto& [args, fragment] : cases) {
    const ArenaRun r = arena(args);
    EXPECT_NE(r.code, 0) << fragment;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  // The loader's own reason follows the colon.
  const ArenaRun r = arena({"--track", broken});
  EXPECT_GT(r.err.size(), r.err.find("': ") + 4) << r.err;
}

TEST_F(ScratchDir, TracksByNameFileStemOrPathAndTheJsonSummary) {
  const std::string tiny =
      write("tiny.prt", "Tiny\n0 [-3000.000000,0.000000] 200\n1 [3000.000000,0.000000] 200\n");
  const std::string json = (dir_ / "summary.json").string();
  const std::string trace = (dir_ / "race.jsonl").string();
  const ArenaRun r = arena({"--tracks-dir", kTracks, "--team1", "steering heuristics",
                            "--track", "long haul", "--track", "starfall", "--track", tiny,
                            "--races", "2", "--jobs", "2", "--json", json, "--trace", trace});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  for (const char* name : {"Long Haul", "Starfall", "Tiny"})
    EXPECT_NE(r.out.find(name), std::string::npos) << name;

  std::ifstream in(json);
  const auto summary = nlohmann::json::parse(in);
  ASSERT_EQ(summary.at("tracks").size(), 3u);
  EXPECT_EQ(summary.at("tracks")[2].at("source"), tiny);
  const auto& total = summary.at("matchups")[0].at("total");
  // Team options given: no swap, two races on each of three tracks.
  EXPECT_EQ(total.at("played"), 6);
  int decided = total.at("draws").get<int>();
  for (const auto& side : total.at("sides"))
    decided += side.at("wins").get<int>();
  EXPECT_EQ(decided, total.at("races").get<int>());

  // The trace holds the whole first race: a header, then a line per turn.
  std::ifstream lines(trace);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(nlohmann::json::parse(line).at("track").at("name"), "Long Haul");
  int turns = 0;
  while (std::getline(lines, line))
    ++turns;
  EXPECT_EQ(turns, summary.at("matchups")[0].at("tracks")[0].at("maxTurns").get<int>());
}

// Four is the most a time attack takes; five are refused above.
TEST(Cli, TimeAttackTakesFourDrivers) {
  std::vector<std::string> args = {"--tracks-dir", kTracks, "--track", "long haul",
                                   "--races", "1", "--time-attack"};
  for (int i = 0; i < 4; ++i)
    args.insert(args.end(), {"--drivers", "Steering heuristics"});
  const ArenaRun r = arena(args);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(Cli, DefaultMirrorMatchMergesItsSwapsAndRandomTracksAreNamedBySeed) {
  const ArenaRun r = arena({"--tracks-dir", kTracks, "--races", "1", "--jobs", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("[1] Steering heuristics vs [2] Steering heuristics"), std::string::npos);
  EXPECT_NE(r.out.find("teams swapped"), std::string::npos);
  // The swap of a deterministic mirror race is the same race: merged.
  EXPECT_NE(r.out.find("Repeats:"), std::string::npos);

  // Random tracks carry their seed in their names (one or two jobs playing
  // the same races is the tournament's own test).
  const ArenaRun random = arena({"--tracks-dir", kTracks, "--random-tracks", "2", "--races", "1",
                                 "--seed", "9"});
  EXPECT_NE(random.out.find("Random 9-2"), std::string::npos) << random.out;
}

} // namespace
} // namespace pod::arena
