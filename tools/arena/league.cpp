#include "league.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace pod::arena {

namespace {

std::string printed(const char* fmt, double a, double b = 0.0, double c = 0.0) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, fmt, a, b, c);
  return buffer;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos)
    return text;
  std::string quoted = "\"";
  for (char c : text)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string mdField(const std::string& text) {
  std::string escaped;
  for (char c : text)
    escaped += c == '|' ? std::string("\\|") : std::string(1, c);
  return escaped;
}

} // namespace

std::string leagueCellText(const LeagueCell& c) {
  if (c.races == 0)
    return "-";
  const Interval i = wilsonInterval(static_cast<std::uint64_t>(c.wins),
                                    static_cast<std::uint64_t>(c.races));
  return printed("%.0f%% [%.0f, %.0f]", 100.0 * c.wins / c.races, 100.0 * i.low,
                 100.0 * i.high) +
         " " + std::to_string(c.races);
}

namespace {
std::string eloText(double v) { return printed("%+.0f", v); }

} // namespace

std::string leagueRatingText(const Rating& r) {
  return eloText(r.elo) + " [" + eloText(r.low) + ", " + eloText(r.high) + "]";
}

std::vector<Matchup> leagueMatchups(const std::vector<std::string>& drivers) {
  std::vector<Matchup> matchups;
  for (std::size_t i = 0; i < drivers.size(); ++i)
    for (std::size_t j = i + 1; j < drivers.size(); ++j)
      matchups.push_back(Matchup{{drivers[i], drivers[j]}});
  return matchups;
}

std::vector<std::string> leagueDrivers(const std::vector<Matchup>& matchups) {
  std::vector<std::string> drivers;
  for (const auto& m : matchups)
    for (const auto& d : m.drivers)
      if (std::find(drivers.begin(), drivers.end(), d) == drivers.end())
        drivers.push_back(d);
  return drivers;
}

LeagueCell LeagueTable::total(std::size_t driver) const {
  LeagueCell sum;
  for (const auto& c : cells.at(driver)) {
    sum.races += c.races;
    sum.wins += c.wins;
    sum.draws += c.draws;
  }
  return sum;
}

LeagueTable leagueTable(const std::vector<MatchupSummary>& summaries) {
  LeagueTable table;
  std::vector<Matchup> matchups;
  for (const auto& s : summaries)
    matchups.push_back(s.matchup);
  table.drivers = leagueDrivers(matchups);
  const std::size_t n = table.drivers.size();
  table.cells.assign(n, std::vector<LeagueCell>(n));
  auto index = [&](const std::string& d) {
    return static_cast<std::size_t>(
        std::find(table.drivers.begin(), table.drivers.end(), d) - table.drivers.begin());
  };

  PairResults results(n);
  for (const auto& s : summaries) {
    Q_ASSERT(s.matchup.drivers.size() == 2);
    const std::size_t a = index(s.matchup.drivers[0]);
    const std::size_t b = index(s.matchup.drivers[1]);
    const Tally& t = s.total;
    for (auto [row, col, side] : {std::tuple{a, b, 0}, std::tuple{b, a, 1}}) {
      LeagueCell& cell = table.cells[row][col];
      cell.races += t.races;
      cell.wins += t.wins[static_cast<std::size_t>(side)];
      cell.draws += t.draws;
      results.score[row][col] += t.wins[static_cast<std::size_t>(side)] + 0.5 * t.draws;
      results.games[row][col] += t.races;
    }
  }
  table.fit = fitBradleyTerry(results);
  table.ranking.resize(n);
  std::iota(table.ranking.begin(), table.ranking.end(), std::size_t{0});
  std::stable_sort(table.ranking.begin(), table.ranking.end(), [&](std::size_t x, std::size_t y) {
    return table.fit.ratings[x].elo > table.fit.ratings[y].elo;
  });
  return table;
}

void printLeague(std::ostream& out, const LeagueTable& t) {
  const std::size_t n = t.drivers.size();
  std::size_t nameWidth = 6;
  for (const auto& d : t.drivers)
    nameWidth = std::max(nameWidth, d.size() + 3);

  out << "\nRanking (Bradley-Terry, Elo scale centred on the league's mean, 95% interval)\n";
  std::vector<std::vector<std::string>> rows = {
      {"rank", "driver", "Elo [95% CI]", "races", "wins", "draws", "losses", "win rate"}};
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = t.ranking[k];
    const LeagueCell c = t.total(i);
    rows.push_back({std::to_string(k + 1), t.drivers[i], leagueRatingText(t.fit.ratings[i]),
                    std::to_string(c.races), std::to_string(c.wins), std::to_string(c.draws),
                    std::to_string(c.losses()),
                    c.races > 0 ? printed("%.1f%%", 100.0 * c.wins / c.races) : "-"});
  }
  std::vector<std::size_t> widths(rows[0].size(), 0);
  for (const auto& r : rows)
    for (std::size_t c = 0; c < r.size(); ++c)
      widths[c] = std::max(widths[c], r[c].size());
  for (const auto& r : rows) {
    std::string line;
    for (std::size_t c = 0; c < r.size(); ++c) {
      const std::string pad(widths[c] - r[c].size(), ' ');
      line += "  " + (c == 1 ? r[c] + pad : pad + r[c]);
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    out << line << '\n';
  }
  if (t.fit.regularised)
    out << "  Some drivers never lost (or never won) against the rest: each got one virtual\n"
           "  draw against a driver rated 0 so that the ratings stay finite.\n";

  out << "\nWin rate of the row driver against the column driver [95% Wilson interval] and races\n";
  std::vector<std::size_t> colWidth(n, 3);
  std::vector<std::vector<std::string>> cells(n, std::vector<std::string>(n));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      cells[i][j] = i == j ? "-" : leagueCellText(t.cells[i][j]);
      colWidth[j] = std::max(colWidth[j], cells[i][j].size());
    }
  std::string head = "  " + std::string(nameWidth, ' ');
  for (std::size_t j = 0; j < n; ++j) {
    const std::string label = std::to_string(j + 1);
    head += "  " + std::string(colWidth[j] - label.size(), ' ') + label;
  }
  out << head << '\n';
  for (std::size_t i = 0; i < n; ++i) {
    std::string name = std::to_string(i + 1) + ". " + t.drivers[i];
    std::string line = "  " + name + std::string(nameWidth - std::min(nameWidth, name.size()), ' ');
    for (std::size_t j = 0; j < n; ++j)
      line += "  " + std::string(colWidth[j] - cells[i][j].size(), ' ') + cells[i][j];
    out << line << '\n';
  }
}

void writeLeagueMarkdown(std::ostream& out, const LeagueTable& t) {
  const std::size_t n = t.drivers.size();
  out << "| Rank | Driver | Elo [95% CI] | Races | Wins | Draws | Losses |\n"
         "|---|---|---|---|---|---|---|\n";
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = t.ranking[k];
    const LeagueCell c = t.total(i);
    out << "| " << k + 1 << " | " << mdField(t.drivers[i]) << " | "
        << leagueRatingText(t.fit.ratings[i]) << " | " << c.races << " | " << c.wins << " | "
        << c.draws << " | " << c.losses() << " |\n";
  }
  if (t.fit.regularised)
    out << "\nEach driver got one virtual draw against a driver rated 0: someone never lost"
           " (or never won) against the rest.\n";
  out << "\n| Row against column |";
  for (std::size_t j = 0; j < n; ++j)
    out << ' ' << mdField(t.drivers[j]) << " |";
  out << "\n|---|";
  for (std::size_t j = 0; j < n; ++j)
    out << "---|";
  out << '\n';
  for (std::size_t i = 0; i < n; ++i) {
    out << "| " << mdField(t.drivers[i]) << " |";
    for (std::size_t j = 0; j < n; ++j)
      out << ' ' << (i == j ? std::string("-") : leagueCellText(t.cells[i][j])) << " |";
    out << '\n';
  }
}

void writeLeagueCsv(std::ostream& out, const LeagueTable& t) {
  out << "driver,rank,elo,elo_low,elo_high,opponent,races,wins,draws,losses,win_rate,"
         "wilson_low,wilson_high\n";
  for (std::size_t k = 0; k < t.ranking.size(); ++k) {
    const std::size_t i = t.ranking[k];
    const Rating& r = t.fit.ratings[i];
    for (std::size_t j = 0; j < t.drivers.size(); ++j) {
      if (i == j)
        continue;
      const LeagueCell& c = t.cells[i][j];
      const Interval w = wilsonInterval(static_cast<std::uint64_t>(c.wins),
                                        static_cast<std::uint64_t>(c.races));
      out << csvField(t.drivers[i]) << ',' << k + 1 << ','
          << printed("%.2f,%.2f,%.2f", r.elo, r.low, r.high) << ',' << csvField(t.drivers[j])
          << ',' << c.races << ',' << c.wins << ',' << c.draws << ',' << c.losses() << ','
          << printed("%.6f,%.6f,%.6f", c.races ? double(c.wins) / c.races : 0.0, w.low, w.high)
          << '\n';
    }
  }
}

nlohmann::ordered_json leagueJson(const LeagueTable& t) {
  auto ranking = nlohmann::ordered_json::array();
  for (std::size_t k = 0; k < t.ranking.size(); ++k) {
    const std::size_t i = t.ranking[k];
    const LeagueCell c = t.total(i);
    const Rating& r = t.fit.ratings[i];
    ranking.push_back({{"driver", t.drivers[i]},
                       {"elo", r.elo},
                       {"elo95", {r.low, r.high}},
                       {"races", c.races},
                       {"wins", c.wins},
                       {"draws", c.draws},
                       {"losses", c.losses()}});
  }
  auto matrix = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < t.drivers.size(); ++i) {
    auto row = nlohmann::ordered_json::array();
    for (std::size_t j = 0; j < t.drivers.size(); ++j) {
      if (i == j) {
        row.push_back(nullptr);
        continue;
      }
      const LeagueCell& c = t.cells[i][j];
      const Interval w = wilsonInterval(static_cast<std::uint64_t>(c.wins),
                                        static_cast<std::uint64_t>(c.races));
      row.push_back({{"races", c.races},
                     {"wins", c.wins},
                     {"draws", c.draws},
                     {"winRate", c.races ? double(c.wins) / c.races : 0.0},
                     {"wilson95", {w.low, w.high}}});
    }
    matrix.push_back(std::move(row));
  }
  return {{"drivers", t.drivers},
          {"ratingMethod", "Bradley-Terry maximum likelihood (MM), Elo scale centred on the "
                           "mean; 95% Wald intervals from the Fisher information"},
          {"regularised", t.fit.regularised},
          {"ranking", ranking},
          {"matrix", matrix}};
}

} // namespace pod::arena
