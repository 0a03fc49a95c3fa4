#include "brains/tarvokbrain.h"

#include "brains/steering.h"
#include "race/physics.h"
#include "genetictestutil.h"

#include <gtest/gtest.h>

using pod::Checkpoint;
using pod::Influence;
using pod::Physics;
using pod::PodState;
using pod::Race;
using pod::TarvokBrain;
using pod::Track;
using qutils::Vec2;

using genetictest::sameInfluence;

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

PodState racer(std::uint32_t id, Vec2 position, float angle, Vec2 velocity, int cleared) {
  PodState p;
  p.id = id;
  p.team = static_cast<std::int32_t>(id / 2);
  p.position = position;
  p.angle = angle;
  p.velocity = velocity;
  p.checkpointsCleared = cleared;
  p.nextCheckpoint = cleared == 2 ? 2 : 1;
  return p;
}

// Each team's leading pod runs; the other hunts the opponents' leader; the
// influences are appended after those already given.
TEST(TarvokBrain, LeadingPodRunsTheOtherHuntsAndRolesSwapOnOvertaking) {
  const Track track = quadTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  // Pod 1 leads team 0 (nearer its checkpoint); pod 2 leads team 1 on count
  // although pod 3 is nearer its checkpoint.
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods = {racer(0, {6000.f, 3500.f}, 10.f, {300.f, 0.f}, 1),
               racer(1, {11000.f, 2300.f}, 0.f, {600.f, 50.f}, 1),
               racer(2, {9000.f, 2000.f}, 5.f, {700.f, 0.f}, 2),
               racer(3, {13500.f, 3000.f}, 90.f, {0.f, 200.f}, 1)};
  const auto& p = race.pods;
  // The situation must tell the roles apart for the checks to mean anything.
  ASSERT_FALSE(sameInfluence(pod::runnerRule(track, p[1], p[0], p[2], p[3]),
                             pod::runnerRule(track, p[0], p[1], p[2], p[3])));
  ASSERT_FALSE(sameInfluence(pod::hunterRule(track, p[1], p[0], p[2], p[3]),
                             pod::hunterRule(track, p[1], p[0], p[3], p[2])));

  const Influence sentinel{7.f, 33.f, true};
  const struct {
    int team;
    int runner, hunter, oppRunner, oppHunter;
    bool overtake;
  } cases[] = {{0, 1, 0, 2, 3, false}, {1, 2, 3, 1, 0, false}, {0, 0, 1, 2, 3, true}};
  for (const auto& c : cases) {
    Race r = race;
    if (c.overtake) { // pod 0 clears one more checkpoint
      r.pods[0].checkpointsCleared = 2;
      r.pods[0].nextCheckpoint = 2;
    }
    const auto& q = r.pods;
    TarvokBrain brain(false);
    brain.setTrack(track);
    brain.setPhysics(physics);
    brain.setTeam(c.team);
    std::vector<Influence> influences{sentinel};
    brain.think(r, influences);
    ASSERT_EQ(3u, influences.size());
    EXPECT_TRUE(sameInfluence(sentinel, influences[0]));
    const Influence run = pod::runnerRule(track, q[c.runner], q[c.hunter], q[c.oppRunner],
                                          q[c.oppHunter]);
    const Influence hunt = pod::hunterRule(track, q[c.runner], q[c.hunter], q[c.oppRunner],
                                           q[c.oppHunter]);
    const bool runnerFirst = c.runner < c.hunter;
    EXPECT_TRUE(sameInfluence(runnerFirst ? run : hunt, influences[1])) << c.team;
    EXPECT_TRUE(sameInfluence(runnerFirst ? hunt : run, influences[2])) << c.team;
  }
}

TEST(TarvokBrain, TimeAttackAppendsExactlyOneSoloInfluence) {
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
  std::vector<Influence> influences{Influence{0.f, 1.f, false}};
  brain.think(race, influences);
  ASSERT_EQ(2u, influences.size());
  EXPECT_EQ(1.f, influences[0].thrust);
  EXPECT_TRUE(sameInfluence(pod::soloRunnerRule(track, race.pods[1]), influences[1]));
  EXPECT_FALSE(sameInfluence(pod::soloRunnerRule(track, race.pods[0]), influences[1]));
}

} // namespace
