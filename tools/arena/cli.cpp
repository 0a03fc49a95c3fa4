#include "cli.h"

#include "cliparse.h"
#include "badinput.h"
#include "league.h"
#include "merge.h"
#include "output.h"
#include "botcheck.h"
#include "botroster.h"
#include "replayhtml.h"
#include "report.h"
#include "htmltext.h"
#include "resolve.h"
#include "shard.h"
#include "speed.h"
#include "stats.h"
#include "tournament.h"
#include "tracedir.h"
#include "trackgen.h"

#include "brains/driverregistry.h"
#include "trace/tracewriter.h"

#include <qutils/gamefolders.h>
#include <qutils/text.h>
#include <qutils/version.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <thread>

namespace pod::arena {

namespace {

namespace fs = std::filesystem;

struct Options {
  std::string team1 = "Steering heuristics";
  std::string team2 = "Steering heuristics";
  std::vector<std::string> trackArgs;
  std::string tracksDir;  // empty: the shipped tracks of the data folder
  int randomTracks = 0;
  int races = kDefaultRaces;
  bool swap = false;
  bool noSwap = false;
  std::uint64_t seed = 1;
  int jobs = 0;
  bool timeAttack = false;
  std::vector<std::string> drivers;
  std::string jsonPath;
  std::string tracePath;
  bool league = false;
  std::string speed = gamespeed::kLabels[gamespeed::kDefaultIndex];
  std::string shard;
  std::string traceDir;
  std::string csvPath;
  std::string markdownPath;
  std::string htmlPath;
  std::string htmlDir;
  int thinkMs = kDefaultThinkMs;
  int thinkEvals = kDefaultThinkEvals;
  bool list = false;
  std::vector<std::string> botArgs;
  int botFirstMs = 1000;
  int botTurnMs = 50;
  std::string botLogs;
};

// Who plays a league when --drivers does not say: every race driver and every bot.
std::vector<std::string> leagueDefaultDrivers(const BotRoster* bots) {
  auto names = computerDriverNames(false);
  if (bots)
    for (const auto& e : bots->entries)
      names.push_back(e.name);
  return names;
}

std::vector<std::string> leagueLineup(const std::vector<std::string>& names,
                                      const BotRoster* bots) {
  std::vector<std::string> drivers;
  for (const auto& n : names.empty() ? leagueDefaultDrivers(bots) : names) {
    const std::string d = resolveDriver(n, false, bots);
    if (std::find(drivers.begin(), drivers.end(), d) != drivers.end())
      throw BadInput{"--drivers names '" + d + "' twice"};
    drivers.push_back(d);
  }
  if (drivers.size() < 2)
    throw BadInput{"a league needs at least 2 drivers (got " + std::to_string(drivers.size()) +
                   ")"};
  return drivers;
}

void listEverything(std::ostream& out, const std::string& dir) {
  for (bool timeAttack : {false, true}) {
    out << (timeAttack ? "Time attack drivers:" : "Race drivers:") << '\n';
    for (const auto& name : computerDriverNames(timeAttack))
      out << "  " << name << '\n';
  }
  out << "Tracks in " << shippedTracks(dir) << ":\n";
  for (const auto& f : loadFolder(dir)) {
    if (f.loaded)
      out << "  " << f.track.name << (f.player ? " [player]" : "") << " ("
          << f.track.checkpoints.size() << " checkpoints, " << f.path << ")\n";
    else
      out << "  " << f.path << ": " << oneLine(f.error) << '\n';
  }
}

class ProgressLine {
public:
  ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
  ~ProgressLine() {
    if (drawn_)
      err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  }
  void operator()(std::size_t done, std::size_t total) {
    if (!enabled_ || total == 0)
      return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    char line[128];
    if (done == 0) {
      std::snprintf(line, sizeof line, "  %zu/%zu races", done, total);
    } else {
      const auto eta = static_cast<long>(elapsed / static_cast<double>(done) *
                                         static_cast<double>(total - done) + 0.5);
      std::snprintf(line, sizeof line, "  %zu/%zu races  %3.0f%%  ETA %ld:%02ld", done, total,
                    100.0 * static_cast<double>(done) / static_cast<double>(total), eta / 60,
                    eta % 60);
    }
    const std::string text = line;
    width_ = std::max(width_, text.size());
    err_ << '\r' << text << std::string(width_ - text.size(), ' ') << std::flush;
    drawn_ = true;
  }

private:
  std::ostream& err_;
  bool enabled_;
  bool drawn_ = false;
  std::size_t width_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::unique_ptr<std::ofstream> openOutput(const std::string& path, const char* what) {
  auto file = std::make_unique<std::ofstream>(path, std::ios::trunc);
  if (!*file)
    throw BadInput{std::string("cannot write the ") + what + " file '" + path + "'"};
  return file;
}

std::shared_ptr<const BotRoster> makeRoster(const Options& o, std::string& logDir) {
  auto roster = std::make_shared<BotRoster>();
  if (o.botFirstMs < 1 || o.botTurnMs < 1)
    throw BadInput{"--bot-first-ms and --bot-turn-ms must be at least 1"};
  roster->firstMs = o.botFirstMs;
  roster->turnMs = o.botTurnMs;
  for (const auto& arg : o.botArgs) {
    BotRoster::Entry entry;
    try {
      entry = parseBotArgument(arg);
    } catch (const std::invalid_argument& e) {
      throw BadInput{e.what()};
    }
    for (bool timeAttack : {false, true})
      for (const auto& builtIn : computerDriverNames(timeAttack))
        if (lower(builtIn) == lower(entry.name))
          throw BadInput{"bot name '" + entry.name + "' is already a driver's name"};
    if (roster->find(entry.name))
      throw BadInput{"two bots are named '" + entry.name + "'"};
    roster->entries.push_back(std::move(entry));
  }
  if (!o.botLogs.empty()) {
    std::error_code ec;
    fs::create_directories(o.botLogs, ec);
    if (!fs::is_directory(o.botLogs, ec))
      throw BadInput{"cannot make the bot log folder '" + o.botLogs + "'"};
    logDir = o.botLogs;
  }
  // Ctrl-C must not leave bot processes behind.
  bots::installInterruptCleanup("vuzuder-arena: interrupted; bots ended\n");
  return roster;
}

// Links from the report's folder to every race's replay page.
std::vector<ReplayLink> replayLinks(const std::vector<PlayedRace>& played,
                                    const TraceDirectory& dir, const std::string& reportPath) {
  std::vector<ReplayLink> links;
  std::error_code ec;
  const fs::path base = fs::absolute(fs::path(reportPath), ec).parent_path();
  for (const PlayedRace& race : played) {
    const fs::path page = fs::absolute(dir.pagePath(race.job), ec);
    fs::path href = page.lexically_relative(base);
    if (href.empty())
      href = page;
    links.push_back({race.job.matchup, race.job.track, race.job.raceNumber, race.job.rotation,
                     race.winnerSide(), race.outcome.turns, href.generic_string()});
  }
  return links;
}

int play(const Options& o, const CLI::App& app, const std::vector<std::string>& args,
         std::ostream& out, std::ostream& err, bool progress) {
  auto given = [&](const char* name) { return app.count(name) > 0; };

  if (o.races < 1)
    throw BadInput{"--races must be at least 1 (got " + std::to_string(o.races) + ")"};
  if (given("--jobs") && o.jobs < 1)
    throw BadInput{"--jobs must be at least 1 (got " + std::to_string(o.jobs) + ")"};
  if (o.jobs > kMaxJobs)
    throw BadInput{"--jobs must be at most " + std::to_string(kMaxJobs) + " (got " +
                   std::to_string(o.jobs) + ")"};
  if (o.randomTracks < 0)
    throw BadInput{"--random-tracks must not be negative"};
  if (static_cast<std::size_t>(o.randomTracks) > kMaxTracks)
    throw BadInput{"--random-tracks must be at most " + std::to_string(kMaxTracks) + " (got " +
                   std::to_string(o.randomTracks) + ")"};
  if (o.thinkMs < 0)
    throw BadInput{"--think-ms must not be negative"};
  if (o.thinkEvals < 0)
    throw BadInput{"--think-evals must not be negative"};
  if (given("--think-ms") && given("--think-evals") && o.thinkEvals > 0)
    throw BadInput{"--think-ms is for threaded planners; it cannot go with --think-evals " +
                   std::to_string(o.thinkEvals)};
  if (o.swap && o.noSwap)
    throw BadInput{"--swap and --no-swap exclude each other"};
  const int speed = speedIndexOf(o.speed);
  if (speed < 0)
    throw BadInput{"unknown --speed '" + o.speed + "' (speeds: x0.5, x1, x1.5, x2, x3, x4)"};
  if (given("--speed") && given("--think-ms"))
    throw BadInput{"--speed says what a --think-evals budget stands for; threaded planners"
                   " (--think-ms) think in real time"};

  TournamentConfig config;
  if (!o.botArgs.empty())
    config.limits.bots = makeRoster(o, config.botLogDir);
  const BotRoster* bots = config.limits.bots.get();
  config.timeAttack = o.timeAttack;
  config.racesPerTrack = o.races;
  config.seed = o.seed;
  config.jobs = given("--jobs") ? o.jobs
                                : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  config.limits.evalsPerTurn = given("--think-ms") ? 0 : o.thinkEvals;
  config.limits.thinkMs = o.thinkMs;
  config.limits.turnSeconds = gamespeed::kTurnSeconds[speed];

  Matchup matchup;
  if (o.league) {
    if (o.timeAttack || given("--team1") || given("--team2") || o.noSwap)
      throw BadInput{"--league plays races between every two drivers, both sides; it takes"
                     " --drivers, not --time-attack, --team1, --team2 or --no-swap"};
    config.matchups = leagueMatchups(leagueLineup(o.drivers, bots));
    config.swap = true;
  } else if (o.timeAttack) {
    if (given("--team1") || given("--team2"))
      throw BadInput{"--team1 and --team2 are for races; time attack takes --drivers"};
    const std::vector<std::string> names =
        o.drivers.empty() ? std::vector<std::string>{"Steering heuristics"} : o.drivers;
    if (names.size() > 4)
      throw BadInput{"time attack takes 1 to 4 drivers (got " + std::to_string(names.size()) +
                     ")"};
    for (const auto& n : names)
      matchup.drivers.push_back(resolveDriver(n, true, bots));
    config.swap = o.swap;
  } else {
    if (!o.drivers.empty())
      throw BadInput{"--drivers is for time attack and --league; races take --team1 and --team2"};
    matchup.drivers = {resolveDriver(o.team1, false, bots), resolveDriver(o.team2, false, bots)};
    // The default tournament is a mirror match: play both grid sides.
    const bool defaultPairing = !given("--team1") && !given("--team2");
    config.swap = o.swap || (defaultPairing && !o.noSwap);
  }
  if (!o.league)
    config.matchups.push_back(matchup);

  std::vector<std::string> sources;
  std::unique_ptr<std::vector<TrackFile>> folder;
  const bool byName = std::any_of(o.trackArgs.begin(), o.trackArgs.end(),
                                  [](const std::string& a) { return !isPathLike(a); });
  // Random tracks alone need no folder unless one was named.
  const bool randomOnly = o.trackArgs.empty() && o.randomTracks > 0 && !given("--tracks-dir") &&
                          shippedTracks(o.tracksDir).empty();
  if ((o.trackArgs.empty() && !randomOnly) || byName)
    folder = std::make_unique<std::vector<TrackFile>>(loadFolder(o.tracksDir));
  if (o.trackArgs.empty()) {
    if (folder) {
      for (const auto& f : *folder) {
        if (f.player)
          continue;  // the default tournament is the same on every machine
        if (!f.loaded)
          throw BadInput{"invalid track '" + f.path + "': " + oneLine(f.error)};
        requireRaceable(f.track, "'" + f.path + "'");
        config.tracks.push_back(f.track);
        sources.push_back(f.path);
      }
    }
  } else {
    for (const auto& arg : o.trackArgs) {
      auto [track, source] = resolveTrack(arg, folder.get());
      config.tracks.push_back(std::move(track));
      sources.push_back(source);
    }
  }
  for (auto& track : generateTracks(o.seed, o.randomTracks)) {
    config.tracks.push_back(std::move(track));
    sources.push_back("random");
  }
  if (config.tracks.empty())
    throw BadInput{"no tracks to race on in '" + shippedTracks(o.tracksDir) + "'"};
  if (config.tracks.size() > kMaxTracks)
    throw BadInput{"a schedule holds at most " + std::to_string(kMaxTracks) + " tracks (got " +
                   std::to_string(config.tracks.size()) + ")"};
  const std::uint64_t scheduled = scheduledRaceCount(config);
  if (scheduled > kMaxScheduledRaces)
    throw BadInput{"these options schedule " + std::to_string(scheduled) +
                   " races; a schedule holds at most " + std::to_string(kMaxScheduledRaces) +
                   " (fewer --races, tracks or drivers)"};

  const Shard shard = o.shard.empty() ? Shard{} : parseShard(o.shard);
  if (!o.shard.empty() && o.jsonPath.empty())
    throw BadInput{"--shard writes its partial summary with --json FILE"};
  OutputFiles outputs({o.jsonPath, o.csvPath, o.markdownPath, o.htmlPath}, o.league);
  std::unique_ptr<std::ofstream> traceFile;
  if (!o.tracePath.empty())
    traceFile = openOutput(o.tracePath, "trace");
  std::unique_ptr<TraceDirectory> traceDir;
  // A report beside the traces links to replay pages, so it gets them.
  const std::string htmlDir =
      !o.htmlDir.empty() || o.htmlPath.empty() ? o.htmlDir : o.traceDir;
  if (!o.traceDir.empty() || !htmlDir.empty())
    traceDir = std::make_unique<TraceDirectory>(o.traceDir, config, htmlDir);

  // A slice is built alone: the whole schedule may be far larger.
  const std::vector<std::size_t> slice = shardSlice(scheduled, shard);
  std::vector<RaceJob> jobs;
  jobs.reserve(slice.size());
  for (std::size_t i : slice)
    jobs.push_back(scheduledRace(config, i));
  std::unique_ptr<TraceWriter> trace;
  if (traceFile && !jobs.empty()) {
    std::vector<std::string> teams;
    for (int side : jobs.front().seats)
      teams.push_back(config.matchups[jobs.front().matchup].drivers[side]);
    trace = std::make_unique<TraceWriter>(*traceFile, config.tracks[jobs.front().track],
                                          config.timeAttack, teams);
  }

  const auto start = std::chrono::steady_clock::now();
  std::vector<PlayedRace> played;
  {
    ProgressLine line(err, progress);
    ObserverFactory perRace;
    if (traceDir)
      perRace = [&traceDir](const RaceJob& job) { return traceDir->open(job); };
    played = playTournament(config, jobs, std::ref(line), trace.get(), perRace);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const PlayedRace& race : played)
    if (!race.outcome.arenaError.empty()) {
      err << "vuzuder-arena: " << race.outcome.arenaError << "; no results written\n";
      return 1;
    }

  ReportInput report = reportOf(config, sources, played, o.league);
  if (!o.htmlPath.empty())
    outputs.setHtmlExtras({shellCommand("vuzuder-arena", args),
                           htmlDir.empty() ? std::vector<ReplayLink>{}
                                           : replayLinks(played, *traceDir, o.htmlPath)});
  report.seconds = seconds;
  report.threads = static_cast<int>(std::min<std::size_t>(
      static_cast<std::size_t>(config.jobs), std::max<std::size_t>(1, jobs.size())));
  if (o.shard.empty()) {
    outputs.write(out, report);
  } else {
    const auto partial = partialSummary(report, shard, scheduled, slice, played);
    outputs.write(out, report, &partial);
  }
  if (traceDir && !traceDir->failure().empty())
    throw BadInput{"cannot write the trace file '" + traceDir->failure() + "'"};
  if (traceFile && !*traceFile)
    throw BadInput{"cannot write the trace file '" + o.tracePath + "'"};
  return 0;
}

} // namespace

int runArena(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool progress) {
  if (!args.empty() && args.front() == "merge")
    return runMerge(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  Options o;
  CLI::App app{"Vuzuder arena: plays races between computer drivers and reports statistics.",
               "vuzuder-arena"};
  app.add_option("--team1", o.team1, "Driver of the first side, as the menu names it")
      ->type_name("NAME")
      ->capture_default_str();
  app.add_option("--team2", o.team2, "Driver of the second side")
      ->type_name("NAME")
      ->capture_default_str();
  app.add_option("--track", o.trackArgs,
                 "Track by name or .prt file; repeatable (default: every track of the folder)")
      ->type_name("NAME|FILE");
  app.add_option("--tracks-dir", o.tracksDir,
                 "Folder of the tracks (default: the shipped tracks, then the player's)")
      ->type_name("DIR");
  app.set_version_flag("--version", std::string("vuzuder-arena ") + qutils::version());
  app.add_option("--random-tracks", o.randomTracks,
                 "Also race on N tracks generated from the seed")
      ->type_name("N");
  app.add_option("--races", o.races, "Races per track and pairing")
      ->type_name("N")
      ->capture_default_str();
  app.add_flag("--swap", o.swap,
               "Also play every race with the teams exchanged (time attack: every start order)");
  app.add_flag("--no-swap", o.noSwap, "Do not swap, even in the default tournament");
  app.add_option("--seed", o.seed, "Seed of the races and the random tracks")
      ->type_name("S")
      ->capture_default_str();
  app.add_option("--jobs", o.jobs, "Races played at once (default: the number of cores)")
      ->type_name("J");
  app.add_flag("--time-attack", o.timeAttack, "Race single pods without collisions");
  app.add_option("--drivers", o.drivers,
                 "Time attack driver, 1 to 4; league driver (default: every race driver); repeatable")
      ->type_name("NAME");
  app.add_flag("--league", o.league,
               "Every two drivers race on every track, both sides: win-rate matrix and ratings");
  app.add_option("--speed", o.speed,
                 "Game speed a --think-evals budget stands for: x0.5, x1, x1.5, x2, x3, x4")
      ->type_name("SPEED")
      ->capture_default_str();
  app.add_option("--shard", o.shard,
                 "Play only slice I of N of the schedule; --json writes the partial summary")
      ->type_name("I/N");
  app.add_option("--trace-dir", o.traceDir, "Write every race's trace to its own file here")
      ->type_name("DIR");
  app.add_option("--csv", o.csvPath, "Write the league's matrix and ratings as CSV")
      ->type_name("FILE");
  app.add_option("--markdown", o.markdownPath, "Write the league's tables as Markdown")
      ->type_name("FILE");
  app.add_option("--json", o.jsonPath, "Write the summary as JSON")->type_name("FILE");
  app.add_option("--html", o.htmlPath,
                 "Write the report as a web page (with --trace-dir: linked replay pages)")
      ->type_name("FILE");
  app.add_option("--html-dir", o.htmlDir, "Write every race's replay page to its own file here")
      ->type_name("DIR");
  app.add_option("--trace", o.tracePath, "Write the first race turn by turn as JSON Lines")
      ->type_name("FILE");
  app.add_option("--think-ms", o.thinkMs,
                 "Threaded planners: real time in ms given after each turn")
      ->type_name("T")
      ->capture_default_str();
  app.add_option("--think-evals", o.thinkEvals,
                 "Planners make K evolution steps per turn on the race's thread (0: threaded)")
      ->type_name("K")
      ->capture_default_str();
  app.add_flag("--list", o.list, "List the drivers and the tracks, then stop");
  app.add_option("--bot", o.botArgs,
                 "An external bot program as driver NAME (see docs/BOTS.md); repeatable")
      ->type_name("NAME=COMMAND");
  app.add_option("--bot-first-ms", o.botFirstMs, "Bots' wall-clock limit for the first answer")
      ->type_name("MS")
      ->capture_default_str();
  app.add_option("--bot-turn-ms", o.botTurnMs, "Bots' wall-clock limit for later answers")
      ->type_name("MS")
      ->capture_default_str();
  app.add_option("--bot-logs", o.botLogs, "Keep each bot's standard error, per race, in DIR")
      ->type_name("DIR");

  if (!args.empty() && args.front() == "check-bot")
    return runCheckBot({args.begin() + 1, args.end()}, out, err);
  if (!args.empty() && args.front() == "replay-html")
    return runReplayHtml({args.begin() + 1, args.end()}, out, err);
  app.footer("vuzuder-arena merge [--json FILE] [--csv FILE] [--markdown FILE] [--html FILE] "
             "PART.json...\n"
             "  puts the slices of a --shard run back together.\n"
             "vuzuder-arena replay-html TRACE [-o FILE]\n"
             "  writes a web page that plays a recorded race.\n");

  if (const auto stop = parseArguments(app, "vuzuder-arena", args, out, err))
    return *stop;

  try {
    if (o.list) {
      listEverything(out, o.tracksDir);
      return 0;
    }
    return play(o, app, args, out, err, progress);
  } catch (const BadInput& bad) {
    err << "vuzuder-arena: " << qutils::escapedText(bad.message) << '\n';
    return 2;
  }
}

} // namespace pod::arena
