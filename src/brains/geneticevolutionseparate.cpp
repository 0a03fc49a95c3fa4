#include "brains/geneticevolutionseparate.h"

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

int GeneticEvolutionSeparate::partnerOf(int team, int ownPod) {
  if (team == 0)
    return ownPod != 0 ? 0 : 1;
  return ownPod == 2 ? 3 : 2;
}

GeneticEvolutionSeparate::GeneticEvolutionSeparate(int populationSize, int nbTurns,
                                                   int genomeSize, const Track& track, int team,
                                                   int ownPod, std::uint64_t seed)
    : GeneticEvolution(populationSize, nbTurns, genomeSize, track, team, seed), ownPod_(ownPod),
      partner_(partnerOf(team, ownPod)), partnerGenome_(nbTurns, rng_),
      oppRunnerGenome_(nbTurns, rng_), oppHunterGenome_(nbTurns, rng_) {
  Q_ASSERT(genomeSize == nbTurns);
}

GeneticEvolutionSeparate::~GeneticEvolutionSeparate() = default;

void GeneticEvolutionSeparate::planPredictions() {
  const auto& pods = simState_.pods;
  const auto slot = [this](Role r) { return static_cast<std::size_t>(role(r)); };
  partnerPlan_.plan(pods[static_cast<std::size_t>(partner_)], partnerGenome_, 0, nbTurns_,
                    track_);
  oppRunnerPlan_.plan(pods[slot(OppRunner)], oppRunnerGenome_, 0, nbTurns_, track_);
  oppHunterPlan_.plan(pods[slot(OppHunter)], oppHunterGenome_, 0, nbTurns_, track_);
  predictionPlansStale_ = false;
}

void GeneticEvolutionSeparate::replay(const Genome& genome) {
  reset();
  auto& pods = simState_.pods;
  const auto slot = [this](Role r) { return static_cast<std::size_t>(role(r)); };
  if (predictionPlansStale_)
    planPredictions();
  PodState& own = pods[static_cast<std::size_t>(ownPod_)];
  PodState& partner = pods[static_cast<std::size_t>(partner_)];
  PodState& oppRunner = pods[slot(OppRunner)];
  PodState& oppHunter = pods[slot(OppHunter)];
  ownTurns_.plan(own, genome, 0, nbTurns_);
  // Each pod's command touches that pod alone: the order is free.
  for (int t = 0; t < nbTurns_; ++t) {
    ownTurns_.apply(own, genome[t], t);
    partnerPlan_.apply(partner, t);
    oppRunnerPlan_.apply(oppRunner, t);
    oppHunterPlan_.apply(oppHunter, t);
    Physics::referenceStep(simState_, track_);
  }
}

void GeneticEvolutionSeparate::seedGenome(Genome& genome) {
  // Every preparation seeds after taking its state, and writes the predictions.
  predictionPlansStale_ = true;
  reset();
  randomGenome(genome);
  std::array<Influence, 4> influences;
  for (int t = 0; t < nbTurns_; ++t) {
    Influence& own = influences[static_cast<std::size_t>(ownPod_)];
    Influence& partner = influences[static_cast<std::size_t>(partner_)];
    Influence& oppRunner = influences[static_cast<std::size_t>(role(OppRunner))];
    Influence& oppHunter = influences[static_cast<std::size_t>(role(OppHunter))];
    own = ownInfluence();
    influenceToGene(own, genome[t]);
    partner = partnerInfluence();
    influenceToGene(partner, partnerGenome_[t]);
    oppRunner =
        runnerRule(track_, pod(OppRunner), pod(OppHunter), pod(OwnRunner), pod(OwnHunter));
    influenceToGene(oppRunner, oppRunnerGenome_[t]);
    oppHunter =
        hunterRule(track_, pod(OppRunner), pod(OppHunter), pod(OwnRunner), pod(OwnHunter));
    influenceToGene(oppHunter, oppHunterGenome_[t]);
    if (t != nbTurns_ - 1) {
      applyAll(simState_, influences);
      Physics::referenceStep(simState_, track_);
    }
  }
}

void GeneticEvolutionSeparate::getCommand(Influence& command) const {
  command = geneToInfluence(genome(bestIndex_)[0]);
}

void GeneticEvolutionSeparate::getCommands(PlanSteps& steps) const {
  const Genome& best = genome(bestIndex_);
  for (std::size_t t = 0; t < steps.size() && static_cast<int>(t) < nbTurns_; ++t)
    steps[t] = geneToInfluence(best[static_cast<int>(t)]);
}

} // namespace pod
