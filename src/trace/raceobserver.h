#pragma once

#include "race/physicsevent.h"
#include "race/race.h"

#include <string>
#include <vector>

namespace pod {

// Game time of one turn, as in the game's race screen.
constexpr float kTurnTime = 0.25f;

// A driver broke the rules (an external bot) and gave the race up before
// turn `turn` was played.
struct Forfeit {
  int turn = 0; // counted from 1
  int team = -1;
  std::string reason; // "late", "crashed", ...
  std::string detail;
  std::string line; // the offending line, if any
};

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
  // The race ends there; `winner` is the other team, or -1 when both gave up.
  virtual void forfeited(const Forfeit& forfeit, int winner) {
    (void)forfeit;
    (void)winner;
  }
};

} // namespace pod
