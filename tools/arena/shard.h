#pragma once

#include "report.h"
#include "tournament.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pod::arena {

// The index-th (from 1) of count fixed slices of the race schedule: race i
// of the schedule belongs to slice i % count + 1, so every slice gets a fair
// share of each pairing, whatever the schedule's order.
struct Shard {
  int index = 1;
  int count = 1;
};

// "I/N" with 1 <= I <= N; throws BadInput otherwise.
Shard parseShard(const std::string& text);

// Positions in the schedule of the races of a slice.
std::vector<std::size_t> shardSlice(std::size_t scheduled, const Shard& shard);

// The slice's own summary (as jsonReport) plus what a merge needs: the
// slice, and one record per race played (its schedule position and outcome).
nlohmann::ordered_json partialSummary(const ReportInput& input, const Shard& shard,
                                      std::size_t scheduled,
                                      const std::vector<std::size_t>& positions,
                                      const std::vector<PlayedRace>& played);

// A whole run put back together from its slices.
struct MergedRun {
  TournamentConfig config;
  std::vector<std::string> trackSources;
  std::vector<PlayedRace> played; // in schedule order
  double seconds = 0.0;           // summed over the slices
  bool league = false;

  ReportInput report() const;
};

// Limits of a partial summary that merge reads: its file size, each of its
// texts (names, commands, a forfeit's detail), and a track's checkpoints
// (no track file holds more).
inline constexpr std::size_t kMaxPartBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxPartText = 64 * 1024;
inline constexpr std::size_t kMaxPartCheckpoints = Track::cMaxFileSize / 10;
inline constexpr int kMaxPartDepth = 32; // a summary nests 8 levels

// Reads a partial summary for merging, skipping the tallies and tables that a
// merge computes afresh from the race records. Throws nlohmann::json's errors,
// and BadInput for values nested deeper than kMaxPartDepth.
nlohmann::json readPartialSummary(const std::string& text);

// Parts are (file name, parsed JSON). Throws BadInput when a part is not a
// partial summary, when parts were played with other settings, or when a
// slice is missing, given twice or incomplete.
MergedRun mergeParts(const std::vector<std::pair<std::string, nlohmann::json>>& parts);

} // namespace pod::arena
