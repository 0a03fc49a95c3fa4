#pragma once

#include "brains/abstractbrain.h"

#include <vector>

namespace pod {

// Drives a whole team with the steering heuristics: the leading pod runs, the
// other hunts the opponents' leader. In time attack its single pod runs alone.
class TarvokBrain : public AbstractBrain {
public:
  explicit TarvokBrain(bool timeAttack);
  ~TarvokBrain() override = default;

  void think(const Race& race, std::vector<Influence>& influences) override;

private:
  bool timeAttack_;
  // Scratch lists reused from turn to turn so a think allocates nothing once
  // warm; they carry nothing from one think to the next.
  std::vector<const PodState*> own_;
  std::vector<const PodState*> opponents_;
};

} // namespace pod
