#include "brains/geneticevolution.h"

#include "brains/genetichelpers.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pod {

namespace {

// A gene redrawn within amplitude of its parent's, turn, shield then
// acceleration.
void mutateGene(const Gene& parent, Gene& gene, qutils::Random& rng, float amplitude) {
  gene.turn = randomFloat(rng, std::max(0.f, parent.turn - amplitude),
                          std::min(1.f, parent.turn + amplitude));
  gene.shield = randomFloat(rng, qutils::clampf(parent.shield - amplitude, 0.f, 1.f),
                            qutils::clampf(parent.shield + amplitude, 0.f, 1.f));
  gene.acceleration =
      randomFloat(rng, qutils::clampf(parent.acceleration - amplitude, 0.f, 1.f),
                  qutils::clampf(parent.acceleration + amplitude, 0.f, 1.f));
}

#if defined(__SSE2__)

static_assert(sizeof(Gene) == 3 * sizeof(float), "genes are packed floats");

// mutateGene on whole genomes, every mutation's work: the draws stay one
// after another, the arithmetic of four genes (twelve fields, in memory order
// turn, acceleration, shield) runs in SSE lanes with each lane's operations
// those of mutateGene, in the same order.
void mutateGenes(const Gene* parent, Gene* genes, int count, qutils::Random& rng,
                 float amplitude) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.f);
  const __m128 a = _mm_set1_ps(amplitude);
  // Turn lanes of the three registers of four genes.
  const __m128 turnLanes[3] = {_mm_castsi128_ps(_mm_setr_epi32(-1, 0, 0, -1)),
                               _mm_castsi128_ps(_mm_setr_epi32(0, 0, -1, 0)),
                               _mm_castsi128_ps(_mm_setr_epi32(0, -1, 0, 0))};
  const auto clamp01 = [&](__m128 v) { return _mm_max_ps(zero, _mm_min_ps(one, v)); };
  int g = 0;
  for (; g + 4 <= count; g += 4) {
    alignas(16) std::int32_t draws[12];
    for (int k = 0; k < 12; k += 3) {
      draws[k] = rng.next15();
      draws[k + 2] = rng.next15();
      draws[k + 1] = rng.next15();
    }
    const float* from = &parent[g].turn;
    float* fields = &genes[g].turn;
    for (int v = 0; v < 3; ++v) {
      const __m128 x = _mm_loadu_ps(from + 4 * v);
      const __m128 below = _mm_sub_ps(x, a);
      const __m128 above = _mm_add_ps(x, a);
      const __m128 turn = turnLanes[v];
      // std::max(0, below) and std::min(1, above) for turns, clampf for the rest.
      const __m128 lo = _mm_or_ps(_mm_and_ps(turn, _mm_max_ps(below, zero)),
                                  _mm_andnot_ps(turn, clamp01(below)));
      const __m128 hi = _mm_or_ps(_mm_and_ps(turn, _mm_min_ps(above, one)),
                                  _mm_andnot_ps(turn, clamp01(above)));
      const __m128i drawn4 = _mm_load_si128(reinterpret_cast<const __m128i*>(draws) + v);
      const __m128 r = _mm_cvtepi32_ps(drawn4);
      const __m128 drawn = _mm_add_ps(
          _mm_mul_ps(_mm_div_ps(r, _mm_set1_ps(32767.f)), _mm_sub_ps(hi, lo)), lo);
      _mm_storeu_ps(fields + 4 * v, drawn);
    }
  }
  for (; g < count; ++g)
    mutateGene(parent[g], genes[g], rng, amplitude);
}

#else

void mutateGenes(const Gene* parent, Gene* genes, int count, qutils::Random& rng,
                 float amplitude) {
  for (int g = 0; g < count; ++g)
    mutateGene(parent[g], genes[g], rng, amplitude);
}

#endif

} // namespace

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
    // Every gene is redrawn: the child takes the parent's score alone.
    child_.score = parent.score;
    mutateGenes(parent.data(), &child_[0], genomeSize_, rng_, amplitude);
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
