#include "brains/steering.h"

#include "race/physics.h"
#include "race/racerules.h"

#include <qutils/vec2.h>

#include <cmath>

namespace pod {

namespace {

constexpr float kFullThrust = 200.f;
constexpr float kTurnLimit = 18.f;

// Runner and solo runner.
constexpr float kAimVelocitySteps = 4.f;
constexpr float kDriftLookAhead = 4.f;
constexpr float kFarDistance = 4000.f;
constexpr float kCoastAngle = 120.f;
constexpr float kThrustFallOff = 1600.f;
constexpr float kShieldLookAhead = 1.5f;
constexpr float kShieldSpeedExcess = 100.f;
constexpr float kAvoidDistance = 3000.f;
constexpr float kAvoidBearing = 35.f;

// Hunter.
constexpr float kInterceptZone = 6000.f;
constexpr float kTargetLookAhead = 3.f;
constexpr float kGuardOffset = 1000.f;
constexpr int kCoastSteps = 5;
constexpr float kGuardReached = 2000.f;
constexpr float kSteerLength = 1000.f;

float clampTurn(float rotation) { return qutils::clampf(rotation, -kTurnLimit, kTurnLimit); }

// The zero vector stays zero: a NaN direction would poison the planners'
// look-ahead, and the rules can meet exact coincidences there.
Vec2 safeNormalised(const Vec2& v) {
  if (v.x == 0.f && v.y == 0.f)
    return v;
  return v.normalised();
}

bool contactWithin(const PodState& a, const PodState& b, float steps) {
  float t = 0.f;
  return qutils::contactTime(a.position, a.velocity, constants::kPodRadius, b.position,
                             b.velocity, constants::kPodRadius, t) &&
         t <= steps;
}

bool fasterBy(const PodState& me, const PodState& other, float excess) {
  return me.velocity.length() - other.velocity.length() > excess;
}

// Steering shared by the runner and the solo runner. The shield decides
// whether the one-step thrust test is worth making (a shielded engine is off).
Influence steerToCheckpoint(const Track& track, const PodState& me, bool shield) {
  Influence influence;
  influence.shield = shield;

  const Checkpoint& next = track.checkpoints[static_cast<std::size_t>(me.nextCheckpoint)];
  if (!willReachCheckpoint(me, next, kDriftLookAhead)) {
    const Vec2 aim = next.position - me.velocity * kAimVelocitySteps;
    influence.rotation = angleTo(me, aim);
    if (qutils::distance(me.position, next.position) > kFarDistance) {
      influence.thrust = qutils::absf(influence.rotation) < kCoastAngle ? kFullThrust : 0.f;
    } else {
      influence.thrust =
          kFullThrust *
          std::exp(-influence.rotation * influence.rotation / kThrustFallOff);
    }
  } else {
    // Drifting through anyway: turn early toward the one after, and only
    // accelerate when that alone carries the pod through within one step.
    const auto count = static_cast<std::int32_t>(track.checkpoints.size());
    const Checkpoint& after =
        track.checkpoints[static_cast<std::size_t>(checkpointAfterNext(me, count))];
    influence.rotation = angleTo(me, after.position);
    if (!shield) {
      PodState copy = me;
      Influence trial;
      trial.rotation = influence.rotation;
      trial.thrust = kFullThrust;
      Physics::applyInfluence(copy, trial, 1.f);
      Physics::soloStep(copy, track);
      if (copy.checkpointsCleared != me.checkpointsCleared)
        influence.thrust = kFullThrust;
    }
  }

  influence.rotation = clampTurn(influence.rotation);
  return influence;
}

} // namespace

float angleTo(const PodState& pod, const Vec2& point) {
  const float d = qutils::distance(pod.position, point);
  if (d == 0.f)
    return 0.f;
  // Rounding can push the cosine a hair past 1.
  const float cosine = qutils::clampf((point.x - pod.position.x) / d, -1.f, 1.f);
  float direction = qutils::radToDeg(std::acos(cosine));
  if ((point.y - pod.position.y) / d < 0.f)
    direction = 360.f - direction;
  return qutils::signedAngleDifferenceDegrees(pod.angle, direction);
}

SeekResult seek(const Vec2& offset, const PodState& pod) {
  SeekResult result;
  result.rotation = angleTo(pod, pod.position + offset);
  if (qutils::absf(result.rotation) < kTurnLimit) {
    const float length = offset.length();
    result.thrust = length < kFullThrust ? length : kFullThrust;
  }
  return result;
}

bool willCollide(const PodState& a, const PodState& b, float steps) {
  return contactWithin(a, b, steps);
}

bool willReachCheckpoint(const PodState& pod, const Checkpoint& checkpoint, float steps) {
  float t = 0.f;
  return qutils::contactTime(pod.position, pod.velocity, constants::kPodRadius,
                             checkpoint.position, Vec2(), constants::kCheckpointRadius, t) &&
         t <= steps;
}

Vec2 predictCoastPosition(const PodState& pod, int steps) {
  Vec2 p = pod.position;
  Vec2 v = pod.velocity;
  for (int i = 0; i < steps; ++i) {
    p += v;
    v.x = std::round(v.x * constants::kWholeStepFriction);
    v.y = std::round(v.y * constants::kWholeStepFriction);
  }
  return p;
}

bool isAhead(const Track& track, const PodState& a, const PodState& b) {
  if (a.checkpointsCleared != b.checkpointsCleared)
    return a.checkpointsCleared > b.checkpointsCleared;
  const Vec2& c = track.checkpoints[static_cast<std::size_t>(a.nextCheckpoint)].position;
  return qutils::distance(c, b.position) > qutils::distance(c, a.position);
}

Influence runnerRule(const Track& track, const PodState& me, const PodState& partner,
                     const PodState& oppRunner, const PodState& oppHunter) {
  // Only the faster pod shields: the slower one would just lose its engine.
  const bool shield = (contactWithin(me, oppHunter, kShieldLookAhead) &&
                       fasterBy(me, oppHunter, kShieldSpeedExcess)) ||
                      (willCollide(me, oppRunner, kShieldLookAhead) &&
                       fasterBy(me, oppRunner, kShieldSpeedExcess)) ||
                      (willCollide(me, partner, kShieldLookAhead) &&
                       fasterBy(me, partner, kShieldSpeedExcess));

  Influence influence = steerToCheckpoint(track, me, shield);

  const float bearing = angleTo(me, oppHunter.position);
  if (qutils::distance(me.position, oppHunter.position) < kAvoidDistance &&
      qutils::absf(bearing) < kAvoidBearing) {
    influence.rotation += bearing >= 0.f ? -kTurnLimit : kTurnLimit;
    influence.rotation = clampTurn(influence.rotation);
  }
  return influence;
}

Influence soloRunnerRule(const Track& track, const PodState& me) {
  return steerToCheckpoint(track, me, false);
}

Influence hunterRule(const Track& track, const PodState& ownRunner, const PodState& me,
                     const PodState& target, const PodState& oppHunter) {
  (void)ownRunner;
  (void)oppHunter;

  Influence influence;
  const Checkpoint& targetNext =
      track.checkpoints[static_cast<std::size_t>(target.nextCheckpoint)];
  const float dTarget = qutils::distance(target.position, targetNext.position);
  const float dMe = qutils::distance(me.position, targetNext.position);

  SeekResult steer;
  if (dMe < dTarget && dTarget < kInterceptZone) {
    const Vec2 p = target.position + target.velocity * kTargetLookAhead - me.velocity;
    const Vec2 s = safeNormalised(p - me.position) * kSteerLength - me.velocity;
    steer = seek(s, me);
  } else {
    // Behind the target there is no catching it: wait one checkpoint further.
    const Checkpoint* guarded = &targetNext;
    if (dMe > dTarget) {
      const auto count = static_cast<std::int32_t>(track.checkpoints.size());
      guarded = &track.checkpoints[static_cast<std::size_t>(checkpointAfterNext(target, count))];
    }
    const Vec2 guardPoint =
        guarded->position + safeNormalised(target.position - guarded->position) * kGuardOffset;

    if (qutils::distance(guardPoint, predictCoastPosition(me, kCoastSteps)) < kGuardReached) {
      steer.rotation = angleTo(me, target.position);
      steer.thrust = 0.f;
    } else {
      const Vec2 toGuard = guardPoint - me.position;
      const float length = toGuard.length();
      Vec2 desired = safeNormalised(toGuard) * kSteerLength;
      // Slow down on the final approach.
      if (length < kGuardReached)
        desired *= length / kGuardReached;
      steer = seek(desired - me.velocity, me);
    }
  }

  influence.rotation = steer.rotation;
  influence.thrust = steer.thrust;
  influence.shield = contactWithin(me, target, kShieldLookAhead);
  return influence;
}

} // namespace pod
