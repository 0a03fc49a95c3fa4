#pragma once

#include "brains/abstractbrain.h"

namespace pod {

// Drives a whole team with the steering heuristics.
class TarvokBrain : public AbstractBrain {
public:
  explicit TarvokBrain(bool timeAttack);
  ~TarvokBrain() override = default;

  void think(const Race& race, std::vector<Influence>& influences) override;

private:
  bool timeAttack_;
};

} // namespace pod
