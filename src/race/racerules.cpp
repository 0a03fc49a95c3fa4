#include "race/racerules.h"

namespace pod {

std::int32_t checkpointAfterNext(const PodState& pod, std::int32_t count) {
  return pod.nextCheckpoint == count - 1 ? 0 : pod.nextCheckpoint + 1;
}

namespace {

bool beats(const PodState& inserted, const PodState& listed, const Track& track) {
  if (inserted.checkpointsCleared != listed.checkpointsCleared)
    return inserted.checkpointsCleared > listed.checkpointsCleared;
  const Vec2 target = track.checkpoints[inserted.nextCheckpoint].position;
  return qutils::distance(target, listed.position) >
         qutils::distance(target, inserted.position);
}

} // namespace

void raceOrder(const Race& race, const Track& track, std::vector<std::uint32_t>& out) {
  out.clear();
  for (const auto& pod : race.pods) {
    auto it = out.begin();
    while (it != out.end() && !beats(pod, race.podById(*it), track))
      ++it;
    out.insert(it, pod.id);
  }
}

std::vector<std::uint32_t> raceOrder(const Race& race, const Track& track) {
  std::vector<std::uint32_t> order;
  raceOrder(race, track, order);
  return order;
}

int podRank(const Race& race, const Track& track, std::uint32_t podId) {
  const auto order = raceOrder(race, track);
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == podId)
      return static_cast<int>(i) + 1;
  return -1;
}

} // namespace pod
