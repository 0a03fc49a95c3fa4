#pragma once

#include "race/physicsevent.h"
#include "race/race.h"

#include <vector>

namespace pod {

// Game time of one turn, as in the game's race screen.
constexpr float kTurnTime = 0.25f;

// Sees a race as it is played: the trace writer and the tests listen.
class RaceObserver {
public:
  virtual ~RaceObserver() = default;
  virtual void raceStarted(const Race& start) { (void)start; }
  // After the physics step and every brain's turnDone of turn number `turn`
  // (counted from 1).
  virtual void turnPlayed(int turn, const std::vector<Influence>& influences,
                          const std::vector<PhysicsEvent>& events, const Race& state) {
    (void)turn;
    (void)influences;
    (void)events;
    (void)state;
  }
};

} // namespace pod
