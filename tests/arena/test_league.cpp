#include "bradleyterry.h"
#include "cli.h"
#include "league.h"
#include "shippedtracks.h"
#include "tracedir.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

// Elo difference of a strength ratio.
double elo(double ratio) { return 400.0 * std::log10(ratio); }

// Strengths 4 : 2 : 1 predict A beats B 2/3, B beats C 2/3, A beats C 4/5;
// results in exactly those proportions are the likelihood's maximum, so the
// fit must return 0, 400 log10 2 and 400 log10 4 apart, centred on B.
TEST(BradleyTerry, MatchesHandComputedThreeDriverExample) {
  PairResults r(3);
  auto play = [&](int a, int b, double aScore, double games) {
    r.score[a][b] = aScore;
    r.score[b][a] = games - aScore;
    r.games[a][b] = r.games[b][a] = games;
  };
  play(0, 1, 2, 3);
  play(1, 2, 2, 3);
  play(0, 2, 4, 5);
  const BradleyTerryFit fit = fitBradleyTerry(r);
  EXPECT_FALSE(fit.regularised);
  EXPECT_NEAR(elo(2.0), fit.ratings[0].elo, 1e-6);
  EXPECT_NEAR(0.0, fit.ratings[1].elo, 1e-6);
  EXPECT_NEAR(-elo(2.0), fit.ratings[2].elo, 1e-6);
}

// Two drivers, 100 races, 60 : 40 with 10 draws as halves (55 : 45). The
// centred ratings are +-d/2 with d = ln(55/45); the information of d is
// n p (1 - p), so each rating's standard error is half of 1/sqrt(n p (1-p)).
TEST(BradleyTerry, IntervalFollowsTheFisherInformation) {
  PairResults r(2);
  r.score[0][1] = 50 + 0.5 * 10;
  r.score[1][0] = 40 + 0.5 * 10;
  r.games[0][1] = r.games[1][0] = 100;
  const BradleyTerryFit fit = fitBradleyTerry(r);
  const double p = 0.55;
  const double half = 1.959963984540054 * kEloPerNat * 0.5 / std::sqrt(100 * p * (1 - p));
  EXPECT_NEAR(elo(55.0 / 45.0) / 2, fit.ratings[0].elo, 1e-6);
  EXPECT_NEAR(-fit.ratings[0].elo, fit.ratings[1].elo, 1e-9);
  EXPECT_NEAR(fit.ratings[0].elo - half, fit.ratings[0].low, 1e-6);
  EXPECT_NEAR(fit.ratings[0].elo + half, fit.ratings[0].high, 1e-6);
}

// A driver that never lost has no finite maximum-likelihood rating: the fit
// says so, stays finite, and keeps the order of the results.
TEST(BradleyTerry, UnbeatenDriverStaysFiniteAndOnTop) {
  PairResults r(3);
  r.score[0][1] = 10, r.score[1][0] = 0, r.games[0][1] = r.games[1][0] = 10;
  r.score[0][2] = 10, r.score[2][0] = 0, r.games[0][2] = r.games[2][0] = 10;
  r.score[1][2] = 6, r.score[2][1] = 4, r.games[1][2] = r.games[2][1] = 10;
  const BradleyTerryFit fit = fitBradleyTerry(r);
  EXPECT_TRUE(fit.regularised);
  for (const auto& rating : fit.ratings)
    EXPECT_TRUE(std::isfinite(rating.elo) && std::isfinite(rating.low) && rating.low < rating.high);
  EXPECT_GT(fit.ratings[0].elo, fit.ratings[1].elo);
  EXPECT_GT(fit.ratings[1].elo, fit.ratings[2].elo);
}

// The ranking lists the drivers best first, whatever order they were given in.
TEST(LeagueTable, RankingIsBestFirst) {
  // C beats B and A, B beats A, each 3 : 1 over four races.
  auto pairing = [](const char* a, const char* b) {
    MatchupSummary s;
    s.matchup = Matchup{{a, b}};
    s.total = Tally(2);
    s.total.races = 4;
    s.total.wins = {1, 3};
    return s;
  };
  const LeagueTable table =
      leagueTable({pairing("A", "B"), pairing("A", "C"), pairing("B", "C")});
  EXPECT_EQ((std::vector<std::size_t>{2, 1, 0}), table.ranking);
  const auto ranking = leagueJson(table).at("ranking");
  ASSERT_EQ(3u, ranking.size());
  EXPECT_EQ("C", ranking[0].at("driver"));
  EXPECT_GT(ranking[0].at("elo").get<double>(), ranking[1].at("elo").get<double>());
  EXPECT_GT(ranking[1].at("elo").get<double>(), ranking[2].at("elo").get<double>());
}

struct Scratch : ::testing::Test {
  fs::path dir = fs::temp_directory_path() /
                 ("arena-league-" + std::to_string(::getpid()) + "-" +
                  std::string(::testing::UnitTest::GetInstance()
                                                    ->current_test_info()
                                                    ->name()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

// A small league of three drivers on two tracks, both sides of every race:
// every cell and its mirror describe the same races, and every count adds up
// to what the per-pairing summaries played.
TEST_F(Scratch, LeagueMatrixCountsAddUp) {
  const std::string json = (dir / "league.json").string();
  std::ostringstream out, err;
  ASSERT_EQ(0, runArena({"--league", "--drivers", "Steering heuristics", "--drivers",
                         "genetic runners", "--drivers", "Genetic", "--tracks-dir", kTracks,
                         "--track", "Boomerang", "--track", "The Knot", "--races", "1",
                         "--think-evals", "3", "--jobs", "2", "--json", json},
                        out, err))
      << err.str();
  const auto summary = nlohmann::json::parse(std::ifstream(json));
  const auto& league = summary.at("league");
  const auto& m = league.at("matrix");
  ASSERT_EQ(3u, m.size());
  ASSERT_EQ(3u, summary.at("matchups").size());

  int distinct = 0;
  for (const auto& pairing : summary.at("matchups"))
    distinct += pairing.at("total").at("races").get<int>();
  int cellRaces = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(m[i][i].is_null());
    for (std::size_t j = 0; j < 3; ++j) {
      if (i == j)
        continue;
      const auto& a = m[i][j];
      const auto& b = m[j][i];
      EXPECT_EQ(a.at("races"), b.at("races"));
      EXPECT_EQ(a.at("draws"), b.at("draws"));
      EXPECT_EQ(a.at("races").get<int>(),
                a.at("wins").get<int>() + b.at("wins").get<int>() + a.at("draws").get<int>());
      EXPECT_GT(a.at("races").get<int>(), 0);
      cellRaces += a.at("races").get<int>();
    }
  }
  EXPECT_EQ(2 * distinct, cellRaces);
  int ranked = 0;
  for (const auto& row : league.at("ranking")) {
    EXPECT_EQ(row.at("races").get<int>(),
              row.at("wins").get<int>() + row.at("draws").get<int>() + row.at("losses").get<int>());
    ranked += row.at("races").get<int>();
  }
  EXPECT_EQ(cellRaces, ranked);
}

// One file per race, named so that each race of the schedule has its own,
// with the teams in the order the name gives.
// Replay pages, in a folder of their own, take the traces' names.
TEST_F(Scratch, TraceDirHoldsEveryRaceUnderItsOwnName) {
  std::ostringstream out, err;
  ASSERT_EQ(0, runArena({"--team1", "Steering heuristics", "--team2", "Genetic runners",
                         "--tracks-dir", kTracks, "--track", "Boomerang", "--races", "2",
                         "--swap", "--think-evals", "2", "--trace-dir", (dir / "t").string(),
                         "--html-dir", (dir / "p").string(), "--jobs", "2"},
                        out, err))
      << err.str();
  auto namesIn = [](const fs::path& folder, const std::string& extension) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
      names.push_back(e.path().stem().string() + extension);
    std::sort(names.begin(), names.end());
    return names;
  };
  const auto names = namesIn(dir / "t", ".jsonl");
  EXPECT_EQ(names, namesIn(dir / "p", ".jsonl"));
  const std::vector<std::string> expected = {
      "steering-heuristics-vs-genetic-runners_t01-boomerang_race001_sides12.jsonl",
      "steering-heuristics-vs-genetic-runners_t01-boomerang_race001_sides21.jsonl",
      "steering-heuristics-vs-genetic-runners_t01-boomerang_race002_sides12.jsonl",
      "steering-heuristics-vs-genetic-runners_t01-boomerang_race002_sides21.jsonl"};
  ASSERT_EQ(expected, names);
  std::ifstream swapped(dir / "t" / expected[1]);
  std::string header;
  std::getline(swapped, header);
  EXPECT_EQ((std::vector<std::string>{"Genetic runners", "Steering heuristics"}),
            nlohmann::json::parse(header).at("teams").get<std::vector<std::string>>());
}

// Pairings whose names differ only in punctuation still get files of their
// own: six races, six names, and the pairing without a twin keeps its plain name.
TEST_F(Scratch, TraceDirNamesStayUniqueWhenDriverNamesDifferOnlyInPunctuation) {
  TournamentConfig config;
  config.matchups = leagueMatchups({"bot.1", "bot-1", "Zed"});
  config.tracks = {Track{"Loop", {}}};
  config.racesPerTrack = 1;
  config.swap = true;
  const TraceDirectory traces((dir / "t").string(), config);
  std::set<std::string> names;
  for (const RaceJob& job : scheduleRaces(config))
    names.insert(traces.fileName(job));
  EXPECT_EQ(6u, names.size());
  EXPECT_EQ(1u, names.count("bot-1-vs-bot-1_t01-loop_race001_sides12.jsonl"));
  EXPECT_EQ(1u, names.count("bot-1-vs-zed_p02_t01-loop_race001_sides21.jsonl"));
  EXPECT_EQ(1u, names.count("bot-1-vs-zed_p03_t01-loop_race001_sides12.jsonl"));
}

// --speed sets the turn time that planners think against: the same race at
// another speed is another race.
TEST_F(Scratch, SpeedReachesThePlanners) {
  auto traced = [&](const std::vector<std::string>& extra) {
    const fs::path trace = dir / "race.jsonl";
    std::vector<std::string> args = {"--team1", "Predictive genetic", "--team2", "Genetic",
                                     "--tracks-dir", kTracks, "--track", "Boomerang",
                                     "--races", "1", "--think-evals", "8", "--trace",
                                     trace.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::ostringstream out, err;
    EXPECT_EQ(0, runArena(args, out, err)) << err.str();
    std::ostringstream text;
    text << std::ifstream(trace).rdbuf();
    return text.str();
  };
  const std::string x2 = traced({});
  EXPECT_EQ(x2, traced({"--speed", "x2"}));
  EXPECT_NE(x2, traced({"--speed", "x4"}));
  EXPECT_NE(x2, traced({"--speed", "x0.5"}));
}

} // namespace
} // namespace pod::arena
