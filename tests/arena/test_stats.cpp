#include "stats.h"

#include <gtest/gtest.h>

namespace pod::arena {
namespace {

// Reference values worked by hand from the Wilson formula with z = 1.96;
// without trials the interval is the whole range.
TEST(WilsonInterval, MatchesHandComputedValues) {
  struct Case {
    std::uint64_t wins, n;
    double low, high;
  };
  const Case cases[] = {
      {5, 10, 0.2366, 0.7634}, {0, 10, 0.0, 0.2775},     {10, 10, 0.7225, 1.0},
      {1, 1, 0.2065, 1.0},     {81, 263, 0.2553, 0.3662}, {0, 0, 0.0, 1.0},
  };
  for (const auto& c : cases) {
    const Interval i = wilsonInterval(c.wins, c.n);
    EXPECT_NEAR(i.low, c.low, 5e-4) << c.wins << "/" << c.n;
    EXPECT_NEAR(i.high, c.high, 5e-4) << c.wins << "/" << c.n;
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
  const Tally& total = summaries[0].total;
  EXPECT_EQ(total.played, 5);
  EXPECT_EQ(total.races, 2);
  EXPECT_EQ(total.wins, (std::vector<int>{1, 1}));
  EXPECT_EQ(total.byTimeout, 1);
  EXPECT_DOUBLE_EQ(total.meanTurns(), 400.0);
}

TEST(Summarise, OtherLineUpsCountAndStepsFollowTheSide) {
  const std::vector<Matchup> matchups = {{{"Planner", "Plain"}}};
  // The same moves with the drivers exchanged is another contest.
  std::vector<PlayedRace> played = {race(0, 0, {0, 1}, 7, 0, 10), race(0, 1, {1, 0}, 7, 0, 10),
                                    race(0, 0, {0, 1}, 8, -1, 10)};
  played[0].outcome.planners[0] = {true, 300, 10};
  played[1].outcome.planners[1] = {true, 100, 10};
  const Tally t = summarise(matchups, 1, played)[0].total;
  EXPECT_EQ(t.races, 3);
  // Team 0 won the swapped race, and team 0 was driven by side 2 there.
  EXPECT_EQ(t.wins, (std::vector<int>{1, 1}));
  EXPECT_EQ(t.draws, 1);
  EXPECT_EQ(t.rotated, 1);
  ASSERT_TRUE(t.stepsPerTurn(0).has_value());
  EXPECT_DOUBLE_EQ(*t.stepsPerTurn(0), 20.0);
  EXPECT_FALSE(t.stepsPerTurn(1).has_value());
}

} // namespace
} // namespace pod::arena
