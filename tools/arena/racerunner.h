#pragma once

#include "brains/abstractbrain.h"
#include "brains/driverregistry.h"
#include "race/gamespeed.h"
#include "race/physicsevent.h"
#include "race/race.h"
#include "race/track.h"
#include "trace/raceobserver.h"

#include "bots/botfault.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pod::arena {

struct BotRoster;

// How much one team's planner thought during a race; `planner` is false for
// brains that do not plan by evolution.
struct PlannerUse {
  bool planner = false;
  std::uint64_t evolutionSteps = 0;
  std::uint64_t turnsPlanned = 0;
};

struct RaceOutcome {
  int winner = -1;          // team, -1 for a draw
  bool byTimeout = false;
  bool draw = false;        // time attack: every pod timed out
  bool capped = false;      // stopped by the turn cap, counted as a draw
  int turns = 0;
  // Hash of every turn's commands and the final state: equal fingerprints
  // mean the same race move for move.
  std::uint64_t fingerprint = 0;
  std::vector<std::uint64_t> turnHashes; // filled when asked for
  std::vector<PlannerUse> planners;      // one per team
  // Set when the race could not be played for a fault of the arena's own (a
  // bot could not be started for want of descriptors or processes): nobody
  // forfeits, and the run stops.
  std::string arenaError;
  // Bot faults that ended the race (two when both bots failed the same turn).
  std::vector<bots::Problem> forfeits;
  // Per team when a bot took part: how each bot did.
  struct BotRun {
    bool bot = false;
    std::vector<bots::Problem> problems;
    std::string errors; // standard error, the first 64 KiB
    std::size_t errorsDropped = 0;
    double meanAnswerMs = 0.0;
    double slowestAnswerMs = 0.0;
    int slowestAnswerTurn = 0;
  };
  std::vector<BotRun> bots;
};

struct RaceLimits {
  // Real time given to threaded planners after each turn; used only when
  // evalsPerTurn is 0 and a planner takes part.
  int thinkMs = 0;
  int evalsPerTurn = 0;
  // Real seconds of a turn at the game speed that evalsPerTurn stands for.
  float turnSeconds = gamespeed::kTurnSeconds[gamespeed::kDefaultIndex];
  int maxTurns = 0; // 0: the cap of maxTurnsFor
  bool keepTurnHashes = false;
  // External drivers by name (--bot); none when null.
  std::shared_ptr<const BotRoster> bots;
};

// No legal race outlasts this: a team (a pod in time attack) that passes no
// checkpoint for 100 s has timed out, and it cannot pass more checkpoints
// than it takes to finish. The slack covers the float sum of the timeouts.
int maxTurnsFor(const Track& track, bool timeAttack);

// Plays one race to its end with the given brains, one per team in team
// order. The brains must not be shared with any other race.
RaceOutcome playRace(const Track& track, bool timeAttack,
                     std::vector<std::unique_ptr<AbstractBrain>> brains,
                     const RaceLimits& limits, RaceObserver* observer = nullptr);

// Creates the named drivers, team i getting seeds[i], then plays the race.
// Every name must be a computer driver of the mode.
RaceOutcome playRace(const Track& track, bool timeAttack,
                     const std::vector<std::string>& driverNames,
                     const std::vector<std::uint64_t>& seeds, const RaceLimits& limits,
                     RaceObserver* observer = nullptr);

} // namespace pod::arena
