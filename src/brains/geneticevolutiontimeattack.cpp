#include "brains/geneticevolutiontimeattack.h"

#include "brains/steering.h"
#include "race/physics.h"

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

void GeneticEvolutionTimeAttack::replay(const Genome& genome) {
  reset();
  for (int t = 0; t < nbTurns_; ++t) {
    Physics::applyInfluence(simState_.pods[static_cast<std::size_t>(ownPod_)],
                            geneToInfluence(genome[t]), 1.f);
    Physics::soloStepAll(simState_, track_);
  }
}

void GeneticEvolutionTimeAttack::seedGenome(Genome& genome) {
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

} // namespace pod
