#pragma once

#include "tournament.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace pod::arena {

// File name of a race's trace: pairing, track, race number and side order,
// e.g. "genetic-vs-steering-heuristics_t02-long-haul_race007_sides21.jsonl"
// (sides21: team 1 was driven by side 2).
std::string traceFileName(const TournamentConfig& config, const RaceJob& job);

// Writes every race's trace into a folder, one file each.
class TraceDirectory {
public:
  // Creates the folder; throws BadInput when it cannot.
  TraceDirectory(std::string dir, const TournamentConfig& config);

  // For playTournament: one trace writer per race, owning its file.
  std::unique_ptr<RaceObserver> open(const RaceJob& job);

  // The first file that could not be written, or "".
  std::string failure() const;
  void noteFailure(const std::string& path);

private:
  std::string dir_;
  const TournamentConfig& config_;
  mutable std::mutex mutex_;
  std::string failure_;
};

} // namespace pod::arena
