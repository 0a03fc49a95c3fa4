#include "brains/geneticevolutiontimeattack.h"

#include "brains/steering.h"
#include "race/physics.h"
#include "race/racerules.h"

#include <qutils/assert.h>

namespace pod {

GeneticEvolutionTimeAttack::GeneticEvolutionTimeAttack(int populationSize, int nbTurns,
                                                       int genomeSize, const Track& track,
                                                       int team, int ownPod, std::uint64_t seed)
    : GeneticEvolution(populationSize, nbTurns, genomeSize, track, team, seed), ownPod_(ownPod) {
  Q_ASSERT(genomeSize == nbTurns);
}

GeneticEvolutionTimeAttack::~GeneticEvolutionTimeAttack() = default;

void GeneticEvolutionTimeAttack::computeRoles() {
  ownPod_ = team_;
  Q_ASSERT(static_cast<std::size_t>(ownPod_) < simState_.pods.size());
}

void GeneticEvolutionTimeAttack::planCoasting() {
  const auto& pods = simState_.pods;
  const std::size_t n = pods.size();
  const auto own = static_cast<std::size_t>(ownPod_);
  coasting_.resize(n * static_cast<std::size_t>(nbTurns_));
  coastersFinish_ = false;
  const PodState* before = pods.data();
  for (std::size_t row = 0; row < coasting_.size(); row += n) {
    for (std::size_t i = 0; i < n; ++i) {
      PodState& pod = coasting_[row + i];
      pod = before[i];
      if (i != own) {
        coastersFinish_ = coastersFinish_ || hasFinished(pod, track_);
        Physics::soloStep(pod, track_);
        coastersFinish_ = coastersFinish_ || hasFinished(pod, track_);
      }
    }
    before = &coasting_[row];
  }
  coastingStale_ = false;
}

void GeneticEvolutionTimeAttack::replay(const Genome& genome) {
  reset();
  if (coastingStale_)
    planCoasting();
  auto& pods = simState_.pods;
  const std::size_t n = pods.size();
  const auto own = static_cast<std::size_t>(ownPod_);
  const auto takeCoasting = [&](int t) {
    const PodState* row = &coasting_[static_cast<std::size_t>(t) * n];
    for (std::size_t i = 0; i < n; ++i)
      if (i != own)
        pods[i] = row[i];
  };
  // Physics::soloStepAll, the other pods' steps taken from coasting_. The
  // winner rule only asks them whether they have finished: while none does
  // within the plan, their first states answer as well, they take their last
  // ones after the last step, and the rule has nothing to do before the own
  // pod finishes.
  PodState& self = pods[own];
  turns_.plan(self, genome, 0, nbTurns_);
  for (int t = 0; t < nbTurns_; ++t) {
    turns_.apply(self, genome[t], t);
    Physics::soloStep(self, track_);
    if (coastersFinish_)
      takeCoasting(t);
    if (coastersFinish_ || hasFinished(self, track_))
      applyTimeAttackWinnerRule(simState_, track_);
  }
  if (!coastersFinish_)
    takeCoasting(nbTurns_ - 1);
}

void GeneticEvolutionTimeAttack::seedGenome(Genome& genome) {
  // Every preparation seeds after taking its new state.
  coastingStale_ = true;
  reset();
  randomGenome(genome);
  for (int t = 0; t < nbTurns_; ++t) {
    const Influence influence = soloRunnerRule(track_, ownState());
    influenceToGene(influence, genome[t]);
    if (t != nbTurns_ - 1) {
      Physics::applyInfluence(simState_.pods[static_cast<std::size_t>(ownPod_)], influence, 1.f);
      Physics::soloStepAll(simState_, track_);
    }
  }
}

void GeneticEvolutionTimeAttack::getCommand(Influence& command) const {
  command = geneToInfluence(genome(bestIndex_)[0]);
}

void GeneticEvolutionTimeAttack::getCommands(PlanSteps& steps) const {
  const Genome& best = genome(bestIndex_);
  for (std::size_t t = 0; t < steps.size() && static_cast<int>(t) < nbTurns_; ++t)
    steps[t] = geneToInfluence(best[static_cast<int>(t)]);
}

} // namespace pod
