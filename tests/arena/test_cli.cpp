#include "cli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

const std::string kTracks = std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks";

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
void expectRejected(const ArenaRun& r, const std::string& fragment) {
  EXPECT_NE(r.code, 0);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST_F(ScratchDir, BadInputGetsOneClearLine) {
  const std::string oneCheckpoint = write("lonely.prt", "Lonely\n0 [0.000000,0.000000] 200\n");
  const std::string broken = write("broken.prt", "Broken\n0 [0.000000,0.000000]  200\n");
  const std::string missing = (dir_ / "nowhere.prt").string();

  expectRejected(arena({"--tracks-dir", kTracks, "--team1", "Nobody"}), "unknown driver 'Nobody'");
  expectRejected(arena({"--tracks-dir", kTracks, "--time-attack", "--drivers", "Ghost"}),
                 "unknown driver 'Ghost'");
  expectRejected(arena({"--track", oneCheckpoint}), "at least 2");
  expectRejected(arena({"--track", broken}), "invalid track '" + broken + "': ");
  expectRejected(arena({"--track", missing}), "invalid track '" + missing + "': ");
  expectRejected(arena({"--tracks-dir", kTracks, "--track", "No Such Track"}),
                 "unknown track 'No Such Track'");
  expectRejected(arena({"--tracks-dir", kTracks, "--races", "0"}), "--races must be at least 1");
  expectRejected(arena({"--tracks-dir", kTracks, "--jobs", "0"}), "--jobs must be at least 1");
  expectRejected(arena({"--tracks-dir", kTracks, "--races", "many"}), "--races");
  expectRejected(arena({"--tracks-dir", kTracks, "--time-attack", "--drivers", "Steering heuristics",
                        "--drivers", "Steering heuristics", "--drivers", "Steering heuristics",
                        "--drivers", "Steering heuristics", "--drivers", "Steering heuristics"}),
                 "1 to 4 drivers");
  expectRejected(arena({"--tracks-dir", kTracks, "--think-ms", "5", "--think-evals", "3"}),
                 "--think-ms");
  expectRejected(arena({"--tracks-dir", (dir_ / "absent").string()}), "cannot read the track folder");
  expectRejected(arena({"--bogus"}), "--bogus");
}

TEST_F(ScratchDir, TheLoaderReasonIsQuoted) {
  const std::string broken = write("broken.prt", "Broken\n0 [0.000000,0.000000]  200\n");
  const ArenaRun r = arena({"--track", broken});
  // Something follows the colon: the loader's own words.
  const auto colon = r.err.find("': ");
  ASSERT_NE(colon, std::string::npos) << r.err;
  EXPECT_GT(r.err.size(), colon + 4);
}

TEST_F(ScratchDir, ABrokenFileInTheFolderStopsTheDefaultTournament) {
  fs::copy_file(kTracks + "/long_haul.prt", dir_ / "long_haul.prt");
  write("zz_broken.prt", "Broken\n");
  expectRejected(arena({"--tracks-dir", dir_.string(), "--races", "1"}), "zz_broken.prt");
}

TEST_F(ScratchDir, TracksByNameFileStemOrPathAndTheJsonSummary) {
  const std::string tiny =
      write("tiny.prt", "Tiny\n0 [-3000.000000,0.000000] 200\n1 [3000.000000,0.000000] 200\n");
  const std::string json = (dir_ / "summary.json").string();
  const std::string trace = (dir_ / "race.jsonl").string();
  const ArenaRun r = arena({"--tracks-dir", kTracks, "--team1", "steering heuristics",
                       "--track", "long haul", "--track", "starfall",
                       "--track", tiny, "--races", "2", "--jobs", "2", "--json", json,
                       "--trace", trace});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_NE(r.out.find("Long Haul"), std::string::npos);
  EXPECT_NE(r.out.find("Starfall"), std::string::npos);
  EXPECT_NE(r.out.find("Tiny"), std::string::npos);

  std::ifstream in(json);
  const auto summary = nlohmann::json::parse(in);
  EXPECT_EQ(summary.at("format"), "vuzuder-arena-summary");
  ASSERT_EQ(summary.at("tracks").size(), 3u);
  EXPECT_EQ(summary.at("tracks")[2].at("source"), tiny);
  const auto& total = summary.at("matchups")[0].at("total");
  // Team options given: no swap, two races on each of three tracks.
  EXPECT_EQ(total.at("played"), 6);
  int decided = total.at("draws").get<int>();
  for (const auto& side : total.at("sides"))
    decided += side.at("wins").get<int>();
  EXPECT_EQ(decided, total.at("races").get<int>());
  for (const auto& side : total.at("sides"))
    EXPECT_TRUE(side.at("evolutionStepsPerTurn").is_null());

  // The trace holds the first race: first track, turn lines up to the winner.
  std::ifstream lines(trace);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(nlohmann::json::parse(line).at("track").at("name"), "Long Haul");
  int turns = 0;
  nlohmann::json last;
  while (std::getline(lines, line)) {
    last = nlohmann::json::parse(line);
    EXPECT_EQ(last.at("turn"), ++turns);
  }
  EXPECT_NE(last.at("winner"), -1);
  EXPECT_EQ(turns, summary.at("matchups")[0].at("tracks")[0].at("maxTurns").get<int>());
}

TEST(Cli, DefaultTournamentIsAMirrorMatchWithSwapsOnEveryShippedTrack) {
  const ArenaRun r = arena({"--tracks-dir", kTracks, "--races", "1", "--jobs", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("teams swapped"), std::string::npos);
  EXPECT_NE(r.out.find("[1] Steering heuristics vs [2] Steering heuristics"), std::string::npos);
  EXPECT_NE(r.out.find("total"), std::string::npos);
  // The swap of a deterministic mirror race is the same race: merged.
  EXPECT_NE(r.out.find("Repeats:"), std::string::npos);
}

TEST(Cli, SameSeedAndOptionsGiveTheSameTables) {
  const std::vector<std::string> args = {"--tracks-dir", kTracks, "--random-tracks", "2",
                                         "--races", "1", "--seed", "9"};
  auto tables = [](std::string out) {
    // Drop the line with the timing.
    const auto a = out.find("Played ");
    return out.erase(a, out.find('\n', a) - a);
  };
  auto one = args, two = args;
  one.insert(one.end(), {"--jobs", "1"});
  two.insert(two.end(), {"--jobs", "2"});
  const ArenaRun a = arena(one);
  const ArenaRun b = arena(two);
  ASSERT_EQ(a.code, 0) << a.err;
  EXPECT_EQ(tables(a.out), tables(b.out));
  EXPECT_NE(a.out.find("Random 9-2"), std::string::npos);
}

TEST(Cli, HelpAndListSucceed) {
  const ArenaRun help = arena({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("--think-evals"), std::string::npos);
  const ArenaRun list = arena({"--list", "--tracks-dir", kTracks});
  EXPECT_EQ(list.code, 0);
  EXPECT_NE(list.out.find("Steering heuristics"), std::string::npos);
  EXPECT_NE(list.out.find("Hairpin Alley"), std::string::npos);
}

} // namespace
} // namespace pod::arena
