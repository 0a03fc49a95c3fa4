#pragma once

#include "race/race.h"

#include <vector>

// Where the pods are drawn between two physics states.

namespace pod {

// Every world position is divided by this to give a drawing position.
constexpr float cWorldPerDrawingUnit = 2.34375f;

inline Vec2 toDrawing(const Vec2& world) { return world / cWorldPerDrawingUnit; }

// Linear blend with t clamped to at most 1. Across 0 degrees the smaller
// angle is raised by 360 first, so a pod never spins the long way round.
// The result stays in [0, 360).
float interpolateAngle(float previous, float current, float t);

// One pod as drawn: drawing position, angle and the interpolated values that
// the effects read.
struct DrawnPod {
  Vec2 position;
  float angle = 0.f;
  float engine = 0.f;
  float shieldCooldown = 0.f;
};

DrawnPod interpolatePod(const PodState& previous, const PodState& current, float t);

// Resizes out to the pod count of current; both states list the same pods.
void interpolatePods(const Race& previous, const Race& current, float t,
                     std::vector<DrawnPod>& out);

} // namespace pod
