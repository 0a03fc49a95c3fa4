// Drawing between turns: interpolated pods and the effect records.
#include "simulation/effectrecords.h"
#include "simulation/interpolation.h"

#include <gtest/gtest.h>

namespace pod {
namespace {

Race twoTeams() {
  Race race;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    race.pods[i].id = i;
    race.pods[i].team = static_cast<std::int32_t>(i / 2);
  }
  race.nbPodsPerTeam = 2;
  return race;
}

PhysicsEvent pass(int pod, int checkpoint, float time) {
  PhysicsEvent e;
  e.type = PhysicsEvent::CheckpointPassed;
  e.firstId = pod;
  e.secondId = checkpoint;
  e.time = time;
  return e;
}

PhysicsEvent hit(int first, int second, float time, Vec2 normal) {
  PhysicsEvent e;
  e.type = PhysicsEvent::PodCollision;
  e.firstId = first;
  e.secondId = second;
  e.time = time;
  e.position = {4687.5f, -2343.75f};
  e.normal = normal;
  e.strength = 0.5f;
  return e;
}

// At every game speed, drawn at 60 frames per second, a contact's sparks
// leave, its impact waves start and a checkpoint's flash starts on the first
// frame at which the interpolated pods have reached the event, not before.
TEST(EffectRecords, EffectsStartWhenTheInterpolatedPodsReachTheEventAtEverySpeed) {
  const float frame = 1.f / 60.f;
  for (const float turnDuration : {0.2f, 1.f / 13.f, 1.f / 19.f, 0.04f, 0.03125f, 0.02f}) {
    for (const float eventTime : {0.1f, 0.5f, 0.95f}) {
      SCOPED_TRACE(::testing::Message() << "turn " << turnDuration << " s, event " << eventTime);
      EffectRecords records;
      float now = 10.f;
      float interpolation = 0.05f;
      records.addEvents({pass(2, 3, eventTime), hit(0, 3, eventTime, {0.f, 1.f})}, twoTeams(),
                        turnDuration, interpolation, now);
      std::vector<SparkBurst> due;
      for (int f = 0; f < 200 && due.empty(); ++f) {
        now += frame;
        interpolation += frame / turnDuration;
        records.age(frame, frame / turnDuration, now, due);
        const bool reached = interpolation >= eventTime - 1e-4f;
        EXPECT_EQ(reached, !due.empty());
        EXPECT_EQ(reached, records.newestFlash(3, -1, now) != nullptr);
        for (const ShieldImpact& i : records.impacts())
          EXPECT_EQ(reached, i.age >= -1e-6f);
      }
      EXPECT_EQ(due.size(), 1u);
    }
  }
}

TEST(EffectRecords, EventsBecomeRecordsOfTheirKind) {
  EffectRecords records;
  records.addEvents({pass(2, 3, 0.6f), hit(0, 3, 0.2f, {0.f, 1.f})}, twoTeams(), 0.25f, 0.4f,
                    10.f);
  ASSERT_EQ(records.flashes().size(), 1u);
  EXPECT_EQ(records.flashes()[0].checkpoint, 3);
  EXPECT_EQ(records.flashes()[0].team, 1);
  ASSERT_EQ(records.sparks().size(), 1u);
  EXPECT_FLOAT_EQ(records.sparks()[0].position.x, 2000.f); // in drawing units
  // The sparks fly across the line of the centres.
  EXPECT_NEAR(records.sparks()[0].direction.x, -1.f, 1e-5f);
  EXPECT_EQ(records.impacts().size(), 2u);
}

TEST(EffectRecords, ShieldImpactsFaceEachOtherOnBothPods) {
  struct Case {
    Vec2 normal;
    float first;
    float second;
  };
  for (const Case& c : {Case{{1.f, 0.f}, 0.f, 180.f}, Case{{1.f, -1.f}, 315.f, 135.f},
                        Case{{-1.f, 0.f}, 180.f, 360.f}, Case{{-1.f, -1.f}, 225.f, 45.f}}) {
    EffectRecords records;
    records.addEvents({hit(1, 2, 0.f, c.normal)}, twoTeams(), 0.25f, 0.f, 0.f);
    ASSERT_EQ(records.impacts().size(), 2u);
    const ShieldImpact& a = records.impacts()[0];
    const ShieldImpact& b = records.impacts()[1];
    EXPECT_EQ(a.pod, 1);
    EXPECT_EQ(b.pod, 2);
    EXPECT_NEAR(a.angle, c.first, 1e-3f) << c.normal.x << "," << c.normal.y;
    EXPECT_NEAR(b.angle, c.second, 1e-3f) << c.normal.x << "," << c.normal.y;
  }
}

TEST(EffectRecords, FlashesExpireFromTheFrontAfterTheirLife) {
  std::vector<SparkBurst> due;
  // Only the front leaves: an expired flash behind a live one waits.
  EffectRecords mixed;
  mixed.addEvents({pass(0, 1, 0.f)}, twoTeams(), 0.25f, 0.f, 5.f);
  mixed.addEvents({pass(1, 2, 0.f)}, twoTeams(), 0.25f, 0.f, 0.f);
  mixed.age(0.f, 0.f, 4.f, due);
  ASSERT_EQ(mixed.flashes().size(), 2u);
  mixed.age(0.f, 0.f, 7.6f, due);
  EXPECT_TRUE(mixed.flashes().empty());
}

TEST(EffectRecords, ShieldImpactsAgeByTheFrameFraction) {
  EffectRecords records;
  records.addEvents({hit(0, 3, 0.f, {0.f, 1.f})}, twoTeams(), 0.25f, 0.f, 0.f);
  std::vector<SparkBurst> due;
  // A frame that is a quarter of a turn ages an impact by 0.025: 40 frames
  // reach the end of its life, the 41st drops it.
  for (int frame = 0; frame < 39; ++frame)
    records.age(0.f, 0.25f, 0.f, due);
  ASSERT_EQ(records.impacts().size(), 2u);
  records.age(0.f, 0.25f, 0.f, due);
  records.age(0.f, 0.25f, 0.f, due);
  EXPECT_TRUE(records.impacts().empty());
}

TEST(EffectRecords, NewestStartedFlashPerCheckpointAndTeam) {
  EffectRecords records;
  const Race race = twoTeams();
  records.addEvents({pass(0, 4, 0.f)}, race, 0.25f, 0.f, 1.f);
  records.addEvents({pass(3, 4, 0.f)}, race, 0.25f, 0.f, 2.f);
  records.addEvents({pass(1, 4, 0.f)}, race, 0.25f, 0.f, 3.f);
  records.addEvents({pass(2, 5, 0.f)}, race, 0.25f, 0.f, 3.f);

  auto startOf = [&records](int checkpoint, int team, float now) {
    const CheckpointFlash* f = records.newestFlash(checkpoint, team, now);
    return f ? f->start : -1.f;
  };
  // Both teams flash on checkpoint 4 at once, each with its own record.
  EXPECT_FLOAT_EQ(startOf(4, 0, 3.5f), 3.f);
  EXPECT_FLOAT_EQ(startOf(4, 1, 3.5f), 2.f);
  // A flash that has not started yet is not shown.
  EXPECT_FLOAT_EQ(startOf(4, 0, 2.5f), 1.f);
  EXPECT_FLOAT_EQ(startOf(4, -1, 0.5f), -1.f);
  EXPECT_FLOAT_EQ(startOf(6, -1, 10.f), -1.f);
  EXPECT_FLOAT_EQ(startOf(4, -1, 10.f), 3.f);
}

TEST(Interpolation, AngleTakesTheShortWayAndStopsAtTheEnd) {
  struct Case {
    float from, to, t, expected;
  };
  const Case cases[] = {
      {350.f, 10.f, 0.25f, 355.f}, {350.f, 10.f, 0.75f, 5.f}, // through 0, not 340 round
      {10.f, 350.f, 0.25f, 5.f},   {10.f, 350.f, 0.75f, 355.f},
      {350.f, 10.f, 0.5f, 0.f}, // 0 itself, never 360
      {170.f, 100.f, 0.5f, 135.f}, {100.f, 170.f, 3.f, 170.f}, // past the end: waits
  };
  for (const Case& c : cases) {
    const float a = interpolateAngle(c.from, c.to, c.t);
    EXPECT_NEAR(a, c.expected, 1e-4f) << c.from << " -> " << c.to << " at " << c.t;
    EXPECT_LT(a, 360.f);
  }
}

TEST(Interpolation, PodIsDrawnBetweenStatesInDrawingUnits) {
  PodState a;
  a.shieldCooldown = 3.f;
  PodState b = a;
  b.position = {2343.75f, -4687.5f};
  b.angle = 80.f;
  b.engine = 200.f;
  b.shieldCooldown = 2.f;
  const DrawnPod half = interpolatePod(a, b, 0.5f);
  EXPECT_FLOAT_EQ(half.position.x, 500.f);
  EXPECT_FLOAT_EQ(half.position.y, -1000.f);
  EXPECT_FLOAT_EQ(half.angle, 40.f);
  EXPECT_FLOAT_EQ(half.engine, 100.f);
  EXPECT_FLOAT_EQ(half.shieldCooldown, 2.5f);
  EXPECT_FLOAT_EQ(interpolatePod(a, b, 1.5f).position.x, 1000.f);
}

} // namespace
} // namespace pod
