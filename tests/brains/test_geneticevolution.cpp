#include "brains/geneticevolution.h"
#include "brains/genetichelpers.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using pod::Gene;
using pod::Genome;

namespace {

bool sameGenes(const Genome& a, const Genome& b) {
  for (int i = 0; i < a.size(); ++i)
    if (a[i].turn != b[i].turn || a[i].acceleration != b[i].acceleration ||
        a[i].shield != b[i].shield)
      return false;
  return true;
}

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
  const qutils::Random& generator() const { return rng_; }

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

TEST_F(EvolutionMechanics, CrossoverTakesFirstHalfFromParentRestFromLast) {
  ScriptedEvolution evo(4, 7, track, 8);
  const Genome last = evo.genome(3);
  std::vector<Genome> before;
  for (int i = 0; i < 4; ++i)
    before.push_back(evo.genome(i));
  evo.fallback = -1.f;
  for (int call = 1; call <= 10; ++call)
    evo.evolve(0.3f);
  const Genome& child = evo.children.back();
  // Find the parent: the genome whose first 3 genes (7 / 2) match.
  int parent = -1;
  for (int p = 0; p < 3; ++p)
    if (child[0].turn == before[static_cast<std::size_t>(p)][0].turn &&
        child[2].shield == before[static_cast<std::size_t>(p)][2].shield)
      parent = p;
  ASSERT_NE(-1, parent);
  for (int g = 0; g < 3; ++g)
    EXPECT_EQ(before[static_cast<std::size_t>(parent)][g].acceleration, child[g].acceleration);
  for (int g = 3; g < 7; ++g) {
    EXPECT_EQ(last[g].turn, child[g].turn);
    EXPECT_EQ(last[g].acceleration, child[g].acceleration);
    EXPECT_EQ(last[g].shield, child[g].shield);
  }
}

TEST_F(EvolutionMechanics, MutantFollowsTheDrawFormulasInOrder) {
  ScriptedEvolution evo(3, 5, track, 77);
  qutils::Random reference = evo.generator();
  const float amplitude = 0.2f;
  std::vector<Genome> before;
  for (int i = 0; i < 3; ++i)
    before.push_back(evo.genome(i));
  evo.fallback = -1.f;
  evo.evolve(amplitude);
  const int idx = pod::randomInt(reference, 0, 1);
  const Genome& parent = before[static_cast<std::size_t>(idx)];
  const Genome& child = evo.children.back();
  for (int g = 0; g < 5; ++g) {
    const Gene& p = parent[g];
    const float turn = pod::randomFloat(reference, std::max(0.f, p.turn - amplitude),
                                        std::min(1.f, p.turn + amplitude));
    const float shield =
        pod::randomFloat(reference, qutils::clampf(p.shield - amplitude, 0.f, 1.f),
                         qutils::clampf(p.shield + amplitude, 0.f, 1.f));
    const float acceleration =
        pod::randomFloat(reference, qutils::clampf(p.acceleration - amplitude, 0.f, 1.f),
                         qutils::clampf(p.acceleration + amplitude, 0.f, 1.f));
    EXPECT_EQ(turn, child[g].turn);
    EXPECT_EQ(shield, child[g].shield);
    EXPECT_EQ(acceleration, child[g].acceleration);
  }
}

TEST_F(EvolutionMechanics, AmplitudeBoundsTheMutation) {
  ScriptedEvolution evo(3, 10, track, 5);
  evo.fallback = -1.f;
  std::vector<Genome> before;
  for (int i = 0; i < 3; ++i)
    before.push_back(evo.genome(i));
  for (int call = 1; call <= 9; ++call) { // all mutants
    evo.evolve(0.f);
    const Genome& child = evo.children.back();
    EXPECT_TRUE(sameGenes(child, before[0]) || sameGenes(child, before[1]));
  }
  ScriptedEvolution wide(3, 10, track, 6);
  wide.fallback = -1.f;
  for (int call = 1; call <= 9; ++call) {
    wide.evolve(0.05f);
    const Genome& child = wide.children.back();
    const Genome* parent = nullptr;
    for (int p = 0; p < 2 && !parent; ++p) {
      bool near = true;
      for (int g = 0; g < 10; ++g)
        near = near && std::abs(child[g].turn - wide.genome(p)[g].turn) <= 0.05f + 1e-6f;
      if (near)
        parent = &wide.genome(p);
    }
    ASSERT_NE(nullptr, parent);
    for (int g = 0; g < 10; ++g) {
      EXPECT_LE(std::abs(child[g].shield - (*parent)[g].shield), 0.05f + 1e-6f);
      EXPECT_LE(std::abs(child[g].acceleration - (*parent)[g].acceleration), 0.05f + 1e-6f);
      EXPECT_GE(child[g].turn, 0.f);
      EXPECT_LE(child[g].turn, 1.f);
    }
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
  EXPECT_EQ(5.f, evo.genome(2).score);
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
  EXPECT_EQ(race.pods.size(), evo.initialState().pods.size());
  EXPECT_EQ(race.pods[3].position, evo.initialState().pods[3].position);
}

TEST_F(EvolutionMechanics, ShiftUsesTheEvolutionsGenerator) {
  ScriptedEvolution evo(3, 4, track, 3);
  Genome g = evo.genome(0);
  const Genome before = g;
  qutils::Random reference = evo.generator();
  evo.shift(g);
  EXPECT_EQ(before[1].turn, g[0].turn);
  EXPECT_EQ(before[3].shield, g[2].shield);
  EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[3].turn);
}

TEST_F(EvolutionMechanics, SameSeedSameEvolution) {
  ScriptedEvolution a(3, 6, track, 1001);
  ScriptedEvolution b(3, 6, track, 1001);
  ScriptedEvolution c(3, 6, track, 1002);
  for (int i = 0; i < 25; ++i) {
    a.fallback = b.fallback = c.fallback = static_cast<float>(i % 4);
    a.evolve(0.4f);
    b.evolve(0.4f);
    c.evolve(0.4f);
  }
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(sameGenes(a.genome(i), b.genome(i)));
  EXPECT_FALSE(sameGenes(a.genome(0), c.genome(0)));
}

} // namespace
