#include "brains/fixedplan.h"

namespace pod {

void FixedPlan::plan(const PodState& pod, const Genome& genome, int first, int nbTurns) {
  influences_.resize(static_cast<std::size_t>(nbTurns));
  for (int t = 0; t < nbTurns; ++t)
    influences_[static_cast<std::size_t>(t)] = geneToInfluence(genome[first + t]);
  headings_.clear();
  // A replay's timeout grows by one step per step, give or take rounding: a
  // spare step keeps the pod clear of the limit.
  if (!(pod.timeout + static_cast<float>(nbTurns + 1) < constants::kTimeoutLimit))
    return;
  PodState turning = pod;
  for (const Influence& influence : influences_) {
    Physics::applyInfluence(turning, influence, 1.f);
    headings_.push_back(Vec2::fromAngle(turning.angle));
  }
}

} // namespace pod
