#pragma once

#include "brains/genome.h"
#include "race/physics.h"
#include "race/race.h"

#include <vector>

namespace pod {

// The commands of a pod that follows a fixed plan through every replay of a
// turn (a predicted partner or opponent), with its headings. Only commands
// turn a pod, and only while it has not timed out: a pod that cannot time
// out within the plan turns through the same angles in every replay, so the
// cos/sin of its thrust are taken once per plan instead of once per replay.
class FixedPlan {
public:
  // Step t follows gene first + t, for nbTurns steps from the pod's state.
  void plan(const PodState& pod, const Genome& genome, int first, int nbTurns);
  // Step t's command, as Physics::applyInfluence gives it (dt 1).
  void apply(PodState& pod, int t) const {
    const auto i = static_cast<std::size_t>(t);
    if (headings_.empty())
      Physics::applyInfluence(pod, influences_[i], 1.f);
    else
      Physics::applyInfluence(pod, influences_[i], 1.f, headings_[i]);
  }

private:
  std::vector<Influence> influences_;
  std::vector<Vec2> headings_; // empty when the pod could time out
};

} // namespace pod
