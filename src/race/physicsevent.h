#pragma once

#include <qutils/vec2.h>

#include <cstdint>

namespace pod {

// A checkpoint pass or a pod collision within one step.
struct PhysicsEvent {
  enum Type : std::int32_t { CheckpointPassed = 0, PodCollision = 1 };

  std::int32_t type = CheckpointPassed;
  std::int32_t firstId = 0;  // the pod, or the first pod of the pair
  std::int32_t secondId = 0; // checkpoint identifier - 10, or the other pod
  float time = 0.f;          // seconds from the start of the step
  qutils::Vec2 position;     // collision: midpoint of the centres at impact
  qutils::Vec2 normal;       // collision: second centre minus first centre
  float strength = 0.f;      // collision: impact strength in [0, 1]
};

} // namespace pod
