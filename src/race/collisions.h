#pragma once

#include "race/physicsevent.h"
#include "race/race.h"
#include "race/track.h"

#include <vector>

// Event-driven movement within one step. Events are appended in time order
// when a list is given; the planners pass none.

namespace pod {

// Race mode: pods collide with each other and pass their next checkpoints.
// Contacts are searched up to 2 s into the step: a longer dt misses later ones.
void moveWithCollisions(Race& race, const Track& track, float dt,
                        std::vector<PhysicsEvent>* events);

// One pod alone: checkpoints only.
void moveSolo(PodState& pod, const Track& track, float dt,
              std::vector<PhysicsEvent>* events);

// Pushes overlapping pods apart.
void depenetrate(std::vector<PodState>& pods);

// Impact strength in [0, 1] of two pods about to collide.
float impactStrength(const Vec2& firstVelocity, const Vec2& secondVelocity);

} // namespace pod
