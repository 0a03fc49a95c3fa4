#pragma once

#include "race/race.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pod {

// Per-pod speed and engine figures over a whole race. The averages are kept
// as running sums, so recording costs the same at any point of the race.
class RaceStatistics {
public:
  struct PodStatistics {
    double speedSum = 0.0;
    double engineSum = 0.0;
    std::size_t samples = 0;
    float highestSpeed = 0.f;
    // Pods of an external bot: turns it answered too late, so they coasted.
    bool bot = false;
    int lateTurns = 0;
    // Pods of a planner: the evolution steps behind its last command, and
    // per turn on average.
    bool planner = false;
    std::uint32_t planSteps = 0;
    double planStepsMean = 0.0;

    // 0 before the first sample.
    float averageSpeed() const;
    float averageEngine() const;
  };

  void reset(std::size_t nbPods);
  // After every step: one sample of |velocity| and engine per pod.
  void record(const Race& race);
  // Marks the pod as a bot's and sets its count of late turns.
  void setLateTurns(std::size_t pod, int lateTurns);
  // Marks the pod as a planner's and sets its thinking figures.
  void setPlanSteps(std::size_t pod, std::uint32_t last, double mean);

  std::size_t podCount() const { return pods_.size(); }
  const PodStatistics& pod(std::size_t index) const;

private:
  std::vector<PodStatistics> pods_;
};

// The figures of the statistics panel, in its line order, each rounded to
// the nearest integer: rank, checkpoints cleared, speed, average speed,
// highest speed, engine, average engine; then for a bot's pod its late
// answers, for a planner's pod its evolution steps last turn and on average.
constexpr std::size_t cMaxStatisticsLines = 10;
std::size_t statisticsLineCount(const RaceStatistics::PodStatistics& stats);
std::array<long, cMaxStatisticsLines> statisticsValues(int rank, const PodState& pod,
                                                       const RaceStatistics::PodStatistics& stats);
// The label of each line.
const char* statisticsLabel(const RaceStatistics::PodStatistics& stats, std::size_t line);

} // namespace pod
