#pragma once

#include <cstdint>

namespace pod {

// Implemented by brains that plan by evolution, so tools can report how much
// thinking each turn received.
class PlannerStats {
public:
  virtual ~PlannerStats() = default;
  // Evolution steps made since construction, and turns notified.
  virtual std::uint64_t totalEvolutionSteps() const = 0;
  virtual std::uint64_t turnsPlanned() const = 0;
};

} // namespace pod
