#pragma once

#include "race/physicsevent.h"
#include "race/race.h"
#include "race/track.h"

#include <vector>

namespace pod {

// Owns the state of one race and advances it from one command per pod.
// Deterministic: the same state, commands and step give the same result.
class Physics {
public:
  // Builds the starting grid. The track must outlive the physics.
  void init(bool timeAttack, int nbPodsPerTeam, int nbTeams, const Track* track);

  // Advances the race by dt (> 0) from one influence per pod, in pod order.
  // Allocates nothing but the events it appends.
  void step(const std::vector<Influence>& influences, float dt,
            std::vector<PhysicsEvent>& events);

  // Puts recorded states in place of the last step's (replays). The track
  // given to init stays.
  void setStates(const Race& previous, const Race& current);

  const Race& getCurrentState() const { return currentState_; }
  const Race& getPreviousState() const { return previousState_; }
  const Track& track() const;

  int podRank(int podId) const;
  bool isPodTimedOut(int podId) const;

  // Per-pod operations, usable on copies.
  static void applyInfluence(PodState& pod, const Influence& influence, float dt);
  // The same, given the pod's heading after this call's turn (the unit vector
  // Vec2::fromAngle of its new angle): for planners that know it in advance.
  static void applyInfluence(PodState& pod, const Influence& influence, float dt,
                             const Vec2& heading);

  // Whole-second planning steps (dt 1, friction 0.85, cooldown - 1). The
  // caller applies the influences first.
  static void referenceStep(Race& race, const Track& track);
  static void soloStep(PodState& pod, const Track& track, bool* finished = nullptr);
  static void soloStepAll(Race& race, const Track& track);

private:
  Race currentState_;
  Race previousState_;
  const Track* track_ = nullptr;
};

} // namespace pod
