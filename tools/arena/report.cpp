#include "report.h"

#include "league.h"
#include "speed.h"
#include "trace/tracewriter.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace pod::arena {

namespace {

std::string format(const char* fmt, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, fmt, value);
  return buffer;
}

std::string rateWithInterval(double rate, const Interval& i) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f%% [%.1f, %.1f]", 100.0 * rate, 100.0 * i.low,
                100.0 * i.high);
  return buffer;
}

std::string stepsPerTurn(const Tally& tally) {
  bool any = false;
  std::string text;
  for (std::size_t s = 0; s < tally.planner.size(); ++s) {
    const auto steps = tally.stepsPerTurn(s);
    any = any || steps.has_value();
    if (s > 0)
      text += " / ";
    text += steps ? format("%.0f", *steps) : "-";
  }
  return any ? text : "-";
}

// A plain text table: the first column left-aligned, the others right-aligned.
class Table {
public:
  explicit Table(std::vector<std::string> header) { rows_.push_back(std::move(header)); }
  void add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
  void rule() { rules_.push_back(rows_.size()); }

  void print(std::ostream& out, const std::string& indent) const {
    std::vector<std::size_t> widths;
    for (const auto& row : rows_) {
      widths.resize(std::max(widths.size(), row.size()), 0);
      for (std::size_t c = 0; c < row.size(); ++c)
        widths[c] = std::max(widths[c], row[c].size());
    }
    std::size_t total = 0;
    for (auto w : widths)
      total += w + 2;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      if (std::find(rules_.begin(), rules_.end(), r) != rules_.end())
        out << indent << std::string(total - 2, '-') << '\n';
      std::string line = indent;
      for (std::size_t c = 0; c < rows_[r].size(); ++c) {
        const std::string& cell = rows_[r][c];
        const std::string pad(widths[c] - cell.size(), ' ');
        if (c > 0)
          line += "  ";
        line += c == 0 ? cell + pad : pad + cell;
      }
      while (!line.empty() && line.back() == ' ')
        line.pop_back();
      out << line << '\n';
    }
  }

private:
  std::vector<std::vector<std::string>> rows_;
  std::vector<std::size_t> rules_;
};

void printForfeits(std::ostream& out, const ReportInput& input, std::size_t matchup) {
  constexpr int kShown = 10;
  int count = 0;
  for (const auto& f : input.forfeits) {
    if (f.matchup != matchup)
      continue;
    if (++count <= kShown)
      out << "  Forfeit: side " << f.side + 1 << " (" << f.driver << "), " << f.track << " race "
          << f.raceNumber + 1 << (f.rotation ? " swapped" : "") << ", " << f.problem.describe()
          << '\n';
  }
  if (count > kShown)
    out << "  ... and " << count - kShown << " more forfeits (all in --json).\n";
}

bool anyPlanner(const Tally& t) {
  return std::find(t.planner.begin(), t.planner.end(), true) != t.planner.end();
}

} // namespace

std::vector<std::string> tallyHeader(bool timeAttack, std::size_t sides, bool bots) {
  std::vector<std::string> h = {"track", "played", "races"};
  for (std::size_t s = 0; s < sides; ++s)
    h.push_back("wins " + std::to_string(s + 1));
  h.push_back("draws");
  const std::size_t rated = timeAttack ? sides : 1;
  for (std::size_t s = 0; s < rated; ++s)
    h.push_back("win rate " + std::to_string(s + 1) + " [95% CI]");
  h.push_back("turns");
  h.push_back("max");
  if (!timeAttack)
    h.push_back("timeouts");
  h.push_back("evo/turn");
  if (bots)
    h.push_back("forfeits");
  return h;
}

std::vector<std::string> tallyRow(const std::string& name, const Tally& t, bool timeAttack,
                             bool bots) {
  std::vector<std::string> r = {name, std::to_string(t.played), std::to_string(t.races)};
  for (int w : t.wins)
    r.push_back(std::to_string(w));
  r.push_back(std::to_string(t.draws));
  const std::size_t rated = timeAttack ? t.wins.size() : 1;
  for (std::size_t s = 0; s < rated; ++s)
    r.push_back(t.races > 0 ? rateWithInterval(t.winRate(s), t.winInterval(s)) : "-");
  r.push_back(format("%.1f", t.meanTurns()));
  r.push_back(std::to_string(t.maxTurns));
  if (!timeAttack)
    r.push_back(std::to_string(t.byTimeout));
  r.push_back(stepsPerTurn(t));
  if (bots)
    r.push_back(std::to_string(t.forfeits));
  return r;
}

std::string matchupTitle(const Matchup& m, bool timeAttack) {
  std::string title = timeAttack ? "Time attack: " : "";
  for (std::size_t s = 0; s < m.drivers.size(); ++s) {
    if (s > 0)
      title += timeAttack ? ", " : " vs ";
    title += "[" + std::to_string(s + 1) + "] " + m.drivers[s];
  }
  return title;
}

bool matchupHasBot(const TournamentConfig& config, const Matchup& m) {
  return config.limits.bots &&
         std::any_of(m.drivers.begin(), m.drivers.end(),
                     [&](const std::string& d) { return config.limits.bots->find(d) != nullptr; });
}

void printReport(std::ostream& out, const ReportInput& input) {
  const TournamentConfig& config = *input.config;
  const std::size_t randomTracks = static_cast<std::size_t>(
      std::count(input.trackSources.begin(), input.trackSources.end(), "random"));

  out << "Vuzuder arena: " << (config.timeAttack ? "time attack" : "race") << ", "
      << config.tracks.size() << (config.tracks.size() == 1 ? " track" : " tracks");
  if (randomTracks > 0)
    out << " (" << randomTracks << " random)";
  out << ", " << config.racesPerTrack << (config.racesPerTrack == 1 ? " race" : " races")
      << " per track";
  if (config.swap)
    out << (config.timeAttack ? ", every start order" : ", teams swapped");
  out << ", seed " << config.seed << '\n';
  out << "Played " << input.racesPlayed << " races in " << format("%.2f", input.seconds)
      << " s on " << input.threads << (input.threads == 1 ? " thread" : " threads");
  if (input.seconds > 0.0)
    out << " (" << format("%.0f", static_cast<double>(input.racesPlayed) / input.seconds)
        << " races/s)";
  out << ".\n";
  if (config.limits.evalsPerTurn > 0)
    out << "Planners: " << config.limits.evalsPerTurn
        << " evolution steps per turn on a virtual clock of "
        << speedLabelOf(config.limits.turnSeconds) << " ("
        << format("%.4g", config.limits.turnSeconds) << " s of real time per turn).\n";

  if (input.league) {
    const LeagueTable table = leagueTable(input.summaries);
    out << "League: " << table.drivers.size() << " drivers, " << input.summaries.size()
        << " pairings; every race also played with the teams exchanged.\n";
    printLeague(out, table);
    int capped = 0;
    for (const auto& summary : input.summaries)
      capped += summary.total.capped;
    if (capped > 0)
      out << "  Warning: " << capped
          << " races hit the turn cap and count as draws; the physics or a driver is at fault.\n";
    out << "\nraces: distinct races, counted once however often played. A draw is a race not"
           " won in the win rates\nand half a win for each side in the ratings.\n";
    if (config.limits.evalsPerTurn == 0)
      out << "Threaded planners had " << config.limits.thinkMs
          << " ms of real time per turn: their results depend on the machine's load.\n";
    return;
  }

  bool plannersThreaded = false;
  bool anyBot = false;
  for (std::size_t m = 0; m < input.summaries.size(); ++m) {
    const auto& summary = input.summaries[m];
    const bool timeAttack = config.timeAttack;
    const bool bots = matchupHasBot(config, summary.matchup);
    anyBot = anyBot || bots;
    const Tally& total = summary.total;
    out << '\n' << matchupTitle(summary.matchup, timeAttack) << '\n';
    Table table(tallyHeader(timeAttack, summary.matchup.drivers.size(), bots));
    table.rule();
    for (std::size_t t = 0; t < summary.perTrack.size(); ++t)
      table.add(tallyRow(config.tracks[t].name, summary.perTrack[t], timeAttack, bots));
    table.rule();
    table.add(tallyRow("total", total, timeAttack, bots));
    table.print(out, "  ");
    printForfeits(out, input, m);

    const int repeats = total.played - total.races;
    if (repeats > 0)
      out << "  Repeats: " << repeats << " of " << total.played
          << " races replayed a counted race move for move and were not counted again.\n";
    if (!timeAttack && summary.matchup.mirror() && total.races > 0 && total.rotated == 0)
      out << "  Mirror match: side 1 started on the inner grid pair in every counted race;"
             " its win rate is that start's edge.\n";
    if (total.capped > 0)
      out << "  Warning: " << total.capped
          << " races hit the turn cap and count as draws; the physics or a driver is at fault.\n";
    plannersThreaded = plannersThreaded || (anyPlanner(total) && config.limits.evalsPerTurn == 0);
  }

  out << "\nraces: distinct races, counted once however often played. win rate: wins / races,"
         " with its 95% Wilson interval.\nturns: mean race length in turns of 0.25 s."
         " timeouts: races won by the other team's timeout.\nevo/turn: mean evolution steps"
         " per turn of each side's planner (- when a side does not plan).\n";
  if (anyBot) {
    out << "forfeits: races a bot lost by crashing, exiting, closing its output, answering late or"
           " writing a malformed line.\nBots answered under wall-clock limits ("
        << config.limits.bots->firstMs << " ms for the first answer, then "
        << config.limits.bots->turnMs
        << " ms): results with bots depend on the machine and its load.\n";
    if (config.botLogDir.empty())
      out << "The bots' standard error was dropped; --bot-logs DIR keeps it.\n";
  }
  if (plannersThreaded)
    out << "Threaded planners had " << config.limits.thinkMs
        << " ms of real time per turn: their results depend on the machine's load.\n";
}

namespace {

nlohmann::ordered_json botsJson(const TournamentConfig& config) {
  if (!config.limits.bots)
    return nullptr;
  nlohmann::ordered_json drivers = nlohmann::ordered_json::array();
  for (const auto& e : config.limits.bots->entries)
    drivers.push_back({{"name", e.name}, {"command", e.command}});
  return {{"firstMs", config.limits.bots->firstMs},
          {"turnMs", config.limits.bots->turnMs},
          {"logs", config.botLogDir.empty() ? nlohmann::ordered_json(nullptr)
                                            : nlohmann::ordered_json(config.botLogDir)},
          {"drivers", drivers}};
}

} // namespace

ReportInput reportOf(const TournamentConfig& config, std::vector<std::string> trackSources,
                     const std::vector<PlayedRace>& played, bool league) {
  ReportInput r;
  r.config = &config;
  r.trackSources = std::move(trackSources);
  r.summaries = summarise(config.matchups, config.tracks.size(), played);
  r.racesPlayed = played.size();
  r.forfeits = collectForfeits(config, played);
  r.league = league;
  return r;
}

nlohmann::ordered_json jsonReport(const ReportInput& input) {
  const TournamentConfig& config = *input.config;
  auto tallyJson = [&](const Tally& t) {
    nlohmann::ordered_json sides = nlohmann::ordered_json::array();
    for (std::size_t s = 0; s < t.wins.size(); ++s) {
      const Interval i = t.winInterval(s);
      const auto steps = t.stepsPerTurn(s);
      sides.push_back({{"wins", t.wins[s]},
                       {"winRate", t.winRate(s)},
                       {"wilson95", {i.low, i.high}},
                       {"evolutionStepsPerTurn", steps ? nlohmann::ordered_json(*steps) : nullptr}});
    }
    return nlohmann::ordered_json{{"played", t.played},  {"races", t.races},
                          {"draws", t.draws},    {"byTimeout", t.byTimeout},
                          {"capped", t.capped},  {"forfeits", t.forfeits},
                          {"meanTurns", t.meanTurns()},
                          {"maxTurns", t.maxTurns}, {"sides", sides}};
  };

  nlohmann::ordered_json tracks = nlohmann::ordered_json::array();
  for (std::size_t t = 0; t < config.tracks.size(); ++t) {
    nlohmann::ordered_json checkpoints = nlohmann::ordered_json::array();
    for (const auto& c : config.tracks[t].checkpoints)
      checkpoints.push_back({floatJson(c.position.x), floatJson(c.position.y)});
    tracks.push_back({{"name", config.tracks[t].name},
                      {"source", t < input.trackSources.size() ? input.trackSources[t] : ""},
                      {"checkpoints", checkpoints}});
  }

  nlohmann::ordered_json matchups = nlohmann::ordered_json::array();
  for (const auto& summary : input.summaries) {
    nlohmann::ordered_json perTrack = nlohmann::ordered_json::array();
    for (std::size_t t = 0; t < summary.perTrack.size(); ++t) {
      auto j = tallyJson(summary.perTrack[t]);
      j["track"] = config.tracks[t].name;
      perTrack.push_back(std::move(j));
    }
    nlohmann::ordered_json forfeits = nlohmann::ordered_json::array();
    for (const auto& f : input.forfeits)
      if (&input.summaries[f.matchup] == &summary)
        forfeits.push_back({{"track", f.track},
                            {"race", f.raceNumber + 1},
                            {"swapped", f.rotation != 0},
                            {"side", f.side + 1},
                            {"driver", f.driver},
                            {"turn", f.problem.turn},
                            {"reason", bots::faultName(f.problem.fault)},
                            {"detail", f.problem.detail},
                            {"line", f.problem.line}});
    matchups.push_back({{"drivers", summary.matchup.drivers},
                        {"mirror", summary.matchup.mirror()},
                        {"tracks", perTrack},
                        {"total", tallyJson(summary.total)},
                        {"forfeits", forfeits}});
  }

  return {{"format", "vuzuder-arena-summary"},
          {"version", 1},
          {"mode", config.timeAttack ? "time attack" : "race"},
          {"seed", config.seed},
          {"racesPerTrack", config.racesPerTrack},
          {"swap", config.swap},
          {"thinkEvals", config.limits.evalsPerTurn},
          {"thinkMs", config.limits.thinkMs},
          {"speed", speedLabelOf(config.limits.turnSeconds)},
          {"tracks", tracks},
          {"bots", botsJson(config)},
          {"matchups", matchups},
          {"league", input.league ? leagueJson(leagueTable(input.summaries))
                                  : nlohmann::ordered_json(nullptr)},
          {"timing",
           {{"racesPlayed", input.racesPlayed},
            {"seconds", input.seconds},
            {"threads", input.threads},
            {"racesPerSecond",
             input.seconds > 0.0 ? static_cast<double>(input.racesPlayed) / input.seconds
                                 : 0.0}}}};
}

} // namespace pod::arena
