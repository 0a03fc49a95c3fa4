// Arena throughput: one whole heuristics race, races per second on one core
// through the tournament scheduler and through a league, merging slices, and
// the web page of a league.
#include "htmlreport.h"
#include "league.h"
#include "racerunner.h"
#include "shard.h"
#include "stats.h"
#include "tournament.h"
#include "trackgen.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

using namespace pod::arena;

const std::string kSteering = "Steering heuristics";

void BM_WholeHeuristicsRace(benchmark::State& state) {
  const pod::Track track = generateTracks(2026, 1).front();
  int turns = 0;
  for (auto _ : state) {
    const RaceOutcome outcome = playRace(track, false, {kSteering, kSteering}, {1, 2}, RaceLimits{});
    turns = outcome.turns;
    benchmark::DoNotOptimize(outcome.fingerprint);
  }
  state.counters["turns"] = turns;
  state.counters["checkpoints"] = static_cast<double>(track.checkpoints.size());
}
BENCHMARK(BM_WholeHeuristicsRace)->Unit(benchmark::kMillisecond);

// One worker: items per second is races per second per core.
void BM_ArenaRacesPerCore(benchmark::State& state) {
  TournamentConfig config;
  config.matchups = {{{kSteering, kSteering}}};
  config.tracks = generateTracks(7, 8);
  config.racesPerTrack = 1;
  config.swap = true;
  config.jobs = 1;
  const auto jobs = scheduleRaces(config);
  for (auto _ : state) {
    const auto played = playTournament(config, jobs);
    benchmark::DoNotOptimize(played.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs.size()));
}
BENCHMARK(BM_ArenaRacesPerCore)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A league of heuristics entries, scheduled, played, tallied and rated on one
// worker. The steering heuristics are the only built-in driver without
// planning, so it is entered four times under its own name.
void BM_HeuristicsLeagueRacesPerCore(benchmark::State& state) {
  TournamentConfig config;
  config.matchups = leagueMatchups({kSteering, kSteering, kSteering, kSteering});
  config.tracks = generateTracks(11, 4);
  config.racesPerTrack = 1;
  config.swap = true;
  config.jobs = 1;
  std::size_t races = 0;
  for (auto _ : state) {
    const auto jobs = scheduleRaces(config);
    const auto played = playTournament(config, jobs);
    const auto summaries = summarise(config.matchups, config.tracks.size(), played);
    const LeagueTable table = leagueTable(summaries);
    benchmark::DoNotOptimize(table.fit.ratings.data());
    races = jobs.size();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * races));
}
BENCHMARK(BM_HeuristicsLeagueRacesPerCore)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A league of the six built-in race drivers on ten random tracks, both sides.
TournamentConfig sixDriverLeague(std::uint64_t trackSeed, int racesPerTrack) {
  TournamentConfig config;
  config.matchups = leagueMatchups({"Steering heuristics", "Genetic", "Predictive genetic",
                                    "Genetic runners", "Genetic (separate)", "Gen. two runners"});
  config.tracks = generateTracks(trackSeed, 10);
  config.racesPerTrack = racesPerTrack;
  config.swap = true;
  config.limits.evalsPerTurn = 500;
  return config;
}

// Merging 1000 partial summaries of a six-driver league (3000 races), from
// their JSON text to the merged report and league table.
void BM_MergeThousandSlices(benchmark::State& state) {
  const TournamentConfig config = sixDriverLeague(3, 10);
  const auto jobs = scheduleRaces(config);
  const std::vector<std::string> sources(config.tracks.size(), "random");
  const int slices = 1000;
  std::vector<std::string> texts;
  for (int s = 1; s <= slices; ++s) {
    const Shard shard{s, slices};
    const auto positions = shardSlice(jobs.size(), shard);
    std::vector<PlayedRace> played;
    for (std::size_t p : positions) {
      PlayedRace r;
      r.job = jobs[p];
      r.outcome.winner = static_cast<int>(p % 3) - 1;
      r.outcome.draw = r.outcome.winner < 0;
      r.outcome.turns = 600 + static_cast<int>(p % 400);
      r.outcome.fingerprint = p * 0x9E3779B97F4A7C15ull;
      r.outcome.planners = {PlannerUse{true, 300000, 600}, PlannerUse{}};
      played.push_back(r);
    }
    const ReportInput input = reportOf(config, sources, played, true);
    texts.push_back(partialSummary(input, shard, jobs.size(), positions, played).dump());
  }
  for (auto _ : state) {
    std::vector<std::pair<std::string, nlohmann::json>> parts;
    parts.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
      parts.emplace_back("part-" + std::to_string(i), readPartialSummary(texts[i]));
    const MergedRun run = mergeParts(parts);
    const ReportInput merged = run.report();
    const auto json = jsonReport(merged);
    benchmark::DoNotOptimize(json.size());
  }
  state.counters["races"] = static_cast<double>(jobs.size());
}
BENCHMARK(BM_MergeThousandSlices)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The jobs of one slice of the largest schedule (10 million races): built
// from its positions alone, without the schedule around it.
void BM_SliceOfTheLargestSchedule(benchmark::State& state) {
  TournamentConfig config;
  config.matchups = {{{kSteering, kSteering}}};
  config.tracks = generateTracks(3, 10);
  config.racesPerTrack = static_cast<int>(kMaxScheduledRaces / 20);
  config.swap = true;
  const Shard shard{7, 1'000'000};
  for (auto _ : state) {
    std::vector<RaceJob> jobs;
    for (std::size_t p : shardSlice(scheduledRaceCount(config), shard))
      jobs.push_back(scheduledRace(config, p));
    benchmark::DoNotOptimize(jobs.data());
  }
}
BENCHMARK(BM_SliceOfTheLargestSchedule)->Unit(benchmark::kMicrosecond);

} // namespace

// The web page of a six-driver league of 600 races, each linked to its
// replay: tallies, ratings and the page, from the played races.
void BM_LeagueHtmlOf600Races(benchmark::State& state) {
  const TournamentConfig config = sixDriverLeague(5, 2);
  const auto jobs = scheduleRaces(config);
  const std::vector<std::string> sources(config.tracks.size(), "random");
  std::vector<PlayedRace> played;
  HtmlExtras extras{"vuzuder-arena --league --races 2 --random-tracks 10 --html league.html", {}};
  for (std::size_t p = 0; p < jobs.size(); ++p) {
    PlayedRace r;
    r.job = jobs[p];
    r.outcome.winner = static_cast<int>(p * 7 % 5 < 3);
    r.outcome.turns = 600 + static_cast<int>(p % 400);
    r.outcome.fingerprint = p * 0x9E3779B97F4A7C15ull;
    r.outcome.planners = {PlannerUse{true, 300000, 600}, PlannerUse{}};
    played.push_back(r);
    extras.replays.push_back({r.job.matchup, r.job.track, r.job.raceNumber, r.job.rotation,
                              r.winnerSide(), r.outcome.turns,
                              "replays/race" + std::to_string(p) + ".html"});
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    const ReportInput input = reportOf(config, sources, played, true);
    std::ostringstream page;
    writeHtmlReport(page, input, extras);
    bytes = page.str().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["races"] = static_cast<double>(jobs.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_LeagueHtmlOf600Races)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
