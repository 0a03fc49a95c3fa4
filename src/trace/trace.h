#pragma once

#include "race/physicsevent.h"
#include "race/race.h"
#include "race/track.h"
#include "trace/raceobserver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pod {

// One turn of a recorded race: the commands, what happened during the step
// and the state after it (winner included).
struct TraceTurn {
  std::int32_t turn = 0; // from 1
  std::vector<Influence> influences;
  std::vector<PhysicsEvent> events;
  Race state;
};

// A whole recorded race, as a trace file holds it.
struct Trace {
  Track track;
  bool timeAttack = false;
  std::int32_t podsPerTeam = 0;
  std::vector<std::string> teams;
  float turnTime = kTurnTime;
  Race start;
  std::vector<TraceTurn> turns;
  // The file ended inside a line: the turns kept are the whole ones before it.
  bool truncated = false;
  // A driver forfeited before the turn after the last one: the race ended there.
  bool forfeited = false;
  Forfeit forfeit;
  std::int32_t forfeitWinner = -1;

  // Empties the turns and takes a new start; the race is the track's.
  void begin(const Track& raceTrack, const std::vector<std::string>& teamNames,
             const Race& startState, float turnSeconds);
  void append(const std::vector<Influence>& influences, const std::vector<PhysicsEvent>& events,
              const Race& state);
  // The same, filling a turn kept from before: its vectors keep their
  // storage, so a recorder with spare turns appends without allocating.
  void append(const std::vector<Influence>& influences, const std::vector<PhysicsEvent>& events,
              const Race& state, TraceTurn&& storage);

  std::size_t turnCount() const { return turns.size(); }
  // The state after `index` turns; 0 is the start, past the end the last.
  const Race& stateAt(std::size_t index) const;
};

} // namespace pod
