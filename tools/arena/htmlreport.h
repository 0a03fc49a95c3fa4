#pragma once

#include "report.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

// A race's replay page, for the report to link to.
struct ReplayLink {
  std::size_t matchup = 0;
  std::size_t track = 0;
  int raceNumber = 0; // 0-based
  int rotation = 0;
  int winnerSide = -1;
  int turns = 0;
  std::string href; // relative to the report's folder
};

struct HtmlExtras {
  std::string command; // reproduces the run
  std::vector<ReplayLink> replays;
};

// The report as one self-contained, printable page: for a league the rating
// chart and the matrix as a heat map, then per-track results, forfeits and
// the settings. The numbers are those of the text and JSON reports.
void writeHtmlReport(std::ostream& out, const ReportInput& input, const HtmlExtras& extras);

} // namespace pod::arena
