#include "race/physics.h"
#include "race/racerules.h"
#include "race/statehash.h"

#include <qutils/random.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace pod;
using qutils::Vec2;

namespace {

Track lineTrack() {
  Track t;
  t.name = "line";
  t.checkpoints = {{10, {0, 0}}, {11, {8000, 0}}, {12, {4000, 5000}}};
  return t;
}

std::vector<Influence> same(std::size_t n, Influence inf) { return std::vector<Influence>(n, inf); }

} // namespace

TEST(Physics, StartingGridCrossesTheTrackThroughCheckpointZero) {
  const Track track = lineTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  const Race& race = physics.getCurrentState();
  ASSERT_EQ(race.pods.size(), 4u);
  const float expectedY[] = {500.f, -500.f, 1500.f, -1500.f};
  for (std::uint32_t i = 0; i < 4; ++i) {
    const PodState& p = race.pods[i];
    EXPECT_EQ(p.id, i);
    EXPECT_EQ(p.team, static_cast<int>(i / 2));
    EXPECT_NEAR(p.position.x, 0.f, 1e-3f);
    EXPECT_FLOAT_EQ(p.position.y, expectedY[i]);
    EXPECT_FLOAT_EQ(p.angle, 0.f);
    EXPECT_EQ(p.nextCheckpoint, 1);
  }
  EXPECT_EQ(race.winner, -1);
  EXPECT_EQ(stateHash(physics.getPreviousState()), stateHash(race));

  Physics solo;
  solo.init(true, 1, 3, &track);
  ASSERT_EQ(solo.getCurrentState().pods.size(), 3u);
  for (const auto& p : solo.getCurrentState().pods) {
    EXPECT_EQ(p.position, Vec2(0, 0));
    EXPECT_EQ(p.team, static_cast<int>(p.id));
  }

  // Tracks built in memory escape the readers' checks: a start line without
  // a direction, or one too long for a float, still gives a finite grid.
  for (const Vec2& far : {Vec2(0, 0), Vec2(1e30f, 0)}) {
    Track degenerate = track;
    degenerate.checkpoints[0].position = -far;
    degenerate.checkpoints[1].position = far;
    Physics p;
    p.init(false, 2, 2, &degenerate);
    for (const PodState& pod : p.getCurrentState().pods)
      EXPECT_TRUE(std::isfinite(pod.position.y) && std::isfinite(pod.angle));
  }
}

TEST(Physics, TurningAndThrustScaleWithTheStep) {
  PodState a;
  Physics::applyInfluence(a, {40.f, 0.f, false}, 1.f);
  EXPECT_FLOAT_EQ(a.angle, 18.f);
  PodState b;
  Physics::applyInfluence(b, {40.f, 0.f, false}, 0.25f);
  EXPECT_FLOAT_EQ(b.angle, 4.5f);
  PodState c;
  Physics::applyInfluence(c, {-40.f, 0.f, false}, 1.f);
  EXPECT_FLOAT_EQ(c.angle, 342.f);

  // Thrust is clamped per step, not scaled: four quarter steps of 200 equal one whole step.
  PodState quarter;
  for (int i = 0; i < 4; ++i)
    Physics::applyInfluence(quarter, {0.f, 200.f, false}, 0.25f);
  PodState whole;
  Physics::applyInfluence(whole, {0.f, 200.f, false}, 1.f);
  EXPECT_FLOAT_EQ(quarter.velocity.x, 200.f);
  EXPECT_FLOAT_EQ(whole.velocity.x, 200.f);
  EXPECT_FLOAT_EQ(whole.engine, 200.f);

  PodState half;
  Physics::applyInfluence(half, {0.f, 100.f, false}, 0.25f);
  EXPECT_FLOAT_EQ(half.velocity.x, 50.f);
  EXPECT_FLOAT_EQ(half.engine, 100.f); // the request, unclamped
}

TEST(Physics, ShieldStopsTheEngineForThreeSeconds) {
  const Track track = lineTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  std::vector<PhysicsEvent> events;
  std::vector<Influence> inf = same(4, {10.f, 200.f, false});
  inf[0].shield = true;
  physics.step(inf, 0.25f, events);
  const PodState& p0 = physics.getCurrentState().pods[0];
  EXPECT_FLOAT_EQ(p0.engine, 0.f);
  EXPECT_FLOAT_EQ(p0.velocity.x, 0.f);
  EXPECT_FLOAT_EQ(p0.angle, 2.5f); // turning still works
  EXPECT_FLOAT_EQ(p0.shieldCooldown, 2.75f);

  inf[0].shield = false;
  for (int i = 1; i < 11; ++i) {
    physics.step(inf, 0.25f, events);
    EXPECT_GT(physics.getCurrentState().pods[0].shieldCooldown, 0.f) << "after step " << i;
    EXPECT_FLOAT_EQ(physics.getCurrentState().pods[0].engine, 0.f);
  }
  physics.step(inf, 0.25f, events);
  EXPECT_EQ(physics.getCurrentState().pods[0].shieldCooldown, 0.f);
  physics.step(inf, 0.25f, events);
  EXPECT_FLOAT_EQ(physics.getCurrentState().pods[0].engine, 200.f);

  // Three whole steps in the planners' timing.
  Race race = physics.getCurrentState();
  Physics::applyInfluence(race.pods[3], {0.f, 0.f, true}, 1.f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(race.pods[3].shieldCooldown, 0.f);
    Physics::referenceStep(race, track);
  }
  EXPECT_EQ(race.pods[3].shieldCooldown, 0.f);

  // A step that does not divide the duration ends the shield at 0, not below.
  physics.init(false, 2, 2, &track);
  inf[0].shield = true;
  physics.step(inf, 0.3f, events);
  inf[0].shield = false;
  for (int i = 0; i < 11; ++i) {
    physics.step(inf, 0.3f, events);
    EXPECT_GE(physics.getCurrentState().pods[0].shieldCooldown, 0.f) << "after step " << i;
  }
  EXPECT_EQ(physics.getCurrentState().pods[0].shieldCooldown, 0.f);
}

TEST(Physics, FrictionDependsOnTheStepLength) {
  const Track track = lineTrack();
  Race race;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    race.pods[i].id = i;
    race.pods[i].team = static_cast<int>(i / 2);
    race.pods[i].position = {static_cast<float>(i) * 3000.f, -20000.f};
    race.pods[i].velocity = {100.f, 0.f};
  }
  Physics::referenceStep(race, track);
  EXPECT_FLOAT_EQ(race.pods[0].velocity.x, 85.f);

  Physics physics;
  physics.init(false, 2, 2, &track);
  std::vector<PhysicsEvent> events;
  physics.step(same(4, {0.f, 200.f, false}), 0.25f, events);
  EXPECT_FLOAT_EQ(physics.getCurrentState().pods[0].velocity.x, 50.f * 0.96025f);
  EXPECT_NEAR(physics.getCurrentState().pods[0].position.x, 12.5f, 1e-3f);
  EXPECT_NEAR(physics.getPreviousState().pods[0].position.x, 0.f, 1e-3f);
}

TEST(Physics, TimedOutPodDriftsButObeysNoCommand) {
  PodState p;
  p.timeout = 100.f;
  p.velocity = {300.f, 0.f};
  Physics::applyInfluence(p, {18.f, 200.f, true}, 1.f);
  EXPECT_EQ(p.angle, 0.f);
  EXPECT_EQ(p.velocity, Vec2(300.f, 0.f));
  EXPECT_EQ(p.shieldCooldown, 0.f);

  const Track track = lineTrack();
  bool finished = true;
  Physics::soloStep(p, track, &finished);
  EXPECT_FALSE(finished);
  EXPECT_EQ(p.position, Vec2(300.f, 0.f));
  EXPECT_FLOAT_EQ(p.velocity.x, 255.f);
}

TEST(Physics, TeamTimeoutDecidesTheRace) {
  const Track track = lineTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  std::vector<PhysicsEvent> events;
  // Nobody moves: after 100 s every pod has timed out; the last pod in order decides.
  for (int i = 0; i < 400 && physics.getCurrentState().winner == -1; ++i)
    physics.step(same(4, {}), 0.25f, events);
  const Race& race = physics.getCurrentState();
  EXPECT_EQ(race.winner, 0); // pod 3 of team 1 timed out last in pod order
  EXPECT_TRUE(race.byTimeout);
  EXPECT_TRUE(physics.isPodTimedOut(0));
}

TEST(Physics, SeededRacesAreDeterministicAndRankable) {
  const Track track = lineTrack();
  auto play = [&](std::vector<std::uint64_t>& hashes) {
    Physics physics;
    physics.init(false, 2, 2, &track);
    qutils::Random rng(99);
    std::vector<PhysicsEvent> events;
    std::vector<Influence> inf(4);
    for (int turn = 0; turn < 600; ++turn) {
      for (auto& i : inf)
        i = {rng.uniform(-18.f, 18.f), rng.uniform(0.f, 200.f), rng.next15() < 300};
      events.clear();
      physics.step(inf, 0.25f, events);
      for (std::size_t k = 1; k < events.size(); ++k)
        EXPECT_LE(events[k - 1].time, events[k].time);
      hashes.push_back(stateHash(physics.getCurrentState()));
    }
    std::vector<int> ranks;
    for (int id = 0; id < 4; ++id)
      ranks.push_back(physics.podRank(id));
    std::sort(ranks.begin(), ranks.end());
    EXPECT_EQ(ranks, (std::vector<int>{1, 2, 3, 4}));
  };
  std::vector<std::uint64_t> first;
  std::vector<std::uint64_t> second;
  play(first);
  play(second);
  EXPECT_EQ(first, second);
}
