#pragma once

#include "race/race.h"
#include "race/track.h"

// The steering heuristics: pure, allocation-free rules on pod values, used by
// TarvokBrain, by the planners' look-ahead and by the player's blocker.
// Distances in world units, angles in degrees, time in 1 s planning steps.

namespace pod {

struct SeekResult {
  float rotation = 0.f;
  float thrust = 0.f;
};

// Signed turn from the pod's heading to the direction of the point; 0 when the
// point coincides with the pod.
float angleTo(const PodState& pod, const Vec2& point);
SeekResult seek(const Vec2& offset, const PodState& pod);
bool willCollide(const PodState& a, const PodState& b, float steps);
bool willReachCheckpoint(const PodState& pod, const Checkpoint& checkpoint, float steps);
Vec2 predictCoastPosition(const PodState& pod, int steps);
bool isAhead(const Track& track, const PodState& a, const PodState& b);

Influence runnerRule(const Track& track, const PodState& me, const PodState& partner,
                     const PodState& oppRunner, const PodState& oppHunter);
Influence hunterRule(const Track& track, const PodState& ownRunner, const PodState& me,
                     const PodState& target, const PodState& oppHunter);
Influence soloRunnerRule(const Track& track, const PodState& me);

} // namespace pod
