#pragma once

#include "tournament.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pod::arena {

// Writes every race's trace into a folder, one file each.
class TraceDirectory {
public:
  // Creates the folder; throws BadInput when it cannot.
  TraceDirectory(std::string dir, const TournamentConfig& config);

  // File name of a race's trace: pairing, track, race number and side order,
  // e.g. "genetic-vs-steering-heuristics_t02-long-haul_race007_sides21.jsonl"
  // (sides21: team 1 was driven by side 2). Pairings whose names read the
  // same once cut to letters, digits and dashes also carry their number in
  // the schedule ("_p03"), so every race of a run has a file of its own.
  std::string fileName(const RaceJob& job) const;

  // For playTournament: one trace writer per race, owning its file.
  std::unique_ptr<RaceObserver> open(const RaceJob& job);

  // The first file that could not be written, or "".
  std::string failure() const;
  void noteFailure(const std::string& path);

private:
  std::string dir_;
  const TournamentConfig& config_;
  std::vector<std::string> pairings_; // by matchup
  mutable std::mutex mutex_;
  std::string failure_;
};

} // namespace pod::arena
