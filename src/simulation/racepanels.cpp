#include "simulation/racepanels.h"

#include <qutils/assert.h>

#include <algorithm>
#include <array>

namespace pod {

std::string gapText(int behind) {
  if (behind <= 0)
    return {};
  std::string text = "+ " + std::to_string(behind) + " CP";
  if (behind > 1)
    text += "s";
  return text;
}

namespace {

float distanceToNext(const PodState& p, const Track& track) {
  const auto next = static_cast<std::size_t>(p.nextCheckpoint);
  if (next >= track.checkpoints.size())
    return 0.f;
  return qutils::distance(p.position, track.checkpoints[next].position);
}

} // namespace

void raceOrderList(const Race& race, const Track& track, std::vector<RaceOrderEntry>& out) {
  // A stable insertion sort on a fixed array: drawn every frame, it must not
  // allocate (std::stable_sort takes a buffer).
  constexpr std::size_t cMax = 8;
  Q_ASSERT(race.pods.size() <= cMax);
  std::array<const PodState*, cMax> order{};
  const std::size_t n = std::min(race.pods.size(), cMax);
  const auto before = [&track](const PodState* a, const PodState* b) {
    Q_ASSERT(a->id != b->id || a == b);
    if (a->checkpointsCleared != b->checkpointsCleared)
      return a->checkpointsCleared > b->checkpointsCleared;
    return distanceToNext(*a, track) < distanceToNext(*b, track);
  };
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j = i;
    for (; j > 0 && before(&race.pods[i], order[j - 1]); --j)
      order[j] = order[j - 1];
    order[j] = &race.pods[i];
  }
  out.resize(n);
  if (n == 0)
    return;
  const int leader = order.front()->checkpointsCleared;
  for (std::size_t i = 0; i < n; ++i) {
    RaceOrderEntry& e = out[i];
    e.podId = order[i]->id;
    e.place = static_cast<int>(i) + 1;
    e.gap = gapText(leader - order[i]->checkpointsCleared);
  }
}

float legFraction(const PodState& pod, const Track& track) {
  const auto count = track.checkpoints.size();
  const auto next = static_cast<std::size_t>(pod.nextCheckpoint);
  if (count == 0 || next >= count)
    return 0.f;
  const std::size_t previous = next == 0 ? count - 1 : next - 1;
  const Vec2 target = track.checkpoints[next].position;
  const float leg = qutils::distance(track.checkpoints[previous].position, target) - 400.f;
  const float remaining = qutils::distance(pod.position, target) - 400.f;
  if (leg <= 0.f)
    return remaining <= 0.f ? 1.f : 0.f;
  const float r = std::clamp(remaining, 0.f, leg);
  return (leg - r) / leg;
}

int progressTickCount(const Track& track) {
  return constants::kLaps * static_cast<int>(track.checkpoints.size());
}

float progressTicks(const PodState& pod, const Track& track) {
  const float ticks = static_cast<float>(pod.checkpointsCleared) + legFraction(pod, track);
  return std::min(ticks, static_cast<float>(progressTickCount(track)));
}

namespace {

float teamTimeout(const Race& race, int team) {
  float m = 0.f;
  const auto first = static_cast<std::size_t>(team * 2);
  for (std::size_t i = first; i < first + 2 && i < race.pods.size(); ++i)
    m = std::max(m, race.pods[i].timeout);
  return m;
}

} // namespace

float raceTimeoutThreshold(const Race& previous, const Race& current, int team,
                           float interpolation) {
  const float a = teamTimeout(previous, team) / constants::kTimeoutLimit;
  const float b = teamTimeout(current, team) / constants::kTimeoutLimit;
  return 1.f - (a + (b - a) * std::clamp(interpolation, 0.f, 1.f));
}

float timeAttackTimeoutThreshold(const Race& current, int podIndex) {
  const auto i = static_cast<std::size_t>(podIndex);
  if (podIndex < 0 || i >= current.pods.size())
    return 1.f;
  return 1.f - current.pods[i].timeout / constants::kTimeoutLimit;
}

} // namespace pod
