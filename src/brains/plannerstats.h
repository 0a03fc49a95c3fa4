#pragma once

#include <cstdint>

namespace pod {

// What one planner had thought when each turn's commands were taken: the
// evolution steps behind its plan, and whether that plan was made for an
// earlier turn (its worker had not yet taken the new one). Kept by the brain
// on the thread that calls think.
struct ThinkRecord {
  std::uint32_t lastSteps = 0;
  std::uint64_t stepsSum = 0;
  std::uint64_t turns = 0;
  std::uint64_t lateTurns = 0;
  std::uint64_t ageSum = 0; // turns between each plan's start and its use

  void record(std::uint32_t steps, std::uint64_t age) {
    lastSteps = steps;
    stepsSum += steps;
    ++turns;
    lateTurns += age > 0 ? 1u : 0u;
    ageSum += age;
  }
  double meanSteps() const {
    return turns == 0 ? 0.0 : static_cast<double>(stepsSum) / static_cast<double>(turns);
  }
};

// Implemented by brains that plan by evolution, so tools can report how much
// thinking each turn received.
class PlannerStats {
public:
  virtual ~PlannerStats() = default;
  // Evolution steps made since construction, and turns notified.
  virtual std::uint64_t totalEvolutionSteps() const = 0;
  virtual std::uint64_t turnsPlanned() const = 0;
  // The planners of the brain (one per worker) and the one that drives the
  // team's pod k.
  virtual int plannerCount() const { return 1; }
  virtual int plannerOf(int podInTeam) const {
    (void)podInTeam;
    return 0;
  }
  virtual const ThinkRecord& thinkRecord(int planner) const = 0;
};

} // namespace pod
