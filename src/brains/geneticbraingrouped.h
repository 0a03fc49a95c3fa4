#pragma once

#include "brains/abstractbrain.h"
#include "brains/driverregistry.h"
#include "brains/geneticevolutiongrouped.h"
#include "brains/genetichelpers.h"
#include "brains/plannerstats.h"

#include <cstdint>
#include <memory>

namespace pod {

// Plans both pods of the team with one planner. Threaded (evalsPerTurn 0): a
// worker started at the first turn notification evolves without pause and
// publishes the best plan's first commands; think returns the latest ones.
// Synchronous (evalsPerTurn K): turnDone runs the same loop body until K
// evolution steps are made, on the caller's thread.
class GeneticBrainGrouped final : public AbstractBrain, public PlannerStats {
public:
  // 0 runner and hunter; 1 the same with opponent prediction; 2 and 3 two runners.
  explicit GeneticBrainGrouped(int variant, const DriverOptions& options = {});
  ~GeneticBrainGrouped() override;

  void think(const Race& race, std::vector<Influence>& influences) override;
  void turnDone(const Race& race, float turnTime) override;

  std::uint64_t totalEvolutionSteps() const override;
  std::uint64_t turnsPlanned() const override;
  const ThinkRecord& thinkRecord(int planner) const override;

  // Own-planner evolution steps of the current turn.
  std::uint32_t generations() const { return worker_.link().generations.load(); }
  int workersStarted() const { return worker_.started(); }
  bool dedicated() const { return dedicated_; }
  bool predictive() const { return predictive_; }

  static constexpr int kPopulationSize = 3;
  static constexpr int kNbTurns = 10;
  static constexpr int kGenomeSize = 20;

private:
  std::unique_ptr<WorkerBody> makeBody();

  Race race_;
  // The published plan of the lower and the higher pod index.
  PlanSteps first_{};
  PlanSteps second_{};
  int turnsPerStep_ = 1;
  ThinkRecord record_;
  bool dedicated_;
  bool predictive_;
  std::uint64_t baseSeed_;
  std::uint64_t turns_ = 0;
  // Last: it stops and joins before the members its worker uses go.
  PlannerWorker worker_;
};

enum class GroupedPlan { Dedicated, Runners };

// The grouped brain's planners on their own, for tests and benchmarks.
std::unique_ptr<GeneticEvolutionGrouped> makeGroupedPlanner(GroupedPlan plan, int populationSize,
                                                            int nbTurns, const Track& track,
                                                            int team, std::uint64_t seed);

} // namespace pod
