#include "brains/geneticevolution.h"
#include "brains/genetichelpers.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

using pod::Gene;
using genetictest::sameGenes;
using pod::Genome;

namespace {

// The base mechanics with scripted scores: the seed plan is all 0.25 genes,
// scores come from a queue (then a fallback), and every evaluated child is
// recorded.
class ScriptedEvolution final : public pod::GeneticEvolution {
public:
  ScriptedEvolution(int populationSize, int genomeSize, const pod::Track& track,
                    std::uint64_t seed)
      : GeneticEvolution(populationSize, genomeSize, genomeSize, track, 0, seed) {}

  void computeRoles() override {}
  void seedGenome(Genome& genome) override {
    for (int i = 0; i < genome.size(); ++i)
      genome[i] = Gene{0.25f, 0.25f, 0.25f};
  }
  void evaluate(Genome& genome) override {
    float s = fallback;
    if (!scores.empty()) {
      s = scores.front();
      scores.pop_front();
    }
    genome.score = s;
    if (&genome == &child_)
      children.push_back(genome);
  }

  Genome& slot(int i) { return mutableGenome(i); }

  std::deque<float> scores;
  float fallback = 0.f;
  std::vector<Genome> children;
};

class EvolutionMechanics : public ::testing::Test {
protected:
  pod::Track track = genetictest::rectangle();
  pod::Race race = genetictest::restingRace();
};

// A child is a crossover when its first half is the parent's and its second
// half the last genome's, which no mutant at amplitude 0 can be once the
// last genome differs from the others.
TEST_F(EvolutionMechanics, EveryTenthChildIsACrossoverAcrossPrepares) {
  ScriptedEvolution evo(3, 8, track, 42);
  for (int i = 0; i < 8; ++i)
    evo.slot(2)[i] = Gene{0.9f, 0.9f, 0.1f};
  evo.fallback = -1.f; // children never replace their parents
  for (int call = 1; call <= 35; ++call) {
    if (call == 15) {
      evo.prepare(race); // the countdown carries over a new turn
      for (int i = 0; i < 8; ++i)
        evo.slot(2)[i] = Gene{0.9f, 0.9f, 0.1f};
    }
    const int countdownBefore = evo.crossoverCountdown();
    evo.evolve(0.f);
    const Genome& child = evo.children.back();
    const bool secondHalfFromLast = child[4].turn == 0.9f && child[0].turn != 0.9f &&
                                    child[7].acceleration == 0.9f;
    const bool crossover = call % 10 == 0;
    EXPECT_EQ(crossover, secondHalfFromLast) << "call " << call;
    EXPECT_EQ(crossover ? 10 : countdownBefore - 1, evo.crossoverCountdown()) << "call " << call;
  }
}

// Mutants at amplitude 0.05 stay within 0.05 of a parent among all but the last genome.
TEST_F(EvolutionMechanics, AmplitudeBoundsTheMutation) {
  ScriptedEvolution evo(3, 10, track, 6);
  evo.fallback = -1.f;
  for (int call = 1; call <= 9; ++call) {
    evo.evolve(0.05f);
    const Genome& child = evo.children.back();
    bool nearParent = false;
    for (int p = 0; p < 2; ++p) {
      bool near = true;
      for (int g = 0; g < 10; ++g)
        for (float d : {child[g].turn - evo.genome(p)[g].turn,
                        child[g].shield - evo.genome(p)[g].shield,
                        child[g].acceleration - evo.genome(p)[g].acceleration})
          near = near && std::abs(d) <= 0.05f + 1e-6f;
      nearParent = nearParent || near;
    }
    EXPECT_TRUE(nearParent) << "call " << call;
  }
}

TEST_F(EvolutionMechanics, ChildReplacesOnlyAStrictlyBetterParentAndNeverTheLast) {
  ScriptedEvolution evo(3, 6, track, 21);
  evo.scores = {5.f, 1.f, 5.f}; // prepare: seed, random, copy of seed
  evo.prepare(race);
  EXPECT_EQ(0, evo.bestIndex());
  EXPECT_EQ(1, evo.worstIndex());
  const Genome first = evo.genome(0);
  const Genome last = evo.genome(2);

  // Every child scores 5: equal to genome 0 (kept), better than genome 1.
  evo.fallback = 5.f;
  int replacements = 0;
  Genome previousSecond = evo.genome(1);
  for (int call = 0; call < 60; ++call) {
    evo.evolve(1.f);
    EXPECT_TRUE(sameGenes(evo.genome(0), first));
    if (!sameGenes(evo.genome(1), previousSecond)) {
      ++replacements;
      EXPECT_TRUE(sameGenes(evo.genome(1), evo.children.back()));
      previousSecond = evo.genome(1);
    }
  }
  EXPECT_EQ(1, replacements); // once at 5, genome 1 can no longer be beaten
  EXPECT_EQ(5.f, evo.genome(1).score);
  EXPECT_TRUE(sameGenes(evo.genome(2), last));
  EXPECT_EQ(0, evo.bestIndex()); // first of equals

  // Better children replace their parents and move best and worst.
  evo.fallback = 9.f;
  for (int call = 0; call < 200 && (evo.genome(0).score < 9.f || evo.genome(1).score < 9.f);
       ++call)
    evo.evolve(0.5f);
  ASSERT_EQ(9.f, evo.genome(0).score);
  ASSERT_EQ(9.f, evo.genome(1).score);
  EXPECT_TRUE(sameGenes(evo.genome(2), last));
  EXPECT_EQ(2, evo.worstIndex());
  EXPECT_EQ(0, evo.bestIndex());
}

TEST_F(EvolutionMechanics, PrepareSeedsFirstCopiesToLastRandomisesBetween) {
  ScriptedEvolution evo(5, 4, track, 13);
  const Genome oldMiddle = evo.genome(2);
  evo.scores = {1.f, 2.f, 7.f, 7.f, 3.f};
  evo.prepare(race);
  for (int g = 0; g < 4; ++g) {
    EXPECT_EQ(0.25f, evo.genome(0)[g].turn);
    EXPECT_EQ(0.25f, evo.genome(4)[g].shield);
  }
  EXPECT_FALSE(sameGenes(evo.genome(2), oldMiddle)); // redrawn
  EXPECT_FALSE(sameGenes(evo.genome(1), evo.genome(0)));
  EXPECT_EQ(2, evo.bestIndex());  // first of the two 7s
  EXPECT_EQ(0, evo.worstIndex());
  EXPECT_EQ(race.pods[3].position, evo.initialState().pods[3].position);
}

} // namespace
