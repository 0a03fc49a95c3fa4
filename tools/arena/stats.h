#pragma once

#include "tournament.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pod::arena {

// Two-sided 95 % normal quantile.
constexpr double kZ95 = 1.959963984540054;

struct Interval {
  double low = 0.0;
  double high = 1.0;
};

// Wilson score interval of a binomial proportion; [0, 1] without trials.
Interval wilsonInterval(std::uint64_t successes, std::uint64_t trials, double z = kZ95);

// Results of a matchup on one track, or over all its tracks.
struct Tally {
  explicit Tally(std::size_t sides = 0);

  int played = 0;    // races simulated
  int races = 0;     // distinct races: repeats of an earlier race are not counted
  std::vector<int> wins; // by side, over distinct races
  int draws = 0;
  int byTimeout = 0;
  int capped = 0;    // stopped by the turn cap (also counted as draws)
  int rotated = 0;   // distinct races played with the sides not in given order
  int forfeits = 0;  // distinct races ended by a bot's forfeit
  std::int64_t turnSum = 0;
  int maxTurns = 0;
  // Thinking of each side's planner, over every race played.
  std::vector<bool> planner;
  std::vector<std::uint64_t> evolutionSteps;
  std::vector<std::uint64_t> turnsPlanned;

  double meanTurns() const;
  double winRate(std::size_t side) const;
  Interval winInterval(std::size_t side) const;
  // Empty when the side has no planner.
  std::optional<double> stepsPerTurn(std::size_t side) const;

  void add(const Tally& other);
};

struct MatchupSummary {
  Matchup matchup;
  std::vector<Tally> perTrack;
  Tally total;
};

// Tallies the played races. A race whose driver line-up and whole move
// sequence (fingerprint) equal an earlier race's on the same track is a
// repeat: it counts as played but gives no new evidence, so only its first
// occurrence enters wins, draws and turns.
std::vector<MatchupSummary> summarise(const std::vector<Matchup>& matchups,
                                      std::size_t nbTracks,
                                      const std::vector<PlayedRace>& played);

} // namespace pod::arena
