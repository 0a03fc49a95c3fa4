#pragma once

#include "tournament.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pod::arena {

// Writes every race's trace into a folder, one file each, and its replay
// page into another (either folder may be empty: no such files).
class TraceDirectory {
public:
  // Creates the folders; throws BadInput when it cannot.
  TraceDirectory(std::string dir, const TournamentConfig& config, std::string htmlDir = {});

  // File name of a race's trace: pairing, track, race number and side order,
  // e.g. "genetic-vs-steering-heuristics_t02-long-haul_race007_sides21.jsonl"
  // (sides21: team 1 was driven by side 2). Pairings whose names read the
  // same once cut to letters, digits and dashes also carry their number in
  // the schedule ("_p03"), so every race of a run has a file of its own.
  std::string fileName(const RaceJob& job) const;
  // The same without the extension.
  std::string stem(const RaceJob& job) const;
  // Where the race's replay page goes; empty without a page folder.
  std::string pagePath(const RaceJob& job) const;

  // For playTournament: one trace writer per race, owning its file.
  std::unique_ptr<RaceObserver> open(const RaceJob& job);

  // The first file that could not be written, or "".
  std::string failure() const;
  void noteFailure(const std::string& path);

private:
  std::string dir_;
  std::string htmlDir_;
  const TournamentConfig& config_;
  std::vector<std::string> pairings_; // by matchup
  mutable std::mutex mutex_;
  std::string failure_;
};

} // namespace pod::arena
