#include "race/collisions.h"

#include <qutils/assert.h>

#include <gtest/gtest.h>

using namespace pod;
using qutils::Vec2;

namespace {

// Checkpoints far from where the pods play, unless a test places one.
Track farTrack() {
  Track t;
  t.name = "far";
  t.checkpoints = {{10, {-50000, 0}}, {11, {50000, 0}}, {12, {0, 50000}}};
  return t;
}

PodState makePod(std::uint32_t id, int team, Vec2 position, Vec2 velocity) {
  PodState p;
  p.id = id;
  p.team = team;
  p.position = position;
  p.velocity = velocity;
  return p;
}

// Two pods of the race parked out of everyone's way.
Race headOnRace(Vec2 pa, Vec2 va, Vec2 pb, Vec2 vb) {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods = {makePod(0, 0, pa, va), makePod(1, 0, {0, -20000}, {}),
               makePod(2, 1, pb, vb), makePod(3, 1, {0, 20000}, {})};
  return race;
}

} // namespace

TEST(Collisions, EqualMassesBounceWithTheImpulseAppliedTwice) {
  const Track track = farTrack();
  Race race = headOnRace({-500, 0}, {200, 0}, {500, 0}, {-200, 0});
  std::vector<PhysicsEvent> events;
  moveWithCollisions(race, track, 1.f, &events);

  ASSERT_EQ(events.size(), 1u);
  const PhysicsEvent& e = events[0];
  EXPECT_EQ(e.type, PhysicsEvent::PodCollision);
  EXPECT_EQ(e.firstId, 0);
  EXPECT_EQ(e.secondId, 2);
  EXPECT_FLOAT_EQ(e.time, 0.5f);
  EXPECT_NEAR(e.position.x, 0.f, 1e-3f);
  EXPECT_NEAR(e.normal.x, 800.f, 0.5f);
  // a = 1 (opposite velocities), b = 400 / 800: strength = 1.5 / 2.
  EXPECT_FLOAT_EQ(e.strength, 0.75f);

  // The impulse (200) is applied, then applied again.
  EXPECT_NEAR(race.pods[0].velocity.x, -200.f, 1e-3f);
  EXPECT_NEAR(race.pods[2].velocity.x, 200.f, 1e-3f);
  EXPECT_NEAR(race.pods[0].position.x, -500.f, 0.2f);
  EXPECT_NEAR(race.pods[2].position.x, 500.f, 0.2f);
  EXPECT_FLOAT_EQ(race.pods[0].timeout, 1.f);
}

// A contact that falls exactly on the end of the step belongs to it.
TEST(Collisions, ContactAtTheEndOfTheStepBounces) {
  const Track track = farTrack();
  for (const float dt : {1.f, 0.25f}) {
    const float speed = 100.f / dt; // closes the 200 gap in exactly dt
    Race race = headOnRace({-500, 0}, {speed, 0}, {500, 0}, {-speed, 0});
    std::vector<PhysicsEvent> events;
    moveWithCollisions(race, track, dt, &events);
    ASSERT_EQ(events.size(), 1u) << dt;
    EXPECT_EQ(events[0].time, dt);
    EXPECT_LT(race.pods[0].velocity.x, 0.f) << dt;
    EXPECT_GT(race.pods[2].velocity.x, 0.f) << dt;
  }
}

// Past the contact search's horizon the step still ends, moved, with no contact.
TEST(Collisions, AStepLongerThanTheContactSearchJustMoves) {
  const Track track = farTrack();
  Race race = headOnRace({-5000, 0}, {100, 0}, {5000, 0}, {-100, 0});
  std::vector<PhysicsEvent> events;
  moveWithCollisions(race, track, 5.f, &events);
  EXPECT_TRUE(events.empty());
  EXPECT_FLOAT_EQ(race.pods[0].position.x, -4500.f);
  EXPECT_FLOAT_EQ(race.pods[2].position.x, 4500.f);
}

TEST(Collisions, GentleContactGetsTheMinimumImpulse) {
  const Track track = farTrack();
  Race race = headOnRace({-410, 0}, {20, 0}, {410, 0}, {-20, 0});
  moveWithCollisions(race, track, 1.f, nullptr);
  // Elastic part cancels the 20s, then 120 is given to each.
  EXPECT_NEAR(race.pods[0].velocity.x, -120.f, 1e-3f);
  EXPECT_NEAR(race.pods[2].velocity.x, 120.f, 1e-3f);
  EXPECT_NEAR(race.pods[0].position.x, -460.f, 0.2f);
}

TEST(Collisions, ShieldedPodIsTenTimesHeavier) {
  const Track track = farTrack();
  Race race = headOnRace({-500, 0}, {200, 0}, {500, 0}, {-200, 0});
  race.pods[0].shieldCooldown = 3.f;
  moveWithCollisions(race, track, 1.f, nullptr);
  // f = 400 * 10 / 11 per application; the light pod takes it all, the heavy one a tenth.
  const float f = 400.f * 10.f / 11.f;
  EXPECT_NEAR(race.pods[0].velocity.x, 200.f - 2.f * f / 10.f, 1e-2f);
  EXPECT_NEAR(race.pods[2].velocity.x, -200.f + 2.f * f, 1e-2f);
}

TEST(Collisions, EventsComeInTimeOrderAndResetTheTeamTimeout) {
  Track track;
  track.checkpoints = {{10, {-5000, 0}}, {11, {5000, 0}}, {12, {0, 4000}}};
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods = {makePod(0, 0, {4000, 0}, {1000, 0}), makePod(1, 0, {0, -6000}, {}),
               makePod(2, 1, {-3000, -3000}, {}), makePod(3, 1, {-3000, -1800}, {0, -800})};
  for (auto& p : race.pods)
    p.timeout = 50.f;

  std::vector<PhysicsEvent> events;
  moveWithCollisions(race, track, 1.f, &events);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, PhysicsEvent::CheckpointPassed);
  EXPECT_EQ(events[0].firstId, 0);
  EXPECT_EQ(events[0].secondId, 1);
  EXPECT_NEAR(events[0].time, 0.4f, 1e-5f);
  EXPECT_EQ(events[1].type, PhysicsEvent::PodCollision);
  EXPECT_EQ(events[1].firstId, 2);
  EXPECT_EQ(events[1].secondId, 3);
  EXPECT_NEAR(events[1].time, 0.5f, 1e-5f);

  EXPECT_EQ(race.pods[0].nextCheckpoint, 2);
  EXPECT_EQ(race.pods[0].checkpointsCleared, 1);
  // Both pods of the passing team restart their clock; the others do not.
  EXPECT_NEAR(race.pods[0].timeout, 0.6f, 1e-5f);
  EXPECT_NEAR(race.pods[1].timeout, 0.6f, 1e-5f);
  EXPECT_NEAR(race.pods[2].timeout, 51.f, 1e-4f);
}

TEST(Collisions, LastCheckpointWrapsToZeroAndSoloPassesOnlyItsOwnClock) {
  Track track;
  track.checkpoints = {{10, {0, 0}}, {11, {6000, 0}}, {12, {12000, 0}}};
  PodState pod = makePod(0, 0, {10000, 0}, {2000, 0});
  pod.nextCheckpoint = 2;
  pod.timeout = 30.f;
  std::vector<PhysicsEvent> events;
  moveSolo(pod, track, 1.f, &events);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].secondId, 2);
  EXPECT_NEAR(events[0].time, 0.7f, 1e-5f);
  EXPECT_EQ(pod.nextCheckpoint, 0);
  EXPECT_NEAR(pod.timeout, 0.3f, 1e-5f);

  // A timed-out pod drifts through checkpoints without passing them.
  PodState ghost = makePod(1, 1, {10000, 0}, {2000, 0});
  ghost.nextCheckpoint = 2;
  ghost.timeout = 100.f;
  events.clear();
  moveSolo(ghost, track, 1.f, &events);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(ghost.position, Vec2(12000, 0));
}

TEST(Collisions, DepenetrationSeparatesEvenCoincidentPods) {
  std::vector<PodState> pods = {makePod(0, 0, {0, 0}, {}), makePod(1, 0, {0, 0}, {})};
  depenetrate(pods);
  EXPECT_EQ(pods[0].position, Vec2(400, 0));
  EXPECT_EQ(pods[1].position, Vec2(-400, 0));

  // A heap of pods ends with every pair at least 800 apart.
  std::vector<PodState> heap = {makePod(0, 0, {0, 0}, {}), makePod(1, 0, {10, 5}, {}),
                                makePod(2, 1, {-20, 30}, {}), makePod(3, 1, {5, -40}, {})};
  ::testing::internal::CaptureStderr();
  depenetrate(heap);
  ::testing::internal::GetCapturedStderr();
  for (std::size_t i = 0; i < heap.size(); ++i)
    for (std::size_t j = i + 1; j < heap.size(); ++j)
      EXPECT_GE(qutils::squaredDistance(heap[i].position, heap[j].position), 640000.f);
}
