#pragma once

#include "racerunner.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

// A float as a JSON number that reads back (as a double, then cast) to the
// very same float, written as short as possible. Non-finite values are null.
nlohmann::ordered_json floatJson(float value);

nlohmann::ordered_json podJson(const PodState& pod);

// Writes a race as JSON Lines, keys in a fixed order: a header with the track, the teams and the
// starting pods, then one line per turn.
class TraceWriter : public RaceObserver {
public:
  TraceWriter(std::ostream& out, const Track& track, bool timeAttack,
              std::vector<std::string> teamNames);

  void raceStarted(const Race& start) override;
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override;
  // The last line of a race that a bot forfeited: no physics step that turn.
  void forfeited(const bots::Problem& problem, int winner) override;

private:
  std::ostream& out_;
  const Track& track_;
  bool timeAttack_;
  std::vector<std::string> teamNames_;
};

} // namespace pod::arena
