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
    // Pods of an external bot: turns it answered too late, so they coasted.
    bool bot = false;
    int lateTurns = 0;

    // 0 before the first sample.
    float averageSpeed() const;
    float averageEngine() const;
  };

  void reset(std::size_t nbPods);
  // After every step: one sample of |velocity| and engine per pod.
  void record(const Race& race);
  // Marks the pod as a bot's and sets its count of late turns.
  void setLateTurns(std::size_t pod, int lateTurns);

  std::size_t podCount() const { return pods_.size(); }
  const PodStatistics& pod(std::size_t index) const;

private:
  std::vector<PodStatistics> pods_;
};

// The figures of the statistics panel, in its line order, each rounded to
// the nearest integer: rank, checkpoints cleared, speed, average speed,
// highest speed, engine, average engine.
// The last value, late answers, is shown for bots only.
std::size_t statisticsLineCount(const RaceStatistics::PodStatistics& stats);
std::array<long, 8> statisticsValues(int rank, const PodState& pod,
                                     const RaceStatistics::PodStatistics& stats);

// The matching label column; bots' pods have one more line.
extern const char* const cStatisticsLabels;
extern const char* const cBotStatisticsLabel;

} // namespace pod
