#pragma once

#include "botroster.h"
#include "stats.h"
#include "tournament.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

struct ReportInput {
  const TournamentConfig* config = nullptr;
  std::vector<std::string> trackSources; // file path, or "random" for generated
  std::vector<MatchupSummary> summaries;
  std::size_t racesPlayed = 0;
  double seconds = 0.0;
  int threads = 1;
  // Every two drivers met: print the league's matrix and ratings.
  bool league = false;
  std::vector<ForfeitRecord> forfeits;
};

// The numbers of the races played, before timing and threads are known.
ReportInput reportOf(const TournamentConfig& config, std::vector<std::string> trackSources,
                     const std::vector<PlayedRace>& played, bool league);

// The cells of the per-track tables, as printed: a header, then a row per
// track and a total.
std::vector<std::string> tallyHeader(bool timeAttack, std::size_t sides, bool bots);
std::vector<std::string> tallyRow(const std::string& name, const Tally& t, bool timeAttack,
                                  bool bots);
// "[1] A vs [2] B", or "Time attack: [1] A, [2] B".
std::string matchupTitle(const Matchup& m, bool timeAttack);
bool matchupHasBot(const TournamentConfig& config, const Matchup& m);

// The tables for people: one per matchup, a row per track and a total.
void printReport(std::ostream& out, const ReportInput& input);

// The same numbers for programs. Everything but "timing" depends only on the
// options and the seed.
nlohmann::ordered_json jsonReport(const ReportInput& input);

} // namespace pod::arena
