#include "simulation/racestatistics.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

const char* const cLabels[] = {"Position",     "Cp. Checked",   "Velocity",   "Avg. Velocity",
                               "Max. Velocity", "Engine",       "Avg. Engine"};
constexpr std::size_t cBaseLines = 7;

} // namespace

void RaceStatistics::setPlanSteps(std::size_t pod, std::uint32_t last, double mean) {
  Q_ASSERT(pod < pods_.size());
  if (pod >= pods_.size())
    return;
  pods_[pod].planner = true;
  pods_[pod].planSteps = last;
  pods_[pod].planStepsMean = mean;
}

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
  return cBaseLines + (stats.bot ? 1 : 0) + (stats.planner ? 2 : 0);
}

std::array<long, cMaxStatisticsLines> statisticsValues(int rank, const PodState& pod,
                                                       const RaceStatistics::PodStatistics& stats) {
  std::array<long, cMaxStatisticsLines> values{rank,
                                               pod.checkpointsCleared,
                                               std::lround(pod.velocity.length()),
                                               std::lround(stats.averageSpeed()),
                                               std::lround(stats.highestSpeed),
                                               std::lround(pod.engine),
                                               std::lround(stats.averageEngine())};
  std::size_t line = cBaseLines;
  if (stats.bot)
    values[line++] = stats.lateTurns;
  if (stats.planner) {
    values[line++] = static_cast<long>(stats.planSteps);
    values[line++] = std::lround(stats.planStepsMean);
  }
  return values;
}

const char* statisticsLabel(const RaceStatistics::PodStatistics& stats, std::size_t line) {
  if (line < cBaseLines)
    return cLabels[line];
  if (stats.bot && line == cBaseLines)
    return "Late answers";
  const std::size_t planLine = line - cBaseLines - (stats.bot ? 1 : 0);
  return planLine == 0 ? "Evol. steps" : "Avg. evol. steps";
}

} // namespace pod
