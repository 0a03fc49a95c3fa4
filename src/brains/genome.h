#pragma once

#include "brains/gene.h"

#include <qutils/random.h>

#include <vector>

namespace pod {

// A plan: a fixed number of genes with the score of its replayed future.
// Copies between genomes of equal size reuse the storage: no allocation.
class Genome {
public:
  // Every gene drawn at random (turn, acceleration, shield in that order).
  Genome(int size, qutils::Random& rng);
  // All genes zero: scratch storage that draws nothing.
  explicit Genome(int size);

  Genome(const Genome& other) = default;
  // Copies score and genes; sizes must match.
  Genome& operator=(const Genome& other);

  int size() const { return cGenomeSize; }
  Gene& operator[](int i) { return genes_[static_cast<std::size_t>(i)]; }
  const Gene& operator[](int i) const { return genes_[static_cast<std::size_t>(i)]; }
  const Gene* data() const { return genes_.data(); }

  // Redraws every gene and clears the score.
  void randomise(qutils::Random& rng);
  // Gene i takes gene i + 1; the last gene is redrawn.
  void shift(qutils::Random& rng);

  float score = 0.f;
  const int cGenomeSize;

private:
  std::vector<Gene> genes_;
};

} // namespace pod
