#pragma once

#include "brains/abstractbrain.h"
#include "brains/buttonstates.h"

#include <vector>

namespace pod {

// One person on the keyboard; a second pod of the team is a computer blocker.
class PlayerBrain : public AbstractBrain {
public:
  explicit PlayerBrain(const ButtonStates& buttons);
  ~PlayerBrain() override = default;

  void think(const Race& race, std::vector<Influence>& influences) override;

  // true: arrow keys; false: the letter keys ("alt" buttons).
  void setMainKeys(bool mainKeys) { mainKeys_ = mainKeys; }
  bool mainKeys() const { return mainKeys_; }

private:
  const ButtonStates& buttons_;
  bool mainKeys_ = true;
  // Kept between turns so that thinking allocates nothing.
  std::vector<const PodState*> own_;
  std::vector<const PodState*> opponents_;
};

// Two people share one team: arrows for the first pod, letters for the second.
class TwoPlayerBrain : public AbstractBrain {
public:
  explicit TwoPlayerBrain(const ButtonStates& buttons);
  ~TwoPlayerBrain() override = default;

  void think(const Race& race, std::vector<Influence>& influences) override;

private:
  const ButtonStates& buttons_;
  std::vector<const PodState*> own_;
};

// The command of one keyboard-driven pod for the given key set.
Influence keyboardInfluence(const ButtonStates& buttons, bool mainKeys);

} // namespace pod
