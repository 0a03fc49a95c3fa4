// Arena throughput: one whole heuristics race, and races per second on one
// core through the tournament scheduler.
#include "racerunner.h"
#include "tournament.h"
#include "trackgen.h"

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK_MAIN();
