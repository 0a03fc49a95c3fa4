#include "brains/geneticbraintimeattack.h"

#include <qutils/assert.h>

namespace pod {

namespace {

class GeneticsRunner final : public GeneticEvolutionTimeAttack {
public:
  using GeneticEvolutionTimeAttack::GeneticEvolutionTimeAttack;

  void evaluate(Genome& genome) override {
    replay(genome);
    if (decidedScore(simState_, team_, genome.score))
      return;
    const PodState& own = ownState();
    genome.score = static_cast<float>(own.checkpointsCleared * 50000) -
                   qutils::distance(own.position, nextCheckpointPosition(track_, own));
  }

  Influence ownInfluence() const override { return simpleRunnerRule(track_, ownState()); }
};

} // namespace

std::unique_ptr<GeneticEvolutionTimeAttack> makeTimeAttackPlanner(int populationSize, int nbTurns,
                                                                  const Track& track, int team,
                                                                  std::uint64_t seed) {
  return std::make_unique<GeneticsRunner>(populationSize, nbTurns, nbTurns, track, team, team,
                                          seed);
}

GeneticBrainTimeAttack::GeneticBrainTimeAttack(const DriverOptions& options)
    : baseSeed_(brainBaseSeed(options.seed)),
      worker_(options.evalsPerTurn, options.turnSeconds) {
  Q_ASSERT(options.evalsPerTurn >= 0);
}

GeneticBrainTimeAttack::~GeneticBrainTimeAttack() { worker_.stop(); }

std::unique_ptr<WorkerBody> GeneticBrainTimeAttack::makeBody() {
  const Track& track = *track_;
  const int team = team_;
  const std::uint64_t seed = workerSeed(baseSeed_, team, 4);
  auto factory = [&track, team, seed] {
    return makeTimeAttackPlanner(kPopulationSize, kNbTurns, track, team, seed);
  };
  auto publish = [this](const GeneticEvolutionTimeAttack& planner) {
    planner.getCommands(plan_);
  };
  return std::make_unique<ScheduledBody<GeneticEvolutionTimeAttack>>(
      worker_.link(), race_, worker_.evalsPerTurn(), worker_.turnSeconds(), -1.f, false, factory,
      publish);
}

void GeneticBrainTimeAttack::turnDone(const Race& race, float turnTime) {
  Q_ASSERT(track_);
  ++turns_;
  turnsPerStep_ = turnsPerPlanningStep(turnTime);
  worker_.newTurn(race_, race, turnTime, [this] { return makeBody(); },
                  nullptr);
}

void GeneticBrainTimeAttack::think(const Race& race, std::vector<Influence>& influences) {
  (void)race;
  std::lock_guard<std::mutex> guard(worker_.link().lock);
  influences.push_back(plan_[takeStep(worker_.link(), turnsPerStep_, record_)]);
}

std::uint64_t GeneticBrainTimeAttack::totalEvolutionSteps() const {
  return worker_.link().totalSteps.load();
}

std::uint64_t GeneticBrainTimeAttack::turnsPlanned() const { return turns_; }

const ThinkRecord& GeneticBrainTimeAttack::thinkRecord(int planner) const {
  (void)planner;
  return record_;
}

} // namespace pod
