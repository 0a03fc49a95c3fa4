#pragma once

#include "race/physics.h"
#include "race/race.h"
#include "race/track.h"

#include <cstdint>

// Tracks and race states built in code for the planner and brain tests.

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

} // namespace genetictest
