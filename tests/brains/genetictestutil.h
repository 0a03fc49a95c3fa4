#pragma once

#include "brains/driverregistry.h"
#include "brains/genome.h"
#include "race/physics.h"
#include "race/race.h"
#include "race/track.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Tracks, race states and whole races built in code for the brain tests.

namespace genetictest {

using pod::PodState;
using pod::Race;
using pod::Track;
using qutils::Vec2;

// A w x h rectangle (20000 x 12000 by default), raced counter-clockwise.
inline Track rectangle(float w = 20000.f, float h = 12000.f) {
  Track track;
  track.name = "rectangle";
  const Vec2 corners[] = {{0.f, 0.f}, {w, 0.f}, {w, h}, {0.f, h}};
  std::uint32_t id = 10;
  for (const Vec2& c : corners)
    track.checkpoints.push_back(pod::Checkpoint{id++, c});
  return track;
}

inline bool sameGenes(const pod::Genome& a, const pod::Genome& b) {
  for (int i = 0; i < a.size(); ++i)
    if (a[i].turn != b[i].turn || a[i].acceleration != b[i].acceleration ||
        a[i].shield != b[i].shield)
      return false;
  return true;
}

inline bool sameInfluence(const pod::Influence& a, const pod::Influence& b) {
  return a.rotation == b.rotation && a.thrust == b.thrust && a.shield == b.shield;
}

inline PodState makePod(std::uint32_t id, int team, Vec2 position, float angle = 0.f,
                        Vec2 velocity = {}, int next = 1, int cleared = 0) {
  PodState p;
  p.id = id;
  p.team = team;
  p.position = position;
  p.angle = angle;
  p.velocity = velocity;
  p.nextCheckpoint = next;
  p.checkpointsCleared = cleared;
  return p;
}

// Four resting pods, far from each other and from every checkpoint.
inline Race restingRace() {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods = {makePod(0, 0, {5000.f, 3000.f}), makePod(1, 0, {8000.f, 3000.f}),
               makePod(2, 1, {5000.f, 8000.f}), makePod(3, 1, {8000.f, 8000.f})};
  return race;
}

// The starting grid of a race or a time attack on the track.
inline Race startingGrid(const Track& track, bool timeAttack = false, int nbTeams = 2) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, nbTeams, &track);
  return physics.getCurrentState();
}

inline std::unique_ptr<pod::AbstractBrain> makeBrain(const std::string& name,
                                                     const pod::Physics& physics,
                                                     const Track& track, int team, bool timeAttack,
                                                     const pod::DriverOptions& options = {}) {
  auto brain = pod::createDriver(name, timeAttack, options);
  if (brain) {
    brain->setTeam(team);
    brain->setPhysics(physics);
    brain->setTrack(track);
  }
  return brain;
}

// Races the drivers, one per team, for at most maxTurns turns of 0.25 s, and
// returns the end state; each team's planners get their own seed.
inline Race runRace(const std::vector<std::string>& drivers, bool timeAttack, int maxTurns,
                    const pod::DriverOptions& options, const Track& track) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, static_cast<int>(drivers.size()), &track);
  std::vector<std::unique_ptr<pod::AbstractBrain>> brains;
  for (std::size_t t = 0; t < drivers.size(); ++t) {
    pod::DriverOptions o = options;
    o.seed = options.seed + t;
    brains.push_back(makeBrain(drivers[t], physics, track, static_cast<int>(t), timeAttack, o));
  }
  std::vector<pod::Influence> influences;
  std::vector<pod::PhysicsEvent> events;
  for (int turn = 0; turn < maxTurns && physics.getCurrentState().winner == -1; ++turn) {
    influences.clear();
    for (auto& brain : brains)
      brain->think(physics.getCurrentState(), influences);
    if (influences.size() != physics.getCurrentState().pods.size())
      break;
    physics.step(influences, 0.25f, events);
    for (auto& brain : brains)
      brain->turnDone(physics.getCurrentState(), 0.25f);
  }
  return physics.getCurrentState();
}

} // namespace genetictest
