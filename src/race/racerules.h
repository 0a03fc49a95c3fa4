#pragma once

#include "race/race.h"
#include "race/track.h"

#include <cstdint>
#include <vector>

// Laps, timeouts, winners and race order, shared by the physics and by the
// brains' look-ahead.

namespace pod {

// Inline: the physics asks these of every pod in every step.
inline bool isTimedOut(const PodState& pod) { return pod.timeout >= constants::kTimeoutLimit; }
inline bool hasFinished(const PodState& pod, const Track& track) {
  return pod.checkpointsCleared ==
         constants::kLaps * static_cast<std::int32_t>(track.checkpoints.size());
}
// nextCheckpoint + 1, or 0 when nextCheckpoint is the last index.
std::int32_t checkpointAfterNext(const PodState& pod, std::int32_t count);

// Both do nothing once a winner is set.
void applyRaceWinnerRule(Race& race, const Track& track);
void applyTimeAttackWinnerRule(Race& race, const Track& track);

// Pod ids, leader first.
void raceOrder(const Race& race, const Track& track, std::vector<std::uint32_t>& out);
std::vector<std::uint32_t> raceOrder(const Race& race, const Track& track);
// 1 for the leader, -1 when the id is absent.
int podRank(const Race& race, const Track& track, std::uint32_t podId);

} // namespace pod
