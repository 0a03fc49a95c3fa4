#include "brains/geneticbrainseparate.h"

#include "brains/steering.h"

#include <qutils/assert.h>

#include <cmath>

namespace pod {

namespace {

class GeneticsRunner final : public GeneticEvolutionSeparate {
public:
  GeneticsRunner(int populationSize, int nbTurns, const Track& track, int team, int ownPod,
                 bool hasHunterPartner, std::uint64_t seed)
      : GeneticEvolutionSeparate(populationSize, nbTurns, nbTurns, track, team, ownPod, seed),
        hasHunterPartner_(hasHunterPartner) {}

  void evaluate(Genome& genome) override {
    replay(genome);
    if (decidedScore(simState_, team_, genome.score))
      return;
    const PodState& own = ownState();
    genome.score = static_cast<float>(own.checkpointsCleared * 50000) -
                   qutils::distance(own.position, nextCheckpointPosition(track_, own));
  }

  // Both rules below drive the pod in the own-runner role, whichever pod
  // this planner plans.
  Influence partnerInfluence() const override {
    if (hasHunterPartner_)
      return hunterRule(track_, ownState(), partnerState(), pod(OppRunner), pod(OppHunter));
    return simpleRunnerRule(track_, pod(OwnRunner));
  }

  Influence ownInfluence() const override { return simpleRunnerRule(track_, pod(OwnRunner)); }

private:
  bool hasHunterPartner_;
};

class GeneticsHunter final : public GeneticEvolutionSeparate {
public:
  GeneticsHunter(int populationSize, int nbTurns, const Track& track, int team, int ownPod,
                 std::uint64_t seed)
      : GeneticEvolutionSeparate(populationSize, nbTurns, nbTurns, track, team, ownPod, seed) {}

  void evaluate(Genome& genome) override {
    replay(genome);
    if (decidedScore(simState_, team_, genome.score))
      return;
    const PodState& own = ownState();
    const PodState& target = pod(OppRunner);
    const Vec2 toTarget = target.position - own.position;
    const float a = toTarget.x == 0.f && toTarget.y == 0.f
                        ? 0.f
                        : qutils::signedAngleDifference(Vec2::fromAngle(own.angle), toTarget);
    genome.score = static_cast<float>(-50000 * target.checkpointsCleared) -
                   qutils::distance(own.position, nextCheckpointPosition(track_, target)) -
                   5.f * a;
  }

  Influence partnerInfluence() const override {
    return runnerRule(track_, partnerState(), ownState(), pod(OppRunner), pod(OppHunter));
  }

  Influence ownInfluence() const override {
    return hunterRule(track_, partnerState(), ownState(), pod(OppRunner), pod(OppHunter));
  }
};

} // namespace

std::unique_ptr<GeneticEvolutionSeparate> makeSeparatePlanner(SeparatePlan plan,
                                                              int populationSize, int nbTurns,
                                                              const Track& track, int team,
                                                              int ownPod, bool hasHunterPartner,
                                                              std::uint64_t seed) {
  if (plan == SeparatePlan::Hunter)
    return std::make_unique<GeneticsHunter>(populationSize, nbTurns, track, team, ownPod, seed);
  return std::make_unique<GeneticsRunner>(populationSize, nbTurns, track, team, ownPod,
                                          hasHunterPartner, seed);
}

GeneticBrainSeparate::GeneticBrainSeparate(int variant, const DriverOptions& options)
    : hunter_(variant == 0 || variant == 1), evalsPerTurn_(options.evalsPerTurn),
      turnSeconds_(options.turnSeconds),
      baseSeed_(brainBaseSeed(options.seed)) {
  Q_ASSERT(variant >= 0 && variant <= 3);
  Q_ASSERT(options.evalsPerTurn >= 0);
}

GeneticBrainSeparate::~GeneticBrainSeparate() {
  if (geneticsThread1_) {
    signalWorker(link1_, kWorkerStop);
    signalWorker(link2_, kWorkerStop);
    geneticsThread1_->join();
    geneticsThread2_->join();
  }
}

std::unique_ptr<WorkerBody> GeneticBrainSeparate::makeBody(int which) {
  const Track& track = *track_;
  const int team = team_;
  const int ownPod = 2 * team + (which == 1 ? 0 : 1);
  const bool huntingPod = which == 2 && hunter_;
  const SeparatePlan plan = huntingPod ? SeparatePlan::Hunter : SeparatePlan::Runner;
  const bool hasHunterPartner = which == 1 && hunter_;
  const std::uint64_t seed = workerSeed(baseSeed_, team, which + 1);
  auto factory = [plan, &track, team, ownPod, hasHunterPartner, seed] {
    return makeSeparatePlanner(plan, kPopulationSize, kNbTurns, track, team, ownPod,
                               hasHunterPartner, seed);
  };
  PlanSteps* steps = which == 1 ? &plan1_ : &plan2_;
  auto publish = [steps](const GeneticEvolutionSeparate& planner) { planner.getCommands(*steps); };
  return std::make_unique<ScheduledBody<GeneticEvolutionSeparate>>(
      which == 1 ? link1_ : link2_, race_, evalsPerTurn_, turnSeconds_, -1.f, huntingPod, factory,
      publish);
}

void GeneticBrainSeparate::turnDone(const Race& race, float turnTime) {
  Q_ASSERT(track_);
  ++turns_;
  turnsPerStep_ = turnsPerPlanningStep(turnTime);
  if (race.winner != -1) {
    // A decided race has nothing left to plan: the workers sleep.
    if (geneticsThread1_) {
      signalWorker(link1_, kWorkerIdle);
      signalWorker(link2_, kWorkerIdle);
    }
    return;
  }
  const bool running = (geneticsThread1_ && geneticsThread2_) || (body1_ && body2_);
  if (running) {
    {
      std::lock_guard<std::mutex> guard1(link1_.lock);
      std::lock_guard<std::mutex> guard2(link2_.lock);
      link1_.thinkTime.store(turnTime);
      link2_.thinkTime.store(turnTime);
      link1_.state.store(kWorkerNewTurn, std::memory_order_release);
      link2_.state.store(kWorkerNewTurn, std::memory_order_release);
      race_ = race;
      link1_.generations.store(0);
      link2_.generations.store(0);
      ++link1_.notified;
      ++link2_.notified;
    }
    link1_.wake.notify_all();
    link2_.wake.notify_all();
  } else {
    Q_ASSERT((geneticsThread1_ == nullptr) && (geneticsThread2_ == nullptr));
    {
      std::lock_guard<std::mutex> guard1(link1_.lock);
      std::lock_guard<std::mutex> guard2(link2_.lock);
      race_ = race;
      link1_.thinkTime.store(turnTime);
      link2_.thinkTime.store(turnTime);
      link1_.state.store(kWorkerNewTurn, std::memory_order_release);
      link2_.state.store(kWorkerNewTurn, std::memory_order_release);
      ++link1_.notified;
      ++link2_.notified;
    }
    workersStarted_ += 2;
    if (evalsPerTurn_ > 0) {
      body1_ = makeBody(1);
      body2_ = makeBody(2);
      body1_->begin();
      body2_->begin();
    } else {
      geneticsThread1_ = std::make_unique<std::thread>([this] {
        std::unique_ptr<WorkerBody> body = makeBody(1);
        runWorker(link1_, *body);
      });
      geneticsThread2_ = std::make_unique<std::thread>([this] {
        std::unique_ptr<WorkerBody> body = makeBody(2);
        runWorker(link2_, *body);
      });
    }
  }
  if (body1_) {
    runSteps(*body1_, evalsPerTurn_);
    runSteps(*body2_, evalsPerTurn_);
  }
}

void GeneticBrainSeparate::think(const Race& race, std::vector<Influence>& influences) {
  (void)race;
  std::lock_guard<std::mutex> guard1(link1_.lock);
  std::lock_guard<std::mutex> guard2(link2_.lock);
  influences.push_back(plan1_[takeStep(link1_, turnsPerStep_, record1_)]);
  influences.push_back(plan2_[takeStep(link2_, turnsPerStep_, record2_)]);
}

std::uint64_t GeneticBrainSeparate::totalEvolutionSteps() const {
  return link1_.totalSteps.load() + link2_.totalSteps.load();
}

std::uint64_t GeneticBrainSeparate::turnsPlanned() const { return turns_; }

const ThinkRecord& GeneticBrainSeparate::thinkRecord(int planner) const {
  return planner == 0 ? record1_ : record2_;
}

} // namespace pod
