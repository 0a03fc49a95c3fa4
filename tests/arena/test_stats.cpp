#include "stats.h"

#include <gtest/gtest.h>

namespace pod::arena {
namespace {

// Reference values worked by hand from the Wilson formula with z = 1.96.
TEST(WilsonInterval, MatchesHandComputedValues) {
  struct Case {
    std::uint64_t wins, n;
    double low, high;
  };
  const Case cases[] = {
      {5, 10, 0.2366, 0.7634},  // centre 0.5, half-width 0.2634
      {0, 10, 0.0, 0.2775},     // centre = half-width = 0.13877
      {10, 10, 0.7225, 1.0},
      {1, 1, 0.2065, 1.0},
      {8, 20, 0.2188, 0.6134},
      {81, 263, 0.2553, 0.3662},
  };
  for (const auto& c : cases) {
    const Interval i = wilsonInterval(c.wins, c.n);
    EXPECT_NEAR(i.low, c.low, 5e-4) << c.wins << "/" << c.n;
    EXPECT_NEAR(i.high, c.high, 5e-4) << c.wins << "/" << c.n;
  }
}

TEST(WilsonInterval, WithoutTrialsIsTheWholeRange) {
  const Interval i = wilsonInterval(0, 0);
  EXPECT_EQ(i.low, 0.0);
  EXPECT_EQ(i.high, 1.0);
}

TEST(WilsonInterval, IsSymmetricBetweenWinsAndLosses) {
  for (std::uint64_t n : {3u, 17u, 250u})
    for (std::uint64_t k = 0; k <= n; ++k) {
      const Interval a = wilsonInterval(k, n);
      const Interval b = wilsonInterval(n - k, n);
      EXPECT_NEAR(a.low, 1.0 - b.high, 1e-12);
      EXPECT_LE(a.low, static_cast<double>(k) / n);
      EXPECT_GE(a.high, static_cast<double>(k) / n);
    }
}

PlayedRace race(std::size_t track, int rotation, std::vector<int> seats, std::uint64_t fingerprint,
                int winnerTeam, int turns, bool byTimeout = false) {
  PlayedRace r;
  r.job.track = track;
  r.job.rotation = rotation;
  r.job.seats = std::move(seats);
  r.outcome.fingerprint = fingerprint;
  r.outcome.winner = winnerTeam;
  r.outcome.draw = winnerTeam < 0;
  r.outcome.turns = turns;
  r.outcome.byTimeout = byTimeout;
  r.outcome.planners.resize(r.job.seats.size());
  return r;
}

TEST(Summarise, RepeatsOfARaceCountOnceAndTheFirstDecides) {
  const std::vector<Matchup> matchups = {{{"A", "A"}}};
  // Mirror match: the swapped race is the same race, won by team 0 both times,
  // which is side 1 first and side 2 in the swap.
  const std::vector<PlayedRace> played = {
      race(0, 0, {0, 1}, 42, 0, 300), race(0, 1, {1, 0}, 42, 0, 300),
      race(0, 0, {0, 1}, 42, 0, 300), race(0, 1, {1, 0}, 42, 0, 300),
      race(1, 0, {0, 1}, 42, 1, 500, true), // same fingerprint, other track: new
  };
  const auto summaries = summarise(matchups, 2, played);
  ASSERT_EQ(summaries.size(), 1u);
  const Tally& first = summaries[0].perTrack[0];
  EXPECT_EQ(first.played, 4);
  EXPECT_EQ(first.races, 1);
  EXPECT_EQ(first.wins, (std::vector<int>{1, 0}));
  EXPECT_EQ(first.rotated, 0);
  const Tally& total = summaries[0].total;
  EXPECT_EQ(total.played, 5);
  EXPECT_EQ(total.races, 2);
  EXPECT_EQ(total.wins, (std::vector<int>{1, 1}));
  EXPECT_EQ(total.byTimeout, 1);
  EXPECT_EQ(total.maxTurns, 500);
  EXPECT_DOUBLE_EQ(total.meanTurns(), 400.0);
  EXPECT_DOUBLE_EQ(total.winRate(0), 0.5);
}

TEST(Summarise, DistinctRacesAndOtherLineUpsAreAllCounted) {
  const std::vector<Matchup> matchups = {{{"A", "B"}}};
  // The same moves with the drivers exchanged is another contest.
  const std::vector<PlayedRace> played = {
      race(0, 0, {0, 1}, 7, 0, 100), race(0, 1, {1, 0}, 7, 0, 120),
      race(0, 0, {0, 1}, 8, -1, 140), race(0, 0, {0, 1}, 9, 1, 160)};
  const auto s = summarise(matchups, 1, played);
  const Tally& t = s[0].total;
  EXPECT_EQ(t.played, 4);
  EXPECT_EQ(t.races, 4);
  // Team 0 won the swapped race, and team 0 was driven by side 2 there.
  EXPECT_EQ(t.wins, (std::vector<int>{1, 2}));
  EXPECT_EQ(t.draws, 1);
  EXPECT_EQ(t.rotated, 1);
  EXPECT_FALSE(s[0].matchup.mirror());
}

TEST(Summarise, PlannerStepsPerTurnFollowTheSideNotTheTeam) {
  const std::vector<Matchup> matchups = {{{"Planner", "Plain"}}};
  PlayedRace a = race(0, 0, {0, 1}, 1, 0, 10);
  a.outcome.planners[0] = {true, 300, 10};
  PlayedRace b = race(0, 1, {1, 0}, 2, 0, 10);
  b.outcome.planners[1] = {true, 100, 10};
  const auto s = summarise(matchups, 1, {a, b});
  const Tally& t = s[0].total;
  ASSERT_TRUE(t.stepsPerTurn(0).has_value());
  EXPECT_DOUBLE_EQ(*t.stepsPerTurn(0), 20.0);
  EXPECT_FALSE(t.stepsPerTurn(1).has_value());
}

} // namespace
} // namespace pod::arena
