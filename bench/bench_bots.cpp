// External bots: one turn's round trip between the arena and the C++ example
// bot (the turn sent, both pods' answers read and parsed).
#include "bots/botbrain.h"
#include "race/physics.h"

#include "trackgen.h"

#include <benchmark/benchmark.h>

namespace {

void BM_BotTurnRoundTrip(benchmark::State& state) {
  const pod::Track track = pod::arena::generateTracks(2026, 1).front();
  pod::Physics physics;
  physics.init(false, 2, 2, &track);
  pod::bots::BotSettings settings;
  settings.words = {VUZUDER_SEEKER};
  // Generous limits: a forfeit would end the exchange and fake the figure.
  settings.firstMs = settings.turnMs = 5000;
  pod::bots::BotBrain bot(settings);
  bot.setTrack(track);
  bot.setPhysics(physics);
  std::vector<pod::Influence> influences;
  bot.think(physics.getCurrentState(), influences); // starts the program
  for (auto _ : state) {
    influences.clear();
    bot.think(physics.getCurrentState(), influences);
    benchmark::DoNotOptimize(influences.data());
  }
  if (bot.forfeit())
    state.SkipWithError(bot.forfeit()->describe().c_str());
}
BENCHMARK(BM_BotTurnRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
