#include "brains/geneticevolution.h"

#include "brains/genetichelpers.h"

#include <qutils/assert.h>

#include <algorithm>

namespace pod {

GeneticEvolution::GeneticEvolution(int populationSize, int nbTurns, int genomeSize,
                                   const Track& track, int team, std::uint64_t seed)
    : populationSize_(populationSize), nbTurns_(nbTurns), genomeSize_(genomeSize), team_(team),
      rng_(seed), track_(track), child_(genomeSize) {
  Q_ASSERT(populationSize >= 2);
  Q_ASSERT(nbTurns > 0 && genomeSize >= nbTurns);
  population_.reserve(static_cast<std::size_t>(populationSize));
  for (int i = 0; i < populationSize; ++i)
    population_.emplace_back(genomeSize, rng_);
}

GeneticEvolution::~GeneticEvolution() = default;

float GeneticEvolution::randomFloat(float lo, float hi) { return pod::randomFloat(rng_, lo, hi); }

int GeneticEvolution::randomInt(int lo, int hi) { return pod::randomInt(rng_, lo, hi); }

void GeneticEvolution::findBest() {
  bestIndex_ = 0;
  for (int i = 1; i < populationSize_; ++i)
    if (genome(i).score > genome(bestIndex_).score)
      bestIndex_ = i;
}

void GeneticEvolution::findWorst() {
  worstIndex_ = 0;
  for (int i = 1; i < populationSize_; ++i)
    if (genome(i).score < genome(worstIndex_).score)
      worstIndex_ = i;
}

void GeneticEvolution::computeRoles() {
  Q_ASSERT(simState_.pods.size() == 4);
  const bool firstPair = initialState_.pods[0].team == team_;
  const int own = firstPair ? 0 : 2;
  const int opp = firstPair ? 2 : 0;
  const auto& pods = simState_.pods;
  const bool ownFirstAhead = plannerIsAhead(track_, pods[static_cast<std::size_t>(own)],
                                            pods[static_cast<std::size_t>(own + 1)]);
  roles_[OwnRunner] = ownFirstAhead ? own : own + 1;
  roles_[OwnHunter] = ownFirstAhead ? own + 1 : own;
  const bool oppFirstAhead = plannerIsAhead(track_, pods[static_cast<std::size_t>(opp)],
                                            pods[static_cast<std::size_t>(opp + 1)]);
  roles_[OppRunner] = oppFirstAhead ? opp : opp + 1;
  roles_[OppHunter] = oppFirstAhead ? opp + 1 : opp;
}

void GeneticEvolution::randomGenome(Genome& genome) {
  Q_ASSERT(genome.size() == genomeSize_);
  genome.randomise(rng_);
}

void GeneticEvolution::reset() {
  simState_ = initialState_;
  computeRoles();
}

void GeneticEvolution::shift(Genome& genome) { genome.shift(rng_); }

void GeneticEvolution::prepare(const Race& race) {
  initialState_ = race;
  seedGenome(mutableGenome(0));
  mutableGenome(populationSize_ - 1) = genome(0);
  for (int i = 1; i <= populationSize_ - 2; ++i)
    randomGenome(mutableGenome(i));
  for (int i = 0; i < populationSize_; ++i)
    evaluate(mutableGenome(i));
  findBest();
  findWorst();
}

void GeneticEvolution::evolve(float amplitude) {
  const int idx = randomInt(0, populationSize_ - 2);
  const Genome& parent = genome(idx);
  const int before = crossoverCountdown_--;
  if (before != 1) {
    child_ = parent;
    for (int g = 0; g < genomeSize_; ++g) {
      Gene& gene = child_[g];
      gene.turn = randomFloat(std::max(0.f, gene.turn - amplitude),
                              std::min(1.f, gene.turn + amplitude));
      gene.shield = randomFloat(qutils::clampf(gene.shield - amplitude, 0.f, 1.f),
                                qutils::clampf(gene.shield + amplitude, 0.f, 1.f));
      gene.acceleration = randomFloat(qutils::clampf(gene.acceleration - amplitude, 0.f, 1.f),
                                      qutils::clampf(gene.acceleration + amplitude, 0.f, 1.f));
    }
  } else {
    const Genome& last = genome(populationSize_ - 1);
    const int half = genomeSize_ / 2;
    for (int g = 0; g < half; ++g)
      child_[g] = parent[g];
    for (int g = half; g < genomeSize_; ++g)
      child_[g] = last[g];
    child_.score = parent.score;
    crossoverCountdown_ = kCrossoverPeriod;
  }
  evaluate(child_);
  if (child_.score > genome(idx).score) {
    mutableGenome(idx) = child_;
    findWorst();
    findBest();
  }
}

} // namespace pod
