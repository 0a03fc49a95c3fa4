#include "brains/playerbrain.h"

#include "brains/steering.h"

#include <qutils/assert.h>

namespace pod {

Influence keyboardInfluence(const ButtonStates& buttons, bool mainKeys) {
  Influence inf;
  if (buttons.isHeld(mainKeys ? "up" : "altUp"))
    inf.thrust = 200.f;
  const bool right = buttons.isHeld(mainKeys ? "right" : "altRight");
  if (right)
    inf.rotation = -18.f;
  else if (buttons.isHeld(mainKeys ? "left" : "altLeft"))
    inf.rotation = 18.f;
  if (buttons.isHeld(mainKeys ? "down" : "altDown"))
    inf.shield = true;
  return inf;
}

PlayerBrain::PlayerBrain(const ButtonStates& buttons) : buttons_(buttons) {}

void PlayerBrain::think(const Race& race, std::vector<Influence>& influences) {
  Q_ASSERT(track_);
  race.podsOfTeam(team_, own_);
  influences.push_back(keyboardInfluence(buttons_, mainKeys_));
  if (own_.size() < 2)
    return;

  race.podsOfTeam(team_ == 0 ? 1 : 0, opponents_);
  Q_ASSERT(opponents_.size() >= 2);
  const PodState& first = *opponents_[0];
  const PodState& second = *opponents_[1];
  const Vec2 target = track_->checkpoints[first.nextCheckpoint].position;
  const bool firstLeads =
      first.checkpointsCleared > second.checkpointsCleared ||
      (first.checkpointsCleared == second.checkpointsCleared &&
       qutils::distance(first.position, target) < qutils::distance(second.position, target));
  const PodState& leader = firstLeads ? first : second;
  const PodState& other = firstLeads ? second : first;
  influences.push_back(hunterRule(*track_, *own_[0], *own_[1], leader, other));
}

TwoPlayerBrain::TwoPlayerBrain(const ButtonStates& buttons) : buttons_(buttons) {}

void TwoPlayerBrain::think(const Race& race, std::vector<Influence>& influences) {
  Q_ASSERT(track_);
  race.podsOfTeam(team_, own_);
  influences.push_back(keyboardInfluence(buttons_, true));
  if (own_.size() > 1)
    influences.push_back(keyboardInfluence(buttons_, false));
}

} // namespace pod
