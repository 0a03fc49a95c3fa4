#include "brains/geneticbraingrouped.h"

#include "brains/steering.h"

#include <qutils/assert.h>

#include <iostream>

namespace pod {

namespace {

// A racing pod's undecided score: checkpoints ahead of the opponent runner,
// less the way left to its next checkpoint.
float raceTerm(const Track& track, const PodState& own, const PodState& oppRunner) {
  return checkpointTerm(own.checkpointsCleared, oppRunner.checkpointsCleared) -
         qutils::distance(own.position, nextCheckpointPosition(track, own));
}

// Own runner races, own hunter blocks the opponent runner.
class GeneticsDedicated final : public GeneticEvolutionGrouped {
public:
  using GeneticEvolutionGrouped::GeneticEvolutionGrouped;

  void evaluate(Genome& genome) override {
    replay(genome);
    if (decidedScore(simState_, team_, genome.score))
      return;
    const PodState& ownRunner = pod(OwnRunner);
    const PodState& ownHunter = pod(OwnHunter);
    const PodState& oppRunner = pod(OppRunner);
    genome.score = raceTerm(track_, ownRunner, oppRunner) -
                   0.5f * qutils::distance(ownHunter.position, oppRunner.position);
  }

  Influence ownRunnerInfluence() const override {
    return runnerRule(track_, pod(OwnRunner), pod(OwnHunter), pod(OppRunner), pod(OppHunter));
  }

  Influence ownHunterInfluence() const override {
    return hunterRule(track_, pod(OwnRunner), pod(OwnHunter), pod(OppRunner), pod(OppHunter));
  }
};

// Both own pods race.
class GeneticsRunners final : public GeneticEvolutionGrouped {
public:
  using GeneticEvolutionGrouped::GeneticEvolutionGrouped;

  void evaluate(Genome& genome) override {
    replay(genome);
    if (decidedScore(simState_, team_, genome.score))
      return;
    const PodState& ownRunner = pod(OwnRunner);
    const PodState& ownHunter = pod(OwnHunter);
    const PodState& oppRunner = pod(OppRunner);
    // Summed left to right as written, so the score's bits match the formula.
    genome.score = raceTerm(track_, ownRunner, oppRunner) +
                   checkpointTerm(ownHunter.checkpointsCleared, oppRunner.checkpointsCleared) -
                   qutils::distance(ownHunter.position, nextCheckpointPosition(track_, ownHunter));
  }

  Influence ownRunnerInfluence() const override {
    return runnerRule(track_, pod(OwnRunner), pod(OwnHunter), pod(OppRunner), pod(OppHunter));
  }

  Influence ownHunterInfluence() const override {
    return runnerRule(track_, pod(OwnHunter), pod(OwnRunner), pod(OppRunner), pod(OppHunter));
  }
};

// The predictive worker: evolves the opponent team's planner for a tenth of
// the 0.25 s game turn in real time (most of a turn at fast game speeds), then re-prepares the own planner against the
// opponent's best plan and evolves it for the rest of the turn.
class PredictiveBody final : public WorkerBody {
public:
  PredictiveBody(WorkerLink& link, const Race& brainRace, PlanSteps& first, PlanSteps& second,
                 const Track& track, int team, std::uint64_t baseSeed, int evalsPerTurn,
                 float turnSeconds)
      : link_(link), brainRace_(brainRace), first_(first), second_(second), track_(track),
        team_(team), baseSeed_(baseSeed), timer_(evalsPerTurn, turnSeconds) {}

  void begin() override {
    const int other = team_ == 0 ? 1 : 0;
    own_ = makeGroupedPlanner(GroupedPlan::Dedicated, GeneticBrainGrouped::kPopulationSize,
                              GeneticBrainGrouped::kNbTurns, track_, team_,
                              workerSeed(baseSeed_, team_, 0));
    opponent_ = makeGroupedPlanner(GroupedPlan::Dedicated, GeneticBrainGrouped::kPopulationSize,
                                   GeneticBrainGrouped::kNbTurns, track_, other,
                                   workerSeed(baseSeed_, team_, 1));
    {
      std::lock_guard<std::mutex> guard(link_.lock);
      race_ = brainRace_;
      taken_ = link_.notified;
    }
    firstThinkTime_ = link_.thinkTime.load();
    own_->prepare(race_);
    opponent_->prepare(race_);
    ownPlanned_ = taken_;
    remaining_ = firstThinkTime_;
    timer_.restart();
  }

  bool iterate() override {
    const int state = link_.state.load(std::memory_order_acquire);
    if (state == kWorkerNewTurn) {
      if (takeNewTurn(link_, brainRace_, race_, taken_, [] {})) {
        opponent_->prepare(race_);
        timer_.restart();
        opponentPhase_ = true;
      }
      return false;
    }
    if (state != kWorkerEvolving)
      return false;
    const float thinkTime = link_.thinkTime.load();
    const float phase = 0.1f * firstThinkTime_;
    bool evolved = true;
    timer_.beginStep();
    if (opponentPhase_ && timer_.inFirstTenth(firstThinkTime_)) {
      opponent_->evolve(
          qutils::clampf((thinkTime - remaining_ - phase) / (0.f - phase), 0.f, 1.f));
    } else if (opponentPhase_) {
      opponentPhase_ = false;
      own_->prepareAgainst(race_, opponent_->bestGenome());
      ownPlanned_ = taken_;
      evolved = false;
    } else {
      own_->evolve(scheduledAmplitude(thinkTime, remaining_));
      link_.generations.fetch_add(1, std::memory_order_relaxed);
    }
    if (evolved)
      link_.totalSteps.fetch_add(1, std::memory_order_relaxed);
    remaining_ = std::max(0.1f, remaining_ - timer_.endStep(evolved));
    std::lock_guard<std::mutex> guard(link_.lock);
    own_->getCommands(first_, second_);
    link_.planned = ownPlanned_;
    return evolved;
  }

private:
  WorkerLink& link_;
  const Race& brainRace_;
  PlanSteps& first_;
  PlanSteps& second_;
  const Track& track_;
  int team_;
  std::uint64_t baseSeed_;
  StepTimer timer_;
  Race race_;
  std::unique_ptr<GeneticEvolutionGrouped> own_;
  std::unique_ptr<GeneticEvolutionGrouped> opponent_;
  // The turn of the race copy, and the one the own plan starts from.
  std::uint64_t taken_ = 0;
  std::uint64_t ownPlanned_ = 0;
  float firstThinkTime_ = 0.f;
  float remaining_ = 0.f;
  bool opponentPhase_ = false;
};

} // namespace

std::unique_ptr<GeneticEvolutionGrouped> makeGroupedPlanner(GroupedPlan plan, int populationSize,
                                                            int nbTurns, const Track& track,
                                                            int team, std::uint64_t seed) {
  if (plan == GroupedPlan::Dedicated)
    return std::make_unique<GeneticsDedicated>(populationSize, nbTurns, 2 * nbTurns, track, team,
                                               seed);
  return std::make_unique<GeneticsRunners>(populationSize, nbTurns, 2 * nbTurns, track, team,
                                           seed);
}

GeneticBrainGrouped::GeneticBrainGrouped(int variant, const DriverOptions& options)
    : dedicated_(variant == 0 || variant == 1), predictive_(variant == 1 || variant == 3),
      baseSeed_(brainBaseSeed(options.seed)),
      worker_(options.evalsPerTurn, options.turnSeconds) {
  Q_ASSERT(variant >= 0 && variant <= 3);
  Q_ASSERT(options.evalsPerTurn >= 0);
}

GeneticBrainGrouped::~GeneticBrainGrouped() { worker_.stop(); }

std::unique_ptr<WorkerBody> GeneticBrainGrouped::makeBody() {
  const Track& track = *track_;
  const int team = team_;
  if (dedicated_ && predictive_)
    return std::make_unique<PredictiveBody>(worker_.link(), race_, first_, second_,
                                            track, team, baseSeed_, worker_.evalsPerTurn(),
                                            worker_.turnSeconds());
  const GroupedPlan plan = dedicated_ ? GroupedPlan::Dedicated : GroupedPlan::Runners;
  const std::uint64_t seed = workerSeed(baseSeed_, team, 0);
  auto factory = [plan, &track, team, seed] {
    return makeGroupedPlanner(plan, kPopulationSize, kNbTurns, track, team, seed);
  };
  auto publish = [this](const GeneticEvolutionGrouped& planner) {
    planner.getCommands(first_, second_);
  };
  // The runners planner evolves at a fixed amplitude, without a clock.
  return std::make_unique<ScheduledBody<GeneticEvolutionGrouped>>(
      worker_.link(), race_, worker_.evalsPerTurn(), worker_.turnSeconds(), dedicated_ ? -1.f : 0.5f,
      false, factory, publish);
}

void GeneticBrainGrouped::turnDone(const Race& race, float turnTime) {
  Q_ASSERT(track_);
  ++turns_;
  turnsPerStep_ = turnsPerPlanningStep(turnTime);
  worker_.newTurn(race_, race, turnTime, [this] { return makeBody(); },
                  dedicated_ ? "Starting dedicated grouped thread" : "Starting runners grouped thread");
}

void GeneticBrainGrouped::think(const Race& race, std::vector<Influence>& influences) {
  (void)race;
  std::lock_guard<std::mutex> guard(worker_.link().lock);
  const std::size_t step = takeStep(worker_.link(), turnsPerStep_, record_);
  influences.push_back(first_[step]);
  influences.push_back(second_[step]);
}

std::uint64_t GeneticBrainGrouped::totalEvolutionSteps() const {
  return worker_.link().totalSteps.load();
}

std::uint64_t GeneticBrainGrouped::turnsPlanned() const { return turns_; }

const ThinkRecord& GeneticBrainGrouped::thinkRecord(int planner) const {
  (void)planner;
  return record_;
}

} // namespace pod
