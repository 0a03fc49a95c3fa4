#pragma once

#include "race/race.h"

#include <cmath>

namespace pod {

// The command of one pod for one 1 s planning step, each field in [0, 1].
struct Gene {
  float turn = 0.f;         // rotation from -18 to +18
  float acceleration = 0.f; // thrust from 0 to 200
  float shield = 0.f;       // raised at 0.9 and above
};

constexpr float kGeneShieldThreshold = 0.9f;

inline Influence geneToInfluence(const Gene& gene) {
  Influence influence;
  influence.rotation = 18.f * gene.turn + 18.f * gene.turn - 18.f;
  if (gene.shield >= kGeneShieldThreshold) {
    influence.thrust = 0.f;
    influence.shield = true;
  } else {
    influence.thrust = 200.f * gene.acceleration;
    influence.shield = false;
  }
  return influence;
}

// Writes a heuristic command into a gene; the shield value is kept. Clamping
// before truncating gives the same integers and keeps NaN and huge values out
// of the integer conversion.
inline void influenceToGene(const Influence& influence, Gene& gene) {
  const float rotation = std::isnan(influence.rotation) ? 0.f : influence.rotation;
  const float thrust = std::isnan(influence.thrust) ? 0.f : influence.thrust;
  const int r = static_cast<int>(rotation < -18.f ? -18.f : (rotation > 18.f ? 18.f : rotation));
  const int t = static_cast<int>(thrust < 0.f ? 0.f : (thrust > 200.f ? 200.f : thrust));
  gene.turn = static_cast<float>(r + 18) / 36.f;
  gene.acceleration = static_cast<float>(t) / 200.f;
}

} // namespace pod
