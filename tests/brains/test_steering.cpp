#include "brains/steering.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

using pod::Checkpoint;
using pod::Influence;
using pod::PodState;
using pod::Track;
using qutils::Vec2;

namespace {

const Track kTrack = genetictest::rectangle(); // 20000 x 12000, counter-clockwise

PodState podAt(Vec2 position, float angle = 0.f, Vec2 velocity = {}, int next = 1,
            int cleared = 0) {
  return genetictest::makePod(0, 0, position, angle, velocity, next, cleared);
}

// Pods parked far from everything, for rule arguments that must not matter.
PodState farAway(float x) { return podAt({x, -60000.f}); }

Vec2 polar(const Vec2& origin, float degrees, float length) {
  return origin + Vec2::fromAngle(degrees) * length;
}

constexpr float kAngleTol = 1e-3f;

TEST(SteeringGeometry, AngleToAndSeek) {
  const PodState p = podAt({0.f, 0.f});
  EXPECT_EQ(-180.f, pod::angleTo(p, {-1000.f, 0.f})); // an exact half turn
  EXPECT_EQ(0.f, pod::angleTo(p, p.position));
  // So close that the squared distance is subnormal: the cosine comes out a
  // hair past +-1 and is clamped before acos.
  EXPECT_EQ(0.f, pod::angleTo(p, {0x1.6a130ep-75f, 0.f}));
  EXPECT_EQ(-180.f, pod::angleTo(p, {-0x1.6a130ep-75f, 0.f}));
  EXPECT_NEAR(20.f, pod::angleTo(podAt({}, 350.f), polar({}, 10.f, 1000.f)), kAngleTol);
  EXPECT_NEAR(-90.f, pod::angleTo(podAt({5000.f, -3000.f}, 45.f), {6000.f, -4000.f}), kAngleTol);
  // Seek thrusts the offset's length, up to 200, only within the turn limit,
  // and leaves the rotation unclamped.
  EXPECT_FLOAT_EQ(150.f, pod::seek({150.f, 0.f}, p).thrust);
  const pod::SeekResult past = pod::seek(polar({}, -20.f, 1000.f), p);
  EXPECT_NEAR(-20.f, past.rotation, kAngleTol);
  EXPECT_EQ(0.f, past.thrust);
}

TEST(SteeringGeometry, ContactPredictions) {
  // Gap between the hulls 1200, closing at 800 per step: contact at t = 1.5, inclusive.
  const PodState a = podAt({0.f, 0.f}, 0.f, {400.f, 0.f});
  const PodState b = podAt({2000.f, 0.f}, 180.f, {-400.f, 0.f});
  EXPECT_TRUE(pod::willCollide(a, b, 1.5f));
  EXPECT_FALSE(pod::willCollide(a, b, 1.49f));
  EXPECT_FALSE(pod::willCollide(a, podAt({2000.f, 801.f}, 0.f, {-400.f, 0.f}), 10.f)); // miss
  EXPECT_TRUE(pod::willCollide(a, podAt({2000.f, 799.f}, 0.f, {-400.f, 0.f}), 10.f));
  EXPECT_FALSE(pod::willCollide(a, podAt({1000.f, 0.f}, 0.f, {400.f, 0.f}), 10.f)); // together
  EXPECT_TRUE(pod::willCollide(a, podAt({700.f, 0.f}, 0.f, {400.f, 0.f}), 0.f)); // overlapping

  // 2600 - 600 = 2000 to cover at 500 per step: checkpoint reached at t = 4.
  const Checkpoint cp{11, {2600.f, 0.f}};
  const PodState p = podAt({0.f, 0.f}, 0.f, {500.f, 0.f});
  EXPECT_TRUE(pod::willReachCheckpoint(p, cp, 4.f));
  EXPECT_FALSE(pod::willReachCheckpoint(p, cp, 3.9f));
  EXPECT_TRUE(pod::willReachCheckpoint(podAt({0.f, 599.f}, 0.f, {500.f, 0.f}), cp, 10.f));
  EXPECT_FALSE(pod::willReachCheckpoint(podAt({0.f, 601.f}, 0.f, {500.f, 0.f}), cp, 10.f));
  EXPECT_FALSE(pod::willReachCheckpoint(podAt({0.f, 0.f}, 0.f, {-500.f, 0.f}), cp, 10.f));
}

TEST(SteeringGeometry, CoastAddsVelocityThenRoundsFrictionHalfAwayFromZero) {
  // 10 * 0.85 = 8.5 rounds to 9 and -8.5 to -9 (not 8 by truncation or to even).
  const Vec2 after2 = pod::predictCoastPosition(podAt({1000.f, 2000.f}, 0.f, {10.f, -10.f}), 2);
  EXPECT_EQ(1019.f, after2.x);
  EXPECT_EQ(1981.f, after2.y);
  // Velocities 100, 85, 72 (72.25 rounded); positions themselves are not rounded.
  const PodState p = podAt({0.25f, 0.5f}, 0.f, {100.f, 0.f});
  EXPECT_EQ(p.position, pod::predictCoastPosition(p, 0));
  EXPECT_EQ(100.25f, pod::predictCoastPosition(p, 1).x);
  EXPECT_EQ(257.25f, pod::predictCoastPosition(p, 3).x);
}

TEST(IsAhead, CountThenDistanceToFirstPodsCheckpointTiesFalse) {
  // More checkpoints wins regardless of distance.
  EXPECT_TRUE(pod::isAhead(kTrack, podAt({1000.f, 0.f}, 0.f, {}, 1, 5),
                           podAt({19000.f, 0.f}, 0.f, {}, 1, 4)));
  EXPECT_FALSE(pod::isAhead(kTrack, podAt({19000.f, 0.f}, 0.f, {}, 1, 4),
                            podAt({1000.f, 0.f}, 0.f, {}, 1, 5)));
  EXPECT_TRUE(pod::isAhead(kTrack, podAt({15000.f, 0.f}), podAt({12000.f, 0.f})));
  // Only a's next checkpoint counts, so each can be "ahead" of the other.
  const PodState towardOne = podAt({18000.f, 0.f}, 0.f, {}, 1);
  const PodState towardTwo = podAt({20000.f, 11000.f}, 0.f, {}, 2);
  EXPECT_TRUE(pod::isAhead(kTrack, towardOne, towardTwo));
  EXPECT_TRUE(pod::isAhead(kTrack, towardTwo, towardOne));
  // Mirror images about the line to checkpoint 1 tie: false both ways.
  const PodState above = podAt({17000.f, 1000.f});
  const PodState below = podAt({17000.f, -1000.f});
  EXPECT_FALSE(pod::isAhead(kTrack, above, below));
  EXPECT_FALSE(pod::isAhead(kTrack, below, above));
  EXPECT_FALSE(pod::isAhead(kTrack, above, above));
}

// ---------------------------------------------------------------- runner rule

TEST(RunnerSteering, AloneOnTheTrack) {
  const struct {
    const char* what;
    PodState pod;
    float rotation, thrust;
  } cases[] = {
      {"on the line", podAt({5000.f, 0.f}), 0.f, 200.f},
      {"on the line within 4000", podAt({17000.f, 0.f}), 0.f, 200.f},
      // 200 * exp(-400 / 1600) with the unclamped 20 degrees; rotation clamped after.
      {"20 degrees off near the checkpoint", podAt({17000.f, 0.f}, 340.f), 18.f, 155.760f},
      {"facing 150 degrees away coasts", podAt({5000.f, 0.f}, 150.f), -18.f, 0.f},
      {"100 degrees away still thrusts", podAt({5000.f, 0.f}, 100.f), -18.f, 200.f},
      // Aims at (20000, -2000) to compensate four steps of sideways velocity.
      {"sliding sideways", podAt({5000.f, 0.f}, 0.f, {0.f, 500.f}), -7.5946f, 200.f},
      // Reaches checkpoint 1 in 3 steps by drifting: turns toward checkpoint 2 at
      // 75.96 degrees without thrust (a thrust step would still end 2000 short).
      {"drift-through early turn", podAt({17000.f, 0.f}, 0.f, {800.f, 0.f}), 18.f, 0.f},
      {"drift-through aligned", podAt({17000.f, 0.f}, 80.f, {800.f, 0.f}), -4.0362f, 0.f},
      {"drift-through wraps to checkpoint 0",
       podAt({3000.f, 12000.f}, 250.f, {-800.f, 0.f}, 3), 5.9638f, 0.f},
      // Drifting alone misses by 100; one thrust step at 18 degrees carries it through.
      {"drift-through one-step thrust", podAt({18000.f, 0.f}, 0.f, {1300.f, 0.f}), 18.f, 200.f},
  };
  for (const auto& c : cases) {
    const Influence solo = pod::soloRunnerRule(kTrack, c.pod);
    const Influence race =
        pod::runnerRule(kTrack, c.pod, farAway(-40000.f), farAway(0.f), farAway(40000.f));
    EXPECT_NEAR(c.rotation, race.rotation, kAngleTol) << c.what;
    EXPECT_NEAR(c.thrust, race.thrust, 0.01f) << c.what;
    EXPECT_FALSE(race.shield) << c.what;
    EXPECT_EQ(solo.rotation, race.rotation) << c.what;
    EXPECT_EQ(solo.thrust, race.thrust) << c.what;
  }
}

enum class Other { OppHunter, OppRunner, Partner };

Influence runnerAgainst(Other role, const PodState& me, const PodState& other) {
  const PodState partner = role == Other::Partner ? other : farAway(-40000.f);
  const PodState oppRunner = role == Other::OppRunner ? other : farAway(0.f);
  const PodState oppHunter = role == Other::OppHunter ? other : farAway(40000.f);
  return pod::runnerRule(kTrack, me, partner, oppRunner, oppHunter);
}

TEST(RunnerShield, RaisedOnlyWhenFasterByMoreThan100AndContactWithin1_5) {
  const PodState me = podAt({5000.f, 0.f}, 0.f, {600.f, 0.f});
  const PodState parked = podAt({5000.f, 0.f});
  const struct {
    const char* what;
    PodState me, other;
    bool shield;
  } cases[] = {{"parked 1500 ahead", me, podAt({6500.f, 0.f}), true},
               {"head-on, 150 slower", me, podAt({6500.f, 0.f}, 180.f, {-450.f, 0.f}), true},
               {"head-on, equal speeds", me, podAt({6500.f, 0.f}, 180.f, {-600.f, 0.f}), false},
               {"exactly 100 faster", me, podAt({6500.f, 0.f}, 180.f, {-500.f, 0.f}), false},
               {"contact at 2 steps", me, podAt({7000.f, 0.f}), false},
               {"the other is faster", parked, podAt({6500.f, 0.f}, 180.f, {-600.f, 0.f}), false}};
  for (Other role : {Other::OppHunter, Other::OppRunner, Other::Partner})
    for (const auto& c : cases)
      EXPECT_EQ(c.shield, runnerAgainst(role, c.me, c.other).shield) << c.what;

  // With the shield up, the drift-through rule skips its thrust test.
  const Influence in = runnerAgainst(Other::Partner, podAt({18000.f, 0.f}, 0.f, {1300.f, 0.f}),
                                     podAt({19000.f, 500.f}));
  EXPECT_TRUE(in.shield);
  EXPECT_EQ(0.f, in.thrust);
  EXPECT_FLOAT_EQ(18.f, in.rotation);
}

TEST(RunnerAvoidance, ShiftsAwayFromTheOpponentHunterInFrontThenClamps) {
  const PodState me = podAt({5000.f, 0.f}); // checkpoint 1 dead ahead
  const PodState up = podAt({5000.f, 0.f}, 90.f);    // checkpoint 90 degrees right: -18
  const PodState down = podAt({5000.f, 0.f}, 270.f); // checkpoint 90 degrees left: +18
  const struct {
    const char* what;
    Other role;
    PodState me, other;
    float rotation;
  } cases[] = {
      {"dead ahead counts as left", Other::OppHunter, me, podAt({7000.f, 0.f}), -18.f},
      {"on the left", Other::OppHunter, me, podAt(polar(me.position, 20.f, 2000.f)), -18.f},
      {"on the right", Other::OppHunter, me, podAt(polar(me.position, -20.f, 2000.f)), 18.f},
      {"just inside 3000", Other::OppHunter, me, podAt({7999.f, 0.f}), -18.f},
      {"at 3000", Other::OppHunter, me, podAt({8000.f, 0.f}), 0.f},
      {"40 degrees off", Other::OppHunter, me, podAt(polar(me.position, 40.f, 2000.f)), 0.f},
      {"an opponent runner", Other::OppRunner, me, podAt({7000.f, 0.f}), 0.f},
      {"the partner", Other::Partner, me, podAt({7000.f, 0.f}), 0.f},
      // The shift applies to the clamped rotation (-18 + 18, not -90 + 18).
      {"shift cancels", Other::OppHunter, up, podAt(polar(up.position, 80.f, 2000.f)), 0.f},
      {"shift clamped", Other::OppHunter, down, podAt(polar(down.position, 260.f, 2000.f)), 18.f},
      {"shift cancels left", Other::OppHunter, down, podAt(polar(down.position, 280.f, 2000.f)),
       0.f},
  };
  for (const auto& c : cases) {
    const Influence in = runnerAgainst(c.role, c.me, c.other);
    EXPECT_NEAR(c.rotation, in.rotation, kAngleTol) << c.what;
    EXPECT_EQ(200.f, in.thrust) << c.what;
  }
}

// ---------------------------------------------------------------- hunter rule

Influence hunt(const PodState& me, const PodState& target) {
  return pod::hunterRule(kTrack, farAway(-40000.f), me, target, farAway(40000.f));
}

TEST(HunterSteering, InterceptsOrGuards) {
  const PodState near = podAt({15000.f, 0.f}, 0.f, {500.f, 0.f});  // 5000 from checkpoint 1
  const PodState far = podAt({10000.f, 0.f}, 0.f, {500.f, 0.f});   // outside the zone
  const PodState parked = podAt({15000.f, 0.f});
  const PodState idle = podAt({10000.f, 0.f});
  const struct {
    const char* what;
    PodState me, target;
    float rotation, thrust;
  } cases[] = {
      // Aims at the target three steps ahead, (16500, 0), at 233.13 degrees.
      {"intercept, turning", podAt({18000.f, 2000.f}, 180.f), near, 53.1301f, 0.f},
      {"intercept, facing", podAt({18000.f, 2000.f}, 233.1301f), near, 0.f, 200.f},
      {"intercept compensates own velocity twice",
       podAt({18000.f, 2000.f}, 180.f, {0.f, 300.f}), near, 64.3502f, -1.f},
      // Outside the zone it guards checkpoint 1 from (19000, 0).
      {"target outside the zone", podAt({18000.f, 3000.f}), far, -71.5651f, 0.f},
      // Farther than the target from its checkpoint: guards the checkpoint after,
      // 1000 toward the target at (19615.4, 11076.9).
      {"guards the checkpoint after next", podAt({10000.f, 3000.f}), parked, 40.0303f, 0.f},
      {"guarding, facing", podAt({10000.f, 3000.f}, 40.0303f), parked, 0.f, 200.f},
      {"the checkpoint after the last is 0", podAt({5000.f, 5000.f}, 180.f),
       podAt({3000.f, 12000.f}, 0.f, {}, 3), 40.2666f, 0.f},
      // Near the guard point, or coasting to within 1000 of it: face the target.
      {"waits at the guard point", podAt({19500.f, 500.f}, 90.f), idle, 93.0128f, 0.f},
      {"coasts to the guard point", podAt({19000.f, -3000.f}, 0.f, {0.f, 600.f}), idle,
       161.5651f, 0.f},
      // Final approach: D = (0, 1000 * 0.75) - (800, 0).
      {"final approach", podAt({19000.f, -1500.f}, 0.f, {800.f, 0.f}), idle, 136.8476f, -1.f},
  };
  for (const auto& c : cases) {
    const Influence in = hunt(c.me, c.target);
    EXPECT_NEAR(c.rotation, in.rotation, kAngleTol) << c.what;
    if (c.thrust >= 0.f) { // -1: not checked
      EXPECT_EQ(c.thrust, in.thrust) << c.what;
    }
    EXPECT_FALSE(in.shield) << c.what;
  }

  // Its own runner and the opponent hunter do not matter, even in the way.
  const PodState me = podAt({18000.f, 2000.f}, 180.f, {0.f, 300.f});
  const PodState inTheWay = podAt({17500.f, 1500.f}, 0.f, {-900.f, 0.f});
  const Influence crowded = pod::hunterRule(kTrack, inTheWay, me, near, inTheWay);
  EXPECT_EQ(hunt(me, near).rotation, crowded.rotation);
  EXPECT_EQ(hunt(me, near).thrust, crowded.thrust);
  EXPECT_EQ(hunt(me, near).shield, crowded.shield);
}

TEST(HunterSteering, ShieldOnContactWithTheTargetWithin1_5RegardlessOfSpeed) {
  const PodState target = podAt({15000.f, 0.f}, 0.f, {500.f, 0.f});
  EXPECT_TRUE(hunt(podAt({17000.f, 0.f}, 180.f, {-500.f, 0.f}), target).shield); // closing 1000
  EXPECT_FALSE(hunt(podAt({17000.f, 0.f}, 180.f, {-100.f, 0.f}), target).shield); // 2 steps
  // Guarding and parked: the target runs into it.
  EXPECT_TRUE(hunt(podAt({13500.f, 0.f}, 180.f), podAt({12000.f, 0.f}, 0.f, {1000.f, 0.f}))
                  .shield);
}

} // namespace
