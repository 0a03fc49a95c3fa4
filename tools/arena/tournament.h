#pragma once

#include "racerunner.h"

#include "race/track.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pod::arena {

// Drivers that meet: two sides in a race, one to four in time attack.
struct Matchup {
  std::vector<std::string> drivers; // by side
  bool mirror() const;              // every side drives the same driver
};

struct TournamentConfig {
  bool timeAttack = false;
  std::vector<Matchup> matchups;
  std::vector<Track> tracks;
  int racesPerTrack = 1;
  // Race: also play every race with the teams exchanged. Time attack: play
  // every rotation of the start order (the first pod in order wins a tie).
  bool swap = false;
  std::uint64_t seed = 1;
  int jobs = 1;
  RaceLimits limits;
  // Where bots' standard error is kept, one file per race and bot; dropped
  // when empty.
  std::string botLogDir;
};

struct RaceJob {
  std::size_t matchup = 0;
  std::size_t track = 0;
  int raceNumber = 0; // 0-based within the matchup and track
  int rotation = 0;   // 0: sides in the given order
  std::vector<int> seats; // seats[team] = the side driving that team
  std::uint64_t seed = 0; // shared by a race and its rotations
};

struct PlayedRace {
  RaceJob job;
  RaceOutcome outcome;
  // Winning side, -1 for a draw.
  int winnerSide() const;
};

// What one schedule may hold. Every race of a run (and of a merge) is kept
// in memory with its outcome, so a few hundred bytes each; a run that big
// takes days on one core and is cut with --shard anyway.
inline constexpr std::uint64_t kMaxScheduledRaces = 10'000'000;
inline constexpr std::size_t kMaxTracks = 10'000;
// Races played at once; more threads than this only wait on each other.
inline constexpr int kMaxJobs = 1024;

// Every race of the tournament, in a fixed order that does not depend on the
// number of jobs: by matchup, track, race number, then rotation.
std::vector<RaceJob> scheduleRaces(const TournamentConfig& config);

// The number of races scheduleRaces gives, without building them; saturates
// at the largest std::uint64_t.
std::uint64_t scheduledRaceCount(const TournamentConfig& config);

// The race at `position` of the schedule (position < scheduledRaceCount).
RaceJob scheduledRace(const TournamentConfig& config, std::uint64_t position);

// The seed that side `side` gets in a race with seed `raceSeed`; it does not
// depend on the seat, so a swapped race gives each driver the same stream.
std::uint64_t driverSeed(std::uint64_t raceSeed, int side);

// Called on the caller's thread about ten times a second: races done, total.
using ProgressFn = std::function<void(std::size_t done, std::size_t total)>;

// An observer of its own for a race, made on the worker that plays it; may
// return nullptr.
using ObserverFactory = std::function<std::unique_ptr<RaceObserver>(const RaceJob&)>;

// Plays the races on config.jobs threads; results in schedule order. The
// observer, if any, watches the first race of the schedule (on a worker);
// observerFor, if given, is asked for one observer per race.
std::vector<PlayedRace> playTournament(const TournamentConfig& config,
                                       const std::vector<RaceJob>& jobs,
                                       const ProgressFn& progress = {},
                                       RaceObserver* firstRaceObserver = nullptr,
                                       const ObserverFactory& observerFor = {});

} // namespace pod::arena
