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
    : evalsPerTurn_(options.evalsPerTurn), baseSeed_(brainBaseSeed(options.seed)) {
  Q_ASSERT(options.evalsPerTurn >= 0);
}

GeneticBrainTimeAttack::~GeneticBrainTimeAttack() {
  if (worker_) {
    signalWorker(link_, kWorkerStop);
    worker_->join();
  }
}

std::unique_ptr<WorkerBody> GeneticBrainTimeAttack::makeBody() {
  const Track& track = *track_;
  const int team = team_;
  const std::uint64_t seed = workerSeed(baseSeed_, team, 4);
  auto factory = [&track, team, seed] {
    return makeTimeAttackPlanner(kPopulationSize, kNbTurns, track, team, seed);
  };
  auto publish = [this](const GeneticEvolutionTimeAttack& planner) {
    planner.getCommand(command_);
  };
  return std::make_unique<ScheduledBody<GeneticEvolutionTimeAttack>>(
      link_, race_, evalsPerTurn_, -1.f, false, factory, publish);
}

void GeneticBrainTimeAttack::turnDone(const Race& race, float turnTime) {
  Q_ASSERT(track_);
  ++turns_;
  link_.generations.store(0);
  const bool started = worker_ || body_;
  {
    std::lock_guard<std::mutex> guard(link_.lock);
    link_.thinkTime.store(turnTime);
    link_.state.store(kWorkerNewTurn, std::memory_order_release);
    race_ = race;
    link_.generations.store(0);
  }
  if (!started) {
    ++workersStarted_;
    if (evalsPerTurn_ > 0) {
      body_ = makeBody();
      body_->begin();
    } else {
      worker_ = std::make_unique<std::thread>([this] {
        std::unique_ptr<WorkerBody> body = makeBody();
        runWorker(link_, *body);
      });
    }
  } else {
    link_.wake.notify_all();
  }
  if (body_)
    runSteps(*body_, evalsPerTurn_);
}

void GeneticBrainTimeAttack::think(const Race& race, std::vector<Influence>& influences) {
  (void)race;
  std::lock_guard<std::mutex> guard(link_.lock);
  influences.push_back(command_);
}

std::uint64_t GeneticBrainTimeAttack::totalEvolutionSteps() const {
  return link_.totalSteps.load();
}

std::uint64_t GeneticBrainTimeAttack::turnsPlanned() const { return turns_; }

} // namespace pod
