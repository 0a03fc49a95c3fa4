#pragma once

#include "brains/abstractbrain.h"
#include "brains/driverregistry.h"
#include "brains/geneticevolutiontimeattack.h"
#include "brains/genetichelpers.h"
#include "brains/plannerstats.h"

#include <cstdint>
#include <memory>

namespace pod {

// Plans the team's single pod in time attack on one worker; same threaded and
// synchronous modes as the grouped brain.
class GeneticBrainTimeAttack final : public AbstractBrain, public PlannerStats {
public:
  explicit GeneticBrainTimeAttack(const DriverOptions& options = {});
  ~GeneticBrainTimeAttack() override;

  void think(const Race& race, std::vector<Influence>& influences) override;
  void turnDone(const Race& race, float turnTime) override;

  std::uint64_t totalEvolutionSteps() const override;
  std::uint64_t turnsPlanned() const override;
  const ThinkRecord& thinkRecord(int planner) const override;

  std::uint32_t generations() const { return worker_.link().generations.load(); }
  int workersStarted() const { return worker_.started(); }

  static constexpr int kPopulationSize = 3;
  static constexpr int kNbTurns = 10;

private:
  std::unique_ptr<WorkerBody> makeBody();

  Race race_;
  PlanSteps plan_{};
  int turnsPerStep_ = 1;
  ThinkRecord record_;
  std::uint64_t baseSeed_;
  std::uint64_t turns_ = 0;
  // Last: it stops and joins before the members its worker uses go.
  PlannerWorker worker_;
};

// The time-attack brain's planner on its own, for tests and benchmarks.
std::unique_ptr<GeneticEvolutionTimeAttack> makeTimeAttackPlanner(int populationSize, int nbTurns,
                                                                  const Track& track, int team,
                                                                  std::uint64_t seed);

} // namespace pod
