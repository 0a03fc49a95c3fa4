#pragma once

#include "brains/abstractbrain.h"
#include "brains/driverregistry.h"
#include "brains/geneticevolutiontimeattack.h"
#include "brains/genetichelpers.h"
#include "brains/plannerstats.h"

#include <cstdint>
#include <memory>
#include <thread>

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

  std::uint32_t generations() const { return link_.generations.load(); }
  int workersStarted() const { return workersStarted_; }

  static constexpr int kPopulationSize = 3;
  static constexpr int kNbTurns = 10;

private:
  std::unique_ptr<WorkerBody> makeBody();

  WorkerLink link_;
  Race race_;
  Influence command_;
  int evalsPerTurn_;
  std::uint64_t baseSeed_;
  std::unique_ptr<std::thread> worker_;
  std::unique_ptr<WorkerBody> body_; // synchronous mode only
  std::uint64_t turns_ = 0;
  int workersStarted_ = 0;
};

// The time-attack brain's planner on its own, for tests and benchmarks.
std::unique_ptr<GeneticEvolutionTimeAttack> makeTimeAttackPlanner(int populationSize, int nbTurns,
                                                                  const Track& track, int team,
                                                                  std::uint64_t seed);

} // namespace pod
