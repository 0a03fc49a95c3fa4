#include "brains/fixedplan.h"

#include <algorithm>

namespace pod {

void FixedPlan::plan(const PodState& pod, const Genome& genome, int first, int nbTurns,
                     const Track& track) {
  influences_.resize(static_cast<std::size_t>(nbTurns));
  for (int t = 0; t < nbTurns; ++t)
    influences_[static_cast<std::size_t>(t)] = geneToInfluence(genome[first + t]);
  steps_.clear();
  // A replay's timeout grows by one step per step, give or take rounding: a
  // spare step keeps the pod clear of the limit.
  if (!(pod.timeout + static_cast<float>(nbTurns + 1) < constants::kTimeoutLimit))
    return;
  PodState alone = pod;
  for (const Influence& influence : influences_) {
    bool pushes = false;
    Physics::applyInfluence(alone, influence, 1.f, [&pushes](float angle) {
      pushes = true;
      return Vec2::fromAngle(angle);
    });
    const Vec2 push =
        pushes ? Physics::enginePush(Vec2::fromAngle(alone.angle), influence, 1.f) : Vec2();
    steps_.push_back({alone.angle, alone.shieldCooldown, alone.engine, pushes, push});
    Physics::soloStep(alone, track);
  }
}

void PlannedTurns::plan(const PodState& pod, const Genome& genome, int first, int nbTurns) {
  // The timeout as for FixedPlan.
  const bool turnsAlways =
      pod.timeout + static_cast<float>(nbTurns + 1) < constants::kTimeoutLimit;
  planned_ = turnsAlways ? std::min(nbTurns, kMaxTurns) : 0;
  float angle = pod.angle;
  for (int t = 0; t < planned_; ++t) {
    influences_[t] = geneToInfluence(genome[first + t]);
    angle = Physics::turned(angle, influences_[t], 1.f);
    angles_[t] = angle;
  }
  for (int t = 0; t < planned_; ++t)
    headings_[t] = Vec2::fromAngle(angles_[t]);
}

} // namespace pod
