#include "badinput.h"
#include "cli.h"
#include "shard.h"
#include "shippedtracks.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

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
  fs::path dir = fs::temp_directory_path() /
                 ("arena-shards-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
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
      {"think-ms", [](auto& p) { p[2].second["thinkMs"] = 5; }, "different budget (--think-ms)"},
      // Parts that lie: every field is held to the schedule it claims.
      {"winner 7", [](auto& p) { p[0].second["races"][1]["winner"] = 7; }, "winner 7 is out of range"},
      {"winner -5", [](auto& p) { p[0].second["races"][1]["winner"] = -5; }, "winner -5 is out"},
      {"turns", [](auto& p) { p[1].second["races"][0]["turns"] = INT32_MIN; }, "turns -2147483648"},
      {"forfeit team 5",
       [](auto& p) { p[1].second["races"][0]["forfeits"] = {{1, 5, "late", "", ""}}; },
       "team 5 is out of range"},
      {"forfeit team -1",
       [](auto& p) { p[1].second["races"][0]["forfeits"] = {{1, -1, "late", "", ""}}; },
       "team -1 is out of range"},
      {"forfeit turn",
       [](auto& p) { p[1].second["races"][0]["forfeits"] = {{INT32_MIN, 0, "late", "", ""}}; },
       "turn -2147483648 is out of range"},
      {"count 0", [](auto& p) { for (auto& part : p) part.second["shard"]["count"] = 0; },
       "count 0 is out of range"},
      {"races per track",
       [](auto& p) { for (auto& part : p) part.second["racesPerTrack"] = INT32_MAX; },
       "a schedule holds at most"},
      {"slice 3 of 2",
       [](auto& p) {
         for (auto& part : p) part.second["shard"]["count"] = 2;
         p[0].second["shard"]["index"] = 3;
       },
       "index 3 is out of range (1 to 2)"},
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

// merge reads parts as it reads tracks: no device, fifo or huge file; and no
// nesting deep enough to overflow the stack when a value is copied.
TEST_F(Shards, MergeReadsOnlySmallRegularShallowFiles) {
  const fs::path deep = dir / "deep.json";
  std::ofstream(deep) << R"({"format": "vuzuder-arena-summary", "mode": "race", "seed": 1,)"
                      << R"("racesPerTrack": 1, "swap": false, "thinkEvals": 0, "thinkMs": 0,)"
                      << R"("speed": "x2", "tracks": [], "matchups": [], "races": [],)"
                      << R"("shard": {"league": false}, "bots": {"drivers": )"
                      << std::string(100000, '[') << std::string(100000, ']') << "}}";
  const fs::path fifo = dir / "fifo.json";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  const fs::path huge = dir / "huge.json";
  std::ofstream(huge).put('{');
  fs::resize_file(huge, kMaxPartBytes + 1); // sparse: nothing is written
  for (const auto& [path, message] :
       {std::pair<std::string, std::string>{"/dev/zero", "/dev/zero is not a regular file"},
        {fifo.string(), "fifo.json is not a regular file"},
        {huge.string(), "huge.json is larger than 256 MiB"},
        {deep.string(), "nested deeper than 32 levels"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(2, runArena({"merge", path}, out, err)) << path;
    EXPECT_NE(std::string::npos, err.str().find(message)) << err.str();
  }
}

} // namespace
} // namespace pod::arena
