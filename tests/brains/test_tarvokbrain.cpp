#include "brains/tarvokbrain.h"

#include "brains/steering.h"
#include "race/physics.h"
#include "race/racerules.h"

#include <qutils/assert.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using pod::Checkpoint;
using pod::Influence;
using pod::Physics;
using pod::PodState;
using pod::Race;
using pod::TarvokBrain;
using pod::Track;
using qutils::Vec2;

namespace {

// A plain four-corner loop, a little skewed so no leg is axis-aligned.
Track quadTrack() {
  Track track;
  track.name = "quad";
  const Vec2 corners[] = {
      {2000.f, 2000.f}, {14000.f, 2500.f}, {13000.f, 7500.f}, {3000.f, 7000.f}};
  std::uint32_t id = 10;
  for (const Vec2& c : corners)
    track.checkpoints.push_back(Checkpoint{id++, c});
  return track;
}

bool sameInfluence(const Influence& a, const Influence& b) {
  return a.rotation == b.rotation && a.thrust == b.thrust && a.shield == b.shield;
}

void expectSame(const Influence& expected, const Influence& actual) {
  EXPECT_EQ(expected.rotation, actual.rotation);
  EXPECT_EQ(expected.thrust, actual.thrust);
  EXPECT_EQ(expected.shield, actual.shield);
}

PodState racer(std::uint32_t id, Vec2 position, float angle, Vec2 velocity, int cleared,
               int next) {
  PodState p;
  p.id = id;
  p.team = static_cast<std::int32_t>(id / 2);
  p.position = position;
  p.angle = angle;
  p.velocity = velocity;
  p.checkpointsCleared = cleared;
  p.nextCheckpoint = next;
  return p;
}

// Mid-race: pod 1 leads team 0 (nearer checkpoint 1 than pod 0), pod 2 leads
// team 1 on checkpoint count although pod 3 is nearer its checkpoint.
Race midRace() {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods.push_back(racer(0, {6000.f, 3500.f}, 10.f, {300.f, 0.f}, 1, 1));
  race.pods.push_back(racer(1, {11000.f, 2300.f}, 0.f, {600.f, 50.f}, 1, 1));
  race.pods.push_back(racer(2, {9000.f, 2000.f}, 5.f, {700.f, 0.f}, 2, 2));
  race.pods.push_back(racer(3, {13500.f, 3000.f}, 90.f, {0.f, 200.f}, 1, 1));
  return race;
}

class TarvokBrainTest : public ::testing::Test {
protected:
  void SetUp() override { physics_.init(false, 2, 2, &track_); }

  std::unique_ptr<TarvokBrain> makeBrain(bool timeAttack, int team) {
    auto brain = std::make_unique<TarvokBrain>(timeAttack);
    brain->setTrack(track_);
    brain->setPhysics(physics_);
    brain->setTeam(team);
    return brain;
  }

  Track track_ = quadTrack();
  Physics physics_;
};

TEST_F(TarvokBrainTest, LeadingPodRunsAndTheOtherHuntsOpponentLeader) {
  const Race race = midRace();
  const PodState& p0 = race.pods[0];
  const PodState& p1 = race.pods[1];
  const PodState& p2 = race.pods[2];
  const PodState& p3 = race.pods[3];

  const Influence runner = pod::runnerRule(track_, p1, p0, p2, p3);
  const Influence hunter = pod::hunterRule(track_, p1, p0, p2, p3);
  // The situation must tell the roles apart for the check to mean anything.
  ASSERT_FALSE(sameInfluence(runner, pod::runnerRule(track_, p0, p1, p2, p3)));
  ASSERT_FALSE(sameInfluence(hunter, pod::hunterRule(track_, p1, p0, p3, p2)));
  ASSERT_FALSE(sameInfluence(runner, pod::runnerRule(track_, p1, p0, p3, p2)));

  std::vector<Influence> influences;
  makeBrain(false, 0)->think(race, influences);
  ASSERT_EQ(2u, influences.size());
  expectSame(hunter, influences[0]); // pod 0 hunts
  expectSame(runner, influences[1]); // pod 1 runs
}

TEST_F(TarvokBrainTest, SecondTeamAppendsAfterExistingInfluences) {
  const Race race = midRace();
  const PodState& p0 = race.pods[0];
  const PodState& p1 = race.pods[1];
  const PodState& p2 = race.pods[2];
  const PodState& p3 = race.pods[3];

  Influence sentinel;
  sentinel.rotation = 7.f;
  sentinel.thrust = 33.f;
  sentinel.shield = true;
  std::vector<Influence> influences{sentinel, sentinel};

  makeBrain(false, 1)->think(race, influences);
  ASSERT_EQ(4u, influences.size());
  expectSame(sentinel, influences[0]);
  expectSame(sentinel, influences[1]);
  // Pod 2 leads its team, so it runs first; pod 1 is the opponents' runner.
  expectSame(pod::runnerRule(track_, p2, p3, p1, p0), influences[2]);
  expectSame(pod::hunterRule(track_, p2, p3, p1, p0), influences[3]);
}

TEST_F(TarvokBrainTest, RolesSwapWhenThePodsOvertake) {
  Race race = midRace();
  std::vector<Influence> before;
  makeBrain(false, 0)->think(race, before);

  // Pod 0 clears one more checkpoint: it now runs and pod 1 hunts.
  race.pods[0].checkpointsCleared = 2;
  race.pods[0].nextCheckpoint = 2;
  std::vector<Influence> after;
  makeBrain(false, 0)->think(race, after);
  ASSERT_EQ(2u, after.size());
  const PodState& p0 = race.pods[0];
  const PodState& p1 = race.pods[1];
  expectSame(pod::runnerRule(track_, p0, p1, race.pods[2], race.pods[3]), after[0]);
  expectSame(pod::hunterRule(track_, p0, p1, race.pods[2], race.pods[3]), after[1]);
}

TEST(TarvokBrainTimeAttack, AppendsExactlyOneSoloInfluence) {
  const Track track = quadTrack();
  Physics physics;
  physics.init(true, 1, 3, &track);
  Race race = physics.getCurrentState();
  // Put pod 1 somewhere that needs a turn, so a wrong pod would show.
  race.pods[1].position = {8000.f, 6000.f};
  race.pods[1].velocity = {-200.f, 100.f};

  TarvokBrain brain(true);
  brain.setTrack(track);
  brain.setPhysics(physics);
  brain.setTeam(1);

  Influence sentinel;
  sentinel.thrust = 1.f;
  std::vector<Influence> influences{sentinel};
  brain.think(race, influences);
  ASSERT_EQ(2u, influences.size());
  expectSame(sentinel, influences[0]);
  expectSame(pod::soloRunnerRule(track, race.pods[1]), influences[1]);
  EXPECT_FALSE(sameInfluence(pod::soloRunnerRule(track, race.pods[0]), influences[1]));
}

int stderrAssertHandler(const char* condition, const char* message, const char* file,
                        int line) {
  std::fprintf(stderr, "%s(%d): Assert Failure: '%s' %s\n", file, line,
               condition ? condition : "", message ? message : "");
  return 0;
}

TEST(TarvokBrainDeathTest, ThinkRequiresTrackAndPhysics) {
  const Track track = quadTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  const Race race = physics.getCurrentState();
  std::vector<Influence> influences;

  EXPECT_DEATH(
      {
        qutils::setAssertHandler(&stderrAssertHandler);
        TarvokBrain brain(false);
        brain.setTrack(track);
        brain.think(race, influences);
      },
      "track_ && physics_");
  EXPECT_DEATH(
      {
        qutils::setAssertHandler(&stderrAssertHandler);
        TarvokBrain brain(false);
        brain.setPhysics(physics);
        brain.think(race, influences);
      },
      "track_ && physics_");
}

// ------------------------------------------------------------- whole races

struct Outcome {
  int winner = -1;
  bool byTimeout = false;
  int turns = 0;
  int bestCleared[2] = {0, 0};
};

// Runs 0.25 s turns as the race simulation does until a winner is known.
Outcome runRace(const Track& track, bool timeAttack, int maxTurns) {
  Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, 2, &track);
  std::vector<std::unique_ptr<TarvokBrain>> brains;
  for (int team = 0; team < 2; ++team) {
    brains.push_back(std::make_unique<TarvokBrain>(timeAttack));
    brains.back()->setTrack(track);
    brains.back()->setPhysics(physics);
    brains.back()->setTeam(team);
  }

  Outcome outcome;
  std::vector<Influence> influences;
  std::vector<pod::PhysicsEvent> events;
  while (physics.getCurrentState().winner == -1 && outcome.turns < maxTurns) {
    const Race& state = physics.getCurrentState();
    influences.clear();
    for (auto& brain : brains) {
      const std::size_t before = influences.size();
      brain->think(state, influences);
      EXPECT_EQ(static_cast<std::size_t>(state.nbPodsPerTeam), influences.size() - before);
    }
    if (influences.size() != state.pods.size())
      break;
    events.clear();
    physics.step(influences, 0.25f, events);
    for (const auto& brain : brains)
      brain->turnDone(physics.getCurrentState(), 0.25f);
    ++outcome.turns;
  }

  const Race& end = physics.getCurrentState();
  outcome.winner = end.winner;
  outcome.byTimeout = end.byTimeout;
  for (const PodState& p : end.pods)
    if (p.checkpointsCleared > outcome.bestCleared[p.team])
      outcome.bestCleared[p.team] = p.checkpointsCleared;
  return outcome;
}

TEST(TarvokBrainRace, HeuristicsAgainstHeuristicsFinishThreeLaps) {
  const Track track = quadTrack();
  // 3 laps of about 39000 units; 2000 turns is 500 s of game time.
  const Outcome outcome = runRace(track, false, 2000);
  ASSERT_NE(-1, outcome.winner) << "no winner after " << outcome.turns << " turns";
  EXPECT_FALSE(outcome.byTimeout);
  EXPECT_EQ(12, outcome.bestCleared[outcome.winner]);
  // The loser raced too rather than sitting on the grid.
  EXPECT_GT(outcome.bestCleared[1 - outcome.winner], 4);
}

TEST(TarvokBrainRace, TimeAttackSoloRunnersFinish) {
  const Track track = quadTrack();
  const Outcome outcome = runRace(track, true, 2000);
  ASSERT_NE(-1, outcome.winner) << "no winner after " << outcome.turns << " turns";
  EXPECT_FALSE(outcome.byTimeout);
  EXPECT_EQ(12, outcome.bestCleared[outcome.winner]);
}

} // namespace
