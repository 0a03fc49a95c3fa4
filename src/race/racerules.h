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
// Checkpoints cleared at the finish: every checkpoint of every lap.
inline std::int32_t checkpointsToFinish(const Track& track) {
  return constants::kLaps * static_cast<std::int32_t>(track.checkpoints.size());
}
inline bool hasFinished(const PodState& pod, const Track& track) {
  return pod.checkpointsCleared == checkpointsToFinish(track);
}
// nextCheckpoint + 1, or 0 when nextCheckpoint is the last index.
std::int32_t checkpointAfterNext(const PodState& pod, std::int32_t count);

// Both do nothing once a winner is set. Inline: the planners' every step ends
// with one.
inline void applyRaceWinnerRule(Race& race, const Track& track) {
  if (race.winner != -1)
    return;
  const std::int32_t toFinish = checkpointsToFinish(track);
  // Later pods overwrite earlier ones: the last qualifying pod decides.
  for (const auto& pod : race.pods) {
    if (isTimedOut(pod)) {
      race.byTimeout = true;
      race.winner = pod.team == 0 ? 1 : 0;
    } else if (pod.checkpointsCleared == toFinish) {
      race.byTimeout = false;
      race.winner = pod.team;
    }
  }
}

inline void applyTimeAttackWinnerRule(Race& race, const Track& track) {
  if (race.winner != -1)
    return;
  const std::int32_t toFinish = checkpointsToFinish(track);
  for (const auto& pod : race.pods) {
    if (pod.checkpointsCleared == toFinish) {
      race.winner = pod.team;
      race.byTimeout = false;
      return;
    }
  }
}

// Pod ids, leader first.
void raceOrder(const Race& race, const Track& track, std::vector<std::uint32_t>& out);
std::vector<std::uint32_t> raceOrder(const Race& race, const Track& track);
// 1 for the leader, -1 when the id is absent.
int podRank(const Race& race, const Track& track, std::uint32_t podId);

} // namespace pod
