#pragma once

#include "brains/genome.h"
#include "race/physics.h"
#include "race/race.h"
#include "race/track.h"

#include <vector>

namespace pod {

// A pod that follows a fixed plan through every replay of a turn (a predicted
// partner or opponent). A command's effect depends on nothing but the command,
// the pod's angle and shield cooldown, and whether it has timed out; angle and
// cooldown change by the commands and the cooldown's tick of every step
// alone. So while the pod cannot time out within the plan, every replay gives
// it the same angles, cooldowns, engine values and engine pushes: they are
// taken once per plan, from a copy of the pod stepped alone, and a replay's
// step sets them, adding the push to the pod's own velocity. No cos/sin.
class FixedPlan {
public:
  // Step t follows gene first + t, for nbTurns steps from the pod's state.
  void plan(const PodState& pod, const Genome& genome, int first, int nbTurns,
            const Track& track);
  // Step t's command, as Physics::applyInfluence gives it (dt 1).
  void apply(PodState& pod, int t) const {
    const auto i = static_cast<std::size_t>(t);
    if (steps_.empty()) {
      Physics::applyInfluence(pod, influences_[i], 1.f);
      return;
    }
    const Step& step = steps_[i];
    pod.angle = step.angle;
    pod.shieldCooldown = step.shieldCooldown;
    pod.engine = step.engine;
    if (step.pushes)
      pod.velocity += step.push;
  }

private:
  struct Step {
    float angle;
    float shieldCooldown;
    float engine;
    bool pushes;
    Vec2 push;
  };

  std::vector<Influence> influences_;
  std::vector<Step> steps_; // empty when the pod could time out
};

// The turns of a pod through the plan of one replay, taken before its steps.
// The angles follow the commands alone (see FixedPlan), so their cos/sin,
// independent of each other, overlap; taken step by step, each would hold up
// its step's contact search.
class PlannedTurns {
public:
  static constexpr int kMaxTurns = 16;

  // Step t follows gene first + t, for nbTurns steps from the pod's state.
  void plan(const PodState& pod, const Genome& genome, int first, int nbTurns);
  // Step t's command, its gene given, as Physics::applyInfluence gives it
  // (dt 1).
  void apply(PodState& pod, const Gene& gene, int t) const {
    if (t >= planned_) {
      Physics::applyInfluence(pod, geneToInfluence(gene), 1.f);
      return;
    }
    pod.angle = angles_[t];
    const Vec2& heading = headings_[t];
    Physics::drive(pod, influences_[t], 1.f, [&heading](float) { return heading; });
  }

private:
  // Steps planned: at most kMaxTurns, none when the pod could time out
  // within the plan.
  int planned_ = 0;
  Influence influences_[kMaxTurns];
  float angles_[kMaxTurns];
  Vec2 headings_[kMaxTurns];
};

} // namespace pod
