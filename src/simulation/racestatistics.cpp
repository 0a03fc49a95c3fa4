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

std::string statisticsText(int rank, const PodState& pod,
                           const RaceStatistics::PodStatistics& stats) {
  const auto line = [](float v) { return std::to_string(std::lround(v)) + "\n"; };
  std::string text = std::to_string(rank) + "\n" + std::to_string(pod.checkpointsCleared) + "\n";
  text += line(pod.velocity.length());
  text += line(stats.averageSpeed());
  text += line(stats.highestSpeed);
  text += line(pod.engine);
  text += std::to_string(std::lround(stats.averageEngine()));
  if (stats.bot)
    text += "\n" + std::to_string(stats.lateTurns);
  return text;
}

} // namespace pod
