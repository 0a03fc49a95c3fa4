#pragma once

#include "race/race.h"

#include <vector>

namespace pod {

class Physics;
struct Track;

// A driver for all pods of one team.
class AbstractBrain {
public:
  virtual ~AbstractBrain() = default;

  // Appends exactly one influence per pod of the team, in pod order.
  virtual void think(const Race& race, std::vector<Influence>& influences) = 0;

  virtual void setPhysics(const Physics& physics) { physics_ = &physics; }
  virtual void setTrack(const Track& track) { track_ = &track; }
  virtual void setTeam(int team) { team_ = team; }

  // Called after each physics step with the new state and the game time of
  // the turn; planning brains use it as their think time.
  virtual void turnDone(const Race& race, float turnTime) {
    (void)race;
    (void)turnTime;
  }

  int team() const { return team_; }

protected:
  const Track* track_ = nullptr;
  const Physics* physics_ = nullptr;
  int team_ = 0;
};

} // namespace pod
