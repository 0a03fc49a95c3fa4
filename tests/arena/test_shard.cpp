#include "badinput.h"
#include "cli.h"
#include "shard.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

const std::string kTracks = std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks";

const std::vector<std::string> kLeague = {
    "--league", "--drivers", "Steering heuristics", "--drivers", "Genetic runners",
    "--drivers", "Predictive genetic", "--tracks-dir", kTracks, "--track", "Boomerang",
    "--track", "Sawtooth", "--races", "1", "--think-evals", "3", "--seed", "5"};

std::string withoutTimingLine(const std::string& report) {
  std::istringstream in(report);
  std::string line, kept;
  while (std::getline(in, line))
    if (line.rfind("Played ", 0) != 0)
      kept += line + '\n';
  return kept;
}

nlohmann::json load(const fs::path& path) { return nlohmann::json::parse(std::ifstream(path)); }

nlohmann::json loadPart(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return readPartialSummary(text.str());
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

class Shards : public ::testing::Test {
protected:
  fs::path dir = fs::temp_directory_path() / "arena-shards";
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

// The schedule cut in three slices played by GNU parallel, then merged, gives
// the report and the summary of one run over the whole schedule.
TEST_F(Shards, MergeOfThreeSlicesRunByGnuParallelEqualsOneRun) {
  std::ostringstream whole, err;
  std::vector<std::string> single = kLeague;
  single.insert(single.end(), {"--json", (dir / "single.json").string()});
  ASSERT_EQ(0, runArena(single, whole, err)) << err.str();

  // -q: parallel passes every word as it is, names with spaces included.
  std::string command = "parallel --will-cite -q -j2 --halt now,fail=1 " + quoted(ARENA_BINARY);
  for (const auto& a : kLeague)
    command += " " + quoted(a);
  command += " --shard {}/3 --json " + quoted((dir / "part-{}.json").string()) +
             " ::: 1 2 3 > /dev/null";
  ASSERT_EQ(0, std::system(command.c_str())) << command;

  std::ostringstream merged;
  ASSERT_EQ(0, runArena({"merge", "--json", (dir / "merged.json").string(),
                         (dir / "part-3.json").string(), (dir / "part-1.json").string(),
                         (dir / "part-2.json").string()},
                        merged, err))
      << err.str();
  EXPECT_EQ(withoutTimingLine(whole.str()), withoutTimingLine(merged.str()));
  auto a = load(dir / "single.json");
  auto b = load(dir / "merged.json");
  EXPECT_EQ(a.at("league").at("matrix"), b.at("league").at("matrix"));
  a.erase("timing");
  b.erase("timing");
  EXPECT_EQ(a, b);

  // Slices that do not make one run are refused with the reason.
  std::vector<std::pair<std::string, nlohmann::json>> parts;
  for (int i = 1; i <= 3; ++i)
    parts.emplace_back("part-" + std::to_string(i) + ".json",
                       loadPart(dir / ("part-" + std::to_string(i) + ".json")));
  struct Case {
    const char* what;
    std::function<void(decltype(parts)&)> spoil;
    const char* message;
  };
  const Case cases[] = {
      {"seed", [](auto& p) { p[1].second["seed"] = 6; }, "different seed (5 and 6)"},
      {"budget", [](auto& p) { p[2].second["thinkEvals"] = 4; }, "different budget"},
      {"speed", [](auto& p) { p[2].second["speed"] = "x4"; }, "different speed"},
      {"drivers", [](auto& p) { p[1].second["matchups"][0]["drivers"][0] = "Genetic"; },
       "different drivers"},
      {"tracks", [](auto& p) { p[0].second["tracks"][1]["name"] = "Other"; }, "different tracks"},
      {"missing", [](auto& p) { p.pop_back(); }, "missing slice 3 of 3"},
      {"twice", [](auto& p) { p[2] = p[0]; }, "slice 1/3 is given twice"},
      {"incomplete", [](auto& p) { p[0].second["races"].erase(0); }, "races of slice 1/3"},
      {"not a part", [](auto& p) { p[0].second.erase("shard"); }, "is not a partial summary"},
  };
  for (const auto& c : cases) {
    auto spoilt = parts;
    c.spoil(spoilt);
    try {
      mergeParts(spoilt);
      ADD_FAILURE() << c.what << " was merged";
    } catch (const BadInput& bad) {
      EXPECT_NE(std::string::npos, bad.message.find(c.message)) << c.what << ": " << bad.message;
    }
  }
}

} // namespace
} // namespace pod::arena
