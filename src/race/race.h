#pragma once

#include <qutils/vec2.h>

#include <cstdint>
#include <vector>

namespace pod {

using qutils::Vec2;

// The command of one pod for one step.
struct Influence {
  float rotation = 0.f; // degrees per second, clamped to [-18, 18] when applied
  float thrust = 0.f;   // clamped to [0, 200 * dt] when applied
  bool shield = false;
};

struct PodState {
  std::uint32_t id = 0;
  Vec2 position;
  float angle = 0.f;
  std::int32_t checkpointsCleared = 0;
  std::int32_t nextCheckpoint = 1;
  float shieldCooldown = 0.f;
  std::int32_t team = -1;
  float timeout = 0.f;
  Vec2 velocity;
  float engine = 0.f;
};

// The state of one race at one moment: a value type copied into brains and
// planner threads.
struct Race {
  std::vector<PodState> pods;
  std::int32_t nbPodsPerTeam = 0;
  bool timeAttack = false;
  std::int32_t winner = -1;
  bool byTimeout = false;

  // First pod whose id matches; asserts when absent.
  const PodState& podById(std::uint32_t id) const;
  PodState& podById(std::uint32_t id);

  // Clears out, then collects the pods of the team in pod order.
  void podsOfTeam(std::int32_t team, std::vector<const PodState*>& out) const;
  void podsOfTeam(std::int32_t team, std::vector<PodState*>& out);
};

namespace constants {
constexpr float kPodRadius = 400.f;
constexpr float kCheckpointRadius = 200.f;
constexpr float kMaxRotation = 18.f;
constexpr float kMaxThrust = 200.f;
constexpr float kShieldDuration = 3.f;
constexpr float kShieldMass = 10.f;
constexpr float kTimeoutLimit = 100.f;
constexpr int kLaps = 3;
constexpr float kWholeStepFriction = 0.85f;
constexpr float kSubStepFriction = 0.96025f;
constexpr float kMinImpulse = 120.f;
constexpr std::uint32_t kCheckpointIdOffset = 10;
} // namespace constants

} // namespace pod
