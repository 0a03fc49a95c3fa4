#pragma once

#include "brains/genome.h"
#include "race/race.h"
#include "race/track.h"

#include <qutils/random.h>

#include <array>
#include <cstdint>
#include <vector>

namespace pod {

// The planning engine of the genetic brains: a small population of plans for
// the next turns, each scored by replaying it on a private copy of the race,
// improved one child at a time. Belongs to one thread; shares nothing.
class GeneticEvolution {
public:
  enum Role : int { OwnRunner = 0, OwnHunter = 1, OppRunner = 2, OppHunter = 3 };
  static constexpr int kCrossoverPeriod = 10;

  // seed feeds the evolution's own generator.
  GeneticEvolution(int populationSize, int nbTurns, int genomeSize, const Track& track,
                   int team, std::uint64_t seed);
  virtual ~GeneticEvolution();

  GeneticEvolution(const GeneticEvolution&) = delete;
  GeneticEvolution& operator=(const GeneticEvolution&) = delete;

  // Starts a new turn from the race: the heuristic plan in the first slot and
  // an untouched copy of it in the last, random plans in between.
  void prepare(const Race& race);
  // One child (a mutant, every tenth a crossover) against its parent.
  void evolve(float amplitude);
  // simState = initialState, then the roles. Every replay begins with it.
  void reset();
  // Gene i takes gene i + 1; the last gene is redrawn.
  void shift(Genome& genome);

  virtual void findBest();
  virtual void findWorst();
  virtual void computeRoles();
  virtual void randomGenome(Genome& genome);
  virtual void seedGenome(Genome& genome) = 0;
  virtual void evaluate(Genome& genome) = 0;

  int populationSize() const { return populationSize_; }
  int nbTurns() const { return nbTurns_; }
  int genomeSize() const { return genomeSize_; }
  int team() const { return team_; }
  int bestIndex() const { return bestIndex_; }
  int worstIndex() const { return worstIndex_; }
  int crossoverCountdown() const { return crossoverCountdown_; }
  int role(Role r) const { return roles_[static_cast<std::size_t>(r)]; }
  const Genome& genome(int i) const { return population_[static_cast<std::size_t>(i)]; }
  const Race& initialState() const { return initialState_; }
  const Race& simState() const { return simState_; }
  const Track& track() const { return track_; }

  float randomFloat(float lo, float hi);
  int randomInt(int lo, int hi);

protected:
  const PodState& pod(Role r) const {
    return simState_.pods[static_cast<std::size_t>(roles_[static_cast<std::size_t>(r)])];
  }
  Genome& mutableGenome(int i) { return population_[static_cast<std::size_t>(i)]; }

  const int populationSize_;
  const int nbTurns_;
  const int genomeSize_;
  const int team_;
  qutils::Random rng_;
  Race initialState_;
  Race simState_;
  const Track& track_;
  std::array<int, 4> roles_{{0, 1, 2, 3}};
  std::vector<Genome> population_;
  Genome child_;
  int bestIndex_ = 0;
  int worstIndex_ = 0;
  int crossoverCountdown_ = kCrossoverPeriod;
};

} // namespace pod
