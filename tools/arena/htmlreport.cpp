#include "htmlreport.h"

#include "htmltext.h"
#include "league.h"
#include "speed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace pod::arena {

namespace {

constexpr const char* kStyle = R"CSS(
body { margin: 0 auto; max-width: 1100px; padding: 16px 24px 40px; color: #1d2330; background: #fff;
  font: 14px/1.45 system-ui, "DejaVu Sans", sans-serif; }
h1 { font-size: 24px; margin: 8px 0 4px; } h2 { font-size: 19px; margin: 28px 0 8px; }
h3 { font-size: 15px; margin: 18px 0 6px; }
.lead { color: #4a5568; margin: 0 0 4px; }
table { border-collapse: collapse; margin: 6px 0; font-variant-numeric: tabular-nums; }
th, td { padding: 3px 8px; border-bottom: 1px solid #e2e6ee; text-align: right; vertical-align: top; }
th { background: #f3f5f9; font-weight: 600; }
th:first-child, td:first-child, #ranking-table td:nth-child(2), #ranking-table th:nth-child(2),
#track-list td:nth-child(3), #track-list th:nth-child(3) { text-align: left; }
.chart text { font: 12px system-ui, "DejaVu Sans", sans-serif; fill: #1d2330; }
.chart .axis { stroke: #c5ccd8; } .chart .zero { stroke: #7a8699; stroke-dasharray: 4 3; }
.chart .bar { fill: #8fb8e8; } .chart .elo { fill: #1f4f8a; }
.chart .cell { stroke: #fff; stroke-width: 2; } .chart .self { fill: #e8ebf0; }
.chart .rate { font-weight: 600; text-anchor: middle; } .chart .strong { fill: #fff; }
.replays a { margin-right: 4px; } .replays { text-align: left; max-width: 280px; }
.note { color: #4a5568; font-size: 13px; }
pre { background: #f3f5f9; padding: 8px 10px; overflow-x: auto; white-space: pre-wrap; word-break: break-all; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 2px 16px; } dt { font-weight: 600; }
dd { margin: 0; }
.warn { color: #a0321e; }
@media print { body { max-width: none; padding: 0; } h2 { break-after: avoid; }
  section, table { break-inside: avoid; } a { color: inherit; text-decoration: none; } }
)CSS";

std::string withFormat(const char* fmt, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, fmt, value);
  return buffer;
}

std::string num(double v) { return withFormat("%.1f", v); }

// Win rate 0 red, one half pale, 1 green.
std::string heat(double rate) {
  const double t = std::clamp(rate, 0.0, 1.0);
  const double low[3] = {215, 48, 39}, mid[3] = {247, 247, 247}, high[3] = {26, 152, 80};
  const double* a = t < 0.5 ? low : mid;
  const double* b = t < 0.5 ? mid : high;
  const double u = t < 0.5 ? t * 2 : t * 2 - 1;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x",
                static_cast<int>(std::lround(a[0] + (b[0] - a[0]) * u)),
                static_cast<int>(std::lround(a[1] + (b[1] - a[1]) * u)),
                static_cast<int>(std::lround(a[2] + (b[2] - a[2]) * u)));
  return buffer;
}

void tableRow(std::ostream& out, const std::vector<std::string>& cells, const char* tag) {
  out << "<tr>";
  for (const auto& c : cells)
    out << '<' << tag << '>' << htmlText(c) << "</" << tag << '>';
  out << "</tr>\n";
}

double niceStep(double span) {
  for (double step : {25.0, 50.0, 100.0, 200.0, 250.0, 500.0, 1000.0})
    if (span / step <= 8)
      return step;
  return std::pow(10.0, std::ceil(std::log10(span / 8)));
}

void ratingChart(std::ostream& out, const LeagueTable& t) {
  const std::size_t n = t.drivers.size();
  double lo = 0.0, hi = 0.0;
  for (const auto& r : t.fit.ratings) {
    if (std::isfinite(r.low))
      lo = std::min(lo, r.low);
    if (std::isfinite(r.high))
      hi = std::max(hi, r.high);
  }
  const double step = niceStep(std::max(1.0, hi - lo));
  lo = std::floor(lo / step) * step;
  hi = std::ceil(hi / step) * step;
  if (hi - lo < step)
    hi = lo + step;
  constexpr int kLabel = 210, kPlot = 520, kValue = 150, kRow = 26, kTop = 22;
  const int height = kTop + static_cast<int>(n) * kRow + 8;
  auto x = [&](double elo) {
    return kLabel + (std::clamp(elo, lo, hi) - lo) / (hi - lo) * kPlot;
  };
  out << "<svg class=\"chart\" id=\"ratings\" viewBox=\"0 0 " << kLabel + kPlot + kValue << ' '
      << height << "\" width=\"" << kLabel + kPlot + kValue
      << "\" role=\"img\" aria-label=\"Elo ratings with 95% intervals, best first\">\n";
  for (double v = lo; v <= hi + step / 2; v += step) {
    out << "<line class=\"" << (v == 0.0 ? "zero" : "axis") << "\" x1=\"" << num(x(v))
        << "\" x2=\"" << num(x(v)) << "\" y1=\"" << kTop - 4 << "\" y2=\"" << height - 6
        << "\"/><text x=\"" << num(x(v)) << "\" y=\"12\" text-anchor=\"middle\">"
        << withFormat("%+.0f", v) << "</text>\n";
  }
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = t.ranking[k];
    const Rating& r = t.fit.ratings[i];
    const int y = kTop + static_cast<int>(k) * kRow;
    const std::string label = std::to_string(k + 1) + ". " + t.drivers[i];
    out << "<g><title>" << htmlText(label + ": Elo " + leagueRatingText(r)) << "</title>"
        << "<text x=\"0\" y=\"" << y + 16 << "\">" << htmlText(shortened(label, 28)) << "</text>"
        << "<rect class=\"bar\" x=\"" << num(x(r.low)) << "\" y=\"" << y + 6 << "\" width=\""
        << num(std::max(2.0, x(r.high) - x(r.low))) << "\" height=\"12\" rx=\"3\"/>"
        << "<circle class=\"elo\" cx=\"" << num(x(r.elo)) << "\" cy=\"" << y + 12
        << "\" r=\"5\"/><text x=\"" << kLabel + kPlot + 10 << "\" y=\"" << y + 16 << "\">"
        << htmlText(leagueRatingText(r)) << "</text></g>\n";
  }
  out << "</svg>\n";
}

void heatMap(std::ostream& out, const LeagueTable& t) {
  const std::size_t n = t.drivers.size();
  constexpr int kLabel = 230, kCell = 58, kTop = 24;
  const int size = static_cast<int>(n) * kCell;
  out << "<svg class=\"chart\" id=\"heatmap\" viewBox=\"0 0 " << kLabel + size << ' '
      << kTop + size << "\" width=\"" << kLabel + size
      << "\" role=\"img\" aria-label=\"Win rate of the row driver against the column driver\">\n";
  for (std::size_t j = 0; j < n; ++j)
    out << "<text x=\"" << kLabel + static_cast<int>(j) * kCell + kCell / 2 << "\" y=\"16\" "
        << "text-anchor=\"middle\"><title>" << htmlText(t.drivers[j]) << "</title>" << j + 1
        << "</text>\n";
  for (std::size_t i = 0; i < n; ++i) {
    const int y = kTop + static_cast<int>(i) * kCell;
    out << "<text x=\"0\" y=\"" << y + kCell / 2 + 4 << "\"><title>" << htmlText(t.drivers[i])
        << "</title>" << htmlText(shortened(std::to_string(i + 1) + ". " + t.drivers[i], 30))
        << "</text>\n";
    for (std::size_t j = 0; j < n; ++j) {
      const int x = kLabel + static_cast<int>(j) * kCell;
      const LeagueCell& c = t.cells[i][j];
      const bool self = i == j || c.races == 0;
      const double rate = c.races > 0 ? static_cast<double>(c.wins) / c.races : 0.0;
      out << "<g><title>"
          << htmlText(i == j ? t.drivers[i]
                             : t.drivers[i] + " vs " + t.drivers[j] + ": " + leagueCellText(c) +
                                   (c.races > 0 ? " races" : ""))
          << "</title><rect class=\"cell" << (self ? " self" : "") << "\" x=\"" << x << "\" y=\""
          << y << "\" width=\"" << kCell << "\" height=\"" << kCell << "\""
          << (self ? "" : " fill=\"" + heat(rate) + "\"") << "/>";
      if (!self)
        out << "<text class=\"rate" << (std::abs(rate - 0.5) > 0.3 ? " strong" : "")
            << "\" x=\"" << x + kCell / 2 << "\" y=\"" << y + kCell / 2 + 4 << "\">"
            << withFormat("%.0f%%", 100.0 * rate) << "</text>";
      out << "</g>\n";
    }
  }
  out << "</svg>\n";
}

void leagueSections(std::ostream& out, const ReportInput& input) {
  const LeagueTable t = leagueTable(input.summaries);
  const std::size_t n = t.drivers.size();
  out << "<section id=\"ranking\">\n<h2>Ranking</h2>\n<p class=\"note\">Bradley\xe2\x80\x93Terry "
         "ratings on the Elo scale, centred on the league's mean, with 95% intervals (bars); "
         "best first.</p>\n";
  ratingChart(out, t);
  out << "<table id=\"ranking-table\">\n";
  tableRow(out, {"rank", "driver", "Elo [95% CI]", "races", "wins", "draws", "losses", "win rate"},
           "th");
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = t.ranking[k];
    const LeagueCell c = t.total(i);
    tableRow(out,
             {std::to_string(k + 1), t.drivers[i], leagueRatingText(t.fit.ratings[i]),
              std::to_string(c.races), std::to_string(c.wins), std::to_string(c.draws),
              std::to_string(c.losses()),
              c.races > 0 ? withFormat("%.1f%%", 100.0 * c.wins / c.races) : "-"},
             "td");
  }
  out << "</table>\n";
  if (t.fit.regularised)
    out << "<p class=\"note\">Some drivers never lost (or never won) against the rest: each got "
           "one virtual draw against a driver rated 0 so that the ratings stay finite.</p>\n";
  out << "</section>\n<section id=\"matrix\">\n<h2>Matrix</h2>\n<p class=\"note\">Win rate of "
         "the row driver against the column driver over their distinct races; hover a cell "
         "for its 95% Wilson interval and race count.</p>\n";
  heatMap(out, t);
  out << "<table id=\"matrix-table\">\n<caption class=\"note\">Row against column: win rate "
         "[95% Wilson interval] and races</caption>\n<tr><th>driver</th>";
  for (std::size_t j = 0; j < n; ++j)
    out << "<th title=\"" << htmlText(t.drivers[j]) << "\">" << j + 1 << "</th>";
  out << "</tr>\n";
  for (std::size_t i = 0; i < n; ++i) {
    out << "<tr><th>" << i + 1 << ". " << htmlText(t.drivers[i]) << "</th>";
    for (std::size_t j = 0; j < n; ++j)
      out << "<td>" << htmlText(i == j ? std::string("-") : leagueCellText(t.cells[i][j]))
          << "</td>";
    out << "</tr>\n";
  }
  out << "</table>\n</section>\n";
}

std::string raceLabel(const ReportInput& input, const ReplayLink& link) {
  const Matchup& m = input.summaries.at(link.matchup).matchup;
  std::string text = "race " + std::to_string(link.raceNumber + 1);
  if (link.rotation != 0)
    text += input.config->timeAttack ? ", start order " + std::to_string(link.rotation + 1)
                                     : ", teams swapped";
  text += ": ";
  if (link.winnerSide >= 0 && static_cast<std::size_t>(link.winnerSide) < m.drivers.size())
    text += m.drivers[static_cast<std::size_t>(link.winnerSide)] + " wins";
  else
    text += "no winner";
  return text + " in " + std::to_string(link.turns) + " turns";
}

void trackSections(std::ostream& out, const ReportInput& input, const HtmlExtras& extras) {
  const TournamentConfig& config = *input.config;
  std::map<std::pair<std::size_t, std::size_t>, std::vector<const ReplayLink*>> links;
  for (const auto& l : extras.replays)
    links[{l.matchup, l.track}].push_back(&l);
  out << "<section id=\"tracks\">\n<h2>Results by track</h2>\n";
  for (std::size_t m = 0; m < input.summaries.size(); ++m) {
    const auto& summary = input.summaries[m];
    const bool bots = matchupHasBot(config, summary.matchup);
    out << "<h3>" << htmlText(matchupTitle(summary.matchup, config.timeAttack)) << "</h3>\n"
        << "<table class=\"per-track\">\n<tr>";
    for (const auto& h : tallyHeader(config.timeAttack, summary.matchup.drivers.size(), bots))
      out << "<th>" << htmlText(h) << "</th>";
    if (!links.empty())
      out << "<th>replays</th>";
    out << "</tr>\n";
    for (std::size_t t = 0; t <= summary.perTrack.size(); ++t) {
      const bool total = t == summary.perTrack.size();
      out << "<tr>";
      for (const auto& cell : total ? tallyRow("total", summary.total, config.timeAttack, bots)
                                    : tallyRow(config.tracks[t].name, summary.perTrack[t],
                                               config.timeAttack, bots))
        out << "<td>" << htmlText(cell) << "</td>";
      if (!links.empty()) {
        out << "<td class=\"replays\">";
        const auto found = total ? links.end() : links.find({m, t});
        if (found != links.end())
          for (const ReplayLink* l : found->second)
            out << "<a href=\"" << htmlText(l->href) << "\" title=\""
                << htmlText(raceLabel(input, *l)) << "\">" << l->raceNumber + 1
                << (l->rotation != 0 ? "s" : "") << "</a> ";
        out << "</td>";
      }
      out << "</tr>\n";
    }
    out << "</table>\n";
    if (summary.total.capped > 0)
      out << "<p class=\"warn\">" << summary.total.capped
          << " races hit the turn cap and count as draws; the physics or a driver is at "
             "fault.</p>\n";
  }
  out << "<p class=\"note\">races: distinct races, counted once however often played. win rate:"
         " wins / races, with its 95% Wilson interval. turns: mean race length in turns of "
         "0.25 s. timeouts: races won by the other team's timeout. evo/turn: mean evolution "
         "steps per turn of each side's planner."
      << (links.empty() ? "" : " Replays: race number, s when the teams were swapped.")
      << "</p>\n</section>\n";
}

void forfeitSection(std::ostream& out, const ReportInput& input) {
  if (input.forfeits.empty())
    return;
  constexpr std::size_t kShown = 1000;
  out << "<section id=\"forfeits\">\n<h2>Forfeits</h2>\n<table>\n";
  tableRow(out, {"pairing", "track", "race", "side", "driver", "reason"}, "th");
  for (std::size_t k = 0; k < std::min(kShown, input.forfeits.size()); ++k) {
    const ForfeitRecord& f = input.forfeits[k];
    tableRow(out,
             {matchupTitle(input.summaries.at(f.matchup).matchup, input.config->timeAttack),
              f.track, std::to_string(f.raceNumber + 1) + (f.rotation ? " swapped" : ""),
              std::to_string(f.side + 1), f.driver, f.problem.describe()},
             "td");
  }
  out << "</table>\n";
  if (input.forfeits.size() > kShown)
    out << "<p class=\"note\">... and " << input.forfeits.size() - kShown
        << " more forfeits (all in --json).</p>\n";
  out << "</section>\n";
}

void settingsSection(std::ostream& out, const ReportInput& input, const HtmlExtras& extras) {
  const TournamentConfig& config = *input.config;
  auto item = [&](const std::string& term, const std::string& value) {
    out << "<dt>" << htmlText(term) << "</dt><dd>" << htmlText(value) << "</dd>\n";
  };
  out << "<section id=\"settings\">\n<h2>Settings</h2>\n<dl>\n";
  item("mode", config.timeAttack ? "time attack" : input.league ? "league" : "race");
  item("seed", std::to_string(config.seed));
  item("races per track", std::to_string(config.racesPerTrack));
  item("swap", config.swap ? (config.timeAttack ? "every start order" : "teams exchanged") : "no");
  if (config.limits.evalsPerTurn > 0)
    item("planners", std::to_string(config.limits.evalsPerTurn) +
                         " evolution steps per turn on a virtual clock of " +
                         speedLabelOf(config.limits.turnSeconds));
  else
    item("planners", "threaded, " + std::to_string(config.limits.thinkMs) +
                         " ms of real time per turn");
  if (config.limits.bots) {
    item("bot limits", std::to_string(config.limits.bots->firstMs) + " ms first answer, " +
                           std::to_string(config.limits.bots->turnMs) + " ms later answers");
    for (const auto& e : config.limits.bots->entries)
      item("bot " + e.name, e.command);
  }
  item("played", std::to_string(input.racesPlayed) +
                     (input.racesPlayed == 1 ? " race in " : " races in ") +
                     withFormat("%.2f", input.seconds) + " s on " + std::to_string(input.threads) +
                     (input.threads == 1 ? " thread" : " threads"));
  out << "</dl>\n<table id=\"track-list\">\n";
  tableRow(out, {"track", "checkpoints", "source"}, "th");
  for (std::size_t t = 0; t < config.tracks.size(); ++t)
    tableRow(out,
             {config.tracks[t].name, std::to_string(config.tracks[t].checkpoints.size()),
              t < input.trackSources.size() ? input.trackSources[t] : ""},
             "td");
  out << "</table>\n";
  if (!extras.command.empty())
    out << "<h3>Command</h3>\n<pre id=\"command\"><code>" << htmlText(extras.command)
        << "</code></pre>\n";
  out << "</section>\n";
}

} // namespace

void writeHtmlReport(std::ostream& out, const ReportInput& input, const HtmlExtras& extras) {
  const TournamentConfig& config = *input.config;
  const std::string title = std::string("Vuzuder arena: ") +
                            (input.league ? "league" : config.timeAttack ? "time attack" : "race");
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
      << title << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<h1>" << title
      << "</h1>\n<p class=\"lead\">" << config.tracks.size()
      << (config.tracks.size() == 1 ? " track, " : " tracks, ") << config.racesPerTrack
      << (config.racesPerTrack == 1 ? " race" : " races") << " per track";
  if (input.league) {
    const auto drivers = leagueDrivers([&] {
      std::vector<Matchup> m;
      for (const auto& s : input.summaries)
        m.push_back(s.matchup);
      return m;
    }());
    out << ", " << drivers.size() << " drivers, " << input.summaries.size()
        << " pairings, every race also played with the teams exchanged";
  }
  out << ", seed " << config.seed << ".</p>\n";
  if (input.league)
    leagueSections(out, input);
  trackSections(out, input, extras);
  forfeitSection(out, input);
  settingsSection(out, input, extras);
  out << "</body>\n</html>\n";
}

} // namespace pod::arena
