#include "simulation/racepanels.h"
#include "simulation/racestatistics.h"
#include "simulation/sidepanelrule.h"
#include "simulation/winnerboard.h"

#include <gtest/gtest.h>

namespace pod {
namespace {

Track squareTrack() {
  Track track;
  track.name = "square";
  const Vec2 corners[] = {{0.f, 0.f}, {10000.f, 0.f}, {10000.f, 10000.f}, {0.f, 10000.f}};
  std::uint32_t id = 10;
  for (const Vec2& c : corners)
    track.checkpoints.push_back({id++, c});
  return track;
}

Race fourPods() {
  Race race;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    race.pods[i].id = i;
    race.pods[i].team = static_cast<std::int32_t>(i / 2);
  }
  race.nbPodsPerTeam = 2;
  return race;
}

TEST(RacePanels, RaceOrderByProgressWithGaps) {
  const Track track = squareTrack();
  Race race = fourPods();
  // Pods 0 and 2 lead with 5 checkpoints, pod 2 nearer its next one; pod 3
  // is one behind, pod 1 three behind.
  const int cleared[] = {5, 2, 5, 4};
  const Vec2 positions[] = {{2000.f, 10000.f}, {9000.f, 0.f}, {9500.f, 10000.f}, {9000.f, 9000.f}};
  for (std::size_t i = 0; i < 4; ++i) {
    race.pods[i].checkpointsCleared = cleared[i];
    race.pods[i].nextCheckpoint = (cleared[i] + 1) % 4;
    race.pods[i].position = positions[i];
  }
  std::vector<RaceOrderEntry> order;
  raceOrderList(race, track, order);
  ASSERT_EQ(order.size(), 4u);
  const std::uint32_t ids[] = {2, 0, 3, 1};
  const char* gaps[] = {"", "", "+ 1 CP", "+ 3 CPs"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(order[i].podId, ids[i]) << i;
    EXPECT_EQ(order[i].place, static_cast<int>(i) + 1);
    EXPECT_EQ(order[i].gap, gaps[i]) << i;
  }
  EXPECT_EQ(gapText(-2), "");

  // Exactly level pods keep pod order.
  Race level = fourPods();
  raceOrderList(level, track, order);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(order[i].podId, i);
}

TEST(RacePanels, LegFractionAndProgressTicks) {
  const Track track = squareTrack();
  // The leg runs from the previous checkpoint's ring (distance 9600 to go)
  // to the next one's (400 from its centre); behind the previous checkpoint
  // is the start; on the way to checkpoint 0 the leg starts at the last one.
  struct Case {
    int next;
    Vec2 position;
    float fraction;
  };
  const Case cases[] = {{1, {0.f, 0.f}, 0.f},       {1, {5200.f, 0.f}, 5200.f / 9600.f},
                        {1, {9700.f, 0.f}, 1.f},    {1, {-3000.f, 0.f}, 0.f},
                        {0, {0.f, 5000.f}, 5000.f / 9600.f}};
  PodState pod;
  for (const Case& c : cases) {
    pod.nextCheckpoint = c.next;
    pod.position = c.position;
    EXPECT_FLOAT_EQ(legFraction(pod, track), c.fraction) << c.position.x << "," << c.position.y;
  }

  EXPECT_EQ(progressTickCount(track), 12);
  pod.checkpointsCleared = 7;
  EXPECT_FLOAT_EQ(progressTicks(pod, track), 7.f + 5000.f / 9600.f);
  // A finished pod stays at the end of the bar.
  pod.checkpointsCleared = 12;
  pod.nextCheckpoint = 1;
  pod.position = {5000.f, 0.f};
  EXPECT_FLOAT_EQ(progressTicks(pod, track), 12.f);
}

TEST(RacePanels, TimeoutMeterThresholds) {
  Race previous = fourPods();
  Race current = fourPods();
  const float before[] = {10.f, 30.f, 0.f, 99.f}, after[] = {50.f, 40.f, 0.f, 100.f};
  for (std::size_t i = 0; i < 4; ++i) {
    previous.pods[i].timeout = before[i];
    current.pods[i].timeout = after[i];
  }
  // Team 0: the larger timeouts are 30 then 50.
  EXPECT_FLOAT_EQ(raceTimeoutThreshold(previous, current, 0, 0.f), 0.7f);
  EXPECT_FLOAT_EQ(raceTimeoutThreshold(previous, current, 0, 0.5f), 0.6f);
  EXPECT_FLOAT_EQ(raceTimeoutThreshold(previous, current, 0, 1.f), 0.5f);
  EXPECT_NEAR(raceTimeoutThreshold(previous, current, 1, 1.f), 0.f, 1e-6f);

  Race attack;
  attack.pods.resize(2);
  attack.pods[1].timeout = 25.f;
  EXPECT_FLOAT_EQ(timeAttackTimeoutThreshold(attack, 0), 1.f);
  EXPECT_FLOAT_EQ(timeAttackTimeoutThreshold(attack, 1), 0.75f);
}

TEST(RacePanels, SidePanelOpensAtTheEdgeAndClosesBeyondItsWidth) {
  SidePanelRule rule;
  const float width = 1600.f;
  const float panel = 250.f;
  EXPECT_FALSE(rule.update(1500.f, width, panel)); // inside the panel area, but closed
  EXPECT_TRUE(rule.update(1585.f, width, panel));  // within 20 pixels of the edge
  EXPECT_TRUE(rule.update(1350.f, width, panel));  // stays open over the panel
  EXPECT_FALSE(rule.update(1349.f, width, panel)); // beyond its width
  EXPECT_FALSE(rule.update(1500.f, width, panel));
}

TEST(RacePanels, WinnerBoardIsFilledOnce) {
  const std::vector<std::string> names = {"Blue team", "Red team"};
  Race race = fourPods();
  WinnerBoard board;
  EXPECT_FALSE(board.update(race, names));

  race.winner = 1;
  race.byTimeout = true;
  EXPECT_TRUE(board.update(race, names));
  EXPECT_EQ(board.teamName(), "Red team");

  // Later turns change nothing, even if another rule would apply.
  race.winner = 0;
  race.byTimeout = false;
  EXPECT_FALSE(board.update(race, names));
  EXPECT_EQ(board.title(), "Winner by timeout");
  EXPECT_EQ(board.teamName(), "Red team");

  board.reset();
  EXPECT_TRUE(board.update(race, names));
  EXPECT_EQ(board.title(), "Winner");
  EXPECT_EQ(board.teamName(), "Blue team");
  EXPECT_FALSE(board.forfeit(1, names, "too late")) << "a decided race stays decided";

  // A bot's forfeit decides the race like a rule, and the panel says why.
  board.reset();
  EXPECT_TRUE(board.forfeit(1, names, "bot: crashed on turn 3"));
  EXPECT_FALSE(board.update(race, names));
  EXPECT_EQ(board.title(), "Winner by forfeit");
  EXPECT_EQ(board.teamName(), "Red team");
  EXPECT_EQ(board.reason(), "bot: crashed on turn 3");
  board.reset();
  EXPECT_EQ(board.reason(), "");

  // A mirror match names the winning side; a time attack in which every pod
  // timed out ends as a draw, and one pod still running does not.
  const std::vector<std::string> mirror = {"Steering heuristics", "Steering heuristics"};
  race.winner = 1;
  board.reset();
  EXPECT_TRUE(board.update(race, mirror));
  EXPECT_EQ(board.teamName(), "Steering heuristics (team 2)");
  EXPECT_EQ(board.winner(), 1);

  Race solo;
  solo.timeAttack = true;
  solo.pods.resize(2);
  solo.pods[0].timeout = 100.f;
  board.reset();
  EXPECT_FALSE(board.update(solo, {"Player 1", "Player 2"}));
  solo.pods[1].timeout = 100.f;
  EXPECT_TRUE(board.update(solo, {"Player 1", "Player 2"}));
  EXPECT_TRUE(board.isDraw());
  EXPECT_EQ(board.title(), "Draw");
  EXPECT_EQ(board.winner(), -1);
}

TEST(RacePanels, StatisticsAveragesOverTheWholeRace) {
  RaceStatistics stats;
  stats.reset(2);
  Race race;
  race.pods.resize(2);
  const float speeds[] = {300.f, 400.f, 500.f, 100.f};
  const float engines[] = {200.f, 100.f, 0.f, 50.f};
  for (int i = 0; i < 4; ++i) {
    race.pods[0].velocity = {speeds[i] * 0.6f, speeds[i] * 0.8f};
    race.pods[0].engine = engines[i];
    stats.record(race);
  }
  const auto& s = stats.pod(0);
  EXPECT_NEAR(s.averageSpeed(), 325.f, 1e-3f);
  EXPECT_NEAR(s.highestSpeed, 500.f, 1e-3f);
  EXPECT_NEAR(s.averageEngine(), 87.5f, 1e-4f);
  EXPECT_FLOAT_EQ(stats.pod(1).highestSpeed, 0.f);

  // The panel shows integers, rounded to nearest.
  race.pods[0].checkpointsCleared = 6;
  using Values = std::array<long, pod::cMaxStatisticsLines>;
  EXPECT_EQ(statisticsValues(2, race.pods[0], s), (Values{2, 6, 100, 325, 500, 50, 88, 0, 0, 0}));
  EXPECT_EQ(statisticsLineCount(s), 7u);
  // A bot's pod adds its late answers, a planner's pod its steps last turn
  // and on average, in that order.
  stats.setLateTurns(0, 7);
  stats.setPlanSteps(0, 1234, 987.6);
  EXPECT_EQ(statisticsValues(2, race.pods[0], stats.pod(0)),
            (Values{2, 6, 100, 325, 500, 50, 88, 7, 1234, 988}));
  EXPECT_EQ(statisticsLineCount(stats.pod(0)), 10u);
  EXPECT_STREQ(statisticsLabel(stats.pod(0), 7), "Late answers");
  EXPECT_STREQ(statisticsLabel(stats.pod(0), 8), "Evol. steps");
  stats.setPlanSteps(1, 1234, 987.6);
  EXPECT_EQ(statisticsValues(2, race.pods[1], stats.pod(1))[8], 988);

  // A new race starts from nothing.
  stats.reset(4);
  EXPECT_EQ(stats.podCount(), 4u);
  EXPECT_FLOAT_EQ(stats.pod(0).averageSpeed(), 0.f);

  // Running sums: 40000 turns at a constant speed still average to it.
  stats.reset(1);
  race.pods.resize(1);
  race.pods[0].velocity = {0.f, 123.4f};
  for (int i = 0; i < 40000; ++i)
    stats.record(race);
  EXPECT_NEAR(stats.pod(0).averageSpeed(), 123.4f, 1e-3f);
}

} // namespace
} // namespace pod
