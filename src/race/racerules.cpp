#include "race/racerules.h"

#include <algorithm>
#include <array>

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

// Inserts the pods one by one, each before the first listed pod it beats;
// writes race.pods.size() ids.
void orderInto(const Race& race, const Track& track, std::uint32_t* ids) {
  std::size_t n = 0;
  for (const auto& pod : race.pods) {
    std::size_t at = 0;
    while (at < n && !beats(pod, race.podById(ids[at]), track))
      ++at;
    std::copy_backward(ids + at, ids + n, ids + n + 1);
    ids[at] = pod.id;
    ++n;
  }
}

} // namespace

void raceOrder(const Race& race, const Track& track, std::vector<std::uint32_t>& out) {
  out.resize(race.pods.size());
  orderInto(race, track, out.data());
}

std::vector<std::uint32_t> raceOrder(const Race& race, const Track& track) {
  std::vector<std::uint32_t> order;
  raceOrder(race, track, order);
  return order;
}

int podRank(const Race& race, const Track& track, std::uint32_t podId) {
  // On the stack for a race's few pods: the statistics panel asks every frame.
  constexpr std::size_t cFew = 16;
  std::array<std::uint32_t, cFew> few;
  std::vector<std::uint32_t> many;
  std::uint32_t* ids = few.data();
  if (race.pods.size() > cFew) {
    many.resize(race.pods.size());
    ids = many.data();
  }
  orderInto(race, track, ids);
  for (std::size_t i = 0; i < race.pods.size(); ++i)
    if (ids[i] == podId)
      return static_cast<int>(i) + 1;
  return -1;
}

} // namespace pod
