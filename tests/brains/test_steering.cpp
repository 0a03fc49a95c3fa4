#include "brains/steering.h"

#include <gtest/gtest.h>

#include <cmath>

using pod::Checkpoint;
using pod::Influence;
using pod::PodState;
using pod::Track;
using qutils::Vec2;

namespace {

// A 20000 x 12000 rectangle, raced counter-clockwise.
Track rectangle() {
  Track track;
  track.name = "rectangle";
  const Vec2 corners[] = {{0.f, 0.f}, {20000.f, 0.f}, {20000.f, 12000.f}, {0.f, 12000.f}};
  std::uint32_t id = 10;
  for (const Vec2& c : corners)
    track.checkpoints.push_back(Checkpoint{id++, c});
  return track;
}

PodState makePod(Vec2 position, float angle = 0.f, Vec2 velocity = {}, int next = 1,
                 int cleared = 0) {
  PodState p;
  p.position = position;
  p.angle = angle;
  p.velocity = velocity;
  p.nextCheckpoint = next;
  p.checkpointsCleared = cleared;
  return p;
}

// Pods parked far from everything, for rule arguments that must not matter.
PodState farAway(float x) { return makePod({x, -60000.f}); }

Vec2 polar(const Vec2& origin, float degrees, float length) {
  return origin + Vec2::fromAngle(degrees) * length;
}

constexpr float kAngleTol = 1e-3f;

// ---------------------------------------------------------------- angleTo, seek

TEST(AngleTo, SignedTurnFromHeadingToPoint) {
  const PodState p = makePod({0.f, 0.f});
  EXPECT_EQ(0.f, pod::angleTo(p, {1000.f, 0.f}));
  EXPECT_NEAR(90.f, pod::angleTo(p, {0.f, 1000.f}), kAngleTol);
  EXPECT_NEAR(-90.f, pod::angleTo(p, {0.f, -1000.f}), kAngleTol);
  // An exact half turn is reported as -180.
  EXPECT_EQ(-180.f, pod::angleTo(p, {-1000.f, 0.f}));
}

TEST(AngleTo, TakesTheShortWayAcrossZero) {
  const PodState heading350 = makePod({0.f, 0.f}, 350.f);
  EXPECT_NEAR(20.f, pod::angleTo(heading350, polar({}, 10.f, 1000.f)), kAngleTol);
  const PodState heading10 = makePod({0.f, 0.f}, 10.f);
  EXPECT_NEAR(-20.f, pod::angleTo(heading10, polar({}, 350.f, 1000.f)), kAngleTol);
}

TEST(AngleTo, MeasuresFromThePodPosition) {
  const PodState p = makePod({5000.f, -3000.f}, 45.f);
  EXPECT_NEAR(0.f, pod::angleTo(p, {6000.f, -2000.f}), kAngleTol);
  EXPECT_NEAR(-90.f, pod::angleTo(p, {6000.f, -4000.f}), kAngleTol);
}

TEST(AngleTo, PointOnThePodGivesZero) {
  const PodState p = makePod({123.f, 456.f}, 77.f);
  EXPECT_EQ(0.f, pod::angleTo(p, p.position));
}

TEST(Seek, ThrustOnlyWhenFacingWithinTurnLimit) {
  const PodState p = makePod({1000.f, 1000.f});

  pod::SeekResult shortOffset = pod::seek({150.f, 0.f}, p);
  EXPECT_EQ(0.f, shortOffset.rotation);
  EXPECT_FLOAT_EQ(150.f, shortOffset.thrust);

  pod::SeekResult longOffset = pod::seek({5000.f, 0.f}, p);
  EXPECT_FLOAT_EQ(200.f, longOffset.thrust);

  pod::SeekResult slightlyOff = pod::seek(polar({}, 15.f, 1000.f), p);
  EXPECT_NEAR(15.f, slightlyOff.rotation, kAngleTol);
  EXPECT_FLOAT_EQ(200.f, slightlyOff.thrust);

  // Past 18 degrees the pod only turns, and the rotation is left unclamped.
  pod::SeekResult justPast = pod::seek(polar({}, -20.f, 1000.f), p);
  EXPECT_NEAR(-20.f, justPast.rotation, kAngleTol);
  EXPECT_EQ(0.f, justPast.thrust);
  pod::SeekResult tooFar = pod::seek(polar({}, 140.f, 1000.f), p);
  EXPECT_NEAR(140.f, tooFar.rotation, kAngleTol);
  EXPECT_EQ(0.f, tooFar.thrust);

  pod::SeekResult none = pod::seek({}, p);
  EXPECT_EQ(0.f, none.rotation);
  EXPECT_EQ(0.f, none.thrust);
}

// ------------------------------------------------------- contact predictions

TEST(WillCollide, HeadOnContactTimeIsInclusive) {
  // Gap between the hulls 1200, closing at 800 per step: contact at t = 1.5.
  const PodState a = makePod({0.f, 0.f}, 0.f, {400.f, 0.f});
  const PodState b = makePod({2000.f, 0.f}, 180.f, {-400.f, 0.f});
  EXPECT_TRUE(pod::willCollide(a, b, 1.5f));
  EXPECT_TRUE(pod::willCollide(b, a, 1.5f));
  EXPECT_FALSE(pod::willCollide(a, b, 1.49f));
}

TEST(WillCollide, NoContactWhenMissingSeparatingOrMovingTogether) {
  const PodState a = makePod({0.f, 0.f}, 0.f, {400.f, 0.f});
  // Lateral offset 801: the hulls pass each other.
  EXPECT_FALSE(pod::willCollide(a, makePod({2000.f, 801.f}, 0.f, {-400.f, 0.f}), 10.f));
  EXPECT_TRUE(pod::willCollide(a, makePod({2000.f, 799.f}, 0.f, {-400.f, 0.f}), 10.f));
  // Moving apart.
  EXPECT_FALSE(pod::willCollide(a, makePod({-2000.f, 0.f}, 0.f, {-400.f, 0.f}), 10.f));
  // Same velocity: the gap never closes.
  EXPECT_FALSE(pod::willCollide(a, makePod({1000.f, 0.f}, 0.f, {400.f, 0.f}), 10.f));
}

TEST(WillCollide, OverlappingPodsAlreadyTouch) {
  const PodState a = makePod({0.f, 0.f}, 0.f, {400.f, 0.f});
  const PodState b = makePod({700.f, 0.f}, 0.f, {400.f, 0.f});
  EXPECT_TRUE(pod::willCollide(a, b, 0.f));
}

TEST(WillReachCheckpoint, UsesPodAndCheckpointRadii) {
  const Checkpoint cp{11, {2600.f, 0.f}};
  // 2600 - 600 = 2000 to cover at 500 per step: reached at t = 4.
  const PodState p = makePod({0.f, 0.f}, 0.f, {500.f, 0.f});
  EXPECT_TRUE(pod::willReachCheckpoint(p, cp, 4.f));
  EXPECT_FALSE(pod::willReachCheckpoint(p, cp, 3.9f));

  // Passing beside it: touches at 599 off the line, misses at 601.
  EXPECT_TRUE(pod::willReachCheckpoint(makePod({0.f, 599.f}, 0.f, {500.f, 0.f}), cp, 10.f));
  EXPECT_FALSE(pod::willReachCheckpoint(makePod({0.f, 601.f}, 0.f, {500.f, 0.f}), cp, 10.f));

  EXPECT_FALSE(pod::willReachCheckpoint(makePod({0.f, 0.f}, 0.f, {-500.f, 0.f}), cp, 10.f));
  EXPECT_FALSE(pod::willReachCheckpoint(makePod({0.f, 0.f}), cp, 10.f));
}

TEST(PredictCoastPosition, FrictionRoundsVelocityHalfAwayFromZero) {
  // 10 * 0.85 = 8.5 rounds to 9 and -8.5 to -9; truncation or rounding to
  // even would give 8 and -8.
  const PodState p = makePod({1000.f, 2000.f}, 0.f, {10.f, -10.f});
  const Vec2 after2 = pod::predictCoastPosition(p, 2);
  EXPECT_EQ(1019.f, after2.x);
  EXPECT_EQ(1981.f, after2.y);
}

TEST(PredictCoastPosition, AddsVelocityBeforeFriction) {
  // Velocities 100, 85, 72 (72.25 rounded): 257 in three steps.
  const PodState p = makePod({0.25f, 0.5f}, 0.f, {100.f, 0.f});
  EXPECT_EQ(p.position, pod::predictCoastPosition(p, 0));
  const Vec2 one = pod::predictCoastPosition(p, 1);
  EXPECT_EQ(100.25f, one.x); // positions are not rounded
  EXPECT_EQ(0.5f, one.y);
  EXPECT_EQ(257.25f, pod::predictCoastPosition(p, 3).x);
}

// ------------------------------------------------------------------ isAhead

TEST(IsAhead, MoreCheckpointsWinsRegardlessOfDistance) {
  const Track track = rectangle();
  const PodState leader = makePod({1000.f, 0.f}, 0.f, {}, 1, 5);
  const PodState chaser = makePod({19000.f, 0.f}, 0.f, {}, 1, 4);
  EXPECT_TRUE(pod::isAhead(track, leader, chaser));
  EXPECT_FALSE(pod::isAhead(track, chaser, leader));
}

TEST(IsAhead, EqualCountsCompareDistanceToFirstPodsCheckpoint) {
  const Track track = rectangle();
  const PodState nearer = makePod({15000.f, 0.f});
  const PodState farther = makePod({12000.f, 0.f});
  EXPECT_TRUE(pod::isAhead(track, nearer, farther));
  EXPECT_FALSE(pod::isAhead(track, farther, nearer));

  // Only a's next checkpoint counts, so each can be "ahead" of the other.
  const PodState towardOne = makePod({18000.f, 0.f}, 0.f, {}, 1);
  const PodState towardTwo = makePod({20000.f, 11000.f}, 0.f, {}, 2);
  EXPECT_TRUE(pod::isAhead(track, towardOne, towardTwo));
  EXPECT_TRUE(pod::isAhead(track, towardTwo, towardOne));
}

TEST(IsAhead, TiesAreFalseBothWays) {
  const Track track = rectangle();
  // Mirror images about the line to checkpoint 1.
  const PodState above = makePod({17000.f, 1000.f});
  const PodState below = makePod({17000.f, -1000.f});
  EXPECT_FALSE(pod::isAhead(track, above, below));
  EXPECT_FALSE(pod::isAhead(track, below, above));
  EXPECT_FALSE(pod::isAhead(track, above, above));
}

// ---------------------------------------------------------------- runner rule

// Runs the runner rule with the other three pods out of the way, and checks
// that the solo runner agrees.
Influence runAlone(const Track& track, const PodState& me) {
  const Influence solo = pod::soloRunnerRule(track, me);
  const Influence race =
      pod::runnerRule(track, me, farAway(-40000.f), farAway(0.f), farAway(40000.f));
  EXPECT_EQ(solo.rotation, race.rotation);
  EXPECT_EQ(solo.thrust, race.thrust);
  EXPECT_FALSE(solo.shield);
  EXPECT_FALSE(race.shield);
  return race;
}

TEST(RunnerSteering, OnTheLineGoesStraightAtFullThrust) {
  const Track track = rectangle();
  const Influence far = runAlone(track, makePod({5000.f, 0.f}));
  EXPECT_EQ(0.f, far.rotation);
  EXPECT_EQ(200.f, far.thrust);

  // Within 4000 the fall-off applies: 200 * exp(0) is still 200.
  const Influence near = runAlone(track, makePod({17000.f, 0.f}));
  EXPECT_EQ(0.f, near.rotation);
  EXPECT_FLOAT_EQ(200.f, near.thrust);
}

TEST(RunnerSteering, ThrustFallsOffWithTheUnclampedAngleNearTheCheckpoint) {
  const Track track = rectangle();
  // 20 degrees off: 200 * exp(-400 / 1600) = 155.76; the rotation is clamped
  // only afterwards.
  const Influence in = runAlone(track, makePod({17000.f, 0.f}, 340.f));
  EXPECT_FLOAT_EQ(18.f, in.rotation);
  EXPECT_NEAR(155.760f, in.thrust, 0.01f);
}

TEST(RunnerSteering, FarPodFacingAwayCoastsWhileTurning) {
  const Track track = rectangle();
  const Influence away = runAlone(track, makePod({5000.f, 0.f}, 150.f));
  EXPECT_FLOAT_EQ(-18.f, away.rotation);
  EXPECT_EQ(0.f, away.thrust);

  // Below 120 degrees it still accelerates while turning.
  const Influence wide = runAlone(track, makePod({5000.f, 0.f}, 100.f));
  EXPECT_FLOAT_EQ(-18.f, wide.rotation);
  EXPECT_EQ(200.f, wide.thrust);
}

TEST(RunnerSteering, AimCompensatesFourStepsOfVelocity) {
  const Track track = rectangle();
  // Sliding sideways at 500: aim at (20000, -2000), atan(2000 / 15000) to the right.
  const Influence in = runAlone(track, makePod({5000.f, 0.f}, 0.f, {0.f, 500.f}));
  EXPECT_NEAR(-7.5946f, in.rotation, kAngleTol);
  EXPECT_EQ(200.f, in.thrust);
}

TEST(RunnerDriftThrough, TurnsTowardTheCheckpointAfterWithoutThrust) {
  const Track track = rectangle();
  // Reaches checkpoint 1 in 3 steps by drifting; checkpoint 2 lies at 75.96
  // degrees. A full-thrust step would still end 2000 short.
  const Influence early = runAlone(track, makePod({17000.f, 0.f}, 0.f, {800.f, 0.f}));
  EXPECT_FLOAT_EQ(18.f, early.rotation);
  EXPECT_EQ(0.f, early.thrust);

  // Heading 80: the checkpoint after lies 4.04 degrees to the right.
  const Influence aligned = runAlone(track, makePod({17000.f, 0.f}, 80.f, {800.f, 0.f}));
  EXPECT_NEAR(-4.0362f, aligned.rotation, kAngleTol);
  EXPECT_EQ(0.f, aligned.thrust);
}

TEST(RunnerDriftThrough, TargetWrapsToCheckpointZeroAfterTheLast) {
  const Track track = rectangle();
  // Drifting into checkpoint 3 at (0, 12000); checkpoint 0 lies at 255.96.
  const Influence in =
      runAlone(track, makePod({3000.f, 12000.f}, 250.f, {-800.f, 0.f}, 3));
  EXPECT_NEAR(5.9638f, in.rotation, kAngleTol);
}

TEST(RunnerDriftThrough, ThrustsWhenAccelerationCarriesItThroughThisStep) {
  const Track track = rectangle();
  // Drifting alone ends 700 from checkpoint 1 (misses by 100); with 200 of
  // thrust at 18 degrees it ends 514 away and passes.
  const PodState me = makePod({18000.f, 0.f}, 0.f, {1300.f, 0.f});
  const Influence in = runAlone(track, me);
  EXPECT_FLOAT_EQ(18.f, in.rotation);
  EXPECT_EQ(200.f, in.thrust);
}

TEST(RunnerDriftThrough, ShieldSkipsTheThrustTest) {
  const Track track = rectangle();
  const PodState me = makePod({18000.f, 0.f}, 0.f, {1300.f, 0.f});
  // A parked partner just beside the line, hit within 0.3 steps.
  const PodState partner = makePod({19000.f, 500.f});
  const Influence in = pod::runnerRule(track, me, partner, farAway(0.f), farAway(40000.f));
  EXPECT_TRUE(in.shield);
  EXPECT_EQ(0.f, in.thrust);
  EXPECT_FLOAT_EQ(18.f, in.rotation);
}

// ---------------------------------------------------------------- runner shield

enum class Other { OppHunter, OppRunner, Partner };

Influence runnerAgainst(Other role, const PodState& me, const PodState& other) {
  const Track track = rectangle();
  const PodState partner = role == Other::Partner ? other : farAway(-40000.f);
  const PodState oppRunner = role == Other::OppRunner ? other : farAway(0.f);
  const PodState oppHunter = role == Other::OppHunter ? other : farAway(40000.f);
  return pod::runnerRule(track, me, partner, oppRunner, oppHunter);
}

class RunnerShield : public ::testing::TestWithParam<Other> {};

TEST_P(RunnerShield, RaisedOnlyWhenFasterByMoreThan100AndContactWithin1_5) {
  const PodState me = makePod({5000.f, 0.f}, 0.f, {600.f, 0.f});

  // Parked 1500 ahead: contact after 700 / 600 = 1.17 steps, 600 faster.
  EXPECT_TRUE(runnerAgainst(GetParam(), me, makePod({6500.f, 0.f})).shield);
  // Coming head-on 150 slower.
  EXPECT_TRUE(runnerAgainst(GetParam(), me, makePod({6500.f, 0.f}, 180.f, {-450.f, 0.f})).shield);
  // Equal speeds, head-on: no shield.
  EXPECT_FALSE(runnerAgainst(GetParam(), me, makePod({6500.f, 0.f}, 180.f, {-600.f, 0.f})).shield);
  // Exactly 100 faster is not enough.
  EXPECT_FALSE(runnerAgainst(GetParam(), me, makePod({6500.f, 0.f}, 180.f, {-500.f, 0.f})).shield);
  // Parked 2000 ahead: contact at 2 steps, too late.
  EXPECT_FALSE(runnerAgainst(GetParam(), me, makePod({7000.f, 0.f})).shield);
  // The other pod is the faster one.
  const PodState parked = makePod({5000.f, 0.f});
  EXPECT_FALSE(runnerAgainst(GetParam(), parked, makePod({6500.f, 0.f}, 180.f, {-600.f, 0.f})).shield);
}

INSTANTIATE_TEST_SUITE_P(EachOtherPod, RunnerShield,
                         ::testing::Values(Other::OppHunter, Other::OppRunner, Other::Partner));

// ------------------------------------------------------------- runner avoidance

TEST(RunnerAvoidance, TurnsAwayFromOpponentHunterInFront) {
  const PodState me = makePod({5000.f, 0.f}); // checkpoint 1 dead ahead

  const Influence ahead = runnerAgainst(Other::OppHunter, me, makePod({7000.f, 0.f}));
  EXPECT_FLOAT_EQ(-18.f, ahead.rotation); // bearing 0 counts as the left side
  EXPECT_EQ(200.f, ahead.thrust);

  const Influence left =
      runnerAgainst(Other::OppHunter, me, makePod(polar(me.position, 20.f, 2000.f)));
  EXPECT_FLOAT_EQ(-18.f, left.rotation);
  const Influence right =
      runnerAgainst(Other::OppHunter, me, makePod(polar(me.position, -20.f, 2000.f)));
  EXPECT_FLOAT_EQ(18.f, right.rotation);
}

TEST(RunnerAvoidance, IgnoresHuntersOutsideTheZoneAndOtherPods) {
  const PodState me = makePod({5000.f, 0.f});
  EXPECT_EQ(0.f, runnerAgainst(Other::OppHunter, me, makePod({8000.f, 0.f})).rotation);
  EXPECT_FLOAT_EQ(-18.f, runnerAgainst(Other::OppHunter, me, makePod({7999.f, 0.f})).rotation);
  EXPECT_EQ(0.f, runnerAgainst(Other::OppHunter, me,
                               makePod(polar(me.position, 40.f, 2000.f))).rotation);
  EXPECT_EQ(0.f, runnerAgainst(Other::OppRunner, me, makePod({7000.f, 0.f})).rotation);
  EXPECT_EQ(0.f, runnerAgainst(Other::Partner, me, makePod({7000.f, 0.f})).rotation);
}

TEST(RunnerAvoidance, ShiftsTheClampedRotationThenClampsAgain) {
  // Checkpoint 1 is 90 degrees to the right: steering gives -18.
  const PodState facingUp = makePod({5000.f, 0.f}, 90.f);
  // Hunter 10 degrees to the right: -18 + 18 = 0 (not -90 + 18 clamped).
  const Influence cancelled = runnerAgainst(
      Other::OppHunter, facingUp, makePod(polar(facingUp.position, 80.f, 2000.f)));
  EXPECT_NEAR(0.f, cancelled.rotation, kAngleTol);
  EXPECT_EQ(200.f, cancelled.thrust);

  // Checkpoint 90 degrees to the left: +18; hunter to the right pushes to
  // 36, clamped back to 18; hunter to the left cancels it.
  const PodState facingDown = makePod({5000.f, 0.f}, 270.f);
  EXPECT_FLOAT_EQ(18.f, runnerAgainst(Other::OppHunter, facingDown,
                                      makePod(polar(facingDown.position, 260.f, 2000.f)))
                            .rotation);
  EXPECT_NEAR(0.f, runnerAgainst(Other::OppHunter, facingDown,
                                 makePod(polar(facingDown.position, 280.f, 2000.f)))
                       .rotation,
              kAngleTol);
}

// ---------------------------------------------------------------- hunter rule

Influence hunt(const PodState& me, const PodState& target) {
  const Track track = rectangle();
  return pod::hunterRule(track, farAway(-40000.f), me, target, farAway(40000.f));
}

TEST(HunterIntercept, SteersAtTargetThreeStepsAheadWithUnclampedRotation) {
  // Target 5000 from its checkpoint; the hunter is nearer to it.
  const PodState target = makePod({15000.f, 0.f}, 0.f, {500.f, 0.f});
  // Aim point (16500, 0): direction (-600, -800) from the hunter, at 233.13.
  const Influence turning = hunt(makePod({18000.f, 2000.f}, 180.f), target);
  EXPECT_NEAR(53.1301f, turning.rotation, kAngleTol);
  EXPECT_EQ(0.f, turning.thrust);
  EXPECT_FALSE(turning.shield);

  const Influence facing = hunt(makePod({18000.f, 2000.f}, 233.1301f), target);
  EXPECT_NEAR(0.f, facing.rotation, kAngleTol);
  EXPECT_EQ(200.f, facing.thrust);
}

TEST(HunterIntercept, CompensatesOwnVelocityTwice) {
  const PodState target = makePod({15000.f, 0.f}, 0.f, {500.f, 0.f});
  // p = (16500, -300); s = unit(-1500, -2300) * 1000 - (0, 300) = (-546.3, -1137.6).
  const Influence in = hunt(makePod({18000.f, 2000.f}, 180.f, {0.f, 300.f}), target);
  EXPECT_NEAR(64.3502f, in.rotation, kAngleTol);
}

TEST(HunterIntercept, OnlyInsideTheZoneAndWhenNearerToTheCheckpoint) {
  // Target 10000 from its checkpoint: outside the zone, the hunter guards
  // checkpoint 1 from the guard point (19000, 0) instead of chasing.
  const PodState target = makePod({10000.f, 0.f}, 0.f, {500.f, 0.f});
  const Influence in = hunt(makePod({18000.f, 3000.f}), target);
  EXPECT_NEAR(-71.5651f, in.rotation, kAngleTol); // toward (1000, -3000)
  EXPECT_EQ(0.f, in.thrust);
}

TEST(HunterGuard, FartherThanTargetGuardsTheCheckpointAfter) {
  const PodState target = makePod({15000.f, 0.f});
  // dMe 10440 > dT 5000: guard checkpoint 2, guard point 1000 toward the
  // target at (19615.4, 11076.9), bearing 40.03 from the hunter.
  const Influence in = hunt(makePod({10000.f, 3000.f}), target);
  EXPECT_NEAR(40.0303f, in.rotation, kAngleTol);
  EXPECT_EQ(0.f, in.thrust);

  const Influence facing = hunt(makePod({10000.f, 3000.f}, 40.0303f), target);
  EXPECT_NEAR(0.f, facing.rotation, kAngleTol);
  EXPECT_EQ(200.f, facing.thrust);
}

TEST(HunterGuard, CheckpointAfterTheLastIsZero) {
  const PodState target = makePod({3000.f, 12000.f}, 0.f, {}, 3);
  // Guard point (242.5, 970.1) near checkpoint 0, at 220.27 from the hunter.
  const Influence in = hunt(makePod({5000.f, 5000.f}, 180.f), target);
  EXPECT_NEAR(40.2666f, in.rotation, kAngleTol);
}

TEST(HunterGuard, WaitsFacingTargetOnceItCoastsNearTheGuardPoint) {
  const PodState target = makePod({10000.f, 0.f});
  // 707 from the guard point (19000, 0): face the target, no thrust.
  const Influence parked = hunt(makePod({19500.f, 500.f}, 90.f), target);
  EXPECT_NEAR(93.0128f, parked.rotation, kAngleTol);
  EXPECT_EQ(0.f, parked.thrust);

  // 3000 away but coasting 600, 510, 434, 369, 314 toward it: ends 773 off.
  const Influence drifting = hunt(makePod({19000.f, -3000.f}, 0.f, {0.f, 600.f}), target);
  EXPECT_NEAR(161.5651f, drifting.rotation, kAngleTol);
  EXPECT_EQ(0.f, drifting.thrust);
}

TEST(HunterGuard, SlowsTheSteeringVectorOnTheFinalApproach) {
  const PodState target = makePod({10000.f, 0.f});
  // 1500 below the guard point, sliding sideways at 800: the coast ends far
  // away, so it steers with D = (0, 1000 * 0.75) - (800, 0), at 136.85.
  const Influence in = hunt(makePod({19000.f, -1500.f}, 0.f, {800.f, 0.f}), target);
  EXPECT_NEAR(136.8476f, in.rotation, kAngleTol);
}

TEST(HunterShield, RaisedOnContactWithTargetWithin1_5RegardlessOfSpeed) {
  // Interception: closing at 1000 over a gap of 1200.
  const PodState target = makePod({15000.f, 0.f}, 0.f, {500.f, 0.f});
  EXPECT_TRUE(hunt(makePod({17000.f, 0.f}, 180.f, {-500.f, 0.f}), target).shield);
  // The same gap closing at 600 takes 2 steps.
  EXPECT_FALSE(hunt(makePod({17000.f, 0.f}, 180.f, {-100.f, 0.f}), target).shield);

  // Guarding and parked: the target runs into it.
  const PodState fastTarget = makePod({12000.f, 0.f}, 0.f, {1000.f, 0.f});
  const PodState guard = makePod({13500.f, 0.f}, 180.f);
  EXPECT_TRUE(hunt(guard, fastTarget).shield);
}

TEST(HunterRule, IgnoresOwnRunnerAndOpponentHunter) {
  const Track track = rectangle();
  const PodState me = makePod({18000.f, 2000.f}, 180.f, {0.f, 300.f});
  const PodState target = makePod({15000.f, 0.f}, 0.f, {500.f, 0.f});
  const Influence base = hunt(me, target);
  // Both right on the hunter's path.
  const PodState inTheWay = makePod({17500.f, 1500.f}, 0.f, {-900.f, 0.f});
  const Influence crowded = pod::hunterRule(track, inTheWay, me, target, inTheWay);
  EXPECT_EQ(base.rotation, crowded.rotation);
  EXPECT_EQ(base.thrust, crowded.thrust);
  EXPECT_EQ(base.shield, crowded.shield);
}

} // namespace
