#include "trace/trace.h"

#include <algorithm>
#include <utility>

namespace pod {

void Trace::begin(const Track& raceTrack, const std::vector<std::string>& teamNames,
                  const Race& startState, float turnSeconds) {
  track = raceTrack;
  timeAttack = startState.timeAttack;
  podsPerTeam = startState.nbPodsPerTeam;
  teams = teamNames;
  turnTime = turnSeconds;
  start = startState;
  turns.clear();
  truncated = false;
}

void Trace::append(const std::vector<Influence>& influences,
                   const std::vector<PhysicsEvent>& events, const Race& state) {
  append(influences, events, state, TraceTurn{});
}

void Trace::append(const std::vector<Influence>& influences,
                   const std::vector<PhysicsEvent>& events, const Race& state,
                   TraceTurn&& storage) {
  TraceTurn& t = turns.emplace_back(std::move(storage));
  t.turn = static_cast<std::int32_t>(turns.size());
  t.influences = influences;
  t.events = events;
  t.state = state;
}

const Race& Trace::stateAt(std::size_t index) const {
  if (index == 0 || turns.empty())
    return start;
  return turns[std::min(index, turns.size()) - 1].state;
}

} // namespace pod
