#include "brains/tarvokbrain.h"

#include "brains/steering.h"

#include <qutils/assert.h>

namespace pod {

TarvokBrain::TarvokBrain(bool timeAttack) : timeAttack_(timeAttack) {}

void TarvokBrain::think(const Race& race, std::vector<Influence>& influences) {
  Q_ASSERT(track_ && physics_);
  const Track& track = *track_;

  race.podsOfTeam(team_, own_);
  if (timeAttack_) {
    Q_ASSERT(!own_.empty());
    influences.push_back(soloRunnerRule(track, *own_[0]));
    return;
  }

  race.podsOfTeam(team_ == 0 ? 1 : 0, opponents_);
  Q_ASSERT(own_.size() >= 2 && opponents_.size() >= 2);

  // Roles are decided afresh every turn: overtaking swaps them.
  const bool firstLeads = isAhead(track, *own_[0], *own_[1]);
  const PodState& runner = firstLeads ? *own_[0] : *own_[1];
  const PodState& hunter = firstLeads ? *own_[1] : *own_[0];
  const bool oppFirstLeads = isAhead(track, *opponents_[0], *opponents_[1]);
  const PodState& oppRunner = oppFirstLeads ? *opponents_[0] : *opponents_[1];
  const PodState& oppHunter = oppFirstLeads ? *opponents_[1] : *opponents_[0];

  const Influence runnerInfluence = runnerRule(track, runner, hunter, oppRunner, oppHunter);
  const Influence hunterInfluence = hunterRule(track, runner, hunter, oppRunner, oppHunter);
  influences.push_back(firstLeads ? runnerInfluence : hunterInfluence);
  influences.push_back(firstLeads ? hunterInfluence : runnerInfluence);
}

} // namespace pod
