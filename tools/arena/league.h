#pragma once

#include "bradleyterry.h"
#include "stats.h"
#include "tournament.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

// Every two distinct drivers meet once: (0,1), (0,2) ... (1,2) ... in the
// given order, so the drivers' order can be read back from the pairings.
std::vector<Matchup> leagueMatchups(const std::vector<std::string>& drivers);

// The drivers of a league in their given order: first appearance in the pairings.
std::vector<std::string> leagueDrivers(const std::vector<Matchup>& matchups);

// One driver's distinct races against one opponent.
struct LeagueCell {
  int races = 0;
  int wins = 0;
  int draws = 0;
  int losses() const { return races - wins - draws; }
};

struct LeagueTable {
  std::vector<std::string> drivers;
  std::vector<std::vector<LeagueCell>> cells; // [row][column]: the row driver's results
  BradleyTerryFit fit;
  std::vector<std::size_t> ranking; // drivers by rating, best first

  LeagueCell total(std::size_t driver) const;
};

// The matrix and the ratings from the tallies of a league's pairings. A draw
// scores half a win for each side in the ratings and is a race not won in
// the win rates.
LeagueTable leagueTable(const std::vector<MatchupSummary>& summaries);

// A cell as the tables print it: "67% [40, 87] 12" (win rate, Wilson
// interval, races), "-" without races.
std::string leagueCellText(const LeagueCell& c);
// "+35 [-12, +80]".
std::string leagueRatingText(const Rating& r);

void printLeague(std::ostream& out, const LeagueTable& table);
void writeLeagueMarkdown(std::ostream& out, const LeagueTable& table);
// One row per driver and opponent (tidy data), the driver's rating repeated.
void writeLeagueCsv(std::ostream& out, const LeagueTable& table);
nlohmann::ordered_json leagueJson(const LeagueTable& table);

} // namespace pod::arena
