#pragma once

#include "race/race.h"

#include <array>
#include <cstddef>
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

    // 0 before the first sample.
    float averageSpeed() const;
    float averageEngine() const;
  };

  void reset(std::size_t nbPods);
  // After every step: one sample of |velocity| and engine per pod.
  void record(const Race& race);

  std::size_t podCount() const { return pods_.size(); }
  const PodStatistics& pod(std::size_t index) const;

private:
  std::vector<PodStatistics> pods_;
};

// The figures of the statistics panel, in its line order, each rounded to
// the nearest integer: rank, checkpoints cleared, speed, average speed,
// highest speed, engine, average engine.
std::array<long, 7> statisticsValues(int rank, const PodState& pod,
                                     const RaceStatistics::PodStatistics& stats);

// The value column of the statistics panel, one integer per line (floats
// rounded to nearest): rank, checkpoints cleared, speed, average speed,
// highest speed, engine, average engine.
std::string statisticsText(int rank, const PodState& pod,
                           const RaceStatistics::PodStatistics& stats);

// The matching label column.
extern const char* const cStatisticsLabels;

} // namespace pod
