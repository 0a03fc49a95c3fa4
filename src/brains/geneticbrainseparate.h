#pragma once

#include "brains/abstractbrain.h"
#include "brains/driverregistry.h"
#include "brains/geneticevolutionseparate.h"
#include "brains/genetichelpers.h"
#include "brains/plannerstats.h"

#include <cstdint>
#include <memory>
#include <thread>

namespace pod {

// Plans each pod of the team with its own planner on its own worker. Same
// threaded and synchronous modes as the grouped brain; lock1 is always taken
// before lock2.
class GeneticBrainSeparate final : public AbstractBrain, public PlannerStats {
public:
  // 0 and 1: runner and hunter; 2 and 3: two runners.
  explicit GeneticBrainSeparate(int variant, const DriverOptions& options = {});
  ~GeneticBrainSeparate() override;

  void think(const Race& race, std::vector<Influence>& influences) override;
  void turnDone(const Race& race, float turnTime) override;

  // Both workers together.
  std::uint64_t totalEvolutionSteps() const override;
  std::uint64_t turnsPlanned() const override;
  int plannerCount() const override { return 2; }
  int plannerOf(int podInTeam) const override { return podInTeam == 0 ? 0 : 1; }
  const ThinkRecord& thinkRecord(int planner) const override;

  std::uint32_t generations1() const { return link1_.generations.load(); }
  std::uint32_t generations2() const { return link2_.generations.load(); }
  int workersStarted() const { return workersStarted_; }
  bool hunter() const { return hunter_; }

  static constexpr int kPopulationSize = 5;
  static constexpr int kNbTurns = 10;

private:
  std::unique_ptr<WorkerBody> makeBody(int which);

  WorkerLink link1_;
  WorkerLink link2_;
  Race race_;
  PlanSteps plan1_{};
  PlanSteps plan2_{};
  int turnsPerStep_ = 1;
  ThinkRecord record1_;
  ThinkRecord record2_;
  bool hunter_;
  int evalsPerTurn_;
  float turnSeconds_;
  std::uint64_t baseSeed_;
  std::unique_ptr<std::thread> geneticsThread1_;
  std::unique_ptr<std::thread> geneticsThread2_;
  std::unique_ptr<WorkerBody> body1_; // synchronous mode only
  std::unique_ptr<WorkerBody> body2_;
  std::uint64_t turns_ = 0;
  int workersStarted_ = 0;
};

enum class SeparatePlan { Runner, Hunter };

// The separate brain's planners on their own, for tests and benchmarks.
std::unique_ptr<GeneticEvolutionSeparate> makeSeparatePlanner(SeparatePlan plan,
                                                              int populationSize, int nbTurns,
                                                              const Track& track, int team,
                                                              int ownPod, bool hasHunterPartner,
                                                              std::uint64_t seed);

} // namespace pod
