#include "brains/genome.h"

#include "brains/genetichelpers.h"

#include <qutils/assert.h>

#include <algorithm>

namespace pod {

namespace {

void randomGene(qutils::Random& rng, Gene& gene) {
  gene.turn = randomFloat(rng, 0.f, 1.f);
  gene.acceleration = randomFloat(rng, 0.f, 1.f);
  gene.shield = randomFloat(rng, 0.f, 1.f);
}

} // namespace

Genome::Genome(int size, qutils::Random& rng)
    : cGenomeSize(size), genes_(static_cast<std::size_t>(size)) {
  Q_ASSERT(size > 0);
  for (auto& gene : genes_)
    randomGene(rng, gene);
}

Genome::Genome(int size) : cGenomeSize(size), genes_(static_cast<std::size_t>(size)) {
  Q_ASSERT(size > 0);
}

Genome& Genome::operator=(const Genome& other) {
  Q_ASSERT(other.cGenomeSize == cGenomeSize);
  if (this != &other && other.cGenomeSize == cGenomeSize) {
    score = other.score;
    std::copy(other.genes_.begin(), other.genes_.end(), genes_.begin());
  }
  return *this;
}

void Genome::randomise(qutils::Random& rng) {
  score = 0.f;
  for (auto& gene : genes_)
    randomGene(rng, gene);
}

void Genome::shift(qutils::Random& rng) {
  std::copy(genes_.begin() + 1, genes_.end(), genes_.begin());
  randomGene(rng, genes_.back());
}

} // namespace pod
