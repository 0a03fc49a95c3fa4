#pragma once

#include "race/race.h"
#include "race/track.h"

#include <cstdint>
#include <string>
#include <vector>

// What the race panels show, computed without drawing anything.

namespace pod {

// "+ 1 CP", "+ 3 CPs"; empty when behind is 0 or less.
std::string gapText(int behind);

struct RaceOrderEntry {
  std::uint32_t podId = 0;
  int place = 0;     // from 1
  std::string gap;   // empty for the leader and pods level with it
};

// Pods by progress: more checkpoints cleared first, then nearer to their own
// next checkpoint; equal pods keep pod order.
void raceOrderList(const Race& race, const Track& track, std::vector<RaceOrderEntry>& out);

// The share of the current leg already covered, in [0, 1]: both distances are
// taken to the checkpoint's edge ring (less 400).
float legFraction(const PodState& pod, const Track& track);

// Where a pod's progress bar marker stands, in ticks (one per checkpoint pass
// of the race): checkpointsCleared + legFraction, at most the tick count.
float progressTicks(const PodState& pod, const Track& track);
int progressTickCount(const Track& track);

// Timeout meter of a team in a race: 1 - the larger timeout of the team's
// pods over 100, blended between the two states.
float raceTimeoutThreshold(const Race& previous, const Race& current, int team,
                           float interpolation);
// Timeout meter of one pod in time attack, from the current state.
float timeAttackTimeoutThreshold(const Race& current, int podIndex);

} // namespace pod
