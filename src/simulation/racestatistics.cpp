#include "simulation/racestatistics.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cmath>

namespace pod {

const char* const cStatisticsLabels =
    "Position\nCp. Checked\nVelocity\nAvg. Velocity\nMax. Velocity\nEngine\nAvg. Engine";

const char* const cBotStatisticsLabel = "\nLate answers";

void RaceStatistics::setLateTurns(std::size_t pod, int lateTurns) {
  Q_ASSERT(pod < pods_.size());
  if (pod >= pods_.size())
    return;
  pods_[pod].bot = true;
  pods_[pod].lateTurns = lateTurns;
}

float RaceStatistics::PodStatistics::averageSpeed() const {
  return samples == 0 ? 0.f : static_cast<float>(speedSum / static_cast<double>(samples));
}

float RaceStatistics::PodStatistics::averageEngine() const {
  return samples == 0 ? 0.f : static_cast<float>(engineSum / static_cast<double>(samples));
}

void RaceStatistics::reset(std::size_t nbPods) {
  pods_.assign(nbPods, PodStatistics{});
}

void RaceStatistics::record(const Race& race) {
  Q_ASSERT(race.pods.size() == pods_.size());
  const std::size_t n = std::min(race.pods.size(), pods_.size());
  for (std::size_t i = 0; i < n; ++i) {
    const PodState& p = race.pods[i];
    PodStatistics& s = pods_[i];
    const float speed = p.velocity.length();
    s.speedSum += speed;
    s.engineSum += p.engine;
    ++s.samples;
    if (speed > s.highestSpeed)
      s.highestSpeed = speed;
  }
}

const RaceStatistics::PodStatistics& RaceStatistics::pod(std::size_t index) const {
  Q_ASSERT(index < pods_.size());
  return pods_[index];
}

std::size_t statisticsLineCount(const RaceStatistics::PodStatistics& stats) {
  return stats.bot ? 8 : 7;
}

std::array<long, 8> statisticsValues(int rank, const PodState& pod,
                                     const RaceStatistics::PodStatistics& stats) {
  return {rank,
          pod.checkpointsCleared,
          std::lround(pod.velocity.length()),
          std::lround(stats.averageSpeed()),
          std::lround(stats.highestSpeed),
          std::lround(pod.engine),
          std::lround(stats.averageEngine()),
          static_cast<long>(stats.lateTurns)};
}

} // namespace pod
