#pragma once

#include "race/collisions.h"
#include "race/physicsevent.h"
#include "race/race.h"
#include "race/racerules.h"
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

  // Per-pod operations, usable on copies. Inline: the planners apply one per
  // pod in every step.
  static void applyInfluence(PodState& pod, const Influence& influence, float dt) {
    steer(pod, influence, dt, [](float angle) { return Vec2::fromAngle(angle); });
  }
  // The same, heading(angle) giving Vec2::fromAngle(angle) for the pod's new
  // angle: asked only when the engine pushes.
  template <class Heading>
  static void applyInfluence(PodState& pod, const Influence& influence, float dt,
                             Heading heading) {
    steer(pod, influence, dt, heading);
  }
  // The angle a command turns a pod to from `angle`, unless it has timed out.
  static float turned(float angle, const Influence& influence, float dt) {
    angle += qutils::clampf(influence.rotation, -constants::kMaxRotation,
                            constants::kMaxRotation) * dt;
    if (angle < 0.f)
      angle += 360.f;
    if (angle > 360.f)
      angle -= 360.f;
    return angle;
  }
  // The rest of applyInfluence once the pod has turned: shield, engine and
  // push, heading as for applyInfluence.
  template <class Heading>
  static void drive(PodState& pod, const Influence& influence, float dt, Heading heading);
  // The velocity the engine adds along a heading (unit vector).
  static Vec2 enginePush(const Vec2& heading, const Influence& influence, float dt) {
    return heading * qutils::clampf(influence.thrust, 0.f, constants::kMaxThrust * dt);
  }

  // Whole-second planning steps (dt 1, friction 0.85, cooldown - 1). The
  // caller applies the influences first.
  static void referenceStep(Race& race, const Track& track);
  // Inline: the time-attack planner's every step.
  static void soloStep(PodState& pod, const Track& track, bool* finished = nullptr) {
    moveSolo(pod, track, 1.f, nullptr);
    frictionAndCooldown(pod, 1.f);
    if (finished)
      *finished = hasFinished(pod, track);
  }
  static void soloStepAll(Race& race, const Track& track);

private:
  static void frictionAndCooldown(PodState& pod, float dt) {
    pod.velocity *= dt == 1.f ? constants::kWholeStepFriction : constants::kSubStepFriction;
    pod.shieldCooldown -= dt;
    if (pod.shieldCooldown < 0.f)
      pod.shieldCooldown = 0.f;
  }

  // applyInfluence's body: turn, then drive.
  template <class Heading>
  static void steer(PodState& pod, const Influence& influence, float dt, Heading heading);

  Race currentState_;
  Race previousState_;
  const Track* track_ = nullptr;
};

template <class Heading>
void Physics::steer(PodState& pod, const Influence& influence, float dt, Heading heading) {
  if (isTimedOut(pod))
    return;
  pod.angle = turned(pod.angle, influence, dt);
  drive(pod, influence, dt, heading);
}

template <class Heading>
void Physics::drive(PodState& pod, const Influence& influence, float dt, Heading heading) {
  if (influence.shield) {
    pod.shieldCooldown = constants::kShieldDuration;
    pod.engine = 0.f;
  } else if (pod.shieldCooldown != 0.f) {
    pod.engine = 0.f;
  } else {
    pod.engine = influence.thrust;
    pod.velocity += enginePush(heading(pod.angle), influence, dt);
  }
}

} // namespace pod
