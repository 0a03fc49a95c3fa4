#include "race/racerules.h"

#include <gtest/gtest.h>

using namespace pod;

namespace {

Track squareTrack() {
  Track t;
  t.checkpoints = {{10, {0, 0}}, {11, {5000, 0}}, {12, {5000, 5000}}, {13, {0, 5000}}};
  return t;
}

Race fourPods() {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    race.pods[i].id = i;
    race.pods[i].team = static_cast<int>(i / 2);
  }
  return race;
}

} // namespace

TEST(RaceRules, WinnerRulesOverwriteInPodOrder) {
  const Track track = squareTrack();
  const int laps = 3 * 4;

  Race both = fourPods();
  both.pods[1].checkpointsCleared = laps;
  both.pods[2].checkpointsCleared = laps;
  applyRaceWinnerRule(both, track);
  EXPECT_EQ(both.winner, 1); // the later pod decides
  EXPECT_FALSE(both.byTimeout);

  Race mixed = fourPods();
  mixed.pods[0].timeout = 100.f;
  mixed.pods[1].checkpointsCleared = laps;
  applyRaceWinnerRule(mixed, track);
  EXPECT_EQ(mixed.winner, 0); // a later finish overwrites the timeout
  EXPECT_FALSE(mixed.byTimeout);

  Race timeout = fourPods();
  timeout.pods[3].timeout = 100.f;
  applyRaceWinnerRule(timeout, track);
  EXPECT_EQ(timeout.winner, 0);
  EXPECT_TRUE(timeout.byTimeout);

  // Once set, the winner never changes.
  timeout.pods[3].timeout = 0.f;
  timeout.pods[2].checkpointsCleared = laps;
  applyRaceWinnerRule(timeout, track);
  EXPECT_EQ(timeout.winner, 0);
  EXPECT_TRUE(timeout.byTimeout);

  Race solo;
  solo.timeAttack = true;
  solo.pods.resize(3);
  for (std::uint32_t i = 0; i < 3; ++i) {
    solo.pods[i].id = i;
    solo.pods[i].team = static_cast<int>(i);
  }
  solo.pods[0].timeout = 100.f;
  applyTimeAttackWinnerRule(solo, track);
  EXPECT_EQ(solo.winner, -1); // timeouts decide nothing in time attack
  solo.pods[1].checkpointsCleared = laps;
  solo.pods[2].checkpointsCleared = laps;
  applyTimeAttackWinnerRule(solo, track);
  EXPECT_EQ(solo.winner, 1); // the first finisher in pod order
}

TEST(RaceRules, RaceOrderByCheckpointsThenDistanceThenPodOrder) {
  const Track track = squareTrack();
  Race race = fourPods();
  for (auto& p : race.pods)
    p.nextCheckpoint = 1;
  race.pods[0].position = {1000, 0};
  race.pods[1].position = {4000, 0};
  race.pods[2].position = {2000, 0};
  race.pods[3].position = {0, -1000};
  race.pods[3].checkpointsCleared = 1;
  race.pods[3].nextCheckpoint = 2;
  EXPECT_EQ(raceOrder(race, track), (std::vector<std::uint32_t>{3, 1, 2, 0}));
  EXPECT_EQ(podRank(race, track, 3), 1);
  EXPECT_EQ(podRank(race, track, 0), 4);
  EXPECT_EQ(podRank(race, track, 9), -1);

  // Exact tie: the earlier pod stays ahead.
  Race tie = fourPods();
  for (auto& p : tie.pods)
    p.position = {2500, 100};
  EXPECT_EQ(raceOrder(tie, track), (std::vector<std::uint32_t>{0, 1, 2, 3}));
}

TEST(RaceRules, QueriesAndCheckpointArithmetic) {
  Race race = fourPods();
  std::vector<const PodState*> team;
  race.podsOfTeam(1, team);
  ASSERT_EQ(team.size(), 2u);
  EXPECT_EQ(team[0]->id, 2u);
  EXPECT_EQ(team[1]->id, 3u);
  race.podsOfTeam(5, team);
  EXPECT_TRUE(team.empty());
  EXPECT_EQ(&race.podById(2), &race.pods[2]);

  PodState p;
  p.nextCheckpoint = 3;
  EXPECT_EQ(checkpointAfterNext(p, 4), 0);
  p.nextCheckpoint = 1;
  EXPECT_EQ(checkpointAfterNext(p, 4), 2);
  p.timeout = 99.99f;
  EXPECT_FALSE(isTimedOut(p));
  p.timeout = 100.f;
  EXPECT_TRUE(isTimedOut(p));
}
