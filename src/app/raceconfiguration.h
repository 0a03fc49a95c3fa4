#pragma once

#include "brains/abstractbrain.h"
#include "race/track.h"

#include <memory>
#include <string>
#include <vector>

namespace pod {

// Everything a race needs, built by the menu and handed to the race screen,
// which takes the brains.
struct RaceConfiguration {
  bool timeAttack = false;
  // 2 in a team race, 1 in time attack.
  int nbPodsPerTeam = 2;
  // One per team, in team order; brain i has team i.
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  std::vector<std::string> teamNames;
  Track track;
  // Pods steered from the keyboard (arrows / letter keys), -1 for none.
  int player1Pod = -1;
  int player2Pod = -1;
};

} // namespace pod
