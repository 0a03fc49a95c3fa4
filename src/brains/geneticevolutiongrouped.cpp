#include "brains/geneticevolutiongrouped.h"

#include "brains/steering.h"
#include "race/physics.h"

#include <qutils/assert.h>

namespace pod {

namespace {

void applyAll(Race& race, const std::array<Influence, 4>& influences) {
  for (std::size_t i = 0; i < race.pods.size(); ++i)
    Physics::applyInfluence(race.pods[i], influences[i], 1.f);
}

} // namespace

GeneticEvolutionGrouped::GeneticEvolutionGrouped(int populationSize, int nbTurns,
                                                 int genomeSize, const Track& track, int team,
                                                 std::uint64_t seed)
    : GeneticEvolution(populationSize, nbTurns, genomeSize, track, team, seed),
      opponentGenome_(genomeSize, rng_) {
  Q_ASSERT(genomeSize == 2 * nbTurns);
}

GeneticEvolutionGrouped::~GeneticEvolutionGrouped() = default;

void GeneticEvolutionGrouped::planOpponents() {
  const auto& pods = simState_.pods;
  oppRunnerPlan_.plan(pods[static_cast<std::size_t>(role(OppRunner))], opponentGenome_, 0,
                      nbTurns_, track_);
  oppHunterPlan_.plan(pods[static_cast<std::size_t>(role(OppHunter))], opponentGenome_,
                      nbTurns_, nbTurns_, track_);
  opponentPlansStale_ = false;
}

void GeneticEvolutionGrouped::replay(const Genome& genome) {
  reset();
  auto& pods = simState_.pods;
  const auto slot = [this](Role r) { return static_cast<std::size_t>(role(r)); };
  if (opponentPlansStale_)
    planOpponents();
  PodState& ownRunner = pods[slot(OwnRunner)];
  PodState& ownHunter = pods[slot(OwnHunter)];
  PodState& oppRunner = pods[slot(OppRunner)];
  PodState& oppHunter = pods[slot(OppHunter)];
  ownRunnerTurns_.plan(ownRunner, genome, 0, nbTurns_);
  ownHunterTurns_.plan(ownHunter, genome, nbTurns_, nbTurns_);
  // Each pod's command touches that pod alone: the order is free.
  for (int t = 0; t < nbTurns_; ++t) {
    ownRunnerTurns_.apply(ownRunner, genome[t], t);
    ownHunterTurns_.apply(ownHunter, genome[nbTurns_ + t], t);
    oppRunnerPlan_.apply(oppRunner, t);
    oppHunterPlan_.apply(oppHunter, t);
    Physics::referenceStep(simState_, track_);
  }
}

void GeneticEvolutionGrouped::seed(Genome& genome, bool opponentFromGenome) {
  // Every preparation seeds after taking its state; opponentGenome may change.
  opponentPlansStale_ = true;
  reset();
  randomGenome(genome);
  std::array<Influence, 4> influences;
  const auto slot = [this](Role r) { return static_cast<std::size_t>(role(r)); };
  for (int t = 0; t < nbTurns_; ++t) {
    Influence& ownRunner = influences[slot(OwnRunner)];
    Influence& ownHunter = influences[slot(OwnHunter)];
    Influence& oppRunner = influences[slot(OppRunner)];
    Influence& oppHunter = influences[slot(OppHunter)];
    ownRunner = ownRunnerInfluence();
    influenceToGene(ownRunner, genome[t]);
    ownHunter = ownHunterInfluence();
    influenceToGene(ownHunter, genome[nbTurns_ + t]);
    if (opponentFromGenome) {
      oppRunner = geneToInfluence(opponentGenome_[t]);
      oppHunter = geneToInfluence(opponentGenome_[nbTurns_ + t]);
    } else {
      oppRunner = runnerRule(track_, pod(OppRunner), pod(OppHunter), pod(OwnRunner),
                             pod(OwnHunter));
      influenceToGene(oppRunner, opponentGenome_[t]);
      oppHunter = hunterRule(track_, pod(OppRunner), pod(OppHunter), pod(OwnRunner),
                             pod(OwnHunter));
      influenceToGene(oppHunter, opponentGenome_[nbTurns_ + t]);
    }
    if (t != nbTurns_ - 1) {
      applyAll(simState_, influences);
      Physics::referenceStep(simState_, track_);
    }
  }
}

void GeneticEvolutionGrouped::seedGenome(Genome& genome) { seed(genome, false); }

void GeneticEvolutionGrouped::getCommands(Influence& first, Influence& second) const {
  const Genome& best = genome(bestIndex_);
  if (role(OwnRunner) >= role(OwnHunter)) {
    first = geneToInfluence(best[nbTurns_]);
    second = geneToInfluence(best[0]);
  } else {
    first = geneToInfluence(best[0]);
    second = geneToInfluence(best[nbTurns_]);
  }
}

void GeneticEvolutionGrouped::getCommands(PlanSteps& first, PlanSteps& second) const {
  const Genome& best = genome(bestIndex_);
  const bool runnerSecond = role(OwnRunner) >= role(OwnHunter);
  for (std::size_t t = 0; t < first.size() && static_cast<int>(t) < nbTurns_; ++t) {
    const Influence runner = geneToInfluence(best[static_cast<int>(t)]);
    const Influence hunter = geneToInfluence(best[nbTurns_ + static_cast<int>(t)]);
    first[t] = runnerSecond ? hunter : runner;
    second[t] = runnerSecond ? runner : hunter;
  }
}

const Genome& GeneticEvolutionGrouped::bestGenome() const { return genome(bestIndex_); }

void GeneticEvolutionGrouped::setOpponentGenome(const Genome& genome) {
  opponentGenome_ = genome;
  opponentPlansStale_ = true;
}

void GeneticEvolutionGrouped::prepareAgainst(const Race& race, const Genome& opponentPlan) {
  initialState_ = race;
  findBest();
  shift(mutableGenome(bestIndex_));
  const int seedSlot = bestIndex_ == 0 ? 1 : 0;
  setOpponentGenome(opponentPlan);
  seed(mutableGenome(seedSlot), true);
  for (int i = 0; i < populationSize_; ++i) {
    if (i != bestIndex_ && i != seedSlot)
      randomGenome(mutableGenome(i));
    evaluate(mutableGenome(i));
  }
  findWorst();
}

} // namespace pod
