#pragma once

#include "race/physicsevent.h"
#include "race/race.h"
#include "race/track.h"
#include "trace/raceobserver.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace pod {

struct Trace;

// A float as a JSON number that reads back (as a double, then cast) to the
// very same float, written as short as possible. Non-finite values are null.
nlohmann::ordered_json floatJson(float value);

nlohmann::ordered_json podJson(const PodState& pod);

// The JSON text of every file the programs write. Names are checked for UTF-8
// where they come in; should any other byte slip through, it is written as
// U+FFFD rather than failing the whole file.
std::string jsonText(const nlohmann::ordered_json& j, int indent = -1);

// The two kinds of line of a trace, keys in a fixed order.
void writeTraceHeader(std::ostream& out, const Track& track, bool timeAttack,
                      const std::vector<std::string>& teamNames, const Race& start, float turnTime);
void writeTraceTurn(std::ostream& out, int turn, const std::vector<Influence>& influences,
                    const std::vector<PhysicsEvent>& events, const Race& state);

// A recorded race, header and turns.
void writeTrace(std::ostream& out, const Trace& trace);

// Writes a race as JSON Lines while it is played: a header with the track,
// the teams and the starting pods, then one line per turn.
class TraceWriter : public RaceObserver {
public:
  TraceWriter(std::ostream& out, const Track& track, bool timeAttack,
              std::vector<std::string> teamNames, float turnTime = kTurnTime);

  void raceStarted(const Race& start) override;
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override;
  // The last line of a race that a driver forfeited: no physics step that turn.
  void forfeited(const Forfeit& forfeit, int winner) override;

private:
  std::ostream& out_;
  const Track& track_;
  bool timeAttack_;
  std::vector<std::string> teamNames_;
  float turnTime_;
};

} // namespace pod
