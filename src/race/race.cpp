#include "race/race.h"

#include <qutils/assert.h>

namespace pod {

namespace {

template <typename RaceT, typename PodT>
PodT& findPod(RaceT& race, std::uint32_t id) {
  for (auto& pod : race.pods)
    if (pod.id == id)
      return pod;
  Q_ASSERT(false);
  return race.pods.front();
}

} // namespace

const PodState& Race::podById(std::uint32_t id) const {
  return findPod<const Race, const PodState>(*this, id);
}

PodState& Race::podById(std::uint32_t id) { return findPod<Race, PodState>(*this, id); }

void Race::podsOfTeam(std::int32_t team, std::vector<const PodState*>& out) const {
  out.clear();
  for (const auto& pod : pods)
    if (pod.team == team)
      out.push_back(&pod);
}

void Race::podsOfTeam(std::int32_t team, std::vector<PodState*>& out) {
  out.clear();
  for (auto& pod : pods)
    if (pod.team == team)
      out.push_back(&pod);
}

} // namespace pod
